// Deep nesting, special files, link loops and hostile texts, at the level of the core.
#include "test_support.hpp"

#include "analysis/rule_base_check.hpp"
#include "commandfile/command_file.hpp"
#include "import/folder_scan.hpp"
#include "ruleedit/module_scanner.hpp"
#include "util/text.hpp"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <thread>

using namespace qx;

namespace {

std::string nested(const std::string& element, int levels, const std::string& inner = {}) {
    std::string out;
    for (int i = 0; i < levels; ++i) out += "<" + element + " name=\"n" + std::to_string(i) + "\">";
    out += inner;
    for (int i = 0; i < levels; ++i) out += "</" + element + ">";
    return out;
}

std::size_t longestIndent(const std::string& text) {
    std::size_t longest = 0, run = 0;
    bool atStart = true;
    for (char c : text) {
        if (c == '\n') {
            atStart = true;
            run = 0;
        } else if (atStart && c == '\t') {
            longest = std::max(longest, ++run);
        } else {
            atStart = false;
        }
    }
    return longest;
}

// Reads a TSV cell back as written by text::tsvCell.
std::string unescapeCell(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size() &&
            std::string_view("\\tnr").find(s[i + 1]) != std::string_view::npos) {
            const char e = s[++i];
            out += e == 't' ? '\t' : e == 'n' ? '\n' : e == 'r' ? '\r' : '\\';
        } else {
            out += s[i];
        }
    }
    return out;
}

}  // namespace

TEST(XmlLimits, TreesPastTheDepthLimitAreRefusedWithThePlaceSaid) {
    xml::Document d;
    EXPECT_TRUE(d.loadString(nested("g", xml::kMaxDepth)).ok());
    const std::string deep = nested("g", xml::kMaxDepth + 1);
    const auto r = d.loadString(deep);
    EXPECT_EQ(r.status, xml::LoadStatus::TooDeep);
    EXPECT_TRUE(d.empty());
    EXPECT_NE(r.description.find(std::to_string(xml::kMaxDepth)), std::string::npos);
    // The offset is that of the first element too deep.
    EXPECT_EQ(deep.compare(static_cast<std::size_t>(r.offset) - 1, 3, "<g "), 0);
    // 60000 levels: refused, not a crash.
    EXPECT_EQ(d.loadString(nested("productgroup", 60000)).status, xml::LoadStatus::TooDeep);
}

TEST(XmlLimits, DeepTreesSaveWithBoundedIndentationAndLoadBackUnchanged) {
    for (int levels : {xml::kMaxIndent, xml::kMaxIndent + 1, 200}) {
        SCOPED_TRACE(levels);
        const std::string inner = "<property><name>a&amp;b</name><value>1</value></property><empty/>";
        xml::Document d;
        ASSERT_TRUE(
            d.loadString("<config>" + nested("device", levels, inner) + "<tail x=\"&lt;\"/></config>").ok());
        const std::string saved = d.saveString();
        EXPECT_LE(longestIndent(saved), static_cast<std::size_t>(xml::kMaxIndent));
        xml::Document again;
        ASSERT_TRUE(again.loadString(saved).ok());
        EXPECT_EQ(again.saveString(), saved);
        EXPECT_EQ(test::texts(again, "property/name"), "a&b");
        EXPECT_EQ(xml::select(again.documentNode(), "device").size(), static_cast<std::size_t>(levels));
        EXPECT_EQ(xml::attribute(xml::selectFirst(again.documentNode(), "tail"), "x"), "<");
    }
    // Text among the elements of a deep tree stays exactly as it was: no indentation gets in.
    xml::Document mixed;
    ASSERT_TRUE(
        mixed.loadString("<config>head<a/>" + nested("device", 100, "x<b/>y") + "tail</config>").ok());
    const std::string saved = mixed.saveString();
    xml::Document back;
    ASSERT_TRUE(back.loadString(saved).ok());
    EXPECT_EQ(back.saveString(), saved);
    EXPECT_EQ(xml::text(back.root()), "headxytail");
    // A tree within the limit is written exactly as the XML library writes it.
    xml::Document shallow;
    ASSERT_TRUE(shallow.loadString("<?xml version=\"1.0\"?><r><a k=\"v\"><b>t</b><c/></a></r>").ok());
    EXPECT_EQ(shallow.saveString(),
              "<?xml version=\"1.0\"?>\n<r>\n\t<a k=\"v\">\n\t\t<b>t</b>\n\t\t<c />\n\t</a>\n</r>\n");
}

