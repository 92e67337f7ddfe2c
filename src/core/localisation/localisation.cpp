#include "localisation/localisation.hpp"

#include "platform/file_system.hpp"
#include "qx_embedded_resources.hpp"
#include "util/text.hpp"

namespace qx {

namespace {
// Keys that are plain element names use the index; anything else goes through the search.
bool plainName(std::string_view key) {
    if (key.empty()) return false;
    for (char c : key) {
        if (c == '/' || c == '[' || c == ']' || c == '\'' || c == '"' || c == '=' || c == '@' || c == ' ') {
            return false;
        }
    }
    return true;
}
}  // namespace

Localisation::Localisation() = default;

LocalisationSource Localisation::loadFrom(const std::string& programDir) {
    std::string path = platform::joinPath(programDir, "menu.xml");
    if (platform::readFile(path)) {
        return loadFile(path) ? LocalisationSource::File : LocalisationSource::Failed;
    }
    return loadEmbedded() ? LocalisationSource::Embedded : LocalisationSource::Failed;
}

bool Localisation::loadFile(const std::string& path) {
    const auto r = m_doc.loadFile(path);
    m_loadError = r.description;
    reindex();
    return r.ok();
}

bool Localisation::loadEmbedded() {
    bool ok = m_doc.loadString(resources::menu()).ok();
    reindex();
    return ok;
}

std::string Localisation::save(const std::string& path) const {
    return m_doc.saveFile(path).error;
}

void Localisation::reindex() {
    m_labels.clear();
    m_menuItems.clear();
    m_toolItems.clear();
    // Document order, so the first of repeated elements wins.
    struct Walker : pugi::xml_tree_walker {
        Localisation* self;
        bool for_each(pugi::xml_node& node) override {
            if (node.type() != pugi::node_element) return true;
            pugi::xml_node parent = node.parent();
            if (parent.type() == pugi::node_element && std::string_view(parent.name()) == "language") {
                self->m_labels.emplace(node.name(), node);
            }
            if (std::string_view(node.name()) == "menuitem") {
                self->m_menuItems.emplace(node.attribute("id").value(), node);
            } else if (std::string_view(node.name()) == "toolitem") {
                self->m_toolItems.emplace(node.attribute("id").value(), node);
            }
            return true;
        }
    } walker;
    walker.self = this;
    m_doc.raw().traverse(walker);
}

xml::Node Localisation::labelNode(std::string_view key) const {
    if (plainName(key)) {
        auto it = m_labels.find(std::string(key));
        return it == m_labels.end() ? xml::Node() : it->second;
    }
    return xml::selectFirst(m_doc.documentNode(), "language/" + std::string(key));
}

std::string Localisation::label(std::string_view key) const {
    if (key.find('#') != std::string_view::npos) return std::string(key);
    if (m_doc.empty()) return std::string(key);
    xml::Node n = labelNode(text::toLower(key));
    if (!n) return std::string(key);
    pugi::xml_attribute a = n.attribute(m_language.c_str());
    if (!a) return std::string(key);
    return a.value();
}

std::string Localisation::valueLabel(std::string_view group, std::string_view value) const {
    xml::Node g = labelNode(group);
    if (!g) return std::string(value);
    std::string result(value);
    for (xml::Node c = g.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element) continue;
        pugi::xml_attribute v = c.attribute("value");
        if (!v || value != v.value()) continue;
        pugi::xml_attribute a = c.attribute(m_language.c_str());
        if (a) result = a.value();
    }
    return result;
}

std::string Localisation::menuText(std::string_view id) const {
    auto it = m_menuItems.find(std::string(id));
    if (it == m_menuItems.end()) return {};
    return it->second.attribute(m_language.c_str()).value();
}

std::string Localisation::toolText(std::string_view id) const {
    auto it = m_toolItems.find(std::string(id));
    if (it == m_toolItems.end()) return {};
    return it->second.attribute(m_language.c_str()).value();
}

}  // namespace qx
