#include "import/folder_scan.hpp"

#include "import/report_reader.hpp"
#include "platform/file_system.hpp"
#include "util/text.hpp"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <set>
#include <system_error>
#include <utility>

namespace qx::import {

namespace {

using DirectoryId = std::pair<dev_t, ino_t>;

// The directory a path leads to, whichever links lead there.
std::optional<DirectoryId> directoryId(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return std::nullopt;
    return DirectoryId{st.st_dev, st.st_ino};
}

bool isRegular(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Entry names of one folder in name order.
std::vector<std::string> listFolder(const std::string& folder) {
    std::error_code ec;
    std::vector<std::string> names;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

std::vector<std::string> scanFolder(const std::string& folder) {
    std::vector<std::string> out;
    // Each directory is visited once, by device and inode, so links that lead back up the
    // tree (ln -s . loop) neither loop nor list a report twice. Depth first without
    // recursion: a subfolder's files come where the subfolder stands.
    std::set<DirectoryId> visited;
    struct Level {
        std::string folder;
        std::vector<std::string> names;
        std::size_t next = 0;
    };
    std::vector<Level> stack;
    if (auto id = directoryId(folder)) {
        visited.insert(*id);
        stack.push_back({folder, listFolder(folder), 0});
    }
    while (!stack.empty()) {
        Level& level = stack.back();
        if (level.next == level.names.size()) {
            stack.pop_back();
            continue;
        }
        const std::string& name = level.names[level.next++];
        const std::string full = platform::joinPath(level.folder, name);
        if (auto id = directoryId(full)) {
            if (visited.insert(*id).second) stack.push_back({full, listFolder(full), 0});
            continue;
        }
        const std::string upper = text::toUpper(name);
        if (text::endsWith(upper, ".TXT")) {
            if (fileHasReportHeader(full)) out.push_back(full);
        } else if (text::endsWith(upper, ".XML") && isRegular(full)) {
            out.push_back(full);
        }
    }
    return out;
}

}  // namespace qx::import
