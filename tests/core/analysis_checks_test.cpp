// Product, property and module checks over small hand-written trees and rule bases.
#include "analysis/analysis.hpp"
#include "analysis/product_check.hpp"
#include "analysis/records.hpp"
#include "analysis/rule_base.hpp"
#include "test_support.hpp"
#include "util/text.hpp"

#include <gtest/gtest.h>

namespace qx::analysis {
namespace {

using test::texts;

constexpr const char* kConfig = R"(<config>
  <serverparams name="Server">
    <serverparam><name>Server Name</name><value>FS1</value></serverparam>
    <serverparam><name>Product Version</name><value>6</value></serverparam>
  </serverparams>
  <setparams name="Set Parameter"><set-category name="Memory">
    <set-param><name>Minimum Free Memory</name><value>8000</value></set-param>
    <set-param><name>Bindery Context </name><value>O=ACME</value></set-param>
  </set-category></setparams>
  <modules name="Modules">
    <loaded-modules>
      <module><name>CONFIG.QXK</name><version>2.02</version><date>March1,2004</date><description/></module>
      <module><name>NET.QXK</name><version>5.70</version><date>Jan12,2004</date><description/></module>
      <module><name>ODD.QXK</name><version>1.0</version><date/><description/></module>
    </loaded-modules>
    <search-path-modules>
      <module><name>net.qxk</name><version>5.71</version><date/><description/><dir>SYS:SYSTEM</dir></module>
    </search-path-modules>
  </modules>
  <volumes name="Quarrix Volumes">
    <volume name="SYS"><property><name>Free Disk Space</name><value>1200 MBytes</value></property></volume>
    <volume name="VOL1"><property><name>Free Disk Space</name><value>100 MBytes</value></property></volume>
    <volume name="VOL2"><property><name>Free Disk Space</name><value>700 MBytes</value></property></volume>
  </volumes>
  <files name="Files"><filegroup name="Etc"><file name="SYS:ETC/HOSTS">
    <line># 10.0.0.9 old</line><line>10.0.0.1 fs1</line><line>REM 10.0.0.7 x</line>
  </file></filegroup></files>
  <search-paths name="search-paths">
    <search-path><name>Search path 1</name><value>SYS:\SYSTEM</value></search-path>
  </search-paths>
  <products name="products"><product><id>QFS</id><version>6.5</version><description/></product></products>
</config>)";

std::string rules(const std::string& body) {
    return "<rules date=\"12 31 2005\">" + body + "</rules>";
}

struct Fixture {
    std::unique_ptr<Application> app;
    CQXConfigDoc2 doc;
    explicit Fixture(const std::string& rulesBody, const char* config = kConfig)
        : app(test::makeApp(rules(rulesBody))) {
        EXPECT_TRUE(doc.config().loadString(config).ok());
        doc.resetReport();
        doc.state = CQXConfigDoc2::kStateCompleted;
    }
    void run() { runChecker({&doc}, *app, {}); }
    std::string checked() const {
        std::string out;
        for (auto p : xml::select(doc.report().documentNode(), "check/product")) {
            out += xml::attribute(p, "ID") + ":" + xml::attribute(p, "checked") + "/" +
                   xml::attribute(p, "status") + " ";
        }
        return out;
    }
    std::string details(const std::string& child) const {
        return texts(doc.report(), "details/property/" + child);
    }
};

const std::string kModuleRequired =
    "<requireds><modules name=\"Modules\"><module><name>CONFIG.QXK</name><version>2.02</version>"
    "<version_condition>&gt;=</version_condition><date/><date_condition/></module></modules></requireds>";

std::string serverRule(const std::string& op, const std::string& value) {
    return "<serverparams name=\"Server\"><serverparam><name>Server Name</name><condition>" + op +
           "</condition><value>" + value + "</value></serverparam></serverparams>";
}

TEST(ProductCheck, RecordsPresenceAndSummary) {
    Fixture f(R"(<productgroup name="G" version="">
        <product ID="3" name="Always" version="1"/>
        <product ID="7" name="Reporter" version="2">)" +
              kModuleRequired + R"(</product>
        <product ID="5" name="Missing"><requireds><modules name="M"><module><name>NONE.QXK</name>
          <version_condition>&gt;=</version_condition></module></modules></requireds>
          <product ID="99" name="Inner product never visited"/></product>
        <product ID="3" name="Duplicate"/>
      </productgroup>)");
    f.run();
    EXPECT_EQ(f.checked(), "3:good/good 7:good/good 5:bad/good 3:good/good ");
    EXPECT_EQ(texts(f.doc.report(), "check/product/name"), "Always|Reporter|Missing|Duplicate");
    EXPECT_EQ(texts(f.doc.report(), "summary/goodproduct/name"), "Always|Reporter|Duplicate");
    EXPECT_EQ(texts(f.doc.report(), "summary/goodproduct/ID"), "3|7|3");
    EXPECT_EQ(f.app->nextProductNumber, 8);
    // Duplicate IDs: only the first record is consulted and marked.
    xml::Node rule = xml::select(f.app->ruleBase().documentNode(), "module").at(1);  // NONE.QXK
    xml::Node owner = xml::selectFirst(f.app->ruleBase().documentNode(), "product");
    xml::appendElement(xml::appendElement(owner, "setparams"), "set-param");
    const ProductRecords products(f.doc);
    products.markBad(owningProductId(xml::selectFirst(owner, "set-param")).value());
    EXPECT_EQ(f.checked(), "3:good/bad 7:good/good 5:bad/good 3:good/good ");
    EXPECT_FALSE(products.isRuleActive(rule.parent()));  // product 5's requirement list: absent
    EXPECT_TRUE(products.isRuleActive(xml::selectFirst(f.app->ruleBase().documentNode(), "module")));
    EXPECT_TRUE(products.isProductBad("5"));
    EXPECT_TRUE(products.isProductBad("404"));
    EXPECT_FALSE(products.isProductBad("7"));
}

