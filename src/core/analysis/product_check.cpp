#include "analysis/product_check.hpp"

#include "analysis/analysis.hpp"
#include "analysis/evaluate_rule.hpp"
#include "analysis/records.hpp"
#include "util/text.hpp"

#include <limits>

namespace qx::analysis {

namespace {

bool isPropertyKind(std::string_view n) {
    return n == "lan" || n == "device" || n == "volume" || n == "boot-drive";
}

// Lines a `files` or `search-paths` requirement is tested against. Search-path records
// carry `name` ("Search Path 1") and `value`: the values of the records with the rule's
// name count; a rule whose name is empty or names no record (the editor may store a path
// there) is tested against all search paths. `line` children count where a tree has them.
std::vector<std::string> requirementLines(ConfigIndex& index, std::string_view list, xml::Node rule) {
    const std::string name = readField(rule, "name");
    const bool files = list == "files";
    const std::vector<xml::Node>* holders = nullptr;
    if (files) {
        holders = &index.find({"", "file", "@name"}, name);
    } else {
        holders = &index.find({"", "search-path", "name"}, name);
        if (holders->empty()) holders = &index.find({"", "search-path", ""}, std::string());
    }
    std::vector<std::string> lines;
    for (xml::Node holder : *holders) {
        for (xml::Node c = holder.first_child(); c; c = c.next_sibling()) {
            if (c.type() != pugi::node_element) continue;
            std::string_view n = c.name();
            if (n == "line" || (!files && n == "value")) lines.push_back(xml::text(c));
        }
    }
    return lines;
}

// The look-up of a requirement that is not a line test, and the field holding its key.
std::pair<Selector, const char*> itemSelector(std::string_view list, xml::Node rule) {
    std::string_view item = rule.name();
    if (list == "products") return {{"", "product", "id"}, "id"};
    if (list == "modules") return {{"loaded-modules", "module", "name"}, "name"};
    if (list == "file-groups") return {{"", "file-group", "pattern"}, "pattern"};
    if (isPropertyKind(item)) return {{std::string(item), "property", "name"}, "name"};
    return {{"", std::string(item), "name"}, "name"};
}

const std::vector<xml::Node>& requirementItems(ConfigIndex& index, std::string_view list, xml::Node rule) {
    const auto [sel, keyField] = itemSelector(list, rule);
    return index.find(sel, readField(rule, keyField));
}

// Every look-up the requirements below `rules` may make, so that one walk builds them all.
std::vector<Selector> requirementSelectors(xml::Node rules) {
    std::vector<Selector> out;
    for (xml::Node requireds : xml::select(rules, "requireds")) {
        for (xml::Node list = requireds.first_child(); list; list = list.next_sibling()) {
            if (list.type() != pugi::node_element) continue;
            const std::string_view listName = list.name();
            for (xml::Node r = list.first_child(); r; r = r.next_sibling()) {
                if (r.type() != pugi::node_element || std::string_view(r.name()) == "depend") continue;
                if (listName == "files") {
                    out.push_back({"", "file", "@name"});
                } else if (listName == "search-paths") {
                    out.push_back({"", "search-path", "name"});
                    out.push_back({"", "search-path", ""});
                } else {
                    out.push_back(itemSelector(listName, r).first);
                }
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
            addField(record, "name", xml::attribute(b, "name"));
            trail.addProduct(trail.ruleIndex(b));
        }
        b = next;
    }
}

}  // namespace

bool isCommentLine(std::string_view line) {
    const std::string_view t = text::trimLeftBlanks(line);
    if (!t.empty() && (t.front() == '#' || t.front() == ';')) return true;
    return text::toUpper(t).find("REM") != std::string::npos;
}

int lineTest(std::string_view op, std::string_view text, const std::vector<std::string>& lines) {
    if (op != "in" && op != "!in") return markCode(Mark::Information);
    bool found = false;
    for (const auto& l : lines) {
        if (!isCommentLine(l) && text::trimLeftBlanks(l).find(text) != std::string_view::npos) {
            found = true;
            break;
        }
    }
    return found == (op == "in") ? markCode(Mark::Good) : markCode(Mark::Bad);
}

int evaluateRequireds(ConfigIndex& index, xml::Node requireds) {
    int result = markCode(Mark::Good);
    for (xml::Node list = requireds.first_child(); list; list = list.next_sibling()) {
        if (list.type() != pugi::node_element) continue;
        const std::string_view listName = list.name();
        // Once a requirement failed the rest of the list is not judged: a later line test
        // must not turn the failure back into success.
        for (xml::Node r = list.first_child(); r && result != markCode(Mark::Bad); r = r.next_sibling()) {
            if (r.type() != pugi::node_element || std::string_view(r.name()) == "depend") continue;
            if (listName == "files" || listName == "search-paths") {
                result = lineTest(readField(r, "condition"), readField(r, "value"),
                                  requirementLines(index, listName, r));
                continue;
            }
            const auto& items = requirementItems(index, listName, r);
            if (items.empty()) result = markCode(Mark::Bad);
            for (std::size_t i = 0; i < items.size() && result != markCode(Mark::Bad); ++i) {
                result = evaluateRule(r, items[i]);
            }
        }
    }
    return result;
}

int evaluateRequireds(CQXConfigDoc2& doc, xml::Node requireds) {
    ConfigIndex index(doc.config().documentNode());
    return evaluateRequireds(index, requireds);
}

void walkRuleTree(CQXConfigDoc2& doc, Application& app, xml::Node node) {
    xml::Node check = xml::selectFirst(doc.report().documentNode(), "check");
    if (!check) return;
    ConfigIndex index(doc.config().documentNode());
    doc.trail.beginPass(app.ruleBase());
    walk(index, check, app, doc.trail, node);
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
        addField(g, "name", xml::childText(p, "name"));
        addField(g, "ID", xml::attribute(p, "ID"));
    }
}

}  // namespace qx::analysis
