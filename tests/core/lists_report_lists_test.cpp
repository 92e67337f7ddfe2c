#include "lists_test_support.hpp"

#include "lists/list_export.hpp"
#include "lists/report_lists.hpp"

using namespace qx;
using lists::buildReportList;
using lists::findReportNode;
using test::docFromXml;

namespace {

constexpr const char* kRules = R"(<rules>
  <productgroup name="G" version="">
    <product ID="1" name="P" version="6.5" kdn="K1" description="D1" update="true" type="2"/>
    <product ID="2" name="Q" version="" kdn="K2" description="D2" update="false" type="1"/>
  </productgroup></rules>)";

constexpr const char* kReport = R"(<report><details>
  <property type="module" ID="1"><image>2</image><name>M.QXK</name></property>
  <property type="module" ID="9"><image>2</image><name>N.QXK</name></property>
  <property type="module"><image>3</image><name>OK.QXK</name></property>
  <property type="set-param"><image>3</image><icon>1</icon><url>u</url><name>S</name><condition>equal</condition><value>1</value></property>
  <property type="set-param"><image>2</image><icon>x</icon><name>T</name></property>
  <property type="volume"><image>2</image><name>V</name></property>
  <property type="device"><image>2</image><type>path</type><rules>r</rules><name>D</name><condition>c</condition><value>v</value></property>
</details><summary/><suggestion/><patches/><modules/><setparams/><devices/><check>
  <product ID="1" checked="good" status="bad"><name>P</name></product>
  <product ID="2" checked="good" status="good"><name>Q</name></product>
  <product ID="3" checked="bad" status="good"><name>R</name></product>
</check><filtergroup><filter name="F"><set-param>A</set-param><set-param>B</set-param><set-param>C</set-param></filter></filtergroup>
</report>)";

std::string setParams(const std::string& a, const std::string& b, const std::string& c) {
    auto one = [](const char* n, const std::string& v) {
        return v.empty()
                   ? std::string()
                   : std::string("<set-param><name>") + n + "</name><value>" + v + "</value></set-param>";
    };
    return "<config><serverparams><serverparam><name>Server Name</name><value>S" + a + b + c +
           "</value></serverparam></serverparams><setparams><set-category name=\"x\">" + one("A", a) +
           one("B", b) + one("C", c) + "</set-category></setparams></config>";
}

}  // namespace

TEST(ReportLists, ProductsUpdatesAndModules) {
    auto app = test::makeApp(kRules);
    auto doc = docFromXml("<config/>", kReport);
    auto check = buildReportList(*doc, *app, findReportNode(*doc, "check"));
    ASSERT_EQ(check.rows.size(), 3u);
    EXPECT_EQ(check.rows[0].cells, std::vector<std::string>({"P", " -> G -> P 6.5", ""}));
    EXPECT_EQ(check.rows[2].icon, lists::icon::kBad);

    auto suggestion = buildReportList(*doc, *app, findReportNode(*doc, "suggestion"));
    ASSERT_EQ(suggestion.rows.size(), 2u);  // present products only
    EXPECT_EQ(suggestion.rows[0].icon, lists::icon::kBad);
    EXPECT_EQ(suggestion.rows[0].cells, std::vector<std::string>({"P", "D1", "K1", ""}));
    EXPECT_EQ(suggestion.rows[1].icon, lists::icon::kGood);

    auto patches = buildReportList(*doc, *app, findReportNode(*doc, "patches"));
    ASSERT_EQ(patches.rows.size(), 1u);
    EXPECT_EQ(patches.rows[0].cells[0], "P");
    EXPECT_EQ(patches.rows[0].cells[1], "K1");

    auto modules = buildReportList(*doc, *app, findReportNode(*doc, "modules"));
    ASSERT_EQ(modules.rows.size(), 2u);
    EXPECT_EQ(modules.rows[0].cells,
              std::vector<std::string>({"M.QXK", "P", "K1", "D1", app->valueLabel("type", "2")}));
    EXPECT_EQ(modules.rows[1].cells, std::vector<std::string>({"N.QXK", "", "", "", ""}));  // no such product
}