TEST(ProductCheck, FailingGroupHidesItsProductsAndNestedGroupsNeedEveryLevel) {
    Fixture f(R"(<productgroup name="Outer"><requireds><products name="P"><product-rule><id>QFS</id>
          <condition>=</condition></product-rule></products></requireds>
        <productgroup name="Inner"><requireds><serverparams name="S"><serverparam><name>Server Name</name>
          <condition>=</condition><value>OTHER</value></serverparam></serverparams></requireds>
          <product ID="40" name="Hidden"/></productgroup>
        <product ID="2" name="Shown"/></productgroup>)" +
              serverRule("=", "nobody"));
    f.run();
    EXPECT_EQ(f.checked(), "2:good/good ");
    EXPECT_EQ(f.app->nextProductNumber, 3);
    EXPECT_EQ(f.details("name"), "");  // the list directly under rules never takes part
}

TEST(ProductCheck, RequirementKindsAndTheLineTest) {
    const char* req = R"(<product ID="%" name="P"><requireds>%</requireds></product>)";
    auto product = [&](int id, const std::string& inner) {
        std::string s = req;
        s.replace(s.find('%'), 1, std::to_string(id));
        s.replace(s.find('%'), 1, inner);
        return s;
    };
    auto file = [](const std::string& op, const std::string& v) {
        return "<files name=\"F\"><file><name>SYS:ETC/HOSTS</name><condition>" + op + "</condition><value>" +
               v + "</value></file></files>";
    };
    Fixture f(
        product(1, file("in", "10.0.0.1")) + product(2, file("in", "10.0.0.9")) +
        product(3, file("!in", "10.0.0.7")) + product(4, file("in", "fs1 ")) +
        product(5,
                "<search-paths name=\"S\"><search-path><name/><condition>in</condition>"
                "<value>SYS:\\SYSTEM</value></search-path></search-paths>") +
        product(6,
                "<volumes name=\"V\"><volume><name>Free Disk Space</name><condition>&gt;</condition>"
                "<value>50</value></volume></volumes>") +
        product(7,
                "<volumes name=\"V\"><volume><name>Free Disk Space</name><condition>&gt;</condition>"
                "<value>500</value></volume></volumes>") +
        product(8,
                "<setparams name=\"S\"><set-param><name>Minimum Free Memory</name><condition>%</condition>"
                "<value>1</value></set-param></setparams><dependencies name=\"D\"><depend>1</depend>"
                "</dependencies>") +
        product(9,
                "<files name=\"F\"><file><name>NOFILE</name><condition>!in</condition><value>x</value>"
                "</file></files>") +
        // a failing rule is not undone by a later line test of the same list
        product(10,
                "<files name=\"F\"><file><name>SYS:ETC/HOSTS</name><condition>in</condition>"
                "<value>absent</value></file><file><name>SYS:ETC/HOSTS</name><condition>in</condition>"
                "<value>fs1</value></file></files>") +
        product(11,
                "<lans name=\"L\"/><search-paths name=\"S\"><search-path><name>SYS:\\SYSTEM</name>"
                "<condition>in</condition><value>SYS:\\SYSTEM</value></search-path><search-path><name>"
                "Search path 1</name><condition>!in</condition><value>PUBLIC</value></search-path>"
                "</search-paths>") +
        product(13,
                "<search-paths name=\"S\"><search-path><name>Search path 1</name><condition>in</condition>"
                "<value>PUBLIC</value></search-path></search-paths>") +
        product(12,
                "<serverparams name=\"S\"><serverparam><name>Nope"
                "</name><condition>=</condition></serverparam>"
                "</serverparams>"));
    f.run();
    EXPECT_EQ(f.checked(),
              "1:good/good 2:bad/good 3:good/good 4:bad/good 5:good/good 6:good/good 7:bad/good 8:good/good "
              "9:good/good 10:bad/good 11:good/good 13:bad/good 12:bad/good ");
}

