#pragma once
// Configuration items by kind and key, built once per pass so that each rule item finds
// its matches without searching the whole configuration tree.

#include "analysis/rule_kinds.hpp"
#include "xml/xml_document.hpp"

#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qx::analysis {

/// Which elements a look-up finds and what it keys them by.
struct Selector {
    std::string parent;   // name of the parent element; empty: any parent
    std::string element;  // name of the element found
    std::string key;      // child whose text is the key, "@attr" for an attribute, empty: all
};

/// The look-up of a rule kind's selection.
inline Selector selectorOf(const ItemSelection& sel) {
    return {std::string(sel.parent), std::string(sel.element), std::string(sel.key)};
}

class ConfigIndex {
public:
    explicit ConfigIndex(xml::Node root) : m_root(root) {}
    /// The elements `sel` selects whose key equals `value` exactly, in document order.
    /// The first look-up of a selector walks the tree once.
    const std::vector<xml::Node>& find(const Selector& sel, const std::string& value);
    /// Builds the tables of all these selectors in one walk (a pass that knows what it will
    /// look up pays for one walk instead of one per selector).
    void prepare(const std::vector<Selector>& selectors);

private:
    using Table = std::unordered_map<std::string, std::vector<xml::Node>>;
    const Table& table(const Selector& sel);
    static std::string idOf(const Selector& sel);
    xml::Node m_root;
    std::map<std::string, Table> m_tables;
    std::vector<xml::Node> m_none;
};

}  // namespace qx::analysis
