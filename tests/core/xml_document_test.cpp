#include "test_support.hpp"

#include <gtest/gtest.h>

using namespace qx;

namespace {

xml::Document parse(const char* text) {
    xml::Document d;
    EXPECT_TRUE(d.loadString(text).ok());
    return d;
}

std::string names(const std::vector<xml::Node>& nodes) {
    std::string out;
    for (auto n : nodes) out += std::string(n.name()) + "=" + xml::attribute(n, "name") + xml::text(n) + ";";
    return out;
}

}  // namespace

TEST(XmlSelect, FirstStepFindsDescendantsLaterStepsChildren) {
    auto d = parse("<config><devices><device name='A'><property><name>x</name></property>"
                   "<device name='B'><property><name>y</name></property></device>"
                   "<property><name>z</name></property></device></devices></config>");
    // Document order even when matches nest.
    EXPECT_EQ(names(xml::select(d.documentNode(), "device/property")), "property=x;property=y;property=z;");
    EXPECT_EQ(names(xml::select(d.documentNode(), "device[@name='B']/property")), "property=y;");
    EXPECT_EQ(xml::select(d.documentNode(), "config").size(), 1u);
    // The context itself is not a descendant.
    auto devices = xml::selectFirst(d.documentNode(), "devices");
    EXPECT_TRUE(xml::select(devices, "devices").empty());
}

TEST(XmlSelect, PredicatesOnAttributesAndChildTextWithEitherQuote) {
    auto d = parse(R"(<r><file name="SYS:ETC\HOSTS"><line>a</line></file>)"
                   R"(<file name="O'Brien"><line>b</line></file>)"
                   R"(<serverparam><name>Server Name</name><value>FS1</value></serverparam></r>)");
    EXPECT_EQ(xml::text(xml::selectFirst(d.documentNode(), "file[@name='SYS:ETC\\\\HOSTS']/line")), "a");
    EXPECT_EQ(xml::text(xml::selectFirst(d.documentNode(), "file[@name=\"O'Brien\"]/line")), "b");
    std::string pattern = "file[@name='" + xml::escapeLiteral("O'Brien") + "']/line";
    EXPECT_EQ(xml::text(xml::selectFirst(d.documentNode(), pattern)), "b");
    pattern = "file[@name='" + xml::escapeLiteral("SYS:ETC\\HOSTS") + "']";
    EXPECT_EQ(xml::select(d.documentNode(), pattern).size(), 1u);
    EXPECT_EQ(xml::select(d.documentNode(), "serverparam[name=\"Server Name\"]").size(), 1u);
    EXPECT_TRUE(xml::select(d.documentNode(), "serverparam[name='server name']").empty());
}

TEST(XmlSelect, MalformedPatternsMatchNothing) {
    auto d = parse("<r><a name='x'/></r>");
    for (const char* p : {"", "a[", "a[@name='x'", "a[@name=x]", "a/", "/a", "a[@='x']", "a]"}) {
        EXPECT_TRUE(xml::select(d.documentNode(), p).empty()) << p;
    }
}

TEST(XmlDocument, TextIsKeptExactlyThroughSaveAndLoad) {
    xml::Document d;
    auto root = d.createRoot("config");
    xml::appendElement(root, "value", "FS1  ");
    xml::appendElement(root, "blank", " ");
    xml::appendElement(root, "tabs", "a\tb");
    xml::appendElement(root, "empty", "");
    auto e = xml::appendElement(root, "file");
    xml::setAttribute(e, "name", "SYS:\tX <&> \"q\"");
    std::string saved = d.saveString();
    xml::Document again;
    ASSERT_TRUE(again.loadString(saved).ok());
    EXPECT_EQ(again.saveString(), saved);
    EXPECT_EQ(xml::childText(again.root(), "value"), "FS1  ");
    EXPECT_EQ(xml::childText(again.root(), "blank"), " ");
    EXPECT_EQ(xml::childText(again.root(), "tabs"), "a\tb");
    EXPECT_EQ(xml::attribute(xml::child(again.root(), "file"), "name"), "SYS:\tX <&> \"q\"");
}

TEST(XmlDocument, ReportBytesBecomeStorableText) {
    std::string bytes = "caf\xE9 \x01\x7F";
    bytes += '\0';
    bytes += "end\r";
    std::string utf8 = xml::fromLatin1(bytes);
    EXPECT_EQ(utf8, "caf\xC3\xA9 \xEF\xBF\xBD\x7F\xEF\xBF\xBD" "end\xEF\xBF\xBD");
    xml::Document d;
    xml::appendElement(d.createRoot("r"), "v", utf8);
    xml::Document again;
    ASSERT_TRUE(again.loadString(d.saveString()).ok());
    EXPECT_EQ(xml::childText(again.root(), "v"), utf8);
    // Invalid UTF-8 from elsewhere is read as Latin-1.
    EXPECT_EQ(xml::sanitize("ok \xC3\xA9 \xFF"), "ok \xC3\xA9 \xC3\xBF");
}

TEST(XmlDocument, Latin1DeclarationIsKeptOnSave) {
    xml::Document d;
    ASSERT_TRUE(d.loadString("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><language a=\"\xE1\"/>").ok());
    EXPECT_TRUE(d.latin1());
    EXPECT_EQ(xml::attribute(d.root(), "a"), "\xC3\xA1");
    std::string saved = d.saveString();
    EXPECT_NE(saved.find("a=\"\xE1\""), std::string::npos);
}

TEST(XmlDocument, FailedLoadsLeaveAnEmptyDocument) {
    xml::Document d;
    EXPECT_EQ(d.loadString("<a><b></a>").status, xml::LoadStatus::Malformed);
    EXPECT_TRUE(d.empty());
    EXPECT_FALSE(d.loadString("").ok());
    EXPECT_FALSE(d.loadString("just text").ok());
    EXPECT_EQ(d.loadFile("/nonexistent/file.xml").status, xml::LoadStatus::FileNotFound);
}

TEST(XmlDocument, SaveReplacesAFileWholeAndLeavesNoTemporaryFiles) {
    test::TempDir dir;
    std::string path = dir.write("rules.xml", "old content");
    xml::Document d;
    d.createRoot("rules");
    ASSERT_TRUE(d.saveFile(path).ok());
    xml::Document back;
    EXPECT_TRUE(back.loadFile(path).ok());
    int files = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 1);
    EXPECT_FALSE(d.saveFile(dir.path("missing-folder/x.xml")).ok());
}

TEST(XmlDocument, NodeIdentity) {
    auto d = parse("<r><a/><a/></r>");
    auto all = xml::select(d.documentNode(), "a");
    ASSERT_EQ(all.size(), 2u);
    EXPECT_NE(all[0], all[1]);
    EXPECT_EQ(all[0], xml::child(d.root(), "a"));
}
