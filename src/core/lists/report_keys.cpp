#include "lists/report_keys.hpp"

#include "platform/file_system.hpp"
#include "util/text.hpp"

#include <unordered_map>

namespace qx::lists {

int reportKeyIcon(std::string_view key) {
    static const std::unordered_map<std::string_view, int> icons{
        {"info", 0},          {"informations", 0},
        {"vetoed", 1},        {"bad", 2},
        {"good", 3},          {"rem", 4},
        {"command", 5},       {"error", 6},
        {"lans", 7},          {"devices", 8},
        {"equal", 9},         {"notequal", 10},
        {"productgroup", 11}, {"product", 12},
        {"volumes", 13},      {"files", 14},
        {"directory", 14},    {"serverparams", 15},
        {"setparams", 16},    {"modules", 17},
        {"filtered", 18},     {"requireds", 18},
        {"dependencies", 19}, {"update", 20},
        {"lan", 21},          {"device", 22},
        {"volume", 23},       {"boot-drive", 24},
        {"boot-drives", 24},  {"products", 26},
        {"file-groups", 27},  {"search-paths", 28},
        {"zrd", 29},          {"partition", 29},
        {"partitions", 30},   {"uptime", 37},
        {"memory", 38},       {"masterreplica", 39},
        {"space", 40},        {"rwreplica", 42},
        {"roreplica", 43},    {"subordinate", 44},
        {"dibsize", 45},      {"dibsizeold", 46},
        {"abend", 47},        {"abendline", 48},
        {"productok", 49},    {"partitionbad", 50},
        {"configqxk", 51},    {"filteredrw", 52},
        {"filteredro", 53},   {"search-pathsconfig", 54},
        {"bad2", 55},
    };
    auto it = icons.find(key);
    return it == icons.end() ? 0 : it->second;
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

namespace {

// Typed text may hold anything; the table must still load after it is saved. Line breaks
// stay (an attribute keeps them as character references).
std::string storableText(std::string_view text) {
    std::string out;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find('\n', start);
        std::string_view line = text.substr(start, end == std::string_view::npos ? text.npos : end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        out += xml::sanitize(line);
        if (end == std::string_view::npos) return out;
        out += '\n';
        start = end + 1;
    }
}

}  // namespace

bool setReportMessage(Application& app, std::string_view key, std::string_view text, std::string_view url) {
    xml::Node entry = reportMessage(app, key);
    if (!entry) return false;
    xml::setAttribute(entry, app.language(), storableText(text));
    xml::setText(entry, xml::sanitize(url));
    return true;
}

std::string saveLocalisationTable(const Application& app) {
    return app.localisation().save(platform::joinPath(app.programDir(), "menu.xml"));
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
