#include "test_support.hpp"

#include "platform/file_system.hpp"

#include <gtest/gtest.h>

using namespace qx;

TEST(Localisation, LabelLookupFallsBackToTheKey) {
    Localisation l;
    EXPECT_EQ(l.label("config"), "config");  // no table at all
    ASSERT_TRUE(l.loadEmbedded());
    EXPECT_EQ(l.label("config"), "Config");
    EXPECT_EQ(l.label("Config"), "Config");  // looked up as "config"
    EXPECT_EQ(l.label("a#b"), "a#b");
    EXPECT_EQ(l.label("no-such-key"), "no-such-key");
    EXPECT_EQ(l.label("lan/qxk"), "lan/qxk");
    l.setLanguage("klingon");
    EXPECT_EQ(l.label("config"), "config");
    l.setLanguage("hungarian");
    EXPECT_NE(l.label("config"), "Config");
}

TEST(Localisation, ValueLabelsAndMenuTexts) {
    Localisation l;
    ASSERT_TRUE(l.loadEmbedded());
    EXPECT_EQ(l.valueLabel("reports", "2"), "Report generated:%s");
    EXPECT_EQ(l.valueLabel("reports", "99"), "99");
    EXPECT_EQ(l.valueLabel("condition", ">="), "greater than or equal to");
    EXPECT_EQ(l.valueLabel("nogroup", ">="), ">=");
    EXPECT_EQ(l.menuText("no-such-id"), "");
    EXPECT_FALSE(l.menuText("10").empty());
}

TEST(Localisation, LastMatchingValueWinsAndFirstLabelCounts) {
    Localisation l;
    ASSERT_TRUE(
        l.document()
            .loadString(
                "<language><x english='first'><v value='1' english='a'/><v value='1' english='b'/></x>"
                "<x english='second'/><menuitem id='5' english='one'/><menuitem id='5' "
                "english='two'/></language>")
            .ok());
    l.reindex();
    EXPECT_EQ(l.label("x"), "first");
    EXPECT_EQ(l.valueLabel("x", "1"), "b");
    EXPECT_EQ(l.menuText("5"), "one");
}

TEST(Localisation, FileBesideTheProgramWinsOverTheEmbeddedTable) {
    test::TempDir dir;
    Localisation l;
    EXPECT_EQ(l.loadFrom(dir.path()), LocalisationSource::Embedded);
    dir.write(
        "menu.xml",
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><language><config english=\"Konf\xE9\"/></language>");
    EXPECT_EQ(l.loadFrom(dir.path()), LocalisationSource::File);
    EXPECT_EQ(l.label("config"), "Konf\xC3\xA9");
    // Saved back in the encoding it declared.
    ASSERT_EQ(l.save(dir.path("menu.xml")), "");
    auto bytes = platform::readFile(dir.path("menu.xml"));
    ASSERT_TRUE(bytes);
    EXPECT_NE(bytes->find("Konf\xE9"), std::string::npos);
    dir.write("menu.xml", "<language><broken></language>");
    EXPECT_EQ(l.loadFrom(dir.path()), LocalisationSource::Failed);
    EXPECT_EQ(l.label("config"), "config");
}