TEST(XmlLimits, ATreeEditedPastTheLimitIsNotSavedToFailLater) {
    test::TempDir dir;
    xml::Document d;
    xml::Node n = d.createRoot("rules");
    for (int i = 1; i < xml::kMaxDepth; ++i) n = xml::appendElement(n, "productgroup");
    EXPECT_EQ(d.saveFile(dir.path("ok.xml")).error, "");
    xml::appendElement(n, "productgroup");
    EXPECT_NE(d.saveFile(dir.path("deep.xml")).error.find("deeper than"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.path("deep.xml")));
}

TEST(XmlLimits, ControlCharactersFromReferencesBecomeReplacementCharacters) {
    xml::Document d;
    ASSERT_TRUE(
        d.loadString("<r a=\"x&#27;[31m\"><p>P&#27;]0;t&#7;</p><q>line&#13;&#10;two&#9;</q></r>").ok());
    EXPECT_EQ(xml::attribute(d.root(), "a"), "x\xEF\xBF\xBD[31m");
    EXPECT_EQ(xml::childText(d.root(), "p"), "P\xEF\xBF\xBD]0;t\xEF\xBF\xBD");
    // Line ends and tabs are XML characters and stay.
    EXPECT_EQ(xml::childText(d.root(), "q"), "line\r\ntwo\t");
}

TEST(SpecialFiles, FifosAndFoldersAreRefusedByKindWithoutBlocking) {
    test::TempDir dir;
    const std::string fifo = dir.path("pipe.txt");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string error;
    EXPECT_FALSE(platform::readFile(fifo, &error));
    EXPECT_NE(error.find("named pipe"), std::string::npos) << error;
    EXPECT_FALSE(platform::readFile(dir.path(), &error));
    EXPECT_NE(error.find("folder"), std::string::npos) << error;
    xml::Document d;
    EXPECT_EQ(d.loadFile(dir.path()).status, xml::LoadStatus::ReadError);
    EXPECT_EQ(d.loadFile(fifo).status, xml::LoadStatus::ReadError);

    auto app = test::makeApp();
    const auto check = import::checkOpen(*app, fifo);
    EXPECT_EQ(check.verdict, import::OpenVerdict::Unreadable);
    EXPECT_NE(check.message.find("named pipe"), std::string::npos) << check.message;
    Application other(dir.path());
    EXPECT_EQ(other.loadRuleBaseFrom(fifo), RuleBaseLoad::Malformed);
    EXPECT_NE(other.ruleBaseError().find("named pipe"), std::string::npos) << other.ruleBaseError();
}

TEST(SpecialFiles, FolderScansSkipFifosAndVisitEachFolderOnce) {
    test::TempDir dir;
    const std::string header = "Orvane File Server Configuration Report For Server: FS1\n";
    dir.write("top/sub/a.txt", header);
    dir.write("top/z.xml", "<config/>");
    ASSERT_EQ(::mkfifo(dir.path("top/sub/pipe.TXT").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(dir.path("top/sub/pipe.xml").c_str(), 0600), 0);
    ASSERT_EQ(::symlink(".", dir.path("top/sub/loop1").c_str()), 0);
    ASSERT_EQ(::symlink(".", dir.path("top/sub/loop2").c_str()), 0);
    ASSERT_EQ(::symlink("..", dir.path("top/sub/up").c_str()), 0);
    ASSERT_EQ(::symlink(dir.path("top/sub").c_str(), dir.path("top/again").c_str()), 0);
    // "again" comes first in name order, so the folder is listed under that name only.
    EXPECT_EQ(import::scanFolder(dir.path("top")),
              (std::vector<std::string>{dir.path("top/again/a.txt"), dir.path("top/z.xml")}));
}

TEST(SpecialFiles, ModuleScanSkipsFifosAndCountsWhatItCouldNotRead) {
    test::TempDir dir;
    ASSERT_EQ(::mkfifo(dir.path("PIPE.QXK").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("/dev/zero", dir.path("zero.nam").c_str()), 0);
    ASSERT_EQ(::symlink(dir.path("nowhere").c_str(), dir.path("gone.qxk").c_str()), 0);
    std::string deep = dir.path();
    for (int i = 0; i <= ruleedit::kMaxScanDepth; ++i) deep += "/d";
    std::filesystem::create_directories(deep);
    const auto scan = ruleedit::scanModules(dir.path());
    ASSERT_EQ(scan.rows.size(), 1u);
    EXPECT_EQ(scan.rows[0].name, "GONE.QXK");
    EXPECT_EQ(scan.notRegularFiles, 2u);
    EXPECT_EQ(scan.filesUnreadable, 1u);
    EXPECT_EQ(scan.foldersTooDeep, 1u);
}

TEST(OutputFiles, LinksKeepPointingAndFifosAndFoldersAreNotReplaced) {
    test::TempDir dir;
    dir.write("target.txt", "old");
    ASSERT_EQ(::symlink("target.txt", dir.path("link.txt").c_str()), 0);
    EXPECT_EQ(platform::writeFileAtomically(dir.path("link.txt"), "new"), "");
    struct stat st {};
    ASSERT_EQ(::lstat(dir.path("link.txt").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(*platform::readFile(dir.path("target.txt")), "new");
    // A dangling link gets its target created.
    ASSERT_EQ(::symlink("later.txt", dir.path("dangling").c_str()), 0);
    EXPECT_EQ(platform::writeFileAtomically(dir.path("dangling"), "made"), "");
    EXPECT_EQ(*platform::readFile(dir.path("later.txt")), "made");

    const std::string fifo = dir.path("out.fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] {
        const int fd = ::open(fifo.c_str(), O_RDONLY);
        char buf[64];
        for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) > 0;)
            received.append(buf, static_cast<std::size_t>(n));
        ::close(fd);
    });
    EXPECT_EQ(platform::writeFileAtomically(fifo, "through the pipe"), "");
    reader.join();
    EXPECT_EQ(received, "through the pipe");
    ASSERT_EQ(::stat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));

    std::filesystem::create_directory(dir.path("folder"));
    EXPECT_NE(platform::writeFileAtomically(dir.path("folder"), "x").find("folder"), std::string::npos);
}