TEST(ProductCheck, NotesAndDependenciesInRequirementsAreNoConditions) {
    // A note kept among a product's requirements used to be looked up as a configuration
    // item, found nowhere, and so made the product absent.
    Fixture f(R"(<productgroup name="G">
        <product ID="1" name="Noted"><requireds><informations name="I"><information>see KB 7</information>
          </informations><dependencies name="D"><depend>2</depend></dependencies></requireds></product>
      </productgroup>)");
    f.run();
    EXPECT_EQ(f.checked(), "1:good/good ");
}

TEST(LineTest, CommentsAndEmptyFiles) {
    EXPECT_TRUE(text::isCommentLine("   # x"));
    EXPECT_TRUE(text::isCommentLine(";x"));
    EXPECT_TRUE(text::isCommentLine("load rem.qxk"));
    EXPECT_FALSE(text::isCommentLine("load x # y"));
    // The network configuration's reading: only the first column starts a comment.
    EXPECT_FALSE(text::isFirstColumnCommentLine("   # x"));
    EXPECT_TRUE(text::isFirstColumnCommentLine("#x"));
    EXPECT_TRUE(text::isFirstColumnCommentLine("Rem x"));
    EXPECT_EQ(lineTest("in", "a", {}), 2);
    EXPECT_EQ(lineTest("!in", "a", {}), 3);
    EXPECT_EQ(lineTest("in", "load", {"  load x"}), 3);
    EXPECT_EQ(lineTest("in", "LOAD", {"load x"}), 2);  // case-sensitive
    EXPECT_EQ(lineTest("=", "a", {"a"}), 0);
}

TEST(RuleBase, WhichContainerDecides) {
    xml::Document r;
    ASSERT_TRUE(r.loadString(R"(<rules><serverparams><serverparam id="top"/></serverparams>
      <productgroup name="G"><serverparams><serverparam id="group"/></serverparams>
        <requireds><serverparams><serverparam id="groupreq"/></serverparams><modules id="groupreqlist"/></requireds>
        <modules id="grouplist"/>
        <product ID="4"><setparams><set-param id="product"/></setparams>
          <requireds><lans><lan id="productreq"/></lans><modules id="productreqlist"/></requireds></product>
      </productgroup></rules>)")
                    .ok());
    auto node = [&](const char* id) {
        pugi::xpath_query q((std::string("//*[@id='") + id + "']").c_str());
        return r.raw().select_node(q).node();
    };
    EXPECT_FALSE(decidingContainer(node("top")));
    EXPECT_STREQ(decidingContainer(node("group")).name(), "productgroup");
    EXPECT_FALSE(decidingContainer(node("groupreq")));
    EXPECT_STREQ(decidingContainer(node("groupreqlist")).name(), "productgroup");
    EXPECT_STREQ(decidingContainer(node("grouplist")).name(), "productgroup");
    EXPECT_STREQ(decidingContainer(node("product")).name(), "product");
    EXPECT_STREQ(decidingContainer(node("productreq")).name(), "product");
    EXPECT_STREQ(decidingContainer(node("productreqlist")).name(), "product");
    EXPECT_EQ(owningProductId(node("productreq")), "4");
    EXPECT_EQ(owningProductId(node("group")), std::nullopt);
}

