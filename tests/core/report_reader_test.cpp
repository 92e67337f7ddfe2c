#include "test_support.hpp"

#include "import/folder_scan.hpp"
#include "platform/file_system.hpp"

#include <gtest/gtest.h>

using namespace qx;
using test::texts;

namespace {

std::string topLevel(const CQXConfigDoc2& doc) {
    std::string out;
    for (auto c : xml::childElements(doc.config().root())) out += std::string(c.name()) + " ";
    return out;
}

}  // namespace

TEST(ReportReader, HeaderOnlyReportGetsServerParamsAndStandardContainers) {
    auto app = test::makeApp();
    auto doc = test::importAndComplete(
        "Orvane File Server Configuration Report For Server: FS1\n"
        "Orvane File Server Configuration Report Created: Monday, March 1, 2004\n",
        *app);
    EXPECT_EQ(topLevel(*doc), "serverparams zrd products boot-drive kfs-stat-files search-paths ");
    EXPECT_EQ(texts(doc->config(), "zrd/*"), "");
    EXPECT_EQ(xml::childElements(xml::selectFirst(doc->config().documentNode(), "zrd")).size(), 2u);
    EXPECT_EQ(
        texts(doc->config(), "serverparam/name"),
        "Orvane File Server Configuration Report For Server|Orvane File Server Configuration Report Created");
    EXPECT_EQ(doc->state, CQXConfigDoc2::kStateCompleted);
    EXPECT_EQ(xml::attribute(doc->report().root(), "name"), "");
    EXPECT_TRUE(xml::selectFirst(doc->report().documentNode(), "check"));
}

TEST(ReportReader, HeaderAfterLineThreeYieldsAnEmptyConfig) {
    auto app = test::makeApp();
    auto doc = test::importAndComplete(
        "a\nb\nc\nOrvane File Server Configuration Report For Server: FS1\nX: 1\n", *app);
    EXPECT_EQ(topLevel(*doc), "zrd products boot-drive kfs-stat-files search-paths ");
}

TEST(ReportReader, LinesBeforeTheHeaderAreIgnored) {
    auto doc = test::importOnly("Junk: 1\nOrvane File Server Configuration Report For Server: FS1\nA: 2\n");
    EXPECT_EQ(texts(doc->config(), "serverparam/name"),
              "Orvane File Server Configuration Report For Server|A");
}

TEST(ReportReader, GeneratorVersionDecidesTheNewFormatFlag) {
    EXPECT_FALSE(test::importOnly(test::report("", "v2.02]"))->newFormat);
    EXPECT_FALSE(test::importOnly(test::report("", "v2.01]"))->newFormat);
    EXPECT_TRUE(test::importOnly(test::report("", "v2.03]"))->newFormat);
    EXPECT_TRUE(test::importOnly(test::report("", "v2.10]"))->newFormat);
    EXPECT_TRUE(test::importOnly(test::report("", "v2.1]"))->newFormat);
}

TEST(ReportReader, PortalReportsAreRefused) {
    CQXConfigDoc2 doc;
    EXPECT_FALSE(import::importReportText(
        doc, "Orvane File Server Configuration Report For Server: FS1\nBy PORTAL.QXK v1\nA: 1\n"));
    test::TempDir dir;
    auto path =
        dir.write("p.txt", "Orvane File Server Configuration Report For Server: FS1\nmade by PORTAL.QXK\n");
    auto app = test::makeApp();
    auto r = import::openDocument(doc, *app, path);
    EXPECT_FALSE(r.opened());
    EXPECT_EQ(r.message(), import::kPortalMessage);
}

TEST(ReportReader, LeadingBlanksStayOnlyInTheirFiveSections) {
    // Observed through the parameter parser: the name keeps no blanks after a split,
    // but a SET line's value shows what reached the parser.
    auto doc =
        test::importOnly(test::report("Top of Server Options\n"
                                      "   \tA = 1\n"));
    EXPECT_EQ(texts(doc->config(), "set-param/name"), "A ");
    EXPECT_TRUE(import::sectionKeepsLeadingBlanks("Modules List (cont)"));
    EXPECT_TRUE(import::sectionKeepsLeadingBlanks("directory. SYS:SYSTEM"));
    EXPECT_TRUE(import::sectionKeepsLeadingBlanks("ZRD/Trellium Configuration Listing"));
    EXPECT_FALSE(import::sectionKeepsLeadingBlanks("ZRD/Trellium Configuration Listing2"));
    EXPECT_FALSE(import::sectionKeepsLeadingBlanks("Installed Product List"));
}

