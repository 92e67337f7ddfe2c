#include "import/folder_scan.hpp"

#include "import/report_reader.hpp"
#include "platform/file_system.hpp"
#include "util/text.hpp"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace qx::import {

namespace {

void scanInto(const std::filesystem::path& folder, std::vector<std::string>& out, int depth) {
    // A symlink loop must not recurse forever.
    if (depth > 64) return;
    std::error_code ec;
    std::vector<std::filesystem::directory_entry> entries;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        entries.push_back(*it);
    }
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return a.path().filename() < b.path().filename(); });
    for (const auto& e : entries) {
        const std::string name = e.path().filename().string();
        const std::string upper = text::toUpper(name);
        const std::string full = platform::joinPath(folder.string(), name);
        std::error_code tec;
        if (e.is_directory(tec)) {
            scanInto(e.path(), out, depth + 1);
        } else if (text::endsWith(upper, ".TXT")) {
            if (fileHasReportHeader(full)) out.push_back(full);
        } else if (text::endsWith(upper, ".XML")) {
            out.push_back(full);
        }
    }
}

}  // namespace

std::vector<std::string> scanFolder(const std::string& folder) {
    std::vector<std::string> out;
    scanInto(std::filesystem::path(folder), out, 0);
    return out;
}

}  // namespace qx::import