TEST(OutputFiles, ASetIsReplacedWholeOrNotAtAll) {
    test::TempDir dir;
    dir.write("a", "old a");
    dir.write("b", "old b");
    std::filesystem::create_directory(dir.path("c"));
    EXPECT_NE(platform::writeFilesTogether(
                  {{dir.path("a"), "new a"}, {dir.path("b"), "new b"}, {dir.path("c"), "new c"}}),
              "");
    EXPECT_EQ(*platform::readFile(dir.path("a")), "old a");
    EXPECT_EQ(*platform::readFile(dir.path("b")), "old b");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3);
    // Through a link the target is replaced and the link kept.
    std::filesystem::create_symlink(dir.path("a"), dir.path("link"));
    EXPECT_EQ(platform::writeFilesTogether({{dir.path("link"), "new a"}, {dir.path("d"), "new d"}}), "");
    EXPECT_EQ(*platform::readFile(dir.path("a")), "new a");
    EXPECT_EQ(*platform::readFile(dir.path("d")), "new d");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.path("link")));
    EXPECT_TRUE(platform::sameFile(dir.path("a"), dir.path("./a")));
    EXPECT_FALSE(platform::sameFile(dir.path("a"), dir.path("d")));
}

TEST(OutputFiles, OneHolderOfAFolderLockAtATime) {
    test::TempDir dir;
    platform::FileLock first, second;
    ASSERT_EQ(first.acquire(dir.path(), std::chrono::milliseconds(0)), platform::FileLock::Result::Acquired);
    bool waited = false;
    EXPECT_EQ(second.acquire(dir.path(), std::chrono::milliseconds(100), [&] { waited = true; }),
              platform::FileLock::Result::Busy);
    EXPECT_TRUE(waited);
    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        first.release();
    });
    EXPECT_EQ(second.acquire(dir.path(), std::chrono::seconds(10)), platform::FileLock::Result::Acquired);
    releaser.join();
    // No lock file is left in the folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 0);
}

TEST(DeepReports, DevicesNestAtMostToTheLimitAndTheImportSaysSo) {
    std::string body = "Top of Storage Device Configuration Information\nStorage Device Details:\n";
    for (int i = 0; i < 300; ++i)
        body += "\n" + std::string(static_cast<std::size_t>(i), ' ') + "[D" + std::to_string(i) + "] Disk\n" +
                std::string(static_cast<std::size_t>(i), ' ') + "Status: Activated\n";
    CQXConfigDoc2 doc;
    std::string note;
    ASSERT_TRUE(import::importReportText(doc, test::report(body), &note));
    EXPECT_NE(note.find("nest deeper than " + std::to_string(import::kMaxDeviceDepth)), std::string::npos);
    int deepest = 0;
    for (xml::Node d : xml::select(doc.config().documentNode(), "device")) {
        int depth = 0;
        for (xml::Node n = d; std::string_view(n.name()) == "device"; n = n.parent()) ++depth;
        deepest = std::max(deepest, depth);
    }
    EXPECT_EQ(deepest, import::kMaxDeviceDepth);
    EXPECT_EQ(xml::select(doc.config().documentNode(), "device").size(), 300u);
    // Real nesting is untouched and says nothing.
    CQXConfigDoc2 plain;
    note.clear();
    import::importReportText(plain,
                             test::report("Top of Storage Device Configuration Information\n"
                                          "Storage Device Details:\n\n[A] Adapter\nStatus: x\n\n"
                                          " [A-D] Disk\n Status: y\n"),
                             &note);
    EXPECT_EQ(note, "");
    EXPECT_EQ(xml::select(plain.config().documentNode(), "device/device").size(), 1u);
}

