// The "values" and "compare" categories of the rule item editor: the configuration items a
// rule is about, in this window and in every other open document, with their outcomes.
#include "ruleedit/rule_edit.hpp"

namespace qx::ruleedit {

namespace {

std::string predicate(std::string_view child, const std::string& key) {
    return "[" + std::string(child) + "='" + xml::escapeLiteral(key) + "']";
}

/// The patterns that select a rule's configuration items.
std::vector<std::string> patternsFor(TreeNodeKind list, xml::Node rule) {
    const std::string name = xml::childText(rule, "name");
    switch (list) {
        case TreeNodeKind::ServerParams:
            return {"serverparam" + predicate("name", name)};
        case TreeNodeKind::SetParams:
            return {"set-param" + predicate("name", name)};
        case TreeNodeKind::Lans:
            return {"lan/property" + predicate("name", name)};
        case TreeNodeKind::Devices:
            return {"device/property" + predicate("name", name)};
        case TreeNodeKind::Volumes:
            return {"volume/property" + predicate("name", name)};
        case TreeNodeKind::BootDrives:
            return {"boot-drive/property" + predicate("name", name)};
        case TreeNodeKind::SearchPaths:
            return {"search-path" + predicate("name", name)};
        case TreeNodeKind::Files:
            return {"file" + predicate("@name", name)};
        case TreeNodeKind::Modules:
            return {"loaded-modules/module" + predicate("name", name),
                    "search-path-modules/module" + predicate("name", name)};
        case TreeNodeKind::Products:
            return {"products/product" + predicate("id", xml::childText(rule, "id"))};
        case TreeNodeKind::FileGroups:
            return {"file-group" + predicate("pattern", xml::childText(rule, "pattern"))};
        default:
            return {};
    }
}

std::string joinNonEmpty(const std::string& a, const std::string& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return a + " " + b;
}

RuleMatch describe(TreeNodeKind list, xml::Node item) {
    RuleMatch m;
    m.node = item;
    switch (list) {
        case TreeNodeKind::Lans:
        case TreeNodeKind::Devices:
        case TreeNodeKind::Volumes:
        case TreeNodeKind::BootDrives:
            m.label = xml::attribute(item.parent(), "name");
            m.value = xml::childText(item, "value");
            break;
        case TreeNodeKind::Modules:
            m.label = xml::childText(item, "name");
            m.value = joinNonEmpty(xml::childText(item, "version"), xml::childText(item, "date"));
            break;
        case TreeNodeKind::Products:
            m.label = xml::childText(item, "id");
            m.value = xml::childText(item, "version");
            break;
        case TreeNodeKind::FileGroups:
            m.label = xml::childText(item, "pattern");
            m.value = xml::childText(item, "count");
            break;
        case TreeNodeKind::Files:
            m.label = xml::attribute(item, "name");
            for (xml::Node line : xml::childElements(item)) m.value = joinNonEmpty(m.value, xml::text(line));
            break;
        default:
            m.label = xml::childText(item, "name");
            m.value = xml::childText(item, "value");
            break;
    }
    return m;
}

}  // namespace

std::vector<xml::Node> matchingConfigItems(const CQXConfigDoc2& doc, TreeNodeKind list, xml::Node rule) {
    std::vector<xml::Node> out;
    if (!rule) return out;
    for (const auto& pattern : patternsFor(list, rule)) {
        auto found = xml::select(doc.config().documentNode(), pattern);
        out.insert(out.end(), found.begin(), found.end());
    }
    return out;
}

std::vector<RuleMatch> ruleValues(const CQXConfigDoc2& doc, TreeNodeKind list, xml::Node rule,
                                  const RuleEvaluator& evaluate) {
    std::vector<RuleMatch> out;
    for (xml::Node item : matchingConfigItems(doc, list, rule)) {
        RuleMatch m = describe(list, item);
        m.outcome = evaluate ? evaluate(rule, item) : 0;
        out.push_back(std::move(m));
    }
    return out;
}

std::vector<RuleMatch> ruleCompare(const std::vector<const CQXConfigDoc2*>& others, TreeNodeKind list,
                                   xml::Node rule, const RuleEvaluator& evaluate) {
    std::vector<RuleMatch> out;
    for (const CQXConfigDoc2* doc : others) {
        if (!doc) continue;
        for (RuleMatch m : ruleValues(*doc, list, rule, evaluate)) {
            m.label = doc->title;
            out.push_back(std::move(m));
        }
    }
    return out;
}

}  // namespace qx::ruleedit
