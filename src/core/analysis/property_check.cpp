// Server, SET, LAN, device and volume rules against the configuration: one detail record
// per pair of active rule item and configuration item.
#include "analysis/analysis.hpp"
#include "analysis/config_index.hpp"
#include "analysis/evaluate_rule.hpp"
#include "analysis/records.hpp"
#include "analysis/rule_base.hpp"

#include <array>
#include <new>
#include <unordered_map>

namespace qx::analysis {

namespace {

constexpr std::array<const char*, 5> kKinds = {"serverparam", "set-param", "lan", "device", "volume"};

// Rule items of the five kinds, each kind in document order, from one walk.
std::unordered_map<std::string, std::vector<xml::Node>> collectRuleItems(const xml::Document& rules) {
    std::unordered_map<std::string, std::vector<xml::Node>> out;
    for (const char* k : kKinds) out[k];
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

void writeRecord(xml::Node details, std::string_view kind, const RuleTexts& rule, xml::Node item,
                 const std::string& itemPath, int outcome) {
    xml::Node rec = xml::appendElement(details, "property");
    xml::setAttribute(rec, "type", kind);
    addField(rec, "image", std::to_string(outcome));
    addField(rec, "type", itemPath);
    if (kind == "serverparam") addField(rec, "icon", readField(item, "icon"));
    if (kind == "set-param") {
        addField(rec, "icon", rule.setIcon);
        addField(rec, "url", rule.setUrl);
    }
    addField(rec, "rules", rule.rulesPath);
    addField(rec, "name", readField(item, "name"));
    addField(rec, "condition", rule.condition);
    addField(rec, "value", readField(item, "value"));
}

void runPropertyCheck(CQXConfigDoc2& doc, Application& app, xml::Node details,
                      const ProductRecords& products) {
    ConfigIndex index(doc.config().documentNode());
    std::vector<Selector> selectors;
    for (const char* kind : kKinds) selectors.push_back(selectorFor(kind));
    index.prepare(selectors);
    const auto rules = collectRuleItems(app.ruleBase());
    // An item matched by many rule items is labelled once.
    std::unordered_map<const void*, std::string> itemPaths;
    for (std::size_t k = 0; k < kKinds.size(); ++k) {
        const std::string_view kind = kKinds[k];
        for (xml::Node rule : rules.at(kKinds[k])) {
            if (!products.isRuleActive(rule)) continue;
            const auto& matches = index.find(selectors[k], readField(rule, "name"));
            if (matches.empty()) continue;
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
                if (outcome == kOutcomeBroken) {
                    if (auto id = owningProductId(rule)) products.markBad(*id);
                }
                auto path = itemPaths.find(item.internal_object());
                if (path == itemPaths.end()) {
                    path = itemPaths.emplace(item.internal_object(), configurationPath(item, app)).first;
                }
                writeRecord(details, kind, texts, item, path->second, outcome);
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
