#include "analysis/product_check.hpp"

#include "analysis/analysis.hpp"
#include "analysis/evaluate_rule.hpp"
#include "analysis/records.hpp"
#include "util/text.hpp"
#include "xml/fields.hpp"

#include <limits>

namespace qx::analysis {

namespace {

// The first selection of a kind, or for an item no row names, elements of its own name.
Selector requirementSelector(const RuleKindInfo* kind, xml::Node rule) {
    if (kind && !kind->items.empty()) return selectorOf(kind->items.front());
    return {"", rule.name(), "name"};
}

std::string_view namingField(const RuleKindInfo* kind) {
    return kind && !kind->naming.empty() ? kind->naming : std::string_view("name");
}

// Search paths fall back to every record when the rule names none.
const Selector kAllSearchPaths{"", "search-path", ""};

// Every look-up the requirements below `rules` may make, so that one walk builds them all.
std::vector<Selector> requirementSelectors(xml::Node rules) {
    std::vector<Selector> out;
    for (xml::Node requireds : xml::select(rules, "requireds")) {
        for (xml::Node list = requireds.first_child(); list; list = list.next_sibling()) {
            if (list.type() != pugi::node_element) continue;
            for (xml::Node r = list.first_child(); r; r = r.next_sibling()) {
                if (r.type() != pugi::node_element) continue;
                const RuleKindInfo* kind = kindOfItem(r.name());
                if (kind && kind->comparison == Comparison::None) continue;
                out.push_back(requirementSelector(kind, r));
                if (kind && kind->kind == RuleKind::SearchPath) out.push_back(kAllSearchPaths);
            }
        }
    }
    return out;
}

bool requirementsHold(ConfigIndex& index, xml::Node container) {
    bool ok = true;
    for (xml::Node c = container.first_child(); c; c = c.next_sibling()) {
        if (c.type() == pugi::node_element && std::string_view(c.name()) == "requireds" &&
            evaluateRequireds(index, c) == markCode(Mark::Bad)) {
            ok = false;
        }
    }
    return ok;
}

// Groups are entered depth first in document order, with a stack of the next sibling to
// visit at each level instead of recursion: a rule base may nest groups deep.
void walk(ConfigIndex& index, xml::Node check, Application& app, Trail& trail, xml::Node node) {
    std::vector<xml::Node> resume;
    xml::Node b = node.first_child();
    while (b || !resume.empty()) {
        if (!b) {
            b = resume.back();
            resume.pop_back();
            continue;
        }
        const xml::Node next = b.next_sibling();
        if (b.type() != pugi::node_element) {
            b = next;
            continue;
        }
        std::string_view name = b.name();
        if (name == "productgroup") {
            if (requirementsHold(index, b)) {
                resume.push_back(next);
                b = b.first_child();
                continue;
            }
        } else if (name == "product") {
            const bool ok = requirementsHold(index, b);
            const std::string id = xml::attribute(b, "ID");
            const long long number = text::leadingInteger(id);
            if (number >= app.nextProductNumber && number < std::numeric_limits<int>::max()) {
                app.nextProductNumber = static_cast<int>(number) + 1;
            }
            xml::Node record = xml::appendElement(check, "product");
            xml::setAttribute(record, "ID", id);
            xml::setAttribute(record, "checked", ok ? "good" : "bad");
            xml::setAttribute(record, "status", "good");
            xml::addField(record, "name", xml::attribute(b, "name"));
            trail.addProduct(trail.ruleIndex(b));
        }
        b = next;
    }
}

}  // namespace

std::vector<xml::Node> itemsOfRule(ConfigIndex& index, const RuleKindInfo& kind, xml::Node rule) {
    std::vector<xml::Node> out;
    const std::string key = readField(rule, namingField(&kind));
    for (const ItemSelection& sel : kind.items) {
        const auto& found = index.find(selectorOf(sel), key);
        out.insert(out.end(), found.begin(), found.end());
    }
    return out;
}

std::vector<std::string> ruleLines(ConfigIndex& index, const RuleKindInfo& kind, xml::Node rule) {
    const bool searchPaths = kind.kind == RuleKind::SearchPath;
    const std::vector<xml::Node>* holders =
        &index.find(requirementSelector(&kind, rule), readField(rule, namingField(&kind)));
    if (searchPaths && holders->empty()) holders = &index.find(kAllSearchPaths, std::string());
    std::vector<std::string> lines;
    for (xml::Node holder : *holders) {
        for (xml::Node c = holder.first_child(); c; c = c.next_sibling()) {
            if (c.type() != pugi::node_element) continue;
            std::string_view n = c.name();
            if (n == "line" || (searchPaths && n == "value")) lines.push_back(xml::text(c));
        }
    }
    return lines;
}

LineVerdict judgeLines(std::string_view op, std::string_view text, const std::vector<std::string>& lines) {
    const bool in = op == kContainmentOperators[0];
    if (!in && op != kContainmentOperators[1]) return {markCode(Mark::Information), {}};
    LineVerdict v;
    bool found = false;
    for (const auto& l : lines) {
        if (!text::isCommentLine(l) && text::trimLeftBlanks(l).find(text) != std::string_view::npos) {
            found = true;
            v.line = l;
            break;
        }
    }
    v.outcome = found == in ? markCode(Mark::Good) : markCode(Mark::Bad);
    return v;
}

int lineTest(std::string_view op, std::string_view text, const std::vector<std::string>& lines) {
    return judgeLines(op, text, lines).outcome;
}

int evaluateRequireds(ConfigIndex& index, xml::Node requireds) {
    int result = markCode(Mark::Good);
    for (xml::Node list = requireds.first_child(); list; list = list.next_sibling()) {
        if (list.type() != pugi::node_element) continue;
        // Once a requirement failed the rest of the list is not judged: a later line test
        // must not turn the failure back into success.
        for (xml::Node r = list.first_child(); r && result != markCode(Mark::Bad); r = r.next_sibling()) {
            if (r.type() != pugi::node_element) continue;
            const RuleKindInfo* kind = kindOfItem(r.name());
            if (kind && kind->comparison == Comparison::None) continue;
            if (kind && kind->comparison == Comparison::LineTest) {
                result =
                    lineTest(readField(r, "condition"), readField(r, "value"), ruleLines(index, *kind, r));
                continue;
            }
            const auto& items = index.find(requirementSelector(kind, r), readField(r, namingField(kind)));
            if (items.empty()) result = markCode(Mark::Bad);
            for (std::size_t i = 0; i < items.size() && result != markCode(Mark::Bad); ++i) {
                result = evaluateRule(r, items[i]);
            }
        }
    }
    return result;
}

void checkProducts(CQXConfigDoc2& doc, Application& app) {
    xml::Node check = xml::selectFirst(doc.report().documentNode(), "check");
    if (!check) return;
    xml::removeChildren(check);
    doc.trail.clear();
    doc.trail.beginPass(app.ruleBase());
    app.nextProductNumber = 0;
    ConfigIndex index(doc.config().documentNode());
    if (xml::Node rules = xml::selectFirst(app.ruleBase().documentNode(), "rules")) {
        index.prepare(requirementSelectors(rules));
        walk(index, check, app, doc.trail, rules);
    }
    xml::Node summary = xml::selectFirst(doc.report().documentNode(), "summary");
    if (!summary) return;
    xml::removeChildren(summary);
    for (xml::Node p : xml::select(doc.report().documentNode(), "product")) {
        if (xml::attribute(p, "checked") != "good") continue;
        xml::Node g = xml::appendElement(summary, "goodproduct");
        xml::addField(g, "name", xml::childText(p, "name"));
        xml::addField(g, "ID", xml::attribute(p, "ID"));
    }
}

}  // namespace qx::analysis
