#include "lists/report_keys.hpp"

#include "lists/list_icons.hpp"
#include "util/text.hpp"

namespace qx::lists {

int reportKeyIcon(std::string_view key) {
    return iconOfKey(key);
}

xml::Node reportMessage(const Application& app, std::string_view key) {
    xml::Node group = app.localisation().labelNode("reporttext");
    if (!group || key.empty()) return {};
    return xml::child(group, key);
}

std::string reportMessageText(const Application& app, std::string_view key) {
    return xml::attribute(reportMessage(app, key), app.language());
}

std::string reportMessageUrl(const Application& app, std::string_view key) {
    xml::Node entry = reportMessage(app, key);
    return entry ? xml::text(entry) : std::string();
}

std::string field(xml::Node node, std::string_view name) {
    for (xml::Node c = node.first_child(); c; c = c.next_sibling()) {
        if (c.type() == pugi::node_element && text::equalsNoCase(c.name(), name)) return xml::text(c);
    }
    return {};
}

std::string cutText(std::string_view s, std::size_t maxChars) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        // Count lead bytes only, so a character is never split.
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (chars == maxChars) return std::string(s.substr(0, i));
            ++chars;
        }
    }
    return std::string(s);
}

}  // namespace qx::lists
