#pragma once
// The localisation table (menu.xml): menu texts by command id, labels by element name and
// value texts by group, each in the current language. Lookups never fail: they fall back.

#include "xml/xml_document.hpp"

#include <string>
#include <string_view>
#include <unordered_map>

namespace qx {

/// Where the table came from at start-up.
enum class LocalisationSource { File, Embedded, Failed };

class Localisation {
public:
    Localisation();

    /// Loads `menu.xml` from a folder, or the embedded table when the file cannot be read.
    /// Failed means neither loaded: the table stays empty and every lookup falls back.
    LocalisationSource loadFrom(const std::string& programDir);
    /// Loads a table file; false when it is not a well-formed table (loadError() says why).
    bool loadFile(const std::string& path);
    [[nodiscard]] const std::string& loadError() const { return m_loadError; }
    /// Loads the embedded default table.
    bool loadEmbedded();
    /// Writes the table back (ISO-8859-1 when it declared so) atomically; error text or empty.
    std::string save(const std::string& path) const;

    void setLanguage(std::string language) { m_language = std::move(language); }
    [[nodiscard]] const std::string& language() const { return m_language; }

    /// Text of label `key` in the current language, or `key` itself.
    [[nodiscard]] std::string label(std::string_view key) const;
    /// Text of the child of group `group` whose `value` attribute equals `value`, or `value`.
    [[nodiscard]] std::string valueLabel(std::string_view group, std::string_view value) const;
    /// Text of the first `menuitem` with this id, or empty.
    [[nodiscard]] std::string menuText(std::string_view id) const;
    /// Text of the first `toolitem` (toolbar tool tip) with this id, or empty.
    [[nodiscard]] std::string toolText(std::string_view id) const;
    /// The first element `language/<key>` (key used as given), or an empty node.
    [[nodiscard]] xml::Node labelNode(std::string_view key) const;

    [[nodiscard]] xml::Document& document() { return m_doc; }
    [[nodiscard]] const xml::Document& document() const { return m_doc; }
    /// Rebuilds the lookup index after the document was changed structurally.
    void reindex();

private:
    xml::Document m_doc;
    std::string m_loadError;
    std::string m_language = "english";
    std::unordered_map<std::string, xml::Node> m_labels;     // first child of a `language` element per name
    std::unordered_map<std::string, xml::Node> m_menuItems;  // first `menuitem` per id
    std::unordered_map<std::string, xml::Node> m_toolItems;  // first `toolitem` per id
};

}  // namespace qx