TEST(Paths, ConfigurationAndRulePaths) {
    Fixture f(R"(<productgroup name="G" version=""><product ID="1" name="P" version="6.5">
        <setparams name="SET Parameters"><set-param><name>x</name></set-param></setparams>
        <requireds><modules name="Modules"><module><name>m</name></module></modules></requireds>
      </product></productgroup>)");
    auto cfg = f.doc.config().documentNode();
    EXPECT_EQ(configurationPath(xml::selectFirst(cfg, "volume/property"), *f.app),
              "Config->Volume Statistics->SYS");
    EXPECT_EQ(configurationPath(xml::selectFirst(cfg, "set-param"), *f.app),
              "Config->SET Parameters->Memory");
    EXPECT_EQ(configurationPath(xml::selectFirst(cfg, "file/line"), *f.app),
              "Config->Files->Etc->File->Line");
    auto rb = f.app->ruleBase().documentNode();
    EXPECT_EQ(rulePath(xml::selectFirst(rb, "set-param")), " -> G -> P 6.5SET Parameters -> ");
    // `modules` lists, unlike parameter lists, are preceded by a separator
    EXPECT_EQ(rulePath(xml::selectFirst(rb, "module")), " -> G -> P 6.5 ->  -> Modules");
    EXPECT_EQ(readField(xml::selectFirst(cfg, "module"), "DATE"), "March1 2004");
}

TEST(PropertyCheck, RecordsEveryMatchInRuleOrderAndMarksOwners) {
    Fixture f(R"(<productgroup name="G" version="">
        <volumes name="Volumes"><volume><name>Free Disk Space</name><condition>&gt;=</condition><value>500</value></volume></volumes>
        <serverparams name="Server"><serverparam><name>Server Name</name><condition>%</condition><value>FS1</value></serverparam></serverparams>
        <product ID="1" name="P" version="1">)" +
              kModuleRequired + R"(
          <setparams name="SET"><set-param><name>Minimum Free Memory</name><condition>&gt;=</condition><value>9000</value>
            <type>2</type><url>http://kb/1</url></set-param>
          <set-param><name>Bindery Context </name><condition>!=</condition><value/><type>1</type></set-param></setparams></product>
        <product ID="2" name="Absent" version="1"><requireds><products name="P"><product-rule><id>NONE</id>
          <condition>=</condition></product-rule></products></requireds>
          <serverparams name="Server"><serverparam><name>Server Name</name><condition>!=</condition><value>FS1</value></serverparam></serverparams></product>
      </productgroup>)");
    f.run();
    auto recs = xml::select(f.doc.report().documentNode(), "details/property");
    ASSERT_EQ(recs.size(), 6u);
    EXPECT_EQ(xml::attribute(recs[0], "type"), "serverparam");
    // SET parameters compare as numbers: "O=ACME" and the empty value both read 0
    EXPECT_EQ(f.details("image"), "0|2|2|3|2|3");
    EXPECT_EQ(f.details("name"),
              "Server Name|Minimum Free Memory|Bindery Context |Free Disk Space|Free Disk Space|"
              "Free Disk Space");
    const std::string cfg = f.app->label("config") + "->";
    const std::string vol = cfg + f.app->label("volumes") + "->";
    const std::string set = cfg + f.app->label("setparams") + "->Memory";
    EXPECT_EQ(f.details("type"), cfg + f.app->label("serverparams") + "|" + set + "|" + set + "|" + vol +
                                     "SYS|" + vol + "VOL1|" + vol + "VOL2");
    EXPECT_EQ(f.details("condition"),
              "% FS1|greater than or equal to 9000|not equal |greater than or equal to 500|"
              "greater than or equal to 500|greater than or equal to 500");
    EXPECT_EQ(f.details("icon"), "2|1");  // the server parameter's icon is empty
    EXPECT_EQ(f.details("url"), "http://kb/1|");
    EXPECT_EQ(f.details("rules"),
              " -> GServer -> | -> G -> P 1SET -> | -> G -> P 1SET -> | -> GVolumes -> |"
              " -> GVolumes -> | -> GVolumes -> ");
    std::string order;
    for (auto c : xml::childElements(recs[1])) order += std::string(c.name()) + " ";
    EXPECT_EQ(order, "image type icon url rules name condition value ");
    order.clear();
    for (auto c : xml::childElements(recs[3])) order += std::string(c.name()) + " ";
    EXPECT_EQ(order, "image type rules name condition value ");
    EXPECT_EQ(f.checked(), "1:good/bad 2:bad/good ");
    EXPECT_EQ(texts(f.doc.report(), "summary/goodproduct/name"), "P");
}

