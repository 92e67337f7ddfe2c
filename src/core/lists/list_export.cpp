#include "lists/list_export.hpp"

#include "analysis/analysis.hpp"
#include "analysis/rule_base.hpp"
#include "lists/report_keys.hpp"
#include "platform/file_system.hpp"

namespace qx::lists {

namespace {

std::string rowsText(const ListModel& model, std::string_view lineEnd, const std::string& kdnHeader,
                     const std::string& kdnPrefix) {
    std::string out;
    for (const auto& c : model.columns) {
        out += c.header;
        out += '\t';
    }
    out += lineEnd;
    for (const auto& r : model.rows) {
        for (std::size_t i = 0; i < model.columns.size(); ++i) {
            const std::string cell = i < r.cells.size() ? r.cells[i] : std::string();
            if (!kdnHeader.empty() && model.columns[i].header == kdnHeader) {
                out += kdnPrefix + percentEncode(cell);
            } else {
                out += cell;
            }
            out += '\t';
        }
        out += lineEnd;
    }
    return out;
}

}  // namespace

std::string tabSeparated(const ListModel& model, std::string_view lineEnd) {
    return rowsText(model, lineEnd, {}, {});
}

std::string clipboardText(const ListModel& model, const Application& app) {
    return rowsText(model, "\r\n", app.label("kdn"), app.settings.kdnFinderUrl);
}

std::string saveAsText(const ListModel& model) {
    return tabSeparated(model, "\n");
}

std::string percentEncode(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                                c == '-' || c == '.' || c == '_' || c == '~';
        if (unreserved) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::string fileFinderAddress(const Settings& settings, xml::Node rowNode) {
    if (!rowNode) return settings.fileFinderUrl;
    return settings.fileFinderUrl + percentEncode(field(rowNode, "url") + field(rowNode, "name"));
}

std::string kdnAddress(const Settings& settings, const ListRow* row) {
    if (!row) return settings.kdnFinderUrl;
    return settings.kdnFinderUrl + percentEncode(row->cells.size() > 1 ? row->cells[1] : std::string());
}

std::string kdnFieldAddress(const Settings& settings, xml::Node rowNode) {
    // Findings carry the field as a child, rule-base containers as an attribute.
    std::string kdn = field(rowNode, "kdn");
    if (kdn.empty()) kdn = xml::attribute(rowNode, "kdn");
    return settings.kdnFinderUrl + percentEncode(kdn);
}

std::array<std::string, 3> xmlSetPaths(const std::string& path) {
    return {path, path + ".xml", path + ".xmlr.xml"};
}

std::string saveXmlSet(const CQXConfigDoc2& doc, const Application& app, const std::string& path) {
    xml::Document rules;
    rules.copyFrom(app.ruleBase());
    analysis::markModuleLists(rules, analysis::ProductRecords(doc));
    const auto paths = xmlSetPaths(path);
    return platform::writeFilesTogether({{paths[0], doc.config().saveString()},
                                         {paths[1], rules.saveString()},
                                         {paths[2], doc.report().saveString()}});
}

std::string proposedFileName(const CQXConfigDoc2& doc, std::string_view extension) {
    std::string name = doc.serverName();
    if (name.empty()) {
        // A report without a server name: the file it came from, without its extension.
        name = doc.path.substr(doc.path.find_last_of('/') + 1);
        if (const auto dot = name.find_last_of('.'); dot != std::string::npos && dot > 0) name.resize(dot);
    }
    // The name of a file, not a path: separators and control characters would name another.
    for (char& c : name)
        if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20) c = '_';
    if (name.empty() || name == "." || name == "..") name = "server";
    return name + std::string(extension);
}

}  // namespace qx::lists
