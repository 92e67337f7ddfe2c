// Rule edit operations: Insert, Modify and Delete on the rule base, field writers, product
// identifiers, and the "values"/"compare" matches of a rule.
#include "analysis/evaluate_rule.hpp"
#include "platform/file_system.hpp"
#include "ruleedit/rule_edit.hpp"
#include "test_support.hpp"
#include "xml/fields.hpp"

#include <gtest/gtest.h>

using namespace qx;
using namespace qx::ruleedit;
using analysis::info;
using analysis::RuleKind;
using xml::addField;
using xml::setField;

namespace {

constexpr const char* kRules = R"(<?xml version="1.0"?>
<rules date="01 02 2026">
  <productgroup name="Group" version="1">
    <product ID="7" name="Server" update="false">
      <requireds><modules name="m"><module><name>A.QXK</name></module></modules></requireds>
      <informations><information>old</information></informations>
      <dependencies><depend>3</depend></dependencies>
      <serverparams name="s"><serverparam><name>Bindery Context</name><value>x</value><value>y</value><condition>=</condition></serverparam></serverparams>
    </product>
    <product ID="12" name="Update" update="true"/>
  </productgroup>
</rules>)";

std::string fieldsOf(xml::Node item) {
    std::string out = std::string(item.name()) + ":";
    for (auto f : xml::childElements(item)) out += std::string(f.name()) + "=" + xml::text(f) + ";";
    return out;
}

std::string attrsOf(xml::Node n) {
    std::string out = std::string(n.name()) + ":";
    for (auto a : n.attributes()) out += std::string(a.name()) + "=" + a.value() + ";";
    return out;
}

struct RuleEditOps : ::testing::Test {
    std::unique_ptr<Application> app = test::makeApp(kRules);
    xml::Node at(const std::string& pattern) {
        return xml::selectFirst(app->ruleBase().documentNode(), pattern);
    }
};

RuleItemValues full() {
    RuleItemValues v;
    v.name = "N";
    v.value = "V";
    v.version = "1.5";
    v.description = "D";
    v.url = "U";
    v.id = "42";
    v.pattern = "P*";
    v.count = "9";
    v.server = "FS1";
    v.conditionChoice = 5;
    v.versionConditionChoice = 6;
    v.dateConditionChoice = 1;
    v.typeChoice = 2;
    v.date = PickedDate{2004, 1, 12};
    return v;
}

struct ItemCase {
    const char* list;
    const char* expected;
};

const ItemCase kItemCases[] = {
    {"serverparams", "serverparam:name=N;value=V;condition=>=;"},
    {"devices", "device:name=N;value=V;condition=>=;"},
    {"volumes", "volume:name=N;value=V;condition=>=;"},
    {"boot-drives", "boot-drive:name=N;value=V;condition=>=;"},
    {"lans", "lan:name=N;value=V;condition=>=;"},
    {"files", "file:name=N;value=V;condition=;"},
    {"search-paths", "search-path:name=N;value=V;condition=;"},
    {"setparams", "set-param:name=N;value=V;condition=>=;url=U;description=D;type=2;"},
    {"modules", "module:name=N;version=1.5;version_condition=!=;date=Jan 12, 2004;date_condition=<;"},
    {"products", "product-rule:id=42;version=1.5;version_condition=!=;condition==;"},
    {"file-groups", "file-group:pattern=P*;count=9;condition=>=;"},
    {"partitions", "partition:server=FS1;value=V;condition=>=;url=U;description=D;type=2;"},
};

}  // namespace

TEST(RuleEditFields, AddAndSetField) {
    xml::Document d;
    xml::Node item = d.createRoot("serverparam");
    addField(item, "value", "a");
    addField(item, "value", "b");
    setField(item, "value", "c");
    setField(item, "name", "n");
    EXPECT_EQ(fieldsOf(item), "serverparam:value=c;value=c;name=n;");
    EXPECT_EQ(formatPickedDate({2004, 1, 12}), "Jan 12, 2004");
    EXPECT_EQ(formatPickedDate({2005, 12, 3}), "Dec 03, 2005");
}

TEST_F(RuleEditOps, InsertUnderRulesWritesAllAttributesIncludingType) {
    RuleItemValues v = full();
    v.typeChoice = 4;
    auto r = insertItem(*app, app->ruleBase().root(), v);
    ASSERT_TRUE(r.applied);
    EXPECT_TRUE(r.inTree);
    EXPECT_EQ(r.treeLabel, "N 1.5");
    EXPECT_EQ(attrsOf(r.created), "productgroup:name=N;version=1.5;description=D;kdn=;type=4;");
    EXPECT_TRUE(sameNode(r.created.parent(), app->ruleBase().root()));
}

