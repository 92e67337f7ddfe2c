#include "xml/tree_builder.hpp"

#include <array>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <unordered_map>

namespace qx::xml {

namespace {

struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};
template <typename T>
using TextMap = std::unordered_map<std::string, T, Hash, std::equal_to<>>;

// Names the template parser accepts as written; anything else takes the copying path.
bool plainName(std::string_view name) {
    if (name.empty() || name.size() > 64) return false;
    auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
    if (!letter(name[0])) return false;
    for (char c : name) {
        if (!letter(c) && !(c >= '0' && c <= '9') && c != '-' && c != '.') return false;
    }
    return true;
}

// Escapes a text for the template parser, which reads entities and nothing else: every
// character comes back as written.
void escapeInto(std::string& out, std::string_view text, bool attribute) {
    for (char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (attribute && c == '"')
            out += "&quot;";
        else if (attribute && c == '\t')
            out += "&#9;";
        else
            out += c;
    }
}

// No end-of-line or whitespace normalisation: texts must come back byte for byte.
constexpr unsigned kTextOptions =
    pugi::parse_escapes | pugi::parse_embed_pcdata | pugi::parse_ws_pcdata_single;
constexpr unsigned kAttributeOptions = pugi::parse_escapes;

Node appendCopy(Node parent, Node proto) {
    Node n = parent.append_copy(proto);
    if (!n) throw std::bad_alloc();
    return n;
}

}  // namespace

struct TreeBuilder::Impl {
    struct Templates {
        Node empty;     // <name/>
        Node withText;  // <name>x</name>, text in the element
        // With shared texts: one template per text met, so repeated texts are stored once.
        TextMap<Node> byText;
    };
    // Texts and attribute values repeat within limits; past them, appends copy as usual.
    static constexpr std::size_t kMaxSharedTexts = 100000;
    static constexpr std::size_t kMaxSharedTextSize = 512;
    static constexpr std::size_t kMaxSharedValues = 4096;
    static constexpr std::size_t kMaxSharedValueSize = 64;
    // Names are mostly literals of the callers: a slot keyed by the name's address saves the
    // hashing; a hit is confirmed against the template's own name.
    struct Slot {
        const char* data = nullptr;
        std::size_t size = 0;
        Templates* templates = nullptr;
    };
    static constexpr std::size_t kSlots = 256;

    Document& doc;
    bool shareTexts;
    Node holder;
    TextMap<Templates> byName;
    std::array<Slot, kSlots> slots{};
    std::size_t sharedTexts = 0;
    // Attribute templates by name, "\n", value ("\n" alone for a name whose values vary).
    TextMap<pugi::xml_attribute> attributes;

    Impl(Document& d, bool share) : doc(d), shareTexts(share) {}

    // Parses `<name .../>` markup into the holder; the element made, or empty when the text
    // did not parse.
    Node parse(const std::string& markup, unsigned options) {
        if (!holder) {
            // After the document element: a walk from the root never reaches it.
            if (!doc.root()) return {};
            holder = doc.documentNode().append_child(pugi::node_element);
            if (!holder || !holder.set_name("qx-templates")) throw std::bad_alloc();
        }
        auto r = holder.append_buffer(markup.data(), markup.size(), options, pugi::encoding_utf8);
        if (r.status == pugi::status_out_of_memory) throw std::bad_alloc();
        return r ? holder.last_child() : Node();
    }

    Templates* templatesFor(std::string_view name) {
        auto& slot = slots[(reinterpret_cast<std::uintptr_t>(name.data()) >> 3) % kSlots];
        if (slot.data == name.data() && slot.size == name.size() && slot.templates) {
            const char* known = slot.templates->empty.name();
            if (std::memcmp(known, name.data(), name.size()) == 0 && known[name.size()] == '\0')
                return slot.templates;
        }
        auto it = byName.find(name);
        if (it == byName.end()) it = byName.emplace(std::string(name), makeTemplates(name)).first;
        if (!it->second.empty) return nullptr;
        slot = {name.data(), name.size(), &it->second};
        return &it->second;
    }

    Templates makeTemplates(std::string_view name) {
        Templates t;
        if (!plainName(name)) return t;
        std::string buf;
        buf.append("<").append(name).append("/><").append(name).append(">x</").append(name).append(">");
        Node withText = parse(buf, pugi::parse_embed_pcdata);
        Node empty = withText ? withText.previous_sibling() : Node();
        if (empty && name == empty.name() && !empty.first_child() && !*empty.value() &&
            name == withText.name() && !withText.first_child() && std::strcmp(withText.value(), "x") == 0) {
            t.empty = empty;
            t.withText = withText;
        }
        return t;
    }

