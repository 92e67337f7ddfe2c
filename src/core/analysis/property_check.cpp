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

// The kinds in the order they are checked; their rule items are named like their records' type.
constexpr std::array<std::string_view, 5> kKinds = {
    namesOf(FindingKind::ServerParameter).type, namesOf(FindingKind::SetParameter).type,
    namesOf(FindingKind::Lan).type, namesOf(FindingKind::Device).type, namesOf(FindingKind::Volume).type};

// Rule items of the five kinds, each kind in document order, from one walk.
std::unordered_map<std::string, std::vector<xml::Node>> collectRuleItems(const xml::Document& rules) {
    std::unordered_map<std::string, std::vector<xml::Node>> out;
    for (std::string_view k : kKinds) out[std::string(k)];
    xml::forEachElementBelow(rules.documentNode(), [&](xml::Node n) {
        auto it = out.find(n.name());
        if (it != out.end()) it->second.push_back(n);
        return true;
    });
    return out;
}

Selector selectorFor(std::string_view kind) {
    if (kind == "serverparam" || kind == "set-param") return {"", std::string(kind), "name"};
    return {std::string(kind), "property", "name"};
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

void writeRecord(xml::TreeBuilder& b, xml::Node details, std::string_view kind, const RuleTexts& rule,
                 xml::Node item, const std::string& itemPath, int outcome) {
    xml::Node rec = b.append(details, "property");
    b.setAttribute(rec, "type", kind);
    b.append(rec, "image", std::to_string(outcome));
    b.append(rec, "type", itemPath);
    if (kind == "serverparam") b.append(rec, "icon", readField(item, "icon"));
    if (kind == "set-param") {
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
    std::vector<Selector> selectors;
    for (std::string_view kind : kKinds) selectors.push_back(selectorFor(kind));
    index.prepare(selectors);
    const auto rules = collectRuleItems(app.ruleBase());
    std::unordered_map<const void*, ItemTexts> items;
    for (std::size_t k = 0; k < kKinds.size(); ++k) {
        const std::string_view kind = kKinds[k];
        for (xml::Node rule : rules.at(std::string(kind))) {
            if (!products.isRuleActive(rule)) continue;
            const auto& matches = index.find(selectors[k], readField(rule, "name"));
            if (matches.empty()) continue;
            const std::uint32_t ruleIndex = doc.trail.ruleIndex(rule);
            RuleTexts texts;
            texts.rulesPath = rulePath(rule);
            texts.condition =
                app.valueLabel("condition", readField(rule, "condition")) + " " + readField(rule, "value");
            if (kind == "set-param") {
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
