#pragma once
// Building a large tree cheaply. pugixml copies every name given to set_name and keeps a
// text in a node of its own; a generated tree has hundreds of thousands of fields with a few
// dozen names, so those copies are most of its memory. A builder parses each name (and each
// attribute, and with shared texts each repeated text) once into a template element and
// appends copies of it: pugixml lets a copy within one document point at the parsed text.
//
// The templates are elements of the document while the builder lives (after the document
// element, so walks from the root never meet them) and are removed by finish() or the
// destructor. Whoever builds a tree owns its builder; nobody else reads the tree before
// the builder is finished.

#include "xml/xml_document.hpp"

#include <memory>
#include <string_view>

namespace qx::xml {

class TreeBuilder {
public:
    /// How element texts are stored.
    enum class Texts {
        Own,     // each element keeps its own text
        Shared,  // elements with the same name and text share it (trees that repeat texts)
    };

    explicit TreeBuilder(Document& doc, Texts texts = Texts::Own);
    ~TreeBuilder();
    TreeBuilder(const TreeBuilder&) = delete;
    TreeBuilder& operator=(const TreeBuilder&) = delete;

    /// Appends an empty element (as xml::appendElement).
    Node append(Node parent, std::string_view name);
    /// Appends an element holding a text (as xml::appendElement).
    Node append(Node parent, std::string_view name, std::string_view text);
    /// Appends an element holding report bytes (as xml::appendLatin1Element).
    Node appendLatin1(Node parent, std::string_view name, std::string_view bytes);
    /// Sets (or adds) an attribute (as xml::setAttribute); a new attribute shares its name
    /// and, for short values, its value.
    void setAttribute(Node node, std::string_view name, std::string_view value);
    /// setAttribute of report bytes (as xml::setLatin1Attribute).
    void setLatin1Attribute(Node node, std::string_view name, std::string_view bytes);

    /// Removes the templates; the elements built keep their names and texts. Appending
    /// afterwards makes new templates.
    void finish();
    /// The element holding the templates, empty when there is none.
    [[nodiscard]] Node templates() const;

    struct Impl;

private:
    std::unique_ptr<Impl> m;
};

}  // namespace qx::xml