TEST_F(RuleEditOps, TypedTextAlwaysSavesAndLoadsBack) {
    RuleItemValues v = full();
    v.name = std::string("bad\x01name \xff");
    v.value = "tab\tand\x02";
    xml::Node g = insertItem(*app, app->ruleBase().root(), v).created;
    xml::Node product = insertItem(*app, g,
                                   [] {
                                       RuleItemValues p;
                                       p.insertChoice = 1;
                                       return p;
                                   }())
                            .created;
    xml::Node list = xml::appendElement(product, "serverparams");
    insertItem(*app, list, v);
    xml::Document again;
    ASSERT_TRUE(again.loadString(app->ruleBase().saveString()).ok());
    EXPECT_EQ(again.saveString(), app->ruleBase().saveString());
}

TEST_F(RuleEditOps, InsertUnderGroupNumbersProductsConsecutively) {
    xml::Node group = at("productgroup");
    RuleItemValues v;
    v.name = "P";
    v.insertChoice = -1;
    EXPECT_FALSE(insertItem(*app, group, v).applied);
    EXPECT_EQ(xml::childElements(group).size(), 2u);

    v.insertChoice = 1;
    v.typeChoice = 3;
    auto a = insertItem(*app, group, v);
    v.insertChoice = 2;
    v.typeChoice = 0;
    auto b = insertItem(*app, group, v);
    // The rule base already holds ID 12, so numbering starts above it.
    EXPECT_EQ(attrsOf(a.created), "product:type=3;update=false;ID=13;name=P;description=;kdn=;");
    EXPECT_EQ(attrsOf(b.created), "product:update=true;ID=14;name=P;description=;kdn=;");
    EXPECT_EQ(app->nextProductNumber, 15);
    app->nextProductNumber = 40;
    v.insertChoice = 1;
    EXPECT_EQ(xml::attribute(insertItem(*app, group, v).created, "ID"), "40");
    v.insertChoice = 0;
    auto g = insertItem(*app, group, v);
    EXPECT_EQ(attrsOf(g.created), "productgroup:name=P;description=;kdn=;");
    EXPECT_EQ(g.treeLabel, "P");
}

TEST_F(RuleEditOps, InsertAreaListsUnderProductUpdateAndRequireds) {
    xml::Node product = at("product[@ID='7']");
    xml::Node update = at("product[@ID='12']");
    xml::Node requireds = at("requireds");
    for (const auto& c : areaListChoices()) {
        RuleItemValues v;
        v.insertChoice = c.number;
        auto p = insertItem(*app, product, v);
        auto q = insertItem(*app, requireds, v);
        EXPECT_EQ(p.applied, c.number != 7) << c.element;
        EXPECT_EQ(q.applied, c.number != 8) << c.element;
        if (p.applied) {
            EXPECT_EQ(std::string(p.created.name()), c.element);
            EXPECT_EQ(xml::attribute(p.created, "name"), app->label(c.labelKey));
            EXPECT_TRUE(p.inTree);
        }
    }
    RuleItemValues none;
    EXPECT_FALSE(insertItem(*app, update, none).applied);
    // The list's name is its label in the language active at the time of the insert.
    app->setLanguage("hungarian");
    RuleItemValues vol;
    vol.insertChoice = 5;
    auto h = insertItem(*app, update, vol);
    EXPECT_EQ(xml::attribute(h.created, "name"), app->label("volumes"));
    app->setLanguage("english");
    EXPECT_NE(xml::attribute(h.created, "name"), app->label("volumes"));
}

TEST_F(RuleEditOps, InsertRuleItemsOfEveryList) {
    xml::Node product = at("product[@ID='7']");
    for (const auto& c : kItemCases) {
        xml::Node list = xml::appendElement(product, c.list);
        RuleItemValues v = full();
        if (std::string(c.list) == "files" || std::string(c.list) == "search-paths") v.conditionChoice = 2;
        auto r = insertItem(*app, list, v);
        ASSERT_TRUE(r.applied) << c.list;
        EXPECT_FALSE(r.inTree);
        std::string expected = c.expected;
        if (auto pos = expected.find("condition=;"); pos != std::string::npos)
            expected.insert(pos + 10, "!in");
        EXPECT_EQ(fieldsOf(r.created), expected) << c.list;
    }
}

