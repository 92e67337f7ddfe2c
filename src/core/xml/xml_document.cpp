#include "xml/xml_document.hpp"

#include "platform/file_system.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>
#include <optional>
#include <sstream>
#include <unordered_map>
#include <unordered_set>

namespace qx::xml {

namespace {

// Whitespace-only texts are values too (a SET parameter may be a blank); the indentation
// pugixml writes between elements is never the only child, so it is still dropped. A text
// is kept in its element rather than in a node of its own: half the nodes of a loaded tree.
constexpr unsigned kParseOptions =
    pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single | pugi::parse_embed_pcdata;

LoadStatus statusOf(pugi::xml_parse_status s) {
    switch (s) {
        case pugi::status_ok:
            return LoadStatus::Ok;
        case pugi::status_file_not_found:
            return LoadStatus::FileNotFound;
        case pugi::status_io_error:
            return LoadStatus::ReadError;
        case pugi::status_out_of_memory:
            return LoadStatus::OutOfMemory;
        default:
            return LoadStatus::Malformed;
    }
}

struct StringWriter : pugi::xml_writer {
    std::string out;
    void write(const void* data, size_t size) override { out.append(static_cast<const char*>(data), size); }
};

void appendUtf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

constexpr unsigned kReplacement = 0xFFFD;

bool allowedInXml(unsigned cp) {
    if (cp == 0x9) return true;
    if (cp < 0x20) return false;  // CR and LF too: the parser would normalise them
    if (cp >= 0xD800 && cp <= 0xDFFF) return false;
    if (cp == 0xFFFE || cp == 0xFFFF) return false;
    return cp <= 0x10FFFF;
}

// UTF-8 text as ISO-8859-1: characters beyond it become character references, so a
// table declared ISO-8859-1 keeps every character it was given. A byte that starts no
// well-formed sequence stays as it is (it already reads as ISO-8859-1).
std::string latin1WithReferences(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        const std::size_t len = c < 0x80             ? 1
                                : (c & 0xE0) == 0xC0 ? 2
                                : (c & 0xF0) == 0xE0 ? 3
                                : (c & 0xF8) == 0xF0 ? 4
                                                     : 0;
        unsigned cp = len == 2 ? (c & 0x1Fu) : len == 3 ? (c & 0x0Fu) : (c & 0x07u);
        bool wellFormed = len > 1 && i + len <= utf8.size();
        for (std::size_t k = 1; wellFormed && k < len; ++k) {
            const auto cc = static_cast<unsigned char>(utf8[i + k]);
            wellFormed = (cc & 0xC0) == 0x80;
            cp = (cp << 6) | (cc & 0x3Fu);
        }
        if (len <= 1 || !wellFormed || !allowedInXml(cp)) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        if (cp <= 0xFF)
            out += static_cast<char>(cp);
        else
            out += "&#" + std::to_string(cp) + ";";
        i += len;
    }
    return out;
}

}  // namespace

Document::Document() : m_doc(std::make_unique<pugi::xml_document>()) {}

Document::~Document() = default;
Document::Document(Document&&) noexcept = default;
Document& Document::operator=(Document&&) noexcept = default;

namespace {

bool forbiddenByte(char c) {
    const auto b = static_cast<unsigned char>(c);
    return b < 0x20 && b != '\t' && b != '\n' && b != '\r';
}

// The text with every character XML 1.0 forbids replaced by U+FFFD; nothing when clean.
std::optional<std::string> scrubbed(const char* text) {
    const char* p = text;
    while (*p && !forbiddenByte(*p)) ++p;
    if (!*p) return std::nullopt;
    std::string out(text, p);
    for (; *p; ++p) {
        if (forbiddenByte(*p))
            appendUtf8(out, kReplacement);
        else
            out += *p;
    }
    return out;
}

void scrub(Node n) {
    if (auto clean = scrubbed(n.value())) {
        // An element's own value is text kept in the element (parse_embed_pcdata).
        if (n.type() == pugi::node_element)
            n.text().set(clean->c_str());
        else
            n.set_value(clean->c_str());
    }
    for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute()) {
        if (auto clean = scrubbed(a.value())) a.set_value(clean->c_str());
    }
}

