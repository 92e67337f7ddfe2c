#include "analysis/config_index.hpp"

#include <cstring>

namespace qx::analysis {

namespace {

void addKeys(xml::Node e, const Selector& sel, std::unordered_map<std::string, std::vector<xml::Node>>& t) {
    if (sel.key.empty()) {
        t[std::string()].push_back(e);
    } else if (sel.key.front() == '@') {
        pugi::xml_attribute a = e.attribute(sel.key.c_str() + 1);
        if (a) t[a.value()].push_back(e);
    } else {
        // An element matches every text of its key children, once per text.
        std::vector<std::string> seen;
        for (xml::Node c = e.first_child(); c; c = c.next_sibling()) {
            if (c.type() != pugi::node_element || sel.key != c.name()) continue;
            std::string k = xml::text(c);
            bool dup = false;
            for (const auto& s : seen) dup = dup || s == k;
            if (dup) continue;
            t[k].push_back(e);
            seen.push_back(std::move(k));
        }
    }
}

}  // namespace

std::string ConfigIndex::idOf(const Selector& sel) {
    return sel.parent + '/' + sel.element + '[' + sel.key + ']';
}

void ConfigIndex::prepare(const std::vector<Selector>& selectors) {
    std::vector<std::pair<const Selector*, Table*>> wanted;
    for (const Selector& sel : selectors) {
        const std::string id = idOf(sel);
        if (m_tables.count(id)) continue;
        wanted.emplace_back(&sel, &m_tables[id]);
    }
    if (wanted.empty()) return;
    xml::forEachElementBelow(m_root, [&](xml::Node n) {
        const char* name = n.name();
        for (auto& [sel, t] : wanted) {
            if (name[0] == sel->element.c_str()[0] && std::strcmp(name, sel->element.c_str()) == 0 &&
                (sel->parent.empty() || sel->parent == n.parent().name())) {
                addKeys(n, *sel, *t);
            }
        }
        return true;
    });
}

const ConfigIndex::Table& ConfigIndex::table(const Selector& sel) {
    const std::string id = idOf(sel);
    auto found = m_tables.find(id);
    if (found != m_tables.end()) return found->second;
    prepare({sel});
    return m_tables[id];
}

const std::vector<xml::Node>& ConfigIndex::find(const Selector& sel, const std::string& value) {
    const Table& t = table(sel);
    auto it = t.find(value);
    return it == t.end() ? m_none : it->second;
}

}  // namespace qx::analysis