TEST_F(RuleEditOps, InsertInformationAndDependency) {
    RuleItemValues v;
    v.text = std::string(2100, 'a');
    auto info = insertItem(*app, at("informations"), v);
    EXPECT_EQ(xml::text(info.created).size(), 2000u);
    EXPECT_FALSE(insertItem(*app, at("dependencies"), v).applied);
    v.productId = "12";
    EXPECT_EQ(fieldsOf(at("dependencies")), "dependencies:depend=3;");
    insertItem(*app, at("dependencies"), v);
    EXPECT_EQ(fieldsOf(at("dependencies")), "dependencies:depend=3;depend=12;");
    EXPECT_FALSE(insertItem(*app, at("module"), v).applied);
}

TEST_F(RuleEditOps, ModifyRuleItemsInPlace) {
    xml::Node product = at("product[@ID='7']");
    for (const auto& c : kItemCases) {
        xml::Node list = xml::appendElement(product, c.list);
        RuleItemValues v = full();
        if (std::string(c.list) == "files" || std::string(c.list) == "search-paths") v.conditionChoice = 1;
        xml::Node item = insertItem(*app, list, RuleItemValues{}).created;
        auto r = modifyItem(*app, list, item, v);
        ASSERT_TRUE(r.applied) << c.list;
        std::string expected = c.expected;
        if (auto pos = expected.find("condition=;"); pos != std::string::npos)
            expected.insert(pos + 10, "in");
        EXPECT_EQ(fieldsOf(item), expected) << c.list;
    }
    // Repeated fields all take the new text; fields the item lacks are appended.
    xml::Node sp = at("serverparam");
    RuleItemValues v;
    v.name = "Bindery Context";
    v.value = "z";
    v.conditionChoice = 6;
    modifyItem(*app, at("serverparams"), sp, v);
    EXPECT_EQ(fieldsOf(sp), "serverparam:name=Bindery Context;value=z;value=z;condition=!=;");
}

TEST_F(RuleEditOps, ModifyContainersInformationsAndDependencies) {
    RuleItemValues v;
    v.name = "G2";
    v.version = "9";
    v.description = "d";
    v.kdn = "k";
    v.typeChoice = 4;
    auto g = modifyItem(*app, app->ruleBase().root(), at("productgroup"), v);
    EXPECT_TRUE(g.inTree);
    EXPECT_EQ(g.treeLabel, "G2 9");
    EXPECT_EQ(attrsOf(at("productgroup")), "productgroup:name=G2;version=9;description=d;type=4;kdn=k;");
    v.typeChoice = 0;
    auto p = modifyItem(*app, at("productgroup"), at("product[@ID='7']"), v);
    EXPECT_EQ(p.treeLabel, "G2");
    EXPECT_EQ(attrsOf(at("product[@ID='7']")),
              "product:ID=7;name=G2;update=false;description=d;type=;kdn=k;");

    v.text = "new text";
    modifyItem(*app, at("informations"), at("information"), v);
    EXPECT_EQ(xml::text(at("information")), "new text");
    v.productId = "12";
    modifyItem(*app, at("dependencies"), at("depend"), v);
    EXPECT_EQ(xml::text(at("depend")), "12");
    // A row that is not a child of the tree node is refused.
    EXPECT_FALSE(modifyItem(*app, at("serverparams"), at("module"), v).applied);
    EXPECT_FALSE(modifyItem(*app, at("product[@ID='7']"), at("serverparams"), v).applied);
}

TEST_F(RuleEditOps, DeleteProductWithItsSubtree) {
    xml::Node group = at("productgroup");
    xml::Node product = at("product[@ID='7']");
    const void* id = nodeIdentity(product);
    auto r = deleteItem(group, product);
    ASSERT_TRUE(r.applied);
    EXPECT_TRUE(r.inTree);
    EXPECT_EQ(r.removedIdentity, id);
    EXPECT_TRUE(sameNode(r.parent, group));
    EXPECT_FALSE(at("product[@ID='7']"));
    EXPECT_FALSE(at("module"));
    EXPECT_FALSE(at("information"));
    EXPECT_TRUE(at("product[@ID='12']"));
}