// One walk over a freshly parsed tree: the first element past the depth limit, if any, and
// the forbidden characters replaced on the way.
Node checkParsedTree(pugi::xml_document& doc) {
    Node n = doc.first_child();
    int depth = 1;
    while (n) {
        if (n.type() == pugi::node_element && depth > kMaxDepth) return n;
        scrub(n);
        if (Node c = n.first_child()) {
            n = c;
            ++depth;
            continue;
        }
        while (n && !n.next_sibling()) {
            n = n.parent();
            --depth;
            if (n == doc) return {};
        }
        if (n) n = n.next_sibling();
    }
    return {};
}

}  // namespace

LoadResult Document::finishLoad(const pugi::xml_parse_result& r) {
    LoadResult out;
    out.status = statusOf(r.status);
    out.offset = r.offset;
    if (!out.ok()) {
        out.description = r.description();
        m_doc->reset();
        m_latin1 = false;
        if (out.status == LoadStatus::OutOfMemory) throw std::bad_alloc();
        return out;
    }
    // Save in the encoding the parser detected, so a reload decodes the same characters.
    m_latin1 = r.encoding == pugi::encoding_latin1;
    if (!m_doc->document_element()) {
        // Well-formed XML needs a root; text without one is no document.
        out.status = LoadStatus::Malformed;
        out.description = "no root element";
        m_doc->reset();
        return out;
    }
    if (Node tooDeep = checkParsedTree(*m_doc)) {
        out.status = LoadStatus::TooDeep;
        out.description = "elements nest deeper than " + std::to_string(kMaxDepth) + " levels";
        out.offset = tooDeep.offset_debug();
        m_doc->reset();
        m_latin1 = false;
    }
    return out;
}

LoadResult Document::loadFile(const std::string& path) {
    m_doc->reset();
    m_latin1 = false;
    std::string error;
    const int fd = platform::openRegularFile(path, &error);
    if (fd < 0) {
        LoadResult out;
        out.status = errno == ENOENT ? LoadStatus::FileNotFound : LoadStatus::ReadError;
        out.description = error;
        return out;
    }
    // Read into a buffer the document then owns, so the parse needs no second copy.
    struct stat st {};
    std::size_t capacity = ::fstat(fd, &st) == 0 && st.st_size > 0 ? static_cast<std::size_t>(st.st_size) : 0;
    capacity = capacity + 1;
    auto* buffer = static_cast<char*>(pugi::get_memory_allocation_function()(capacity));
    std::size_t size = 0;
    bool readFailed = buffer == nullptr;
    while (!readFailed) {
        if (size == capacity) {
            const std::size_t grown = capacity * 2;
            auto* bigger = static_cast<char*>(pugi::get_memory_allocation_function()(grown));
            if (!bigger) {
                readFailed = true;
                break;
            }
            std::memcpy(bigger, buffer, size);
            pugi::get_memory_deallocation_function()(buffer);
            buffer = bigger;
            capacity = grown;
        }
        const ssize_t n = ::read(fd, buffer + size, capacity - size);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = std::strerror(errno);
            readFailed = true;
        }
        if (n <= 0) break;
        size += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (readFailed) {
        if (buffer) pugi::get_memory_deallocation_function()(buffer);
        if (error.empty()) throw std::bad_alloc();
        LoadResult out;
        out.status = LoadStatus::ReadError;
        out.description = error;
        return out;
    }
    auto r = m_doc->load_buffer_inplace_own(buffer, size, kParseOptions, pugi::encoding_auto);
    return finishLoad(r);
}

LoadResult Document::loadString(std::string_view text) {
    auto r = m_doc->load_buffer(text.data(), text.size(), kParseOptions, pugi::encoding_auto);
    return finishLoad(r);
}

