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
    auto d = parse(
        "<config><devices><device name='A'><property><name>x</name></property>"
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
    EXPECT_EQ(utf8,
              "caf\xC3\xA9 \xEF\xBF\xBD\x7F\xEF\xBF\xBD"
              "end\xEF\xBF\xBD");
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

namespace {

// Builds the same small tree through every writer; the result must not depend on whether
// the document shares its element names.
void buildFields(xml::Document& d) {
    xml::Node root = d.createRoot("config");
    xml::Node rec = xml::appendElement(root, "module");
    xml::appendElement(rec, "name", "SERVER.QXK");
    xml::appendElement(rec, "version", "");
    xml::Node desc = xml::appendLatin1Element(rec, "description", "Caf\xe9 loader");
    xml::setText(desc, "Loader, continued");
    xml::Node grown = xml::appendElement(rec, "date");
    xml::setText(grown, "Mar 1 2004");
    xml::Node emptied = xml::appendElement(rec, "size", "123");
    xml::setText(emptied, "");
    xml::Node mixed = xml::appendElement(rec, "note", "head ");
    xml::appendElement(mixed, "part", "tail");
    xml::appendElement(rec, "ns:item", "still stored");
    xml::setAttribute(rec, "name", "m");
}

}  // namespace

TEST(XmlSharedNames, TreesReadSaveSearchAndCopyAsWithoutSharing) {
    xml::Document plain;
    buildFields(plain);
    xml::Document shared;
    shared.shareElementNames();
    buildFields(shared);

    const std::string expected = plain.saveString();
    EXPECT_EQ(shared.saveString(), expected);  // the helper element is never written
    xml::Node rec = xml::child(shared.root(), "module");
    EXPECT_EQ(xml::childText(rec, "description"), "Loader, continued");
    EXPECT_EQ(xml::childText(rec, "size"), "");
    EXPECT_EQ(xml::childText(rec, "note"), "head tail");
    EXPECT_EQ(xml::childText(rec, "ns:item"), "still stored");
    EXPECT_EQ(xml::select(shared.documentNode(), "name").size(), 1u);  // templates are not found
    EXPECT_EQ(xml::select(shared.documentNode(), "config").size(), 1u);
    EXPECT_EQ(names(xml::select(shared.documentNode(), "module[name='SERVER.QXK']")),
              "module=mSERVER.QXK" + std::string("Loader, continuedMar 1 2004head tailstill stored") + ";");

    xml::Document copy;
    copy.copyFrom(shared);
    EXPECT_EQ(copy.saveString(), expected);
    EXPECT_EQ(xml::select(copy.documentNode(), "name").size(), 1u);

    // Released helpers leave the names in place; appending afterwards starts them again.
    shared.releaseSharedNames();
    EXPECT_EQ(shared.saveString(), expected);
    xml::appendElement(shared.root(), "name", "after");
    EXPECT_EQ(xml::select(shared.documentNode(), "name").size(), 2u);

    // A reload drops the templates with the old nodes.
    ASSERT_TRUE(shared.loadString(expected).ok());
    xml::appendElement(shared.root(), "name", "reloaded");
    EXPECT_EQ(xml::childText(shared.root(), "name"), "reloaded");
}

TEST(XmlSharedNames, DocumentsComeAndGoWithoutStaleTemplates) {
    // Sanitizer builds catch a template outliving its document here.
    for (int round = 0; round < 50; ++round) {
        auto a = std::make_unique<xml::Document>();
        a->shareElementNames();
        xml::Document b;
        b.shareElementNames();
        xml::Node ra = a->createRoot("a");
        xml::Node rb = b.createRoot("b");
        for (int i = 0; i < 20; ++i) {
            xml::appendElement(i % 2 ? ra : rb, "value", std::to_string(i));
        }
        xml::Document moved = std::move(b);
        b = std::move(*a);
        a.reset();
        xml::appendElement(b.root(), "value", "x");
        xml::appendElement(moved.root(), "value", "y");
        EXPECT_EQ(xml::select(b.documentNode(), "value").size(), 11u);
        EXPECT_EQ(xml::select(moved.documentNode(), "value").size(), 11u);
        EXPECT_EQ(xml::text(moved.root().last_child()), "y");
    }
}

TEST(XmlSharedNames, SharedTextsComeBackExactlyAndChangeOneElementOnly) {
    const std::vector<std::string> texts = {"Group -> Product 1.0 -> Rules",
                                            "a & b < c > d",
                                            "line\r\nbreak",
                                            "  padded  ",
                                            " ",
                                            "\t",
                                            "&amp; stays literal",
                                            std::string(600, 'L'),
                                            "caf\xc3\xa9",
                                            "Group -> Product 1.0 -> Rules"};
    xml::Document plain;
    xml::Document shared;
    shared.shareElementNames(true);
    for (xml::Document* d : {&plain, &shared}) {
        xml::Node root = d->createRoot("details");
        for (const auto& t : texts) {
            xml::Node rec = xml::appendElement(root, "property");
            xml::appendElement(rec, "rules", t);
        }
    }
    auto recs = xml::select(shared.documentNode(), "property/rules");
    ASSERT_EQ(recs.size(), texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(xml::text(recs[i]), texts[i]) << i;
    EXPECT_EQ(shared.saveString(), plain.saveString());

    // The first and last share one stored text; changing one leaves the other alone.
    xml::setText(recs.front(), "changed");
    EXPECT_EQ(xml::text(recs.front()), "changed");
    EXPECT_EQ(xml::text(recs.back()), texts.back());
    xml::Node again = xml::appendElement(recs.back().parent(), "rules", texts.back());
    EXPECT_EQ(xml::text(again), texts.back());
}