TEST(ReportReader, SectionTableMatchesExactlyOrByPrefixAsListed) {
    using import::parserForSection;
    EXPECT_EQ(parserForSection("LAN Driver Configuration Listing"), &import::parseLanDrivers);
    EXPECT_EQ(parserForSection("LAN Driver Configuration Listing 2"), &import::parseParameters);
    EXPECT_EQ(parserForSection("SM BIOS Information"), &import::parseSmBios);
    EXPECT_EQ(parserForSection("SM BIOS Informations"), &import::parseParameters);
    EXPECT_EQ(parserForSection("Modules List (continued)"), &import::parseLoadedModules);
    EXPECT_EQ(parserForSection("Storage Device Configuration Information and more"),
              &import::parseStorageDevices);
    EXPECT_EQ(parserForSection("file. SYS:ETC\\HOSTS"), &import::parseCapturedFile);
    EXPECT_EQ(parserForSection("directory. SYS:SYSTEM"), &import::parseDirectoryListing);
    EXPECT_EQ(parserForSection("Boot Drive C:"), &import::parseBootDrive);
    EXPECT_EQ(parserForSection("search paths"), &import::parseSearchPaths);
    EXPECT_EQ(parserForSection("Search paths"), &import::parseParameters);
    EXPECT_EQ(parserForSection("Running Java Processes now"), &import::parseJavaProcesses);
    EXPECT_EQ(parserForSection(""), &import::parseParameters);
}

TEST(ReportReader, LineEndsAndAwkwardInputNeverCrash) {
    // CR LF, a last line without LF, CR-only files, NUL bytes, a 1 MB line.
    auto doc = test::importOnly("Orvane File Server Configuration Report For Server: FS1\r\nA: 1\r\nB: 2");
    EXPECT_EQ(texts(doc->config(), "serverparam/value"), "FS1|1|2");
    doc = test::importOnly("Orvane File Server Configuration Report For Server: FS1\r\nA: 1\r\nB: 2\r");
    EXPECT_EQ(texts(doc->config(), "serverparam/value"), "FS1|1|2");
    doc = test::importOnly("Orvane File Server Configuration Report For Server: FS1\rA: 1\rB: 2\r");
    EXPECT_EQ(texts(doc->config(), "serverparam/name"), "Orvane File Server Configuration Report For Server");
    std::string nul = test::report(std::string("A: x\0y\n", 7));
    doc = test::importOnly(nul);
    EXPECT_EQ(texts(doc->config(), "serverparam[name='A']/value"), "x\xEF\xBF\xBDy");
    doc = test::importOnly(test::report("Top of Modules List\n" + std::string(1 << 20, 'M') + "\n"));
    EXPECT_TRUE(doc->config().root());
    std::string binary;
    for (int i = 0; i < 70000; ++i) binary += static_cast<char>((i * 7919) & 0xFF);
    doc = test::importOnly(test::report(binary));
    xml::Document again;
    EXPECT_TRUE(again.loadString(doc->config().saveString()).ok());
}

