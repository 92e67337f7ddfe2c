#include "lists/report_keys.hpp"

#include "lists/list_icons.hpp"
#include "platform/file_system.hpp"
#include "util/text.hpp"

namespace qx::lists {

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

}  // namespace qx::lists
