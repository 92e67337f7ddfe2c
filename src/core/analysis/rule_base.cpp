#include "analysis/rule_base.hpp"

namespace qx::analysis {

namespace {

bool named(xml::Node n, std::string_view name) {
    return n && n.type() == pugi::node_element && name == n.name();
}

// One step of the climb: the node itself when it is a container, else its parent.
xml::Node stop(xml::Node n) {
    if (!n || n.type() != pugi::node_element) return {};
    return isContainer(n) ? n : n.parent();
}

}  // namespace

bool isContainer(xml::Node node) {
    return named(node, "product") || named(node, "productgroup") || named(node, "rules");
}

xml::Node decidingContainer(xml::Node start) {
    const xml::Node second = stop(stop(start));
    if (named(second, "productgroup")) return second;
    const xml::Node third = stop(second);
    return named(third, "product") ? third : xml::Node();
}

std::optional<std::string> owningProductId(xml::Node ruleItem) {
    xml::Node n = ruleItem;
    for (int i = 0; i < 3 && n && !isContainer(n); ++i) n = n.parent();
    if (!named(n, "product")) return std::nullopt;
    return xml::attribute(n, "ID");
}

ProductRecords::ProductRecords(const CQXConfigDoc2& doc) {
    for (xml::Node p : xml::select(doc.report().documentNode(), "product")) {
        m_first.emplace(xml::attribute(p, "ID"), p);
    }
}

bool ProductRecords::isProductBad(const std::string& id) const {
    auto it = m_first.find(id);
    return it == m_first.end() || xml::attribute(it->second, "checked") == "bad";
}

void ProductRecords::markBad(const std::string& id) const {
    auto it = m_first.find(id);
    if (it != m_first.end()) xml::setAttribute(it->second, "status", "bad");
}

bool ProductRecords::isRuleActive(xml::Node node) const {
    const xml::Node c = decidingContainer(node);
    if (!c) return false;
    if (named(c, "productgroup")) return true;
    return !isProductBad(xml::attribute(c, "ID"));
}

}  // namespace qx::analysis
