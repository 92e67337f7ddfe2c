// The rule-kind table: what every reader of it relies on.
#include "analysis/rule_kinds.hpp"
#include "analysis/findings.hpp"
#include "localisation/localisation.hpp"
#include "test_support.hpp"

#include <gtest/gtest.h>

#include <set>

namespace qx::analysis {
namespace {

TEST(RuleKinds, NamesAndChoicesAreUnique) {
    std::set<std::string_view> items, lists;
    std::set<int> choices;
    for (const auto& k : kRuleKinds) {
        EXPECT_EQ(&info(k.kind), &k);
        if (!k.item.empty()) {
            EXPECT_TRUE(items.insert(k.item).second) << k.item;
            EXPECT_EQ(kindOfItem(k.item), &k);
        }
        EXPECT_TRUE(lists.insert(k.list).second) << k.list;
        EXPECT_TRUE(choices.insert(k.insertChoice).second) << k.list;
        EXPECT_EQ(kindOfList(k.list), &k);
        EXPECT_EQ(kindOfChoice(k.insertChoice), &k);
        std::set<std::string_view> fields;
        for (const auto& f : k.fields) EXPECT_TRUE(fields.insert(f.name).second) << k.item << " " << f.name;
    }
    // The editor numbers its fifteen area lists 1 to 15.
    EXPECT_EQ(*choices.begin(), 1);
    EXPECT_EQ(*choices.rbegin(), 15);
    EXPECT_EQ(choices.size(), 15u);
    EXPECT_EQ(kindOfItem(""), nullptr);
    EXPECT_EQ(kindOfItem("productgroup"), nullptr);
}

TEST(RuleKinds, EveryJudgedKindSaysWhatItIsAbout) {
    for (const auto& k : kRuleKinds) {
        if (k.comparison == Comparison::None) {
            EXPECT_TRUE(k.items.empty()) << k.list;
            EXPECT_EQ(k.chooser, Chooser::None) << k.list;
            continue;
        }
        EXPECT_FALSE(k.items.empty()) << k.item;
        EXPECT_FALSE(k.naming.empty()) << k.item;
        EXPECT_FALSE(k.shown.empty()) << k.item;
        if (k.chooser != Chooser::None) {
            bool named = false;
            for (const auto& f : k.fields) named = named || f.name == k.naming;
            EXPECT_TRUE(named) << k.item << ": Select fills a field Insert writes";
        }
        EXPECT_TRUE(!k.propertyCheck || k.finding.has_value()) << k.item;
    }
    // Layouts that show the configuration's side need a kind that says where it is.
    for (const auto& k : kRuleKinds) {
        const bool showsItems = k.layout != RulesLayout::Fields && k.layout != RulesLayout::ProductNames &&
                                k.layout != RulesLayout::AreaLists;
        EXPECT_TRUE(!showsItems || (!k.items.empty() && !k.naming.empty())) << k.list;
    }
}

TEST(RuleKinds, FindingKindsTakeTheirNamesFromTheTable) {
    for (const auto& names : kFindingKinds) {
        EXPECT_EQ(namesOf(names.kind).type, names.type);
        EXPECT_EQ(kindOfType(names.type), names.kind);
        if (names.kind == FindingKind::Product) continue;
        const RuleKindInfo* k = kindOfItem(names.type);
        ASSERT_NE(k, nullptr) << names.type;
        EXPECT_EQ(k->finding, names.kind);
        EXPECT_EQ(k->list, names.list);
    }
}

TEST(RuleKinds, EveryLabelKeyIsInTheLocalisationTable) {
    auto app = test::makeApp();
    for (const auto& k : kRuleKinds) {
        EXPECT_TRUE(app->localisation().labelNode(k.labelKey)) << k.labelKey;
        for (const auto& f : k.fields) {
            const std::string_view key = f.labelKey.empty() ? f.name : f.labelKey;
            EXPECT_TRUE(app->localisation().labelNode(key)) << k.item << " " << key;
        }
    }
}

}  // namespace
}  // namespace qx::analysis
