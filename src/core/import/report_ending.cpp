#include "import/report_ending.hpp"

#include "util/text.hpp"

#include <algorithm>

namespace qx::import {

namespace {

std::string_view withoutTrailingSpace(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
        line.remove_suffix(1);
    return line;
}

}  // namespace

ReportEnding inspectEnding(std::string_view content) {
    ReportEnding e;
    e.known = true;
    e.lines = static_cast<std::uint32_t>(std::count(content.begin(), content.end(), '\n'));
    if (!content.empty() && content.back() != '\n') ++e.lines;
    bool lastTextLine = true;
    std::size_t end = content.size();
    while (end > 0) {
        const std::size_t nl = content.rfind('\n', end - 1);
        const std::size_t start = nl == std::string_view::npos ? 0 : nl + 1;
        const std::string_view line = withoutTrailingSpace(content.substr(start, end - start));
        end = nl == std::string_view::npos ? 0 : nl;
        if (line.empty()) continue;
        if (lastTextLine && text::startsWith(line, kEndOfReport)) return e;
        lastTextLine = false;
        if (text::startsWith(line, "Top of ") || text::startsWith(line, "List of Client")) {
            e.lastSection = std::string(text::startsWith(line, "Top of ") ? line.substr(7) : line);
            e.insideSection = true;
            break;
        }
        if (text::startsWith(line, "End of ")) {
            e.lastSection = std::string(line.substr(7));
            break;
        }
    }
    e.complete = false;
    return e;
}

std::string truncationWarning(const ReportEnding& e) {
    if (!e.known || e.complete) return {};
    const std::string where = " (the text stops at line " + std::to_string(e.lines) + ")";
    if (e.insideSection)
        return "report looks truncated: no end of the \"" + e.lastSection + "\" section" + where;
    std::string w = "report looks truncated: no \"" + std::string(kEndOfReport) + "\" line";
    if (!e.lastSection.empty()) w += " after the \"" + e.lastSection + "\" section";
    return w + where;
}

}  // namespace qx::import
