#include "test_support.hpp"
#include "xml/tree_builder.hpp"

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

// Appends through a builder when there is one, else through the plain functions.
struct Writer {
    xml::TreeBuilder* b = nullptr;
    xml::Node add(xml::Node parent, std::string_view name, std::string_view text = {}) const {
        return b ? b->append(parent, name, text) : xml::appendElement(parent, name, text);
    }
    xml::Node addLatin1(xml::Node parent, std::string_view name, std::string_view bytes) const {
        return b ? b->appendLatin1(parent, name, bytes) : xml::appendLatin1Element(parent, name, bytes);
    }
    void attr(xml::Node n, std::string_view name, std::string_view value) const {
        if (b)
            b->setAttribute(n, name, value);
        else
            xml::setAttribute(n, name, value);
    }
};

// Builds the same small tree through every writer; the result must not depend on whether
// a builder shares names, texts and attributes.
void buildFields(xml::Document& d, const Writer& w) {
    xml::Node root = d.root();
    xml::Node rec = w.add(root, "module");
    w.add(rec, "name", "SERVER.QXK");
    w.add(rec, "version", "");
    xml::Node desc = w.addLatin1(rec, "description", "Caf\xe9 loader");
    xml::setText(desc, "Loader, continued");
    xml::Node grown = w.add(rec, "date");
    xml::setText(grown, "Mar 1 2004");
    xml::Node emptied = w.add(rec, "size", "123");
    xml::setText(emptied, "");
    xml::Node mixed = w.add(rec, "note", "head ");
    w.add(mixed, "part", "tail");
    w.add(rec, "ns:item", "still stored");
    w.attr(rec, "name", "m");
    w.attr(rec, "type", "set-param");
    w.attr(rec, "type", "changed");  // an attribute set twice keeps its place
    xml::Node other = w.add(root, "module");
    w.attr(other, "type", "set-param");
    w.attr(other, "text", "tab\there \"quoted\" <&> line\nbreak\r");
    w.attr(other, "long", std::string(100, 'v'));
    w.attr(other, "ns:odd", "x");
}

}  // namespace

TEST(XmlTreeBuilder, BuiltTreesReadSaveSearchAndCopyAsPlainOnes) {
    xml::Document plain;
    plain.createRoot("config");
    buildFields(plain, {});
    xml::Document built;
    built.createRoot("config");
    xml::TreeBuilder builder(built);
    buildFields(built, {&builder});

    // While it builds, the templates follow the document element: walks from the root
    // never meet them.
    ASSERT_TRUE(builder.templates());
    EXPECT_EQ(built.root(), xml::child(built.documentNode(), "config"));
    EXPECT_EQ(xml::select(built.root(), "name").size(), 1u);
    builder.finish();
    EXPECT_FALSE(builder.templates());

    const std::string expected = plain.saveString();
    EXPECT_EQ(built.saveString(), expected);
    EXPECT_EQ(xml::select(built.documentNode(), "name").size(), 1u);  // templates are gone
    xml::Node rec = xml::child(built.root(), "module");
    EXPECT_EQ(xml::childText(rec, "description"), "Loader, continued");
    EXPECT_EQ(xml::childText(rec, "size"), "");
    EXPECT_EQ(xml::childText(rec, "note"), "head tail");
    EXPECT_EQ(xml::childText(rec, "ns:item"), "still stored");
    EXPECT_EQ(xml::attribute(rec, "type"), "changed");
    EXPECT_EQ(xml::attribute(rec.next_sibling(), "text"), "tab\there \"quoted\" <&> line\nbreak\r");
    EXPECT_EQ(names(xml::select(built.documentNode(), "module[name='SERVER.QXK']")),
              "module=mSERVER.QXK" + std::string("Loader, continuedMar 1 2004head tailstill stored") + ";");

    xml::Document copy;
    copy.copyFrom(built);
    EXPECT_EQ(copy.saveString(), expected);

    // The built elements keep their names and texts; appending afterwards makes new templates.
    xml::Node later = builder.append(built.root(), "name", "after");
    builder.setAttribute(later, "type", "set-param");
    builder.finish();
    EXPECT_EQ(xml::select(built.documentNode(), "name").size(), 2u);
    EXPECT_EQ(xml::attribute(later, "type"), "set-param");
    ASSERT_TRUE(built.loadString(expected).ok());
    EXPECT_EQ(built.saveString(), expected);
}

TEST(XmlTreeBuilder, BuildersComeAndGoWithoutStaleTemplates) {
    // Sanitizer builds catch a template outliving its builder or its document here.
    for (int round = 0; round < 20; ++round) {
        auto a = std::make_unique<xml::Document>();
        xml::Node ra = a->createRoot("a");
        xml::Document b;
        xml::Node rb = b.createRoot("b");
        {
            xml::TreeBuilder ba(*a, xml::TreeBuilder::Texts::Shared);
            xml::TreeBuilder bb(b);
            for (int i = 0; i < 20; ++i) {
                xml::Node v = (i % 2 ? ba : bb).append(i % 2 ? ra : rb, "value", std::to_string(i % 3));
                (i % 2 ? ba : bb).setAttribute(v, "image", std::to_string(i % 4));
            }
        }
        xml::TreeBuilder again(b);
        again.append(rb, "value", "x");
        xml::Document moved = std::move(*a);
        a.reset();
        EXPECT_EQ(xml::select(moved.documentNode(), "value").size(), 10u);
        EXPECT_GT(xml::select(b.documentNode(), "value").size(), 11u);  // the templates too
        again.finish();
        EXPECT_EQ(xml::select(b.documentNode(), "value").size(), 11u);
        EXPECT_EQ(xml::text(b.root().last_child()), "x");
        EXPECT_EQ(xml::attribute(moved.root().first_child(), "image"), "1");
    }
}

TEST(XmlTreeBuilder, SharedTextsComeBackExactlyAndChangeOneElementOnly) {
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
    for (xml::Document* d : {&plain, &shared}) {
        xml::Node root = d->createRoot("details");
        xml::TreeBuilder b(shared, xml::TreeBuilder::Texts::Shared);
        for (const auto& t : texts) {
            xml::Node rec = d == &shared ? b.append(root, "property") : xml::appendElement(root, "property");
            if (d == &shared)
                b.append(rec, "rules", t);
            else
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
