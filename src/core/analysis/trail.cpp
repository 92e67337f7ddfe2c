#include "analysis/trail.hpp"

#include "analysis/records.hpp"
#include "analysis/rule_base.hpp"
#include "util/text.hpp"

#include <algorithm>
#include <iterator>
#include <string_view>

namespace qx::analysis {

namespace {

bool isProductLike(std::string_view n) {
    return n == "product" || n == "productgroup";
}

// How a container of the rule base reads in a path for people: groups and products with
// their versions, lists by their names.
std::string segmentOf(xml::Node n) {
    const std::string_view e = n.name();
    if (isProductLike(e)) {
        std::string s = xml::attribute(n, "name") + " " + xml::attribute(n, "version");
        return std::string(text::trimRightBlanks(s));
    }
    std::string s = e == "files" ? readField(n, "name") : xml::attribute(n, "name");
    return s.empty() ? std::string(e) : s;
}

std::string ruleName(xml::Node rule) {
    if (isProductLike(rule.name())) return xml::attribute(rule, "name");
    for (const char* f : {"name", "id", "pattern"}) {
        std::string v = readField(rule, f);
        if (!v.empty()) return v;
    }
    return {};
}

}  // namespace

RuleRef describeRule(xml::Node rule, std::uint32_t ordinal) {
    RuleRef r;
    r.element = rule.name();
    r.ordinal = ordinal;
    r.key = r.element + "#" + std::to_string(ordinal);
    r.path = rulePath(rule);
    r.name = ruleName(rule);
    const bool container = isProductLike(r.element);
    r.description = container ? xml::attribute(rule, "description") : readField(rule, "description");
    r.url = container ? std::string() : readField(rule, "url");
    r.kdn = container ? xml::attribute(rule, "kdn") : readField(rule, "kdn");
    std::vector<xml::Node> chain;
    for (xml::Node n = rule.parent(); n && n.type() == pugi::node_element; n = n.parent()) chain.push_back(n);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (std::string_view(it->name()) == "rules") continue;
        r.segments.push_back(segmentOf(*it));
    }
    // The nearest product or group answers for the knowledge-base entry the rule lacks.
    for (xml::Node n = rule; r.kdn.empty() && n && n.type() == pugi::node_element; n = n.parent()) {
        if (isProductLike(n.name())) r.kdn = xml::attribute(n, "kdn");
    }
    xml::Node product = rule;
    if (r.element != "product") {
        product = {};
        if (auto id = owningProductId(rule)) {
            for (xml::Node n = rule; n && n.type() == pugi::node_element; n = n.parent()) {
                if (std::string_view(n.name()) == "product") {
                    product = n;
                    break;
                }
            }
            r.productId = *id;
        }
    } else {
        r.productId = xml::attribute(rule, "ID");
    }
    if (product) r.productName = xml::attribute(product, "name");
    return r;
}

void Trail::beginPass(const xml::Document& ruleBase) {
    m_ruleBase = &ruleBase;
    m_ruleByNode.clear();
    m_ordinalByNode.clear();
}

std::uint32_t Trail::ruleIndex(xml::Node rule) {
    if (!rule || !m_ruleBase) return kNone;
    auto known = m_ruleByNode.find(rule.internal_object());
    if (known != m_ruleByNode.end()) return known->second;
    if (m_ordinalByNode.empty()) {
        std::uint32_t next = 0;
        xml::forEachElementBelow(m_ruleBase->documentNode(), [&](xml::Node n) {
            m_ordinalByNode.emplace(n.internal_object(), next++);
            return true;
        });
    }
    auto ordinal = m_ordinalByNode.find(rule.internal_object());
    const auto index = static_cast<std::uint32_t>(m_rules.size());
    m_rules.push_back(std::make_shared<const RuleRef>(
        describeRule(rule, ordinal == m_ordinalByNode.end() ? kNone : ordinal->second)));
    m_ruleByNode.emplace(rule.internal_object(), index);
    return index;
}

void Trail::addDetail(std::uint32_t line, std::uint32_t rule) {
    if (m_detailRules.empty() || m_detailRules.back().second != rule)
        m_detailRules.emplace_back(static_cast<std::uint32_t>(m_detailLines.size()), rule);
    m_detailLines.push_back(line);
}

std::uint32_t Trail::detailRule(std::size_t record) const {
    auto it = std::upper_bound(m_detailRules.begin(), m_detailRules.end(), record,
                               [](std::size_t r, const auto& run) { return r < run.first; });
    return it == m_detailRules.begin() ? kNone : std::prev(it)->second;
}

void Trail::setModulePath(xml::Node list, std::string path) {
    m_modulePaths[list.internal_object()] = std::move(path);
}

std::string Trail::modulePath(xml::Node list) const {
    auto it = m_modulePaths.find(list.internal_object());
    return it == m_modulePaths.end() ? std::string() : it->second;
}

void Trail::clear() {
    m_modulePaths.clear();
    m_rules.clear();
    m_ruleByNode.clear();
    m_ordinalByNode.clear();
    m_detailLines.clear();
    m_detailRules.clear();
    m_modules.clear();
    m_products.clear();
}

}  // namespace qx::analysis