namespace {

// Where a tree goes past the indentation limit: the elements above the limit that hold
// deeper ones (written tag by tag), and those at the limit (written on one line each).
struct DeepParts {
    std::unordered_set<const void*> spine;
    std::unordered_set<const void*> oneLine;
    [[nodiscard]] bool empty() const { return oneLine.empty(); }
};

DeepParts findDeepParts(Node top) {
    DeepParts parts;
    Node n = top.first_child();
    int depth = 0;  // the document element is at depth 0, as pugixml indents it
    while (n) {
        if (depth > kMaxIndent) {
            Node a = n.parent();
            if (parts.oneLine.insert(a.internal_object()).second) {
                for (Node up = a.parent(); up && up != top; up = up.parent()) {
                    if (!parts.spine.insert(up.internal_object()).second) break;
                }
            }
            // The rest of this subtree is written on the same line.
            while (n && !n.next_sibling()) {
                n = n.parent();
                --depth;
            }
            if (n == top || !n) break;
            n = n.next_sibling();
            continue;
        }
        if (Node c = n.first_child()) {
            n = c;
            ++depth;
            continue;
        }
        while (n && n != top && !n.next_sibling()) {
            n = n.parent();
            --depth;
        }
        if (!n || n == top) break;
        n = n.next_sibling();
    }
    return parts;
}

// True when an element lies more than `limit` levels below `top`.
bool nestsDeeperThan(Node top, int limit) {
    Node n = top.first_child();
    int depth = 1;
    while (n) {
        if (n.type() == pugi::node_element && depth > limit) return true;
        if (Node c = n.first_child()) {
            n = c;
            ++depth;
            continue;
        }
        while (n && n != top && !n.next_sibling()) {
            n = n.parent();
            --depth;
        }
        if (!n || n == top) return false;
        n = n.next_sibling();
    }
    return false;
}

void writeIndent(std::string& out, int depth) {
    out.append(static_cast<std::size_t>(depth), '\t');
}

// The start tag of an element as pugixml writes it (names, attributes, escaping, encoding):
// a copy without children but with a marker child, printed and cut before the marker.
std::string startTag(Node e, pugi::xml_encoding encoding) {
    pugi::xml_document scratch;
    Node copy = scratch.append_child(e.name());
    for (pugi::xml_attribute a = e.first_attribute(); a; a = a.next_attribute())
        copy.append_attribute(a.name()).set_value(a.value());
    copy.append_child("x");
    StringWriter w;
    copy.print(w, "", pugi::format_raw, encoding);
    const auto at = w.out.rfind("<x/>");
    return at == std::string::npos ? w.out : w.out.substr(0, at);
}

std::string endTag(Node e, pugi::xml_encoding encoding) {
    pugi::xml_document scratch;
    scratch.append_child(e.name()).append_child("x");
    StringWriter w;
    scratch.first_child().print(w, "", pugi::format_raw, encoding);
    const auto at = w.out.rfind("<x/>");
    return at == std::string::npos ? std::string() : w.out.substr(at + 4);
}

// Text among the children: indentation would become part of it, so such an element is
// written on one line, as it stands.
bool holdsText(Node e) {
    if (*e.value()) return true;
    for (Node c = e.first_child(); c; c = c.next_sibling()) {
        if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata) return true;
    }
    return false;
}

void printOneLine(Node n, int depth, StringWriter& w, pugi::xml_encoding encoding) {
    writeIndent(w.out, depth);
    n.print(w, "", pugi::format_raw, encoding, 0);
    w.out += '\n';
}

// Writes an element that holds levels past the indentation limit, without recursion.
void printSpine(Node top, const DeepParts& parts, StringWriter& w, pugi::xml_encoding encoding) {
    struct Frame {
        Node element;
        Node next;
        int depth;
    };
    std::vector<Frame> stack;
    auto open = [&](Node e, int depth) {
        writeIndent(w.out, depth);
        w.out += startTag(e, encoding);
        w.out += '\n';
        stack.push_back({e, e.first_child(), depth});
    };
    open(top, 0);
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (!f.next) {
            writeIndent(w.out, f.depth);
            w.out += endTag(f.element, encoding);
            w.out += '\n';
            stack.pop_back();
            continue;
        }
        Node c = f.next;
        f.next = c.next_sibling();
        const int depth = f.depth + 1;
        if (parts.spine.count(c.internal_object()) && !holdsText(c)) {
            open(c, depth);
        } else if (parts.spine.count(c.internal_object()) || parts.oneLine.count(c.internal_object())) {
            printOneLine(c, depth, w, encoding);
        } else {
            c.print(w, "\t", pugi::format_indent, encoding, static_cast<unsigned>(depth));
        }
    }
}

}  // namespace

