// What the desktop's outputs need of the core: files replaced together, "Save As xml",
// the proposed file names, edited row messages saved into menu.xml, toolbar tool tips.
#include "lists_test_support.hpp"

#include "commandfile/command_file.hpp"
#include "lists/list_export.hpp"
#include "lists/report_keys.hpp"
#include "platform/file_system.hpp"

using namespace qx;

namespace {

std::string contents(const std::string& path) {
    return platform::readFile(path).value_or("<missing>");
}

/// Fails the n-th call of the file operations a group write uses (counting from 1).
class FailingStep : public platform::FileSystem {
public:
    explicit FailingStep(int failAt) : m_failAt(failAt) {}
    std::string failed;

    std::string createTemp(const std::string& t) override {
        return fail("createTemp") ? "" : FileSystem::createTemp(t);
    }
    bool writeAll(const std::string& p, std::string_view d) override {
        return !fail("writeAll") && FileSystem::writeAll(p, d);
    }
    bool rename(const std::string& a, const std::string& b) override {
        return !fail("rename") && FileSystem::rename(a, b);
    }
    bool linkOrCopy(const std::string& a, const std::string& b) override {
        return !fail("linkOrCopy") && FileSystem::linkOrCopy(a, b);
    }
    bool remove(const std::string& p) override { return !fail("remove") && FileSystem::remove(p); }

private:
    bool fail(const char* op) {
        if (++m_calls != m_failAt) return false;
        failed = op;
        return true;
    }
    int m_failAt;
    int m_calls = 0;
};

struct FileSystemGuard {
    explicit FileSystemGuard(platform::FileSystem* fs) { platform::setFileSystem(fs); }
    ~FileSystemGuard() { platform::setFileSystem(nullptr); }
};

}  // namespace

TEST(FilesTogether, EveryFailingStepLeavesAllOldOrAllNew) {
    const std::vector<std::string> names{"a.xml", "a.xml.xml", "a.xml.xmlr.xml"};
    bool completed = false;
    for (int n = 1; n < 60 && !completed; ++n) {
        test::TempDir dir;
        // Two of the three exist: a new one must vanish again when the group fails.
        dir.write(names[0], "old0");
        dir.write(names[1], "old1");
        std::vector<platform::FileContent> group;
        for (std::size_t i = 0; i < names.size(); ++i)
            group.push_back({dir.path(names[i]), "new" + std::to_string(i)});
        FailingStep fs(n);
        std::string error;
        {
            FileSystemGuard guard(&fs);
            error = platform::writeFilesTogether(group);
        }
        SCOPED_TRACE("failing step " + std::to_string(n) + " (" + fs.failed + ")");
        const bool allNew = contents(dir.path(names[0])) == "new0" &&
                            contents(dir.path(names[1])) == "new1" && contents(dir.path(names[2])) == "new2";
        const bool allOld = contents(dir.path(names[0])) == "old0" &&
                            contents(dir.path(names[1])) == "old1" &&
                            !std::filesystem::exists(dir.path(names[2]));
        if (fs.failed.empty() || fs.failed == "remove") {
            // Removing a leftover name may fail without harm once everything is in place.
            completed = fs.failed.empty();
            EXPECT_TRUE(allNew || allOld);
        } else {
            EXPECT_FALSE(error.empty());
            EXPECT_TRUE(allOld) << error;
        }
        if (error.empty()) {
            EXPECT_TRUE(allNew);
        }
        std::size_t files = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
        if (fs.failed.empty()) {
            EXPECT_EQ(files, 3u) << "temporary files left behind";
        }
    }
    EXPECT_TRUE(completed);
}

TEST(SaveAsXml, WritesTheThreeTreesWithTheRuleBaseAsJudgedForTheDocument) {
    auto app = test::makeApp(
        "<rules><productgroup name=\"G\"><modules><module><name>A.QXK</name></module></modules>"
        "<product ID=\"7\" name=\"Absent\"><modules/></product></productgroup></rules>");
    auto doc = test::docFromXml("<config><serverparams/></config>");
    test::TempDir dir;
    EXPECT_EQ(lists::saveXmlSet(*doc, *app, dir.path("SRV1.xml")), "");
    const auto paths = lists::xmlSetPaths(dir.path("SRV1.xml"));
    EXPECT_EQ(paths[1], dir.path("SRV1.xml.xml"));
    EXPECT_EQ(paths[2], dir.path("SRV1.xml.xmlr.xml"));
    EXPECT_EQ(contents(paths[0]), doc->config().saveString());
    EXPECT_EQ(contents(paths[2]), doc->report().saveString());
    // The group's own list takes part; the absent product's does not. The shared rule base
    // in memory is left as it was.
    const std::string rules = contents(paths[1]);
    EXPECT_NE(rules.find("<modules vetoed=\"false\">"), std::string::npos) << rules;
    EXPECT_NE(rules.find("<modules vetoed=\"true\""), std::string::npos) << rules;
    EXPECT_EQ(app->ruleBase().saveString().find("vetoed"), std::string::npos);
    // Into a folder that does not exist: an error, and nothing written.
    EXPECT_NE(lists::saveXmlSet(*doc, *app, dir.path("missing/SRV1.xml")), "");
}