TEST(DeepRuleBases, ProductsDeepInNestedGroupsAreReachedInDocumentOrder) {
    const std::string rules = "<rules>" + nested("productgroup", 250, "<product ID=\"7\" name=\"Deep\"/>") +
                              "<product ID=\"8\" name=\"After\"/></rules>";
    auto app = test::makeApp(rules);
    ASSERT_TRUE(app->ruleBaseLoaded());
    auto doc = test::importAndComplete(test::report("Server Name: FS1\n"), *app);
    EXPECT_EQ(test::texts(doc->report(), "check/product/name"), "Deep|After");
    EXPECT_EQ(app->nextProductNumber, 9);
}

TEST(HostileTexts, CommandFilesHoldOneCommandPerLine) {
    auto app = test::makeApp(
        "<rules><productgroup name=\"G\"><setparams name=\"S\">"
        "<set-param><name>Minimum Free Memory</name><value>8000&#13;&#10;LOAD "
        "EVIL.QXK</value><type>2</type></set-param>"
        "<set-param><name>A&#10;B</name><value>1</value><type>1</type></set-param>"
        "</setparams></productgroup></rules>");
    auto doc = test::importAndComplete(test::report("Server Name: FS1\n"), *app);
    const auto file = commandfile::buildCommandFile(*doc, *app, {}, {});
    EXPECT_EQ(file.text.find("\r\nLOAD"), std::string::npos);
    EXPECT_NE(file.text.find("SET Minimum Free Memory = 8000  LOAD EVIL.QXK \r\n"), std::string::npos);
    EXPECT_NE(file.text.find("SET A B = 1 \r\n"), std::string::npos);
    ASSERT_EQ(file.warnings.size(), 2u);
    EXPECT_NE(file.warnings[0].find("A\\nB"), std::string::npos) << file.warnings[0];
    EXPECT_NE(file.warnings[1].find("Minimum Free Memory"), std::string::npos);
}

TEST(HostileTexts, TsvCellsStayOneCellAndReadBackExactly) {
    for (std::string s :
         {"plain", "SYS:ETC\\HOSTS", "a\tb", "two\r\nlines", "SYS:\\temp", "\\\t", "\\\\t", "end\\"}) {
        const std::string cell = text::tsvCell(s);
        EXPECT_EQ(cell.find_first_of("\t\r\n"), std::string::npos) << s;
        EXPECT_EQ(unescapeCell(cell), s);
    }
    EXPECT_EQ(text::tsvCell("SYS:ETC\\HOSTS"), "SYS:ETC\\HOSTS");  // paths stay as they are
    EXPECT_EQ(text::printable("x\x1b[2J\a\r\n"), "x\xEF\xBF\xBD[2J\xEF\xBF\xBD\\r\\n");
}

TEST(RuleBaseCheck, ErrorsAndWarningsCarryTheirLines) {
    const auto bundled = analysis::checkRuleBaseFile(std::string(QX_RESOURCES) + "/rules.xml");
    EXPECT_TRUE(bundled.empty()) << analysis::describe(bundled);

    auto problems = analysis::checkRuleBase(
        "<?xml version=\"1.0\"?>\n<rules>\n<product ID=\"1\"/>\n"
        "<product ID=\"x\"/>\n<product ID=\"1\"/>\n<product/>\n"
        "<serverparams><serverparam><condition>=&gt;</condition></serverparam>\n"
        "<file><condition>=</condition></file></serverparams>\n</rules>\n");
    EXPECT_TRUE(analysis::usable(problems));
    std::vector<int> lines;
    for (const auto& p : problems) lines.push_back(p.line);
    EXPECT_EQ(lines, (std::vector<int>{4, 5, 6, 7, 8})) << analysis::describe(problems, 10);

    for (const std::string& bad :
         {std::string("<rules>\n<x></y>\n</rules>"), std::string("<?xml version=\"1.0\"?>\n<html/>"),
          "<rules>\n" + nested("productgroup", xml::kMaxDepth) + "</rules>"}) {
        problems = analysis::checkRuleBase(bad);
        ASSERT_EQ(problems.size(), 1u) << bad;
        EXPECT_TRUE(problems[0].error);
        EXPECT_EQ(problems[0].line, 2) << problems[0].text;
        EXPECT_FALSE(analysis::usable(problems));
    }
}