std::string Document::saveString() const {
    StringWriter w;
    // Written as UTF-8 and converted: pugixml's own ISO-8859-1 output drops what it cannot hold.
    const auto encoding = pugi::encoding_utf8;
    bool declared = false;
    for (Node c = m_doc->first_child(); c; c = c.next_sibling()) {
        if (c.type() == pugi::node_declaration) declared = true;
        if (c.type() == pugi::node_declaration || c.type() == pugi::node_element) break;
    }
    const DeepParts deep = findDeepParts(*m_doc);
    if (deep.empty()) {
        unsigned flags = pugi::format_indent;
        if (m_latin1 && !declared) {
            w.out = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n";
            flags |= pugi::format_no_declaration;
        }
        m_doc->save(w, "\t", flags, encoding);
        return m_latin1 ? latin1WithReferences(w.out) : std::move(w.out);
    }
    // What save() writes, with the indentation bounded.
    if (!declared)
        w.out += m_latin1 ? "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n" : "<?xml version=\"1.0\"?>\n";
    for (Node c = m_doc->first_child(); c; c = c.next_sibling()) {
        const bool spine = deep.spine.count(c.internal_object()) > 0;
        if (spine && !holdsText(c))
            printSpine(c, deep, w, encoding);
        else if (spine || deep.oneLine.count(c.internal_object()))
            printOneLine(c, 0, w, encoding);
        else
            c.print(w, "\t", pugi::format_indent, encoding, 0);
    }
    return m_latin1 ? latin1WithReferences(w.out) : std::move(w.out);
}

SaveResult Document::saveFile(const std::string& path) const {
    SaveResult r;
    // A file that would be refused when loaded again is not written (edits can nest deeper).
    if (nestsDeeperThan(documentNode(), kMaxDepth)) {
        r.error = "the tree nests deeper than " + std::to_string(kMaxDepth) +
                  " levels and could not be loaded again";
        return r;
    }
    r.error = platform::writeFileAtomically(path, saveString());
    return r;
}

Node Document::root() const {
    return m_doc->document_element();
}
Node Document::documentNode() const {
    return *m_doc;
}

Node Document::createRoot(std::string_view name) {
    m_doc->reset();
    m_latin1 = false;
    return appendElement(*m_doc, name);
}

void Document::clear() {
    m_doc->reset();
    m_latin1 = false;
}

void Document::copyFrom(const Document& other) {
    m_doc->reset();
    for (Node c = other.m_doc->first_child(); c; c = c.next_sibling()) {
        if (!m_doc->append_copy(c)) throw std::bad_alloc();
    }
    m_latin1 = other.m_latin1;
}

namespace {
// A NUL-terminated copy of a short name without touching the heap (names are a few letters).
class CName {
public:
    explicit CName(std::string_view s) {
        if (s.size() < sizeof m_buf) {
            std::memcpy(m_buf, s.data(), s.size());
            m_buf[s.size()] = '\0';
        } else {
            m_long.assign(s);
        }
    }
    [[nodiscard]] const char* c_str() const { return m_long.empty() ? m_buf : m_long.c_str(); }

private:
    char m_buf[64];
    std::string m_long;
};
}  // namespace

Node appendElement(Node parent, std::string_view name) {
    Node n = parent.append_child(pugi::node_element);
    if (!n) throw std::bad_alloc();
    if (!n.set_name(CName(name).c_str())) throw std::bad_alloc();
    return n;
}

Node appendElement(Node parent, std::string_view name, std::string_view value) {
    Node n = appendElement(parent, name);
    setText(n, value);
    return n;
}

namespace {
// An element's own text (parse_embed_pcdata, shared names) comes before its children's.
void collectText(Node node, std::string& out) {
    if (node.type() == pugi::node_element) out += node.value();
    for (Node c = node.first_child(); c; c = c.next_sibling()) {
        if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata) {
            out += c.value();
        } else if (c.type() == pugi::node_element) {
            collectText(c, out);
        }
    }
}
}  // namespace

std::string text(Node node) {
    if (!node) return {};
    if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) return node.value();
    // The common cases: text in the element itself, or one text child.
    Node first = node.first_child();
    const char* own = node.value();
    if (!first) return own;
    if (!*own && !first.next_sibling() &&
        (first.type() == pugi::node_pcdata || first.type() == pugi::node_cdata)) {
        return first.value();
    }
    std::string out;
    collectText(node, out);
    return out;
}

void setText(Node node, std::string_view value) {
    removeChildren(node);
    if (node.type() == pugi::node_element && *node.value()) {
        // The text lives in the element (a shared-name copy or an embedded parse).
        if (!node.text().set(value.data(), value.size())) throw std::bad_alloc();
        return;
    }
    if (value.empty()) return;
    Node t = node.append_child(pugi::node_pcdata);
    if (!t || !t.set_value(value.data(), value.size())) throw std::bad_alloc();
}

