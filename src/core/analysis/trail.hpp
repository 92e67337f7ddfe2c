#pragma once
// What the analysis knows beside the records it writes: which rule made each record and
// which report line its configuration item came from. The document keeps it next to the
// report tree (the records stay the stored format; this is never saved).

#include "xml/xml_document.hpp"

#include <cstdint>
#include <deque>
#include <limits>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace qx::analysis {

/// A rule of the rule base as a finding names it. Copied out of the rule base, so it stays
/// valid when the rule base the analysis used is gone (each analysis may run on its own copy).
struct RuleRef {
    /// Stable for one rule base: the element name and its position among the rule base's
    /// elements in document order ("set-param#42").
    std::string key;
    /// Element name of the rule item ("set-param", "module", "product", ...).
    std::string element;
    /// Position among the rule base's elements, in document order (the document element is 0).
    std::uint32_t ordinal = 0;
    /// Rule path as the records store it.
    std::string path;
    /// The containers that hold the rule, outermost first, for display: group, product (with
    /// their versions), area list ("Quarrix Server", "SET Parameters").
    std::vector<std::string> segments;
    /// The rule's name: its `name` field (`id` of a product requirement, `pattern` of a file
    /// group), or the `name` attribute of a product.
    std::string name;
    /// The rule's explanation and addresses where it has them; `kdn` falls back to the
    /// product's or group's.
    std::string description, url, kdn;
    /// The product that owns the rule (empty for rules of product groups).
    std::string productId, productName;
};

/// Describes a rule-base node; `ordinal` is its position among the elements of the rule base.
RuleRef describeRule(xml::Node rule, std::uint32_t ordinal);

/// The analysis's side of its records.
class Trail {
public:
    static constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();

    /// One per configuration module that a rule judged.
    struct Module {
        xml::Node module;
        std::uint32_t rule = kNone;
        std::uint32_t record = kNone;  // its `details` record (broken rules only)
    };

    /// Starts a pass over `ruleBase`: rules are recognised by their nodes only within a pass
    /// (the rule base may be edited, or be another copy, between passes).
    void beginPass(const xml::Document& ruleBase);
    /// Index of a rule of the pass's rule base (see rule()), added on first use.
    std::uint32_t ruleIndex(xml::Node rule);

    /// Forgets everything (a new analysis starts with the product check).
    void clear();
    /// Forgets the records of `details` (the property check empties it) and the modules.
    void clearDetails() {
        m_detailLines.clear();
        m_detailRules.clear();
        clearModules();
    }
    /// Forgets the modules judged (the module check writes every mark anew).
    void clearModules() {
        m_modules.clear();
        m_modulePaths.clear();
    }

    /// Notes the next `details` record: the report line of its configuration item (0 when
    /// unknown) and its rule.
    void addDetail(std::uint32_t line, std::uint32_t rule);
    void addModule(xml::Node module, std::uint32_t rule, std::uint32_t record) {
        m_modules.push_back({module, rule, record});
    }
    void addProduct(std::uint32_t rule) { m_products.push_back(rule); }
    /// The configuration path the module check wrote for the modules of a list.
    void setModulePath(xml::Node list, std::string path);
    [[nodiscard]] std::string modulePath(xml::Node list) const;

    /// The rules noted, by index; a finding keeps its rule alive beyond the document.
    [[nodiscard]] std::shared_ptr<const RuleRef> rule(std::uint32_t index) const {
        return index < m_rules.size() ? m_rules[index] : nullptr;
    }
    [[nodiscard]] std::size_t ruleCount() const { return m_rules.size(); }
    /// Records noted, and the line and rule of one of them.
    [[nodiscard]] std::size_t detailCount() const { return m_detailLines.size(); }
    [[nodiscard]] std::uint32_t detailLine(std::size_t record) const { return m_detailLines[record]; }
    [[nodiscard]] std::uint32_t detailRule(std::size_t record) const;
    [[nodiscard]] const std::vector<Module>& modules() const { return m_modules; }
    [[nodiscard]] const std::vector<std::uint32_t>& products() const { return m_products; }

private:
    std::vector<std::shared_ptr<const RuleRef>> m_rules;
    // Within one pass: rules met so far, and element positions of the pass's rule base.
    const xml::Document* m_ruleBase = nullptr;
    std::unordered_map<const void*, std::uint32_t> m_ruleByNode;
    std::unordered_map<const void*, std::uint32_t> m_ordinalByNode;
    // A line per record (a deque: no doubling copy while tens of thousands are written) and
    // the rules as runs (the records of one rule come together): (first record, rule).
    std::deque<std::uint32_t> m_detailLines;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> m_detailRules;
    std::vector<Module> m_modules;
    std::vector<std::uint32_t> m_products;
    std::unordered_map<const void*, std::string> m_modulePaths;  // by module list
};

}  // namespace qx::analysis
