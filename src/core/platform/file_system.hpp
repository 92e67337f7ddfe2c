#pragma once
// Seams to the operating system's file system. Tests swap in a double that fails a
// chosen step, to prove that no file is ever left half written.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qx::platform {

/// File operations the core performs; each returns false (and sets errno) on failure.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    /// Creates a unique temporary file beside `target`; returns its path or empty.
    virtual std::string createTemp(const std::string& target);
    /// Writes all bytes to an existing (temporary) file and flushes them to disk.
    virtual bool writeAll(const std::string& path, std::string_view data);
    /// Renames, replacing an existing destination atomically.
    virtual bool rename(const std::string& from, const std::string& to);
    /// Renames only when the destination does not exist.
    virtual bool renameNoReplace(const std::string& from, const std::string& to);
    /// Makes `to` a second name of `from` (hard link), or a copy where links fail.
    virtual bool linkOrCopy(const std::string& from, const std::string& to);
    virtual bool remove(const std::string& path);
    [[nodiscard]] virtual bool exists(const std::string& path) const;
    /// Last modification time in seconds since 1970, when the file exists.
    [[nodiscard]] virtual std::optional<std::int64_t> modificationTime(const std::string& path) const;
    /// Creates or truncates a file for writing; returns a descriptor or -1.
    virtual int createFile(const std::string& path);
    /// Appends bytes to a file opened by createFile.
    virtual bool writeBlock(int fd, std::string_view data);
    /// Flushes a file opened by createFile to disk and closes it.
    virtual bool closeFile(int fd);
};

/// The file system in use (the real one unless a test installed another).
FileSystem& fileSystem();
/// Installs a file system for the current process (nullptr restores the real one).
void setFileSystem(FileSystem* fs);

/// Replaces `path` by `data` atomically: temporary file in the same folder, flush, rename.
/// Returns an empty text on success, else a description of what failed.
std::string writeFileAtomically(const std::string& path, std::string_view data);

/// A file's time stamp: its creation (birth) time where the file system records it,
/// else its last modification time; seconds since 1970.
std::optional<std::int64_t> creationOrModificationTime(const std::string& path);

/// Reads a whole file; nullopt when it cannot be read.
std::optional<std::string> readFile(const std::string& path);

/// The program directory: the data folder where rules.xml and menu.xml are read and
/// written (platform/data_dir.hpp says how it is found).
std::string programDirectory();
/// Overrides the program directory (tests, and --program-dir).
void setProgramDirectory(std::string dir);
/// Joins a folder and a file name with one separator.
std::string joinPath(std::string_view dir, std::string_view name);

/// Available physical memory in KiB (MemAvailable, else sysinfo).
std::uint64_t availableMemoryKiB();
/// Overrides the memory reading (tests); 0 restores the real one.
void setAvailableMemoryOverride(std::uint64_t kib);

}  // namespace qx::platform