std::string attribute(Node node, std::string_view name) {
    return node.attribute(CName(name).c_str()).value();
}

bool hasAttribute(Node node, std::string_view name) {
    return static_cast<bool>(node.attribute(CName(name).c_str()));
}

void setAttribute(Node node, std::string_view name, std::string_view value) {
    CName key(name);
    pugi::xml_attribute a = node.attribute(key.c_str());
    if (!a) a = node.append_attribute(key.c_str());
    if (!a || !a.set_value(value.data(), value.size())) throw std::bad_alloc();
}

void removeChildren(Node node) {
    while (Node c = node.first_child()) node.remove_child(c);
}

Node child(Node node, std::string_view name) {
    for (Node c = node.first_child(); c; c = c.next_sibling()) {
        if (c.type() == pugi::node_element && name == c.name()) return c;
    }
    return {};
}

std::string childText(Node node, std::string_view name) {
    return text(child(node, name));
}

std::vector<Node> childElements(Node node) {
    std::vector<Node> out;
    for (Node c = node.first_child(); c; c = c.next_sibling()) {
        if (c.type() == pugi::node_element) out.push_back(c);
    }
    return out;
}

// ---------------------------------------------------------------------------------------
// Path patterns

namespace {

struct Predicate {
    bool isAttribute = false;
    std::string key;
    std::string literal;
};

struct Step {
    std::string name;
    std::vector<Predicate> predicates;
};

bool isNameChar(char c) {
    return c != '/' && c != '[' && c != ']' && c != '=' && c != '\'' && c != '"' && c != ' ';
}

// Parses a quoted literal at `i` (on the quote); returns false on a malformed one.
bool parseLiteral(std::string_view p, std::size_t& i, std::string& out) {
    char quote = p[i++];
    while (i < p.size() && p[i] != quote) {
        if (p[i] == '\\' && i + 1 < p.size()) ++i;
        out += p[i++];
    }
    if (i >= p.size()) return false;
    ++i;  // closing quote
    return true;
}

bool parsePattern(std::string_view p, std::vector<Step>& steps) {
    std::size_t i = 0;
    while (true) {
        Step step;
        while (i < p.size() && isNameChar(p[i])) step.name += p[i++];
        if (step.name.empty()) return false;
        while (i < p.size() && p[i] == '[') {
            ++i;
            Predicate pred;
            if (i < p.size() && p[i] == '@') {
                pred.isAttribute = true;
                ++i;
            }
            while (i < p.size() && isNameChar(p[i])) pred.key += p[i++];
            if (pred.key.empty() || i >= p.size() || p[i] != '=') return false;
            ++i;
            if (i >= p.size() || (p[i] != '\'' && p[i] != '"')) return false;
            if (!parseLiteral(p, i, pred.literal)) return false;
            if (i >= p.size() || p[i] != ']') return false;
            ++i;
            step.predicates.push_back(std::move(pred));
        }
        steps.push_back(std::move(step));
        if (i == p.size()) return true;
        if (p[i] != '/') return false;
        ++i;
    }
}

bool matchesStep(Node n, const Step& s) {
    if (n.type() != pugi::node_element || s.name != n.name()) return false;
    for (const auto& pred : s.predicates) {
        if (pred.isAttribute) {
            pugi::xml_attribute a = n.attribute(pred.key.c_str());
            if (!a || pred.literal != a.value()) return false;
        } else {
            bool found = false;
            for (Node c = n.first_child(); c && !found; c = c.next_sibling()) {
                if (c.type() == pugi::node_element && pred.key == c.name() && text(c) == pred.literal) {
                    found = true;
                }
            }
            if (!found) return false;
        }
    }
    return true;
}

// Matches the steps backwards from a node whose depth below the context is `depth`.
bool matchesPath(Node n, const std::vector<Step>& steps, int depth) {
    for (std::size_t k = steps.size(); k-- > 0;) {
        if (depth < 1 || !matchesStep(n, steps[k])) return false;
        if (k == 0) return true;
        n = n.parent();
        --depth;
    }
    return true;
}

bool sameName(const char* name, const std::string& wanted) {
    return name[0] == wanted[0] && std::strcmp(name, wanted.c_str()) == 0;
}

// Walks the subtree in document order; each node is tested against the whole path, so the
// matches come in document order without duplicates even when they nest. `visit` returns
// false to stop.
template <typename Visit>
void forEachMatch(Node context, std::string_view pattern, Visit visit) {
    std::vector<Step> steps;
    if (!context || !parsePattern(pattern, steps)) return;
    const int minDepth = static_cast<int>(steps.size());
    const std::string& last = steps.back().name;
    Node n = context.first_child();
    int depth = 1;
    while (n) {
        if (depth >= minDepth && n.type() == pugi::node_element && sameName(n.name(), last) &&
            matchesPath(n, steps, depth) && !visit(n)) {
            return;
        }
        if (Node c = n.first_child()) {
            n = c;
            ++depth;
            continue;
        }
        while (n && !n.next_sibling()) {
            n = n.parent();
            --depth;
            if (depth <= 0) return;
        }
        if (n) n = n.next_sibling();
    }
}

}  // namespace