TEST_F(RuleEditOps, DeleteRowsOfEveryListAndNothingElse) {
    xml::Node product = at("product[@ID='7']");
    for (const auto& c : kItemCases) {
        xml::Node list = xml::appendElement(product, c.list);
        xml::Node item = insertItem(*app, list, full()).created;
        auto r = deleteItem(list, item);
        EXPECT_TRUE(r.applied) << c.list;
        EXPECT_FALSE(r.inTree) << c.list;
        EXPECT_TRUE(xml::childElements(list).empty()) << c.list;
    }
    EXPECT_TRUE(deleteItem(at("dependencies"), at("depend")).applied);
    EXPECT_TRUE(deleteItem(at("informations"), at("information")).applied);
    // Area lists under a product are tree items.
    auto list = deleteItem(product, at("serverparams"));
    EXPECT_TRUE(list.applied && list.inTree);
    // A row of another node, or no row, changes nothing.
    EXPECT_FALSE(deleteItem(at("productgroup"), at("module")).applied);
    EXPECT_FALSE(deleteItem(at("productgroup"), xml::Node()).applied);
    EXPECT_FALSE(deleteItem(at("module"), xml::Node()).applied);
    EXPECT_TRUE(at("module"));
}

TEST_F(RuleEditOps, EditsTouchOnlyTheRuleBaseInMemory) {
    test::TempDir dir;
    std::string path = dir.write("rules.xml", kRules);
    Application a(dir.path());
    a.loadRuleBase();
    RuleItemValues v;
    v.insertChoice = 1;
    insertItem(a, xml::selectFirst(a.ruleBase().documentNode(), "productgroup"), v);
    EXPECT_EQ(*platform::readFile(path), kRules);
}

TEST_F(RuleEditOps, ValuesAndCompareCategories) {
    auto docA = test::importOnly(test::report(""));
    auto docB = test::importOnly(test::report(""));
    docA->config().loadString(
        "<config><serverparams><serverparam><name>Bindery "
        "Context</name><value>O=A</value></serverparam></serverparams>"
        "<volumes><volume name='SYS'><property><name>Free</name><value>10</value></property></volume>"
        "<volume name='VOL1'><property><name>Free</name><value>20</value></property></volume></volumes>"
        "<modules><loaded-modules><module><name>A.QXK</name><version>1.0</version><date>Jan 1 "
        "2004</date></module></loaded-modules>"
        "<search-path-modules><module><name>A.QXK</name><version>1.1</version></module></"
        "search-path-modules></modules></config>");
    docB->config().loadString(
        "<config><serverparams><serverparam><name>Bindery "
        "Context</name><value>O=B</value></serverparam></serverparams></config>");
    docB->title = "FS2 6.5 now";
    int calls = 0;
    RuleEvaluator eval = [&](xml::Node rule, xml::Node item) {
        ++calls;
        return xml::childText(rule, "value") == xml::childText(item, "value") ? 3 : 2;
    };
    xml::Node rule = at("serverparam");
    setField(rule, "value", "O=A");
    auto values = ruleValues(*docA, info(RuleKind::ServerParameter), rule, eval);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].label, "Bindery Context");
    EXPECT_EQ(values[0].value, "O=A");
    EXPECT_EQ(values[0].outcome, 3);
    auto compare = ruleCompare({docB.get()}, info(RuleKind::ServerParameter), rule, eval);
    ASSERT_EQ(compare.size(), 1u);
    EXPECT_EQ(compare[0].label, "FS2 6.5 now");
    EXPECT_EQ(compare[0].outcome, 2);

    xml::Document r;
    r.loadString("<volume><name>Free</name><value>20</value><condition>=</condition></volume>");
    auto vols = ruleValues(*docA, info(RuleKind::Volume), r.root(), eval);
    ASSERT_EQ(vols.size(), 2u);
    EXPECT_EQ(vols[0].label + "/" + vols[1].label, "SYS/VOL1");
    EXPECT_EQ(vols[1].outcome, 3);
    auto mods = ruleValues(*docA, info(RuleKind::Module), at("module"), eval);
    ASSERT_EQ(mods.size(), 2u);
    EXPECT_EQ(mods[0].value, "1.0 Jan 1 2004");
    EXPECT_EQ(mods[1].value, "1.1");
    // Names with quotes and backslashes are matched literally.
    r.loadString("<serverparam><name>it's \\ odd</name></serverparam>");
    EXPECT_TRUE(ruleValues(*docA, info(RuleKind::ServerParameter), r.root(), eval).empty());
    EXPECT_EQ(calls, 6);
}

