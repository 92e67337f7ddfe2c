#pragma once
// XML document service: every tree of the program (configuration, report, rule base,
// localisation table) is an xml::Document. pugixml does the work; this adapter fixes the
// semantics the rest of the core relies on (text, search patterns, encodings, saving).

#include <pugixml.hpp>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qx::xml {

using Node = pugi::xml_node;

/// Elements may nest at most this deep (the document element is level 1). A deeper tree is
/// refused at load: no real rule base, report or saved tree comes near it, and every walk of
/// the program stays cheap and safe below it.
inline constexpr int kMaxDepth = 256;
/// Saving indents elements only down to this level; an element there holding deeper ones is
/// written on one line, so the indentation never outgrows the content.
inline constexpr int kMaxIndent = 64;

/// Outcome of loading a document.
enum class LoadStatus { Ok, FileNotFound, ReadError, Malformed, TooDeep, OutOfMemory };

/// Result of a load: status, a readable description and the byte offset of a parse error
/// (for TooDeep, of the first element past the limit).
struct LoadResult {
    LoadStatus status = LoadStatus::Ok;
    std::string description;
    std::ptrdiff_t offset = 0;
    [[nodiscard]] bool ok() const { return status == LoadStatus::Ok; }
};

/// Result of a save: empty error text on success.
struct SaveResult {
    std::string error;
    [[nodiscard]] bool ok() const { return error.empty(); }
};

/// One XML document.
class Document {
public:
    Document();
    ~Document();
    Document(Document&&) noexcept;
    Document& operator=(Document&&) noexcept;
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    /// Replaces the content by the file's; on failure the document is empty. Only a
    /// regular file is read (a FIFO or a folder is refused at once, by its kind); a tree
    /// nested deeper than kMaxDepth is refused; characters XML 1.0 forbids (control
    /// characters other than tab and line ends, which only character references can bring)
    /// become U+FFFD, as they do in report text.
    LoadResult loadFile(const std::string& path);
    /// Replaces the content by the text's, with the same checks; on failure it is empty.
    LoadResult loadString(std::string_view text);
    /// Writes the document through a temporary file and a rename, in the declared encoding.
    SaveResult saveFile(const std::string& path) const;
    /// The document as text (UTF-8 unless the declaration names ISO-8859-1), indented by
    /// tabs down to kMaxIndent levels.
    [[nodiscard]] std::string saveString() const;

    /// The document element (empty node when there is none).
    [[nodiscard]] Node root() const;
    /// The document node itself (parent of the document element).
    [[nodiscard]] Node documentNode() const;
    /// Removes everything and appends a new document element.
    Node createRoot(std::string_view name);
    /// Removes everything.
    void clear();
    /// Deep copy of another document.
    void copyFrom(const Document& other);
    [[nodiscard]] bool empty() const { return !root(); }
    /// True when the loaded file declared ISO-8859-1; saving keeps it.
    [[nodiscard]] bool latin1() const { return m_latin1; }

    [[nodiscard]] pugi::xml_document& raw() { return *m_doc; }
    [[nodiscard]] const pugi::xml_document& raw() const { return *m_doc; }

private:
    LoadResult finishLoad(const pugi::xml_parse_result& r);
    std::unique_ptr<pugi::xml_document> m_doc;
    bool m_latin1 = false;
};

/// Appends a new element; throws std::bad_alloc when the DOM cannot allocate it.
Node appendElement(Node parent, std::string_view name);
/// Appends a new element holding a text.
Node appendElement(Node parent, std::string_view name, std::string_view text);
/// Text of an element: all descendant texts joined.
std::string text(Node node);
/// Replaces all children of an element by one text (no child when empty).
void setText(Node node, std::string_view text);
/// Attribute value, empty when absent.
std::string attribute(Node node, std::string_view name);
/// True when the element carries the attribute.
bool hasAttribute(Node node, std::string_view name);
/// Sets (or adds) an attribute.
void setAttribute(Node node, std::string_view name, std::string_view value);
/// Removes every child of a node.
void removeChildren(Node node);
/// First child element with this exact name.
Node child(Node node, std::string_view name);
/// Text of the first child element with this exact name (empty when absent).
std::string childText(Node node, std::string_view name);
/// Child elements in document order.
std::vector<Node> childElements(Node node);

/// Calls `visit` on every element below `top` (not `top` itself) in document order, without
/// recursion: trees from broken reports can be deep. `visit` returns false to stop.
template <typename Visit>
void forEachElementBelow(Node top, Visit visit) {
    Node n = top.first_child();
    while (n) {
        if (n.type() == pugi::node_element && !visit(n)) return;
        if (Node c = n.first_child()) {
            n = c;
            continue;
        }
        while (n && !n.next_sibling() && n != top) n = n.parent();
        if (!n || n == top) return;
        n = n.next_sibling();
    }
}

/// Elements matching a path pattern below a node, in document order.
/// First step: any descendant; later steps: children. Predicates: [@attr='x'], [child="x"];
/// a backslash in a literal escapes the next character. A malformed pattern matches nothing.
std::vector<Node> select(Node context, std::string_view pattern);
/// First element matching a pattern, or an empty node.
Node selectFirst(Node context, std::string_view pattern);
/// Escapes a name for a quoted literal: backslash doubled, apostrophe preceded by a backslash.
std::string escapeLiteral(std::string_view name);

/// True when report bytes are stored as they are: ASCII without control characters but tab.
bool isPlainAscii(std::string_view bytes);
/// Converts 8-bit report text (Latin-1) to UTF-8; characters XML 1.0 forbids
/// (control characters other than tab) become U+FFFD so that saved trees load again.
std::string fromLatin1(std::string_view bytes);
/// setText of report bytes as fromLatin1 converts them.
void setLatin1Text(Node node, std::string_view bytes);
/// appendElement with a text of report bytes as fromLatin1 converts them.
Node appendLatin1Element(Node parent, std::string_view name, std::string_view bytes);
/// setAttribute with a value of report bytes as fromLatin1 converts them.
void setLatin1Attribute(Node node, std::string_view name, std::string_view bytes);
/// Makes arbitrary text storable: valid UTF-8 stays, invalid bytes are read as Latin-1,
/// forbidden characters become U+FFFD.
std::string sanitize(std::string_view text);

}  // namespace qx::xml