std::vector<Node> select(Node context, std::string_view pattern) {
    std::vector<Node> out;
    forEachMatch(context, pattern, [&](Node n) {
        out.push_back(n);
        return true;
    });
    return out;
}

Node selectFirst(Node context, std::string_view pattern) {
    Node first;
    forEachMatch(context, pattern, [&](Node n) {
        first = n;
        return false;
    });
    return first;
}

std::string escapeLiteral(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (char c : name) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\'')
            out += "\\'";
        else
            out += c;
    }
    return out;
}

std::string fromLatin1(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (unsigned char c : bytes) {
        if (c < 0x80) {
            if (c < 0x20 && c != '\t')
                appendUtf8(out, kReplacement);
            else
                out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

namespace {
bool plainByte(unsigned char c) {
    return c < 0x80 && (c >= 0x20 || c == '\t');
}

}  // namespace

// Eight bytes at a time: a word without high bits and without bytes below 0x20 is plain.
bool isPlainAscii(std::string_view bytes) {
    constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
    constexpr std::uint64_t kBlank = 0x2020202020202020ULL;
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t w;
        std::memcpy(&w, bytes.data() + i, 8);
        if ((w & kHigh) == 0 && ((w - kBlank) & ~w & kHigh) == 0) continue;
        for (std::size_t k = i; k < i + 8; ++k) {
            if (!plainByte(static_cast<unsigned char>(bytes[k]))) return false;
        }
    }
    for (; i < bytes.size(); ++i) {
        if (!plainByte(static_cast<unsigned char>(bytes[i]))) return false;
    }
    return true;
}

namespace {
// Report texts are mostly plain ASCII: those need no converted copy at all.
template <typename Use>
void withLatin1(std::string_view bytes, Use use) {
    if (isPlainAscii(bytes)) {
        use(bytes);
    } else {
        use(std::string_view(fromLatin1(bytes)));
    }
}
}  // namespace

void setLatin1Text(Node node, std::string_view bytes) {
    withLatin1(bytes, [&](std::string_view utf8) { setText(node, utf8); });
}

Node appendLatin1Element(Node parent, std::string_view name, std::string_view bytes) {
    Node n;
    withLatin1(bytes, [&](std::string_view utf8) { n = appendElement(parent, name, utf8); });
    return n;
}

void setLatin1Attribute(Node node, std::string_view name, std::string_view bytes) {
    withLatin1(bytes, [&](std::string_view utf8) { setAttribute(node, name, utf8); });
}

std::string sanitize(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        auto c = static_cast<unsigned char>(s[i]);
        unsigned cp = 0;
        std::size_t len = 0;
        if (c < 0x80) {
            cp = c;
            len = 1;
        } else if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1F;
            len = 2;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0F;
            len = 3;
        } else if ((c & 0xF8) == 0xF0) {
            cp = c & 0x07;
            len = 4;
        }
        bool valid = len > 0 && i + len <= s.size();
        for (std::size_t k = 1; valid && k < len; ++k) {
            auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80)
                valid = false;
            else
                cp = (cp << 6) | (cc & 0x3F);
        }
        if (valid && ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000))) {
            valid = false;  // overlong
        }
        if (!valid) {
            appendUtf8(out, c);          // a stray byte is read as Latin-1
            if (c < 0xA0 && c >= 0x80) { /* C1 controls are allowed in XML 1.0 */
            }
            ++i;
            continue;
        }
        if (allowedInXml(cp))
            out.append(s.substr(i, len));
        else
            appendUtf8(out, kReplacement);
        i += len;
    }
    return out;
}

}  // namespace qx::xml