TEST(SaveDialogs, ProposeAFileNameNeverAPath) {
    auto named = test::docFromXml(
        "<config><serverparams><serverparam><name>Server name</name><value>FS/1</value></serverparam>"
        "</serverparams></config>");
    EXPECT_EQ(lists::proposedFileName(*named, ".txt"), "FS_1.txt");
    auto unnamed = test::docFromXml("<config><serverparams/></config>");
    unnamed->path = "/srv/reports/BRANCH7-CONFIG.TXT";
    EXPECT_EQ(lists::proposedFileName(*unnamed, ".xml"), "BRANCH7-CONFIG.xml");
    unnamed->path.clear();
    EXPECT_EQ(lists::proposedFileName(*unnamed, ".txt"), "server.txt");
}

TEST(RowMessages, AnEditedMessageIsSavedAndLoadsBackInEveryLanguage) {
    test::TempDir dir;
    auto app = test::makeApp();
    Application edited(dir.path());
    ASSERT_EQ(edited.loadLocalisation(), LocalisationSource::Embedded);
    const std::string hungarianBefore = [&] {
        edited.setLanguage("hungarian");
        auto t = lists::reportMessageText(edited, "errorreplica");
        edited.setLanguage("english");
        return t;
    }();
    ASSERT_FALSE(lists::reportMessageText(edited, "errorreplica").empty());
    // A second line, a character beyond ISO-8859-1, markup and a control character.
    const std::string note = "Two lines:\r\nsecond \xC5\x91 <b>&\x01";
    EXPECT_TRUE(lists::setReportMessage(edited, "errorreplica", note, "https://kb.example/?a=1&b=2"));
    EXPECT_FALSE(lists::setReportMessage(edited, "no-such-message", "x", "y"));
    EXPECT_EQ(lists::saveLocalisationTable(edited), "");

    const std::string saved = contents(dir.path("menu.xml"));
    EXPECT_EQ(saved.rfind("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>", 0), 0u);
    Application again(dir.path());
    ASSERT_EQ(again.loadLocalisation(), LocalisationSource::File);
    EXPECT_EQ(lists::reportMessageText(again, "errorreplica"),
              "Two lines:\nsecond \xC5\x91 <b>&\xEF\xBF\xBD");
    EXPECT_EQ(lists::reportMessageUrl(again, "errorreplica"), "https://kb.example/?a=1&b=2");
    // Everything else of the table is as it was.
    EXPECT_EQ(again.menuText("57601"), app->menuText("57601"));
    EXPECT_EQ(again.label("config"), app->label("config"));
    again.setLanguage("hungarian");
    EXPECT_EQ(lists::reportMessageText(again, "errorreplica"), hungarianBefore);
}

TEST(Localisation, ToolbarToolTipsFollowTheLanguage) {
    auto app = test::makeApp();
    EXPECT_EQ(app->localisation().toolText("32788"), "Checker");
    app->setLanguage("portuguese");
    EXPECT_EQ(app->localisation().toolText("32788"), "Verificador");
    EXPECT_EQ(app->localisation().toolText("32816"), "");  // a menu entry, no tool
}

TEST(CommandFile, TheAnalysisDecidesWhichRulesTakePart) {
    // A product absent from the server: its rules stay out, the group's own are written.
    auto app = test::makeApp(
        "<rules><productgroup name=\"G\"><setparams><set-param><name>A</name><value>1</value><type>1</type>"
        "</set-param></setparams><product ID=\"9\" name=\"Absent\"><requireds><products><product-rule>"
        "<id>NOPE</id><version/><version_condition/><condition>=</condition></product-rule></products>"
        "</requireds><setparams><set-param><name>X</name>"
        "<value>2</value><type>1</type></set-param></setparams></product></productgroup></rules>");
    auto doc = test::docFromXml(
        "<config><serverparams><serverparam><name>Server Name</name><value>FS9</value></serverparam>"
        "</serverparams></config>");
    analysis::checkProducts(*doc, *app);
    const auto file = commandfile::buildCommandFile(*doc, *app, {});
    EXPECT_EQ(file.title, "FS9.qxs");
    EXPECT_NE(file.text.find("SET A = 1 \r\n"), std::string::npos) << file.text;
    EXPECT_EQ(file.text.find("SET X"), std::string::npos) << file.text;
}
