// Server, SET, LAN, device and volume rules against the configuration: one detail record
// per pair of active rule item and configuration item.
#include "analysis/analysis.hpp"
#include "analysis/config_index.hpp"
#include "analysis/evaluate_rule.hpp"
#include "analysis/records.hpp"
#include "analysis/rule_base.hpp"
#include "xml/tree_builder.hpp"

#include <array>
#include <new>
#include <unordered_map>

namespace qx::analysis {

namespace {

// The kinds the property check judges, in the table's order.
std::vector<const RuleKindInfo*> checkedKinds() {
    std::vector<const RuleKindInfo*> out;
    for (const auto& k : kRuleKinds) {
        if (k.propertyCheck) out.push_back(&k);
    }
    return out;
}

// Rule items of the checked kinds, each kind in document order, from one walk.
std::unordered_map<std::string_view, std::vector<xml::Node>> collectRuleItems(
    const xml::Document& rules, const std::vector<const RuleKindInfo*>& kinds) {
    std::unordered_map<std::string_view, std::vector<xml::Node>> out;
    for (const RuleKindInfo* k : kinds) out[k->item];
    xml::forEachElementBelow(rules.documentNode(), [&](xml::Node n) {
        auto it = out.find(n.name());
        if (it != out.end()) it->second.push_back(n);
        return true;
    });
    return out;
}

// What a record takes from its rule item, the same for every configuration item it matches.
struct RuleTexts {
    std::string rulesPath;
    std::string condition;
    std::string setIcon;
    std::string setUrl;
};

// What a record needs of its configuration item; an item matched by many rule items is
// described once.
struct ItemTexts {
    std::string path;
    std::uint32_t line = 0;
};

void writeRecord(xml::TreeBuilder& b, xml::Node details, const RuleKindInfo& kind, const RuleTexts& rule,
                 xml::Node item, const std::string& itemPath, int outcome) {
    xml::Node rec = b.append(details, "property");
    b.setAttribute(rec, "type", kind.item);
    b.append(rec, "image", std::to_string(outcome));
    b.append(rec, "type", itemPath);
    if (kind.kind == RuleKind::ServerParameter) b.append(rec, "icon", readField(item, "icon"));
    if (kind.kind == RuleKind::SetParameter) {
        b.append(rec, "icon", rule.setIcon);
        b.append(rec, "url", rule.setUrl);
    }
    b.append(rec, "rules", rule.rulesPath);
    b.append(rec, "name", readField(item, "name"));
    b.append(rec, "condition", rule.condition);
    b.append(rec, "value", readField(item, "value"));
}

void runPropertyCheck(CQXConfigDoc2& doc, Application& app, xml::Node details,
                      const ProductRecords& products) {
    xml::TreeBuilder builder(doc.report(), xml::TreeBuilder::Texts::Shared);
    doc.trail.beginPass(app.ruleBase());
    ConfigIndex index(doc.config().documentNode());
    const auto kinds = checkedKinds();
    std::vector<Selector> selectors;
    selectors.reserve(kinds.size());
    for (const RuleKindInfo* kind : kinds) selectors.push_back(selectorOf(kind->items.front()));
    index.prepare(selectors);
    const auto rules = collectRuleItems(app.ruleBase(), kinds);
    std::unordered_map<const void*, ItemTexts> items;
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        const RuleKindInfo& kind = *kinds[k];
        for (xml::Node rule : rules.at(kind.item)) {
            if (!products.isRuleActive(rule)) continue;
            const auto& matches = index.find(selectors[k], readField(rule, kind.naming));
            if (matches.empty()) continue;
            const std::uint32_t ruleIndex = doc.trail.ruleIndex(rule);
            RuleTexts texts;
            texts.rulesPath = rulePath(rule);
            texts.condition =
                app.valueLabel("condition", readField(rule, "condition")) + " " + readField(rule, "value");
            if (kind.kind == RuleKind::SetParameter) {
                texts.setIcon = readField(rule, "type");
                texts.setUrl = readField(rule, "url");
            }
            for (xml::Node item : matches) {
                const int outcome = evaluateRule(rule, item);
                if (outcome == markCode(Mark::Bad)) {
                    if (auto id = owningProductId(rule)) products.markBad(*id);
                }
                auto known = items.find(item.internal_object());
                if (known == items.end()) {
                    ItemTexts t{configurationPath(item, app), doc.provenance.lineOf(item)};
                    known = items.emplace(item.internal_object(), std::move(t)).first;
                }
                writeRecord(builder, details, kind, texts, item, known->second.path, outcome);
                doc.trail.addDetail(known->second.line, ruleIndex);
            }
        }
    }
}

}  // namespace

namespace {

template <typename Run>
void propertyPass(CQXConfigDoc2& doc, Run run) {
    xml::Node details = xml::selectFirst(doc.report().documentNode(), "details");
    if (!details) return;
    xml::removeChildren(details);
    doc.trail.clearDetails();
    try {
        run(details);
    } catch (const std::bad_alloc&) {
        // Memory ran out: the pass ends quietly, keeping the records written so far.
    }
}

}  // namespace

void checkProperties(CQXConfigDoc2& doc, Application& app) {
    propertyPass(doc, [&](xml::Node details) {
        const ProductRecords products(doc);
        runPropertyCheck(doc, app, details, products);
    });
}

void checkProperties(CQXConfigDoc2& doc, Application& app, const ProductRecords& products) {
    propertyPass(doc, [&](xml::Node details) { runPropertyCheck(doc, app, details, products); });
}

}  // namespace qx::analysis