    // The template holding exactly `value`, made on first use; empty when the text cannot be
    // shared (too long, too many, or not read back unchanged).
    Node textTemplate(Templates& t, std::string_view name, std::string_view value) {
        if (value.size() > kMaxSharedTextSize) return {};
        auto it = t.byText.find(value);
        if (it != t.byText.end()) return it->second;
        if (sharedTexts >= kMaxSharedTexts) return {};
        std::string buf;
        buf.reserve(name.size() * 2 + value.size() + 8);
        buf.append("<").append(name).append(">");
        escapeInto(buf, value, false);
        buf.append("</").append(name).append(">");
        Node made = parse(buf, kTextOptions);
        Node kept;
        if (made && name == made.name() && !made.first_child() && value == made.value()) kept = made;
        ++sharedTexts;
        t.byText.emplace(std::string(value), kept);
        return kept;
    }

    // An attribute to copy: one with exactly this value, or one with this name whose value
    // the caller replaces. Empty when the name cannot be parsed.
    pugi::xml_attribute attributeTemplate(std::string_view name, std::string_view value, bool& exact) {
        exact = value.size() <= kMaxSharedValueSize && attributes.size() < kMaxSharedValues;
        std::string key(name);
        key += '\n';
        if (exact) key += value;
        auto it = attributes.find(key);
        if (it != attributes.end()) return it->second;
        pugi::xml_attribute made;
        if (plainName(name)) {
            std::string buf = "<a ";
            buf.append(name).append("=\"");
            if (exact) escapeInto(buf, value, true);
            buf.append("\"/>");
            Node n = parse(buf, kAttributeOptions);
            pugi::xml_attribute a = n ? n.first_attribute() : pugi::xml_attribute();
            if (a && name == a.name() && (exact ? value == a.value() : !*a.value())) made = a;
        }
        attributes.emplace(std::move(key), made);
        return made;
    }
};

TreeBuilder::TreeBuilder(Document& doc, Texts texts)
    : m(std::make_unique<Impl>(doc, texts == Texts::Shared)) {}

TreeBuilder::~TreeBuilder() {
    finish();
}

void TreeBuilder::finish() {
    if (m->holder) m->doc.documentNode().remove_child(m->holder);
    m->holder = Node();
    m->byName.clear();
    m->slots.fill({});
    m->sharedTexts = 0;
    m->attributes.clear();
}

Node TreeBuilder::templates() const {
    return m->holder;
}

Node TreeBuilder::append(Node parent, std::string_view name) {
    if (parent.type() == pugi::node_element) {
        if (Impl::Templates* t = m->templatesFor(name)) return appendCopy(parent, t->empty);
    }
    return appendElement(parent, name);
}

Node TreeBuilder::append(Node parent, std::string_view name, std::string_view value) {
    if (!value.empty() && parent.type() == pugi::node_element) {
        if (Impl::Templates* t = m->templatesFor(name)) {
            if (m->shareTexts) {
                if (Node same = m->textTemplate(*t, name, value)) return appendCopy(parent, same);
            }
            Node n = appendCopy(parent, t->withText);
            if (!n.text().set(value.data(), value.size())) throw std::bad_alloc();
            return n;
        }
    }
    Node n = append(parent, name);
    setText(n, value);
    return n;
}

Node TreeBuilder::appendLatin1(Node parent, std::string_view name, std::string_view bytes) {
    if (isPlainAscii(bytes)) return append(parent, name, bytes);
    return append(parent, name, fromLatin1(bytes));
}

void TreeBuilder::setAttribute(Node node, std::string_view name, std::string_view value) {
    if (node.type() != pugi::node_element || hasAttribute(node, name)) {
        xml::setAttribute(node, name, value);
        return;
    }
    bool exact = false;
    pugi::xml_attribute proto = m->attributeTemplate(name, value, exact);
    if (!proto) {
        xml::setAttribute(node, name, value);
        return;
    }
    pugi::xml_attribute a = node.append_copy(proto);
    if (!a) throw std::bad_alloc();
    if (!exact && !a.set_value(value.data(), value.size())) throw std::bad_alloc();
}

void TreeBuilder::setLatin1Attribute(Node node, std::string_view name, std::string_view bytes) {
    if (isPlainAscii(bytes))
        setAttribute(node, name, bytes);
    else
        setAttribute(node, name, fromLatin1(bytes));
}

}  // namespace qx::xml
