// The "values" and "compare" categories of the rule item editor, and the "Select" chooser:
// the configuration items a rule is about, found as the analysis finds them.
#include "analysis/product_check.hpp"
#include "ruleedit/rule_edit.hpp"
#include "util/text.hpp"
#include "xml/fields.hpp"

#include <set>

namespace qx::ruleedit {

namespace {

using analysis::ItemSelection;
using analysis::RuleKindInfo;

// The key a selection finds an item by: its attribute or its first key child.
std::string keyOf(const ItemSelection& sel, xml::Node item) {
    if (!sel.key.empty() && sel.key.front() == '@') return xml::attribute(item, sel.key.substr(1));
    return xml::childText(item, sel.key);
}

// The texts of the item's shown fields (every line of a file), joined by blanks.
std::string valueOf(const RuleKindInfo& kind, xml::Node item) {
    std::string out;
    for (std::string_view f : kind.shown) {
        for (xml::Node c : xml::childElements(item)) {
            if (f != c.name()) continue;
            const std::string t = xml::text(c);
            if (t.empty()) continue;
            if (!out.empty()) out += ' ';
            out += t;
        }
    }
    return out;
}

// Properties are labelled by their owner (the device, volume or LAN), the rest by their key.
RuleMatch describe(const RuleKindInfo& kind, xml::Node item) {
    RuleMatch m;
    m.node = item;
    const ItemSelection& sel = kind.items.front();
    m.label = sel.element == "property" ? xml::attribute(item.parent(), "name") : keyOf(sel, item);
    m.value = valueOf(kind, item);
    return m;
}

bool matches(const ItemSelection& sel, xml::Node n) {
    if (sel.element != n.name()) return false;
    return sel.parent.empty() || (n.parent().type() == pugi::node_element && sel.parent == n.parent().name());
}

}  // namespace

std::vector<xml::Node> matchingConfigItems(const CQXConfigDoc2& doc, const RuleKindInfo& kind,
                                           xml::Node rule) {
    if (!rule || kind.items.empty()) return {};
    analysis::ConfigIndex index(doc.config().documentNode());
    return analysis::itemsOfRule(index, kind, rule);
}

std::vector<RuleMatch> ruleValues(const CQXConfigDoc2& doc, const RuleKindInfo& kind, xml::Node rule,
                                  const RuleEvaluator& evaluate) {
    std::vector<RuleMatch> out;
    for (xml::Node item : matchingConfigItems(doc, kind, rule)) {
        RuleMatch m = describe(kind, item);
        m.outcome = evaluate ? evaluate(rule, item) : 0;
        out.push_back(std::move(m));
    }
    return out;
}

std::vector<RuleMatch> ruleCompare(const std::vector<const CQXConfigDoc2*>& others, const RuleKindInfo& kind,
                                   xml::Node rule, const RuleEvaluator& evaluate) {
    std::vector<RuleMatch> out;
    for (const CQXConfigDoc2* doc : others) {
        if (!doc) continue;
        for (RuleMatch m : ruleValues(*doc, kind, rule, evaluate)) {
            m.label = doc->title;
            out.push_back(std::move(m));
        }
    }
    return out;
}

std::vector<SelectChoice> selectChoices(const CQXConfigDoc2& doc, const RuleKindInfo& kind) {
    std::vector<SelectChoice> out;
    if (kind.chooser == analysis::Chooser::None) return out;
    const bool byCategory = kind.chooser == analysis::Chooser::KeysByCategory;
    std::set<std::pair<std::string, std::string>> seen;
    xml::forEachElementBelow(doc.config().documentNode(), [&](xml::Node n) {
        for (const ItemSelection& sel : kind.items) {
            if (!matches(sel, n)) continue;
            SelectChoice c;
            c.text = keyOf(sel, n);
            if (byCategory) c.group = xml::attribute(n.parent(), "name");
            if (!c.text.empty() && seen.emplace(c.group, c.text).second) {
                c.detail = text::cutUtf8(valueOf(kind, n), 200);
                out.push_back(std::move(c));
            }
            break;
        }
        return true;
    });
    return out;
}

}  // namespace qx::ruleedit