TEST(OpenCheck, OutcomesInOrder) {
    test::TempDir dir;
    auto report = dir.write("r.txt", "Orvane File Server Configuration Report For Server: FS1\n");
    auto late =
        dir.write("late.txt", std::string(99, 'x') + "Orvane File Server Configuration Report For Server");
    auto last =
        dir.write("last.txt", std::string(98, 'x') + "Orvane File Server Configuration Report For Server");
    auto at60 =
        dir.write("b.txt", std::string(60, ' ') + "Orvane File Server Configuration Report For Server\n");
    auto xmlName = dir.write("empty.XmL", "");
    auto empty = dir.write("empty.txt", "");
    auto nul =
        dir.write("nul.txt", std::string("\0", 1) + "Orvane File Server Configuration Report For Server");

    Application noRules(dir.path());
    EXPECT_EQ(import::checkOpen(noRules, report).verdict, import::OpenVerdict::NoRuleBase);
    EXPECT_EQ(import::checkOpen(noRules, report).message, Application::kRulesNeededMessage);

    auto app = test::makeApp();
    EXPECT_TRUE(import::checkOpen(*app, report).accepted());
    EXPECT_TRUE(import::checkOpen(*app, at60).accepted());
    EXPECT_TRUE(import::checkOpen(*app, last).accepted());
    EXPECT_EQ(import::checkOpen(*app, late).verdict, import::OpenVerdict::NoHeader);
    EXPECT_TRUE(import::checkOpen(*app, late).silent);
    EXPECT_TRUE(import::checkOpen(*app, xmlName).accepted());
    EXPECT_EQ(import::checkOpen(*app, empty).verdict, import::OpenVerdict::NoHeader);
    EXPECT_EQ(import::checkOpen(*app, nul).verdict, import::OpenVerdict::NoHeader);
    EXPECT_EQ(import::checkOpen(*app, dir.path("missing.txt")).verdict, import::OpenVerdict::Unreadable);
    EXPECT_EQ(import::checkOpen(*app, dir.path()).verdict, import::OpenVerdict::Unreadable);

    platform::setAvailableMemoryOverride(4999);
    EXPECT_EQ(import::checkOpen(*app, report).verdict, import::OpenVerdict::LowMemory);
    platform::setAvailableMemoryOverride(0);
}

TEST(OpenCheck, XmlFilesThatHoldNoXmlOpenEmptyWithoutAnalysis) {
    test::TempDir dir;
    auto app = test::makeApp();
    for (const char* content : {"", "not xml at all", "<config><open></config>"}) {
        auto path = dir.write("broken.XML", content);
        CQXConfigDoc2 doc;
        auto r = import::openDocument(doc, *app, path);
        ASSERT_TRUE(r.opened());
        EXPECT_EQ(r.load.outcome, import::LoadOutcome::NoContent);
        EXPECT_STREQ(doc.config().root().name(), "config");
        EXPECT_FALSE(doc.config().root().first_child());
        EXPECT_EQ(doc.state, 0);
        EXPECT_TRUE(doc.newFormat);
    }
}

TEST(OpenCheck, SavedTreeReloadsAndSavesIdentically) {
    test::TempDir dir;
    auto app = test::makeApp();
    auto path = dir.write("r.txt", test::report("Server Name: FS1\n* Communications *\nMax = 5 \n"));
    CQXConfigDoc2 doc;
    ASSERT_TRUE(import::openDocument(doc, *app, path).opened());
    auto saved = dir.path("FS1.xml");
    ASSERT_TRUE(doc.config().saveFile(saved).ok());
    CQXConfigDoc2 again;
    ASSERT_TRUE(import::openDocument(again, *app, saved).opened());
    EXPECT_EQ(again.config().saveString(), doc.config().saveString());
    EXPECT_EQ(again.state, CQXConfigDoc2::kStateCompleted);
}

TEST(FolderScan, PicksReportsByHeaderAndXmlByName) {
    test::TempDir dir;
    dir.write("a.txt", "Orvane File Server Configuration Report For Server: A\n");
    dir.write("b.txt", std::string(60, '-') + "Orvane File Server Configuration Report For Server\n");
    dir.write("c.txt", std::string(100, '-') + "Orvane File Server Configuration Report For Server\n");
    dir.write("d.xml", "anything");
    dir.write("e.log", "Orvane File Server Configuration Report For Server\n");
    dir.write("sub/deeper/F.TXT", "Orvane File Server Configuration Report For Server: F\n");
    auto found = import::scanFolder(dir.path());
    std::vector<std::string> expected = {dir.path("a.txt"), dir.path("b.txt"), dir.path("d.xml"),
                                         dir.path("sub/deeper/F.TXT")};
    EXPECT_EQ(found, expected);
    EXPECT_TRUE(import::scanFolder(dir.path("nothing-here")).empty());
}