TEST_F(RuleEditOps, ModifyWithTheValuesReadFromAnItemKeepsIt) {
    // What the editor shows for a row is what Modify writes back: nothing is lost or changed.
    xml::Node product = at("product[@ID='7']");
    for (const auto& c : kItemCases) {
        xml::Node list = xml::appendElement(product, c.list);
        RuleItemValues v = full();
        if (std::string(c.list) == "files" || std::string(c.list) == "search-paths") v.conditionChoice = 2;
        xml::Node item = insertItem(*app, list, v).created;
        const std::string before = fieldsOf(item);
        ASSERT_TRUE(modifyItem(*app, list, item, readRuleItem(*listKind(list), item)).applied) << c.list;
        EXPECT_EQ(fieldsOf(item), before) << c.list;
    }
    // A date written by the module file scanner reads as the same day.
    xml::Document r;
    r.loadString(
        "<module><name>A</name><date>Mar.05,2004</date><version_condition>&gt;=</version_condition></"
        "module>");
    const RuleItemValues v = readRuleItem(info(RuleKind::Module), r.root());
    ASSERT_TRUE(v.date.has_value());
    EXPECT_EQ(formatPickedDate(*v.date), "Mar 05, 2004");
    EXPECT_EQ(v.versionConditionChoice, 5);
    EXPECT_FALSE(readRuleItem(info(RuleKind::Module), at("module")).date.has_value());
}

TEST_F(RuleEditOps, ProductRuleValuesFindInstalledProductsWhereverTheAnalysisDoes) {
    // The product check finds an installed product under any parent; the editor's values
    // used to look only in products/product and so showed nothing for a rule that holds.
    auto doc = test::importOnly(test::report(""));
    doc->config().loadString(
        "<config><zrd><product><id>QXS</id><version>6.5</version></product></zrd></config>");
    xml::Document r;
    r.loadString(
        "<product-rule><id>QXS</id><version>6</version><version_condition>&gt;=</version_condition>"
        "<condition>=</condition></product-rule>");
    auto values = ruleValues(*doc, info(RuleKind::ProductRule), r.root(), analysis::evaluateRule);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].label, "QXS");
    EXPECT_EQ(values[0].value, "6.5");
    EXPECT_EQ(values[0].outcome, 3);
}

TEST(RuleEditSelect, ChoicesAreTheKeysOfTheKindsItems) {
    auto doc = test::importOnly(test::report(""));
    doc->config().loadString(R"(<config>
      <setparams><set-category name="Memory"><set-param><name>A</name><value>1</value></set-param>
        <set-param><name>B</name><value>2</value></set-param></set-category>
        <set-category name="Disk"><set-param><name>A</name><value>3</value></set-param></set-category></setparams>
      <volumes><volume name="SYS"><property><name>Free</name><value>10</value></property></volume>
        <volume name="VOL1"><property><name>Free</name><value>20</value></property>
          <property><name>Size</name><value>90</value></property></volume></volumes>
      <loaded-modules><module><name>A.QXK</name><version>1.0</version></module></loaded-modules>
      <search-path-modules><module><name>A.QXK</name></module><module><name>B.QXK</name></module></search-path-modules>
      <file name="SYS:ETC\HOSTS"><line>x</line></file>
      <partitions><partition><name>P</name></partition></partitions></config>)");
    auto show = [](const std::vector<SelectChoice>& cs) {
        std::string out;
        for (const auto& c : cs) out += c.group + "/" + c.text + "=" + c.detail + ";";
        return out;
    };
    EXPECT_EQ(show(selectChoices(*doc, info(RuleKind::SetParameter))), "Memory/A=1;Memory/B=2;Disk/A=3;");
    EXPECT_EQ(show(selectChoices(*doc, info(RuleKind::Volume))), "/Free=10;/Size=90;");
    EXPECT_EQ(show(selectChoices(*doc, info(RuleKind::Module))), "/A.QXK=1.0;/B.QXK=;");
    EXPECT_EQ(show(selectChoices(*doc, info(RuleKind::File))), "/SYS:ETC\\HOSTS=x;");
    EXPECT_TRUE(selectChoices(*doc, info(RuleKind::Partition)).empty());
    EXPECT_TRUE(selectChoices(*doc, info(RuleKind::Lan)).empty());
}
