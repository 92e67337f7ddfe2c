#include "lists/config_lists.hpp"
#include "test_support.hpp"

#include <gtest/gtest.h>

namespace qx {
namespace {

using lists::ListModel;

// A document whose trees are given as XML text, as an ".XML" load would give them.
std::unique_ptr<CQXConfigDoc2> docFrom(const std::string& config,
                                       const std::string& report = "<report><details/></report>") {
    auto doc = std::make_unique<CQXConfigDoc2>();
    EXPECT_TRUE(doc->config().loadString(config).ok());
    EXPECT_TRUE(doc->report().loadString(report).ok());
    return doc;
}

std::vector<std::string> column(const ListModel& m, std::size_t c) {
    std::vector<std::string> out;
    for (const auto& r : m.rows) out.push_back(c < r.cells.size() ? r.cells[c] : "");
    return out;
}

std::vector<std::string> headers(const ListModel& m) {
    std::vector<std::string> out;
    for (const auto& c : m.columns) out.push_back(c.header);
    return out;
}

TEST(ConfigTree, ShowsListedSectionsNamesItemsAndLeavesAdminVolumesOut) {
    auto app = test::makeApp();
    auto doc = docFrom(
        "<config><serverparams "
        "name='Server'><serverparam><name>A</name><value>1</value></serverparam></serverparams>"
        "<disks name='Disk'><disk><name>d</name></disk></disks>"
        "<volumes><volume name='SYS'/><volume name='_ADMIN'/><volume name='KFS_ADMIN'/></volumes>"
        "<setparams><set-category name='Memory'/></setparams></config>");
    const lists::TreeItem root = lists::buildConfigTree(*doc, *app);
    EXPECT_EQ(root.text, "Config");
    ASSERT_EQ(root.children.size(), 3u);  // serverparams, volumes, setparams; disks are not shown
    EXPECT_EQ(root.children[0].icon, 30);
    const auto& volumes = root.children[1];
    EXPECT_EQ(volumes.text, app->label("volumes"));
    ASSERT_EQ(volumes.children.size(), 1u);
    EXPECT_EQ(volumes.children[0].text, "SYS");
    EXPECT_EQ(volumes.children[0].icon, 54);
    EXPECT_EQ(root.children[2].children[0].text, "Memory");
}

TEST(RulesTree, NamesProductsWithVersionAndMarksUpdates) {
    auto app = test::makeApp(
        "<rules date='1'><productgroup name='G' version=''><product ID='1' name='P' version='6.5' "
        "update='true'>"
        "<setparams name='SET'/><informations/></product></productgroup></rules>");
    const lists::TreeItem root = lists::buildRulesTree(app->ruleBase(), *app);
    ASSERT_EQ(root.children.size(), 1u);  // the `rules` element itself
    const auto& group = root.children[0].children.at(0);
    EXPECT_EQ(group.text, "G");
    EXPECT_EQ(group.icon, 16);
    const auto& product = group.children.at(0);
    EXPECT_EQ(product.text, "P 6.5");
    EXPECT_EQ(product.icon, 58);  // an update carries the update icon
    EXPECT_EQ(product.children.size(), 2u);
}

TEST(ConfigList, ModuleRowsCarryTheirMarkAndFilesGroupsJudgeLeftovers) {
    auto app = test::makeApp();
    auto doc = docFrom(
        "<config><modules><loaded-modules>"
        "<module image='2'><name>A.QXK</name><version>1</version><date>Mar1,2004</date><description>x "
        "</description></module>"
        "<module><name>B.QXK</name></module></loaded-modules></modules>"
        "<zrd><file-groups><file-group><pattern>*.OLD</pattern><count>1</count><size>(2097152 "
        "bytes)</size></file-group>"
        "<file-group><pattern>*.DB</pattern><count>1</count><size>(3145728 bytes)</size></file-group>"
        "<file-group><pattern>*.OLD</pattern><count>0</count><size>(0 "
        "bytes)</size></file-group></file-groups></zrd></config>");
    ListModel mods = lists::buildConfigList(xml::selectFirst(doc->config().root(), "loaded-modules"), *app);
    EXPECT_EQ(mods.columns.size(), 5u);
    ASSERT_EQ(mods.rows.size(), 2u);
    EXPECT_EQ(mods.rows[0].icon, lists::icon::kBad);
    EXPECT_EQ(mods.rows[1].icon, lists::icon::kNotChecked);
    EXPECT_EQ(column(mods, 2)[0], "Mar1,2004");

    ListModel groups = lists::buildConfigList(xml::selectFirst(doc->config().root(), "file-groups"), *app);
    ASSERT_EQ(groups.rows.size(), 3u);
    EXPECT_EQ(groups.rows[0].icon, lists::icon::kBad);
    EXPECT_EQ(groups.rows[1].icon, lists::icon::kGood);
    EXPECT_EQ(groups.rows[2].icon, lists::icon::kGood);  // a leftover pattern of size 0 is harmless
}

TEST(ConfigList, PartitionsAndJavaProcessesAreJudged) {
    auto app = test::makeApp();
    auto doc = docFrom(
        "<config><zrd><partitions>"
        "<partition "
        "name='A'><name>A</name><replica><type>Master</type><state>On</state></replica></partition>"
        "<partition "
        "name='B'><name>B</name><replica><type>Read/Write</type><state>On</state></replica></partition>"
        "</partitions></zrd><java-processes><java-process><name>j</name><state>Running</state></java-process>"
        "<java-process><name>k</name><state>Stopped</state></java-process></java-processes></config>");
    ListModel parts = lists::buildConfigList(xml::selectFirst(doc->config().root(), "partitions"), *app);
    ASSERT_EQ(parts.rows.size(), 2u);
    EXPECT_NE(parts.rows[0].icon, lists::icon::kBad);
    EXPECT_EQ(parts.rows[1].icon, lists::icon::kBad);  // no master replica
    ListModel java = lists::buildConfigList(xml::selectFirst(doc->config().root(), "java-processes"), *app);
    EXPECT_EQ(java.rows.at(0).icon, lists::icon::kGood);
    EXPECT_EQ(java.rows.at(1).icon, lists::icon::kBad);
}

TEST(ShowFlags, RemarkStartsHiddenAndClearedFlagsDropRows) {
    ListModel m;
    m.addColumn("c");
    for (int i : {0, 2, 3, 4, 17}) m.addRow(i, {std::to_string(i)});
    auto flags = lists::defaultShowFlags();
    lists::applyShowFlags(m, flags);
    EXPECT_EQ(column(m, 0), (std::vector<std::string>{"0", "2", "3", "17"}));
    flags[lists::icon::kBad] = false;
    lists::applyShowFlags(m, flags);
    EXPECT_EQ(column(m, 0), (std::vector<std::string>{"0", "3", "17"}));
}

TEST(RuleList, ShowsTheConfigurationValueBesideTheConditionAndTheFinding) {
    auto app = test::makeApp(
        "<rules date='1'><productgroup name='G'><serverparams name='Server'>"
        "<serverparam><name>Server Name</name><condition>=</condition><value>FS1</value></serverparam>"
        "<serverparam><name>Missing</name><condition>!=</condition><value>x</value></serverparam>"
        "</serverparams></productgroup></rules>");
    auto doc = docFrom(
        "<config><serverparams><serverparam><name>Server "
        "Name</name><value>FS2</value></serverparam></serverparams></config>",
        "<report><details><property type='serverparam'><image>2</image><name>Server "
        "Name</name></property></details></report>");
    ListModel m = lists::buildRuleList(xml::selectFirst(app->ruleBase().root(), "serverparams"), *doc, *app);
    EXPECT_EQ(headers(m),
              (std::vector<std::string>{app->label("name"), app->label("value"), app->label("condition")}));
    ASSERT_EQ(m.rows.size(), 2u);
    EXPECT_EQ(m.rows[0].cells,
              (std::vector<std::string>{"Server Name", "FS2", app->valueLabel("condition", "=") + " FS1"}));
    EXPECT_EQ(m.rows[0].icon, lists::icon::kBad);
    EXPECT_EQ(m.rows[1].icon, lists::icon::kNotChecked);  // no finding: the rule did not take part
}

TEST(RuleList, FileRulesSearchTheLinesAndSkipComments) {
    auto app = test::makeApp(
        "<rules date='1'><files name='F'>"
        "<file><name>SYS:ETC/HOSTS</name><condition>in</condition><value>gw</value></file>"
        "<file><name>SYS:ETC/HOSTS</name><condition>!in</condition><value>old</value></file>"
        "</files></rules>");
    auto doc = docFrom(
        "<config><files><filegroup name='Etc'><file name='SYS:ETC/HOSTS'>"
        "<line># old gw</line><line>10.0.0.1 gw</line></file></filegroup></files></config>");
    ListModel m = lists::buildRuleList(xml::selectFirst(app->ruleBase().root(), "files"), *doc, *app);
    ASSERT_EQ(m.rows.size(), 2u);
    EXPECT_EQ(m.rows[0].cells[1], "10.0.0.1 gw");
    EXPECT_EQ(m.rows[0].icon, lists::icon::kGood);
    EXPECT_EQ(m.rows[1].icon, lists::icon::kGood);  // "old" only stands in a comment line
}

TEST(RuleList, LineRulesReadAsTheAnalysisJudgesThem) {
    // An indented REM line is a comment to the analysis; the Rules page used to count only
    // comments at the line's start and showed such a rule Good while the product was absent.
    auto app = test::makeApp(
        "<rules date='1'><files name='F'>"
        "<file><name>SYS:ETC/HOSTS</name><condition>in</condition><value>10.0.0.1</value></file>"
        "</files><search-paths name='S'>"
        "<search-path><name>Search Path 2</name><condition>in</condition><value>PUBLIC</value></search-path>"
        "<search-path><name>Search Path 1</name><condition>!in</condition><value>PUBLIC</value></search-path>"
        "</search-paths></rules>");
    auto doc = docFrom(
        "<config><files><filegroup name='Etc'><file name='SYS:ETC/HOSTS'>"
        "<line>  REM 10.0.0.1 old</line></file></filegroup></files>"
        "<search-paths><search-path><name>Search Path 1</name><value>SYS:\\SYSTEM</value></search-path>"
        "<search-path><name>Search Path "
        "2</name><value>SYS:\\PUBLIC</value></search-path></search-paths></config>");
    ListModel files = lists::buildRuleList(xml::selectFirst(app->ruleBase().root(), "files"), *doc, *app);
    ASSERT_EQ(files.rows.size(), 1u);
    EXPECT_EQ(files.rows[0].icon, lists::icon::kBad);
    EXPECT_EQ(files.rows[0].cells[1], "");
    // A search-path rule tests the search path it names, as a requirement does.
    ListModel paths =
        lists::buildRuleList(xml::selectFirst(app->ruleBase().root(), "search-paths"), *doc, *app);
    ASSERT_EQ(paths.rows.size(), 2u);
    EXPECT_EQ(paths.rows[0].cells[0], "SYS:\\PUBLIC");
    EXPECT_EQ(paths.rows[0].icon, lists::icon::kGood);
    EXPECT_EQ(paths.rows[1].icon, lists::icon::kGood);  // Search Path 1 does not hold it
}

TEST(RuleList, KindsWithoutALayoutShowTheirFields) {
    auto app = test::makeApp(
        "<rules date='1'><partitions name='P'><partition><server>FS1</server><value>On</value>"
        "<condition>=</condition></partition></partitions></rules>");
    auto doc = docFrom("<config/>");
    ListModel m = lists::buildRuleList(xml::selectFirst(app->ruleBase().root(), "partitions"), *doc, *app);
    ASSERT_EQ(m.columns.size(), 6u);
    EXPECT_EQ(m.columns[0].header, app->label("server"));
    ASSERT_EQ(m.rows.size(), 1u);
    EXPECT_EQ(m.rows[0].cells[0], "FS1");
    EXPECT_EQ(m.rows[0].cells[2], app->valueLabel("condition", "="));
}

TEST(Sorting, DateNumberAndTextOrders) {
    auto app = test::makeApp();
    ListModel m;
    m.addColumn(app->label("name"));
    m.addColumn(app->label("size"));
    m.addColumn(app->label("date"));
    m.addRow(0, {"b", "900", "Mar 1, 2004"});
    m.addRow(0, {"a", "1,048,576 bytes", "12.24.2003"});
    m.addRow(0, {"C", "20", "Jan1,2005"});
    lists::sortRows(m, 1, *app);
    EXPECT_EQ(column(m, 0), (std::vector<std::string>{"a", "b", "C"}));  // largest size first
    lists::sortRows(m, 2, *app);
    EXPECT_EQ(column(m, 0), (std::vector<std::string>{"a", "b", "C"}));
    lists::sortRows(m, 0, *app);
    EXPECT_EQ(column(m, 0), (std::vector<std::string>{"C", "a", "b"}));  // byte order: upper case first
    lists::sortRows(m, 7, *app);                                         // out of range: nothing moves
    EXPECT_EQ(column(m, 0), (std::vector<std::string>{"C", "a", "b"}));
}

TEST(Compare, SectionsAcrossServersMarkEqualAndDifferentItems) {
    auto app = test::makeApp();
    auto a = docFrom(
        "<config><setparams><set-category name='Memory'>"
        "<set-param><name>X</name><value>1</value></set-param>"
        "<set-param><name>Y</name><value>2</value></set-param></set-category></setparams></config>");
    auto b = docFrom(
        "<config><setparams><set-category name='Other'/><set-category name='Memory'>"
        "<set-param><name>X</name><value>1</value></set-param>"
        "<set-param><name>Y</name><value>3</value></set-param></set-category></setparams></config>");
    a->title = "A";
    b->title = "B";
    const xml::Node section = xml::selectFirst(a->config().root(), "set-category");
    ListModel x = lists::buildCompareX(section, {a.get(), b.get()}, *app);
    EXPECT_EQ(headers(x), (std::vector<std::string>{app->label("name"), "A", "B"}));
    EXPECT_EQ(x.columns[0].width, 500);
    ASSERT_EQ(x.rows.size(), 2u);
    EXPECT_EQ(x.rows[0].icon, lists::icon::kEqual);
    EXPECT_EQ(x.rows[1].cells, (std::vector<std::string>{"Y", "2", "3"}));
    EXPECT_EQ(x.rows[1].icon, lists::icon::kNotEqual);

    ListModel y = lists::buildCompareY(section, {a.get(), b.get()}, *app);
    EXPECT_EQ(headers(y), (std::vector<std::string>{app->label("server"), "X", "Y"}));
    EXPECT_EQ(column(y, 0), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(y.rows[1].icon, lists::icon::kNotEqual);
}

TEST(ReportTree, ShowsSectionsUnderLabelsAndFiltersUnderTheirNames) {
    auto app = test::makeApp();
    CQXConfigDoc2 doc;
    doc.resetReport();
    const lists::TreeItem root = lists::buildReportTree(doc, *app);
    EXPECT_EQ(root.icon, 48);
    ASSERT_EQ(root.children.size(), 1u);
    const auto& sections = root.children[0].children;
    ASSERT_EQ(sections.size(), 17u);
    EXPECT_EQ(sections[5].text, "Filtered");
    ASSERT_EQ(sections[5].children.size(), 4u);
    EXPECT_EQ(sections[5].children[0].text, "Timesync");
}

}  // namespace
}  // namespace qx