TEST(ModuleCheck, MarksModulesAndRecordsTheFirstBrokenRule) {
    auto mod = [](const char* name, const char* ver, const char* date = "", const char* dop = "") {
        return std::string("<module><name>") + name + "</name><version>" + ver +
               "</version><version_condition>&gt;=</version_condition><date>" + date +
               "</date><date_condition>" + dop + "</date_condition></module>";
    };
    Fixture f(
        R"(<productgroup name="G" version=""><product ID="1" name="A" version="1"><modules name="Modules">)" +
        mod("NET.QXK", "5.71") + mod("ODD.QXK", "1.0", "Jan 5, 2004", "&gt;=") + R"(</modules></product>
        <product ID="2" name="B" version="1"><modules name="Modules">)" +
        mod("net.qxk", "5.70") + mod("CONFIG.QXK", "2.02", "Mar 1, 2004", "=") +
        R"(</modules></product>
        <product ID="3" name="C" version="1"><requireds><products name="P"><product-rule><id>NONE</id>
          <condition>=</condition></product-rule></products></requireds><modules name="Modules">)" +
        mod("CONFIG.QXK", "9") + R"(</modules></product></productgroup>)");
    f.run();
    auto cfg = f.doc.config().documentNode();
    std::string marks;
    for (auto m : xml::select(cfg, "module")) marks += xml::attribute(m, "image") + " ";
    // CONFIG good (date equal), NET: 5.70 rule holds first, 5.71 breaks; ODD: empty date is 1900;
    // net.qxk on the search path: 5.71 holds both
    EXPECT_EQ(marks, "3 2 2 3 ");
    EXPECT_TRUE(f.doc.moduleMarksSet);
    EXPECT_EQ(texts(f.app->ruleBase(), "modules/@vetoed"), "");
    std::string vetoed;
    for (auto l : xml::select(f.app->ruleBase().documentNode(), "modules"))
        vetoed += xml::attribute(l, "vetoed") + " ";
    EXPECT_EQ(vetoed, "false false true ");
    auto recs = xml::select(f.doc.report().documentNode(), "details/property");
    ASSERT_EQ(recs.size(), 2u);
    EXPECT_EQ(xml::attribute(recs[0], "type"), "module");
    EXPECT_EQ(xml::attribute(recs[0], "ID"), "1");
    EXPECT_EQ(f.details("name"), "NET.QXK|ODD.QXK");
    const std::string ge = f.app->valueLabel("version_condition", ">=");
    const std::string dge = f.app->valueLabel("date_condition", ">=");
    EXPECT_EQ(f.details("condition"), ge + " 5.71 " + f.app->valueLabel("date_condition", "") + " |" + ge +
                                          " 1.0 " + dge + " Jan 5  2004");
    EXPECT_EQ(f.details("value"), "5.70 Jan12 2004|1.0 ");
    const std::string loaded =
        f.app->label("config") + "->" + f.app->label("modules") + "->" + f.app->label("loaded-modules");
    EXPECT_EQ(f.details("type"), loaded + "|" + loaded);
    EXPECT_EQ(f.details("rules"), " -> G -> A 1 -> Modules| -> G -> A 1 -> Modules");
    EXPECT_EQ(f.checked(), "1:good/bad 2:good/good 3:bad/good ");
}

TEST(Pipeline, RunningTwiceGivesTheSameReportAndSkipsIncompleteDocuments) {
    Fixture f(R"(<productgroup name="G"><product ID="1" name="P">)" + kModuleRequired +
              serverRule("=", "FS1") + "</product></productgroup>");
    int steps = 0, starts = 0;
    CQXConfigDoc2 pending;
    pending.resetReport();
    runChecker({&f.doc, &pending}, *f.app, [&](int done, int all) {
        EXPECT_EQ(all, 7);
        done == 0 ? ++starts : ++steps;
    });
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(steps, 7);
    const std::string first = f.doc.report().saveString();
    f.run();
    EXPECT_EQ(f.doc.report().saveString(), first);
    EXPECT_NE(first.find("<image>3</image>"), std::string::npos);
    EXPECT_EQ(texts(pending.report(), "check/product"), "");
}

TEST(Pipeline, ReportWithoutContainersWritesNothing) {
    Fixture f(serverRule("=", "FS1"));
    f.doc.report().loadString("<report/>");
    f.run();
    EXPECT_EQ(f.doc.report().saveString().find("property"), std::string::npos);
    EXPECT_FALSE(f.doc.moduleMarksSet);
}

}  // namespace
}  // namespace qx::analysis
