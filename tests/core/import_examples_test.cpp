// The bundled examples are what a new user opens first and what the default rule base is
// written against: every section must arrive in the tree.
#include "import_test_support.hpp"

#include "platform/file_system.hpp"

using namespace qx;

namespace {

std::unique_ptr<CQXConfigDoc2> openExample(const std::string& name) {
    auto content = platform::readFile(std::string(QX_EXAMPLES) + "/" + name);
    EXPECT_TRUE(content.has_value()) << name;
    static auto app = test::makeApp();
    return test::importAndComplete(content.value_or(""), *app);
}

std::string topLevel(const CQXConfigDoc2& doc) {
    std::string out;
    for (auto c : xml::childElements(doc.config().root())) out += std::string(c.name()) + " ";
    return out;
}

std::size_t count(const xml::Document& d, const char* pattern) {
    return xml::select(d.documentNode(), pattern).size();
}

}  // namespace

TEST(Examples, EverySectionOfBothReportsArrives) {
    for (const char* name : {"FS1-CONFIG.TXT", "FS2-CONFIG.TXT"}) {
        SCOPED_TRACE(name);
        auto doc = openExample(name);
        EXPECT_EQ(
            topLevel(*doc),
            "serverparams serverparams setparams modules directories lans bios-info devices disks volumes "
            "boot-drive search-paths patchs products java-processes zrd client-executable-files files "
            "kfs-stat-files ");
        std::string volumes;
        for (auto v : xml::select(doc->config().documentNode(), "volume"))
            volumes += xml::attribute(v, "name") + " ";
        EXPECT_EQ(volumes, "SYS VOL1 DATA ");
        EXPECT_EQ(count(doc->config(), "volume/property[name='Name Space Loaded']"), 3u);
        EXPECT_EQ(count(doc->config(), "set-category"), 6u);
        EXPECT_EQ(count(doc->config(), "file-group[pattern='*.OLD']"), 1u);
        EXPECT_EQ(count(doc->config(), "partition/replica"), 5u);
        EXPECT_EQ(count(doc->config(), "devices/device/device"), 3u);
        EXPECT_EQ(count(doc->config(), "filegroup/file"), 6u);
        EXPECT_EQ(count(doc->report(), "abend/property"), 2u);
        EXPECT_EQ(count(doc->report(), "lans/property/hostname"), 1u);
        EXPECT_EQ(test::texts(doc->report(), "lans/property/qxk"), "CE1000|CE1000");
        EXPECT_GE(count(doc->report(), "java/property"), 3u);
        EXPECT_EQ(doc->valueByName("set-param", "SLP SA Default Lifetime ").empty(), false);
    }
}

TEST(Examples, NewAndOldGeneratorsDiffer) {
    auto fs1 = openExample("FS1-CONFIG.TXT");
    auto fs2 = openExample("FS2-CONFIG.TXT");
    EXPECT_TRUE(fs1->newFormat);
    EXPECT_FALSE(fs2->newFormat);
    EXPECT_EQ(fs1->title, "FS1 6.50 Monday, March 6, 2006  10:15:32");
    EXPECT_EQ(fs2->title, "FS2 5.60 Wednesday, September 8, 2004  16:42:05");
    EXPECT_EQ(fs1->valueByName("module", "CE1000.LAN"), fs2->valueByName("module", "CE1000.LAN"));
    EXPECT_NE(fs1->valueByName("module", "SERVER.QXK"), fs2->valueByName("module", "SERVER.QXK"));
    EXPECT_EQ(fs1->valueByName("set-param", "TIMESYNC Type"), "SINGLE");
    EXPECT_EQ(fs2->valueByName("set-param", "TIMESYNC Type"), "SECONDARY");
}