TEST(ReportLists, SummaryAndFindings) {
    auto app = test::makeApp(kRules);
    auto doc = docFromXml("<config/>", kReport);
    auto summary = buildReportList(*doc, *app, findReportNode(*doc, "summary"));
    ASSERT_EQ(summary.rows.size(), 5u);
    EXPECT_EQ(summary.rows[0].cells[1], "1");  // modules good
    EXPECT_EQ(summary.rows[0].cells[2], "2");  // modules bad
    EXPECT_EQ(summary.rows[1].cells[2], "1");
    EXPECT_EQ(summary.rows[4].cells[2], "1");  // devices; volumes are not counted anywhere

    auto setparams = buildReportList(*doc, *app, findReportNode(*doc, "setparams"));
    ASSERT_EQ(setparams.rows.size(), 2u);
    EXPECT_EQ(setparams.rows[0].icon, 33);
    EXPECT_EQ(setparams.rows[0].cells,
              std::vector<std::string>({"S", "equal", "1", app->label("recommended"), "u"}));
    EXPECT_EQ(setparams.rows[1].icon, 32);  // not a number reads as 0
    EXPECT_EQ(setparams.rows[1].cells[3], app->label("notrequired"));

    auto devices = buildReportList(*doc, *app, findReportNode(*doc, "devices"));
    ASSERT_EQ(devices.rows.size(), 1u);
    EXPECT_EQ(devices.rows[0].cells, std::vector<std::string>({"path", "r", "D", "c", "v"}));
    EXPECT_EQ(buildReportList(*doc, *app, findReportNode(*doc, "details")).rows.size(), 7u);
}

TEST(ReportLists, FilterAcrossDocuments) {
    auto app = test::makeApp();
    auto self = docFromXml(setParams("1", "1", "1"), kReport);
    auto same = docFromXml(setParams("1", "2", "1"));
    auto missing = docFromXml(setParams("1", "", "2"));
    auto open = docFromXml(setParams("9", "9", "9"));
    open->state = 0;  // import not completed: not a column
    auto m = buildReportList(*self, *app, findReportNode(*self, "filter:F"),
                             {self.get(), same.get(), missing.get(), open.get()});
    ASSERT_EQ(m.columns.size(), 4u);
    EXPECT_EQ(m.columns[0].width, 400);
    EXPECT_EQ(m.columns[1].header, self->title);
    ASSERT_EQ(m.rows.size(), 3u);
    EXPECT_EQ(m.rows[0].icon, lists::icon::kEqual);
    EXPECT_EQ(m.rows[1].icon, lists::icon::kInformation);  // the last document decides
    EXPECT_EQ(m.rows[2].icon, lists::icon::kNotEqual);
    EXPECT_EQ(m.rows[1].cells, std::vector<std::string>({"B", "1", "2", ""}));
}

TEST(ListExport, ClipboardAndTextForms) {
    auto app = test::makeApp();
    lists::ListModel m;
    m.addColumn("A");
    m.addColumn(app->label("kdn"));
    m.addRow(0, {"x"});
    m.addRow(0, {"y", "10 & \"q\""});
    EXPECT_EQ(lists::clipboardText(m, *app), "A\t" + app->label("kdn") + "\t\r\nx\t" +
                                                 app->settings.kdnFinderUrl + "\t\r\ny\t" +
                                                 app->settings.kdnFinderUrl + "10%20%26%20%22q%22\t\r\n");
    EXPECT_EQ(lists::saveAsText(m), "A\t" + app->label("kdn") + "\t\nx\t\t\ny\t10 & \"q\"\t\n");
}

TEST(ListExport, LookupAddressesCannotBreakOut) {
    Settings s;
    s.fileFinderUrl = "https://f/?name=";
    auto doc = docFromXml(
        "<config><module><URL>a/b</URL><name>X.QXK\" & calc</name><kdn>7 1</kdn></module></config>");
    xml::Node node = xml::selectFirst(doc->config().documentNode(), "module");
    EXPECT_EQ(lists::fileFinderAddress(s, node), "https://f/?name=a%2FbX.QXK%22%20%26%20calc");
    EXPECT_EQ(lists::fileFinderAddress(s, {}), "https://f/?name=");
    EXPECT_EQ(lists::kdnFieldAddress(s, node), s.kdnFinderUrl + "7%201");
    lists::ListRow row{0, {"a", "x#y?z"}, {}, {}};
    EXPECT_EQ(lists::kdnAddress(s, &row), s.kdnFinderUrl + "x%23y%3Fz");
    EXPECT_EQ(lists::kdnAddress(s, nullptr), s.kdnFinderUrl);
}
