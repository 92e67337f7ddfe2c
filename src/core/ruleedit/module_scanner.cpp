#include "ruleedit/module_scanner.hpp"

#include "platform/file_system.hpp"
#include "ruleedit/pe_version.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>

namespace qx::ruleedit {

namespace {

constexpr std::string_view kMarker = "VeRsIoN#";
constexpr std::size_t kSkippedBytes = 160;
constexpr int kAttempts = 100;
constexpr std::size_t kBlockBytes = 24;

std::uint32_t field(std::string_view b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    return v;
}

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    }
    return out;
}

std::string twoDigits(std::uint32_t v) {
    return (v < 10 ? "0" : "") + std::to_string(v);
}

struct Entry {
    std::string name;
    bool directory = false;
    bool regular = false;
};

/// Entries of one folder in name order; "." and ".." left out. Symbolic links to
/// folders count as files, so a link loop cannot make the scan endless.
std::optional<std::vector<Entry>> listFolder(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return std::nullopt;
    std::vector<Entry> out;
    while (dirent* e = ::readdir(dir)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        struct stat st {};
        const bool listed = ::lstat((folder + name).c_str(), &st) == 0;
        const bool isDir = listed && S_ISDIR(st.st_mode);
        // A link to a file counts as the file.
        struct stat target {};
        const bool regular =
            listed && ::stat((folder + name).c_str(), &target) == 0 && S_ISREG(target.st_mode);
        out.push_back({std::move(name), isDir, regular});
    }
    ::closedir(dir);
    std::sort(out.begin(), out.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return out;
}

struct ScanState {
    ScanResult& result;
    const ScanProgress& progress;
    std::size_t filesSeen = 0;
    bool stopped = false;

    bool carryOn(const std::string& folder) {
        if (!stopped && progress && !progress(filesSeen, folder)) stopped = true;
        return !stopped;
    }
};

void scanInto(const std::string& folder, ScanState& state, int depth) {
    ScanResult& result = state.result;
    if (depth > kMaxScanDepth) {
        ++result.foldersTooDeep;
        return;
    }
    if (!state.carryOn(folder)) return;
    auto entries = listFolder(folder);
    if (!entries) {
        ++result.foldersUnreadable;
        return;
    }
    std::vector<ScanRow>& met = result.rows;
    for (const auto& e : *entries) {
        if (state.stopped) return;
        if (e.directory) {
            scanInto(folder + e.name + "/", state, depth + 1);
            continue;
        }
        ++state.filesSeen;
        if (!state.carryOn(folder)) return;
        ScanRow row;
        row.name = upper(e.name);
        row.fullName = folder + e.name;
        ScanFileKind kind = scanFileKind(row.name);
        if (kind == ScanFileKind::Other) continue;
        if (!e.regular) {
            // Opening a FIFO or a terminal named like a module would stall or read nonsense.
            struct stat st {};
            if (::stat(row.fullName.c_str(), &st) == 0) {
                ++result.notRegularFiles;
                continue;
            }
        }
        if (kind == ScanFileKind::Module) {
            if (auto head = platform::readFileHead(row.fullName, kVersionSearchBytes)) {
                if (auto block = findVersionBlock(*head)) {
                    row.version = versionString(*block);
                    row.date = blockDateString(*block);
                }
            } else {
                ++result.filesUnreadable;
            }
        } else {
            if (auto t = platform::creationOrModificationTime(row.fullName)) {
                row.date = timeStampDateString(static_cast<std::time_t>(*t));
            }
            std::string version;
            const PeVersionStatus status = readPeFileVersionFromFile(row.fullName, version);
            if (status == PeVersionStatus::Found) row.version = xml::sanitize(version);
            if (status == PeVersionStatus::NoFile) ++result.filesUnreadable;
        }
        met.push_back(std::move(row));
    }
}

}  // namespace

