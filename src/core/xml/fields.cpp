#include "xml/fields.hpp"

#include "util/text.hpp"

namespace qx::xml {

std::string field(Node node, std::string_view name) {
    for (Node c = node.first_child(); c; c = c.next_sibling()) {
        if (c.type() == pugi::node_element && text::equalsNoCase(c.name(), name)) return text(c);
    }
    return {};
}

Node addField(Node parent, std::string_view name, std::string_view text) {
    return appendElement(parent, name, sanitize(text));
}

void setField(Node item, std::string_view name, std::string_view text) {
    bool found = false;
    for (Node c = item.first_child(); c; c = c.next_sibling()) {
        if (c.type() == pugi::node_element && name == c.name()) {
            setText(c, sanitize(text));
            found = true;
        }
    }
    if (!found) addField(item, name, text);
}

}  // namespace qx::xml
