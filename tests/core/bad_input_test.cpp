// The bad-input catalogue: every damaged input ends in a clear outcome (a tree, a message,
// a refusal), and the program's own files stay whole.
#include "test_support.hpp"

#include <gtest/gtest.h>

using namespace qx;
using test::texts;

namespace {

void expectStableTree(const CQXConfigDoc2& doc) {
    ASSERT_TRUE(doc.config().root());
    std::string saved = doc.config().saveString();
    xml::Document again;
    ASSERT_TRUE(again.loadString(saved).ok());
    EXPECT_EQ(again.saveString(), saved);
}

}  // namespace

TEST(BadInput, DamagedReportsEndInAStableTree) {
    auto app = test::makeApp();
    std::string oneCharLines;
    for (int i = 0; i < 100000; ++i) oneCharLines += static_cast<char>('a' + i % 26), oneCharLines += '\n';
    const std::string full = test::report(
        "Top of Server Information\nServer Name: FS1\n"
        "* Communications *\nMaximum Packet Receive Buffers = 500\n"
        "Top of Modules List\nSERVER.QXK  5.70  March 1, 2004  Server kernel\n");
    const std::vector<std::string> inputs = {
        test::report(oneCharLines),
        full.substr(0, full.size() - 17),  // cut mid-line
        test::report("Name \xE9t\xE9: caf\xE9 cr\xE8me\nX\xC3\x28y = \xFF\xFE\n"),
        test::report(
            "Top of Modules List\nTop of Storage Device Configuration Information\nTop of search paths\n"
            "Top of ZRD/Trellium Configuration Listing\nTop of file. [SYS:ETC\\HOSTS]\n"),
    };
    for (const auto& input : inputs) {
        auto doc = test::importAndComplete(input, *app);
        expectStableTree(*doc);
        EXPECT_EQ(doc->state, CQXConfigDoc2::kStateCompleted);
    }
    auto latin = test::importOnly(inputs[2]);
    EXPECT_EQ(texts(latin->config(), "serverparam[name='Name \xC3\xA9t\xC3\xA9']/value"),
              "caf\xC3\xA9 cr\xC3\xA8me");
}

TEST(BadInput, BrokenRuleBasesAndTablesAreRefusedOrFallBack) {
    test::TempDir dir;
    const std::string good = "<rules date='01 01 2026'/>";
    dir.write("rules.xml", good);
    Application app(dir.path());
    ASSERT_EQ(app.loadRuleBase(), RuleBaseLoad::Loaded);
    const std::vector<std::string> broken = {"", "not xml", "<rules><product></rules>",
                                             std::string("\0\1\2", 3)};
    for (const auto& bad : broken) {
        Application other(dir.path());
        EXPECT_EQ(other.loadRuleBaseFrom(dir.write("bad.xml", bad)), RuleBaseLoad::Malformed);
        EXPECT_FALSE(other.ruleBaseLoaded());
    }
    // A failed reload keeps the rule base in memory and the file on disk as they were.
    dir.write("rules.xml", "<rules><broken></rules>");
    EXPECT_FALSE(app.reloadRuleBase());
    EXPECT_EQ(app.ruleBaseDate(), "01 01 2026");
    EXPECT_EQ(*platform::readFile(dir.path("rules.xml")), "<rules><broken></rules>");

    // A localisation table without groups or labels falls back to keys and values.
    Localisation l;
    ASSERT_TRUE(l.document().loadString("<language><menuitem id='10' english='File'/></language>").ok());
    l.reindex();
    EXPECT_EQ(l.label("config"), "config");
    EXPECT_EQ(l.valueLabel("condition", ">="), ">=");
    EXPECT_EQ(l.valueLabel("reports", "2"), "2");
    EXPECT_EQ(l.menuText("10"), "File");
}

TEST(BadInput, RuleBasesOfUnknownShapeAnalyseWithoutHarm) {
    const std::string rules = R"(<rules>
      <mystery><deeper/></mystery>
      <productgroup name="G"><serverparams name="S">
        <serverparam name="Server Name" condition="=" value="FS1"/>
        <serverparam><name>Server Name</name><condition>~=</condition><value>FS1</value></serverparam>
      </serverparams><modules name="M">
        <module><name>SERVER.QXK</name><version>5.70</version><version_condition>&gt;=</version_condition>
          <date>the day after tomorrow</date><date_condition>&gt;=</date_condition></module>
      </modules></productgroup></rules>)";
    auto app = test::makeApp(rules);
    ASSERT_TRUE(app->ruleBaseLoaded());
    auto doc = test::importAndComplete(
        test::report(
            "Server Name: FS1\nTop of Modules List\nSERVER.QXK  5.70  March 1, 2004  Server kernel\n"),
        *app);
    EXPECT_EQ(doc->state, CQXConfigDoc2::kStateCompleted);
    // Fields as attributes read as absent; an unknown operator compares nothing.
    auto records = xml::select(doc->report().documentNode(), "details/property[@type='serverparam']");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(xml::childText(records[0], "image"), "0");
    expectStableTree(*doc);
}