std::optional<VersionBlock> findVersionBlock(std::string_view head) {
    std::size_t pos = kSkippedBytes;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        std::size_t matched = 0;
        // Each byte read is consumed; a failed attempt never looks back.
        while (pos < head.size()) {
            char c = head[pos++];
            if (c != kMarker[matched]) break;
            if (++matched == kMarker.size()) break;
        }
        if (matched == kMarker.size()) {
            if (head.size() - pos < kBlockBytes) return std::nullopt;
            VersionBlock b;
            b.major = field(head, pos) & 0xFFFFFF;
            b.minor = field(head, pos + 4) & 0xFFFFFF;
            b.revision = field(head, pos + 8) & 0xFFFFFF;
            b.year = field(head, pos + 12) & 0xFFFF;
            b.month = field(head, pos + 16) & 0xFF;
            b.day = field(head, pos + 20) & 0xFF;
            return b;
        }
        if (pos >= head.size()) return std::nullopt;
    }
    return std::nullopt;
}

std::string versionString(const VersionBlock& b) {
    std::string out = "v" + std::to_string(b.major) + "." + twoDigits(b.minor);
    if (b.revision != 0) out += "." + twoDigits(b.revision);
    return out;
}

std::string_view monthAbbreviation(int month) {
    static constexpr std::array<std::string_view, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (month < 1 || month > 12) return {};
    return kMonths[static_cast<std::size_t>(month - 1)];
}

std::string blockDateString(const VersionBlock& b) {
    if (b.month < 1 || b.month > 12 || b.day < 1 || b.day > 31) return {};
    char year[8];
    std::snprintf(year, sizeof year, "%04u", static_cast<unsigned>(b.year));
    return std::string(monthAbbreviation(static_cast<int>(b.month))) + "." + twoDigits(b.day) + "," + year;
}

std::string timeStampDateString(std::time_t t) {
    std::tm tm{};
    if (!localtime_r(&t, &tm)) return {};
    char year[16];
    std::snprintf(year, sizeof year, "%04d", tm.tm_year + 1900);
    return std::string(monthAbbreviation(tm.tm_mon + 1)) + "." +
           twoDigits(static_cast<std::uint32_t>(tm.tm_mday)) + "," + year;
}

ScanFileKind scanFileKind(std::string_view upperName) {
    if (upperName.size() < 4) return ScanFileKind::Other;
    std::string_view ext = upperName.substr(upperName.size() - 4);
    for (std::string_view m : {".QXK", ".HAM", ".DSK", ".LAN", ".NAM", ".PSM", ".CDM", ".KFS"}) {
        if (ext == m) return ScanFileKind::Module;
    }
    for (std::string_view x : {".DLL", ".DRV", ".EXE"}) {
        if (ext == x) return ScanFileKind::Executable;
    }
    return ScanFileKind::Other;
}

ScanResult scanModules(const std::string& folder, const ScanProgress& progress) {
    std::string root = folder.empty() ? "./" : folder;
    if (root.back() != '/') root += '/';
    ScanResult result;
    ScanState state{result, progress};
    scanInto(root, state, 0);
    result.stopped = state.stopped;
    // Rows are inserted at the top of the list.
    std::reverse(result.rows.begin(), result.rows.end());
    return result;
}

std::vector<ScanRow> scanModuleFolder(const std::string& folder, const ScanProgress& progress) {
    return scanModules(folder, progress).rows;
}

std::size_t appendModuleRules(xml::Node target, const std::vector<ScanRow>& rows) {
    if (!target) return 0;
    for (const auto& row : rows) {
        xml::Node rule = xml::appendElement(target, "module");
        xml::appendElement(rule, "name", xml::sanitize(row.name));
        xml::appendElement(rule, "version", xml::sanitize(row.version));
        xml::appendElement(rule, "date", xml::sanitize(row.date));
        xml::appendElement(rule, "version_condition", ">=");
        xml::appendElement(rule, "date_condition", ">=");
    }
    return rows.size();
}

}  // namespace qx::ruleedit
