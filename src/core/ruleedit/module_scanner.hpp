#pragma once
// Module file scanner: versions and build dates read straight from a folder of module
// files and executables, as list rows and, on OK, as `module` rules of the rule base.

#include "xml/xml_document.hpp"

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qx::ruleedit {

/// One row of the scan list.
struct ScanRow {
    std::string name;      // "QXK": file name, upper-cased
    std::string version;   // "Version"
    std::string date;      // "Date", "%b.%d,%Y"
    std::string fullName;  // "QXK Fullname": folder path and file name as listed
};

/// Column headings of the scan list.
inline constexpr const char* kScanColumns[4] = {"QXK", "Version", "Date", "QXK Fullname"};

/// The six fields of a module's version block.
struct VersionBlock {
    std::uint32_t major = 0, minor = 0, revision = 0, year = 0, month = 0, day = 0;
};

/// Bytes of a module file the marker search may need (160 skipped, 100 attempts, the block).
inline constexpr std::size_t kVersionSearchBytes = 1024;

/// Finds the version block in the first bytes of a module file: skip 160 bytes, then a
/// non-backtracking prefix match of "VeRsIoN#" with a budget of 100 attempts.
std::optional<VersionBlock> findVersionBlock(std::string_view head);
/// "v5.70", "v1.02.03".
std::string versionString(const VersionBlock& b);
/// "Mar.05,2004"; empty when the month or day is not a calendar value.
std::string blockDateString(const VersionBlock& b);
/// A time stamp as "%b.%d,%Y" in local time, with English month names.
std::string timeStampDateString(std::time_t t);
/// "Jan", ..., "Dec" for 1 to 12 (empty otherwise), whatever the locale.
std::string_view monthAbbreviation(int month);

/// Which kind of file a name denotes (by its upper-cased last four characters).
enum class ScanFileKind { Other, Module, Executable };
ScanFileKind scanFileKind(std::string_view upperName);

/// Told of each folder entered and each file read (`filesSeen` counts the files looked at);
/// returning false stops the scan, which then returns the rows met so far.
using ScanProgress = std::function<bool(std::size_t filesSeen, const std::string& folder)>;

/// Folders below this many levels are not scanned.
inline constexpr int kMaxScanDepth = 256;

/// The rows of a scan and what it could not read.
struct ScanResult {
    std::vector<ScanRow> rows;
    std::size_t foldersTooDeep = 0;     // below kMaxScanDepth, not scanned
    std::size_t foldersUnreadable = 0;  // could not be listed
    std::size_t filesUnreadable = 0;    // listed by name only
    std::size_t notRegularFiles = 0;    // FIFOs, devices, sockets with a module's name: left out
    bool stopped = false;               // the progress callback stopped the scan
    [[nodiscard]] std::size_t skipped() const {
        return foldersTooDeep + foldersUnreadable + filesUnreadable + notRegularFiles;
    }
};

/// Scans a folder and its subfolders depth first, entries in name order (byte order),
/// and returns the rows in the list's order: the last file met first. A folder that
/// cannot be listed yields no rows; symbolic links to folders are not followed, and only
/// regular files are read.
ScanResult scanModules(const std::string& folder, const ScanProgress& progress = {});
/// The rows of scanModules alone.
std::vector<ScanRow> scanModuleFolder(const std::string& folder, const ScanProgress& progress = {});

/// Appends one `module` rule per row, in list order, as the last children of `target`.
/// Returns the number of rules written.
std::size_t appendModuleRules(xml::Node target, const std::vector<ScanRow>& rows);

}  // namespace qx::ruleedit
