#pragma once
// Seams to the operating system's file system. Tests swap in a double that fails a
// chosen step, to prove that no file is ever left half written.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
    /// Creates a file in `dir` that has no name yet, so that nothing is left behind however
    /// the program stops; where the file system cannot, a uniquely named hidden file that
    /// closeFile removes. Returns a descriptor or -1.
    virtual int createUnnamed(const std::string& dir);
    /// Appends bytes to a file opened by createUnnamed.
    virtual bool writeBlock(int fd, std::string_view data);
    /// Flushes a file opened by createUnnamed to disk.
    virtual bool syncFile(int fd);
    /// Gives the file behind `fd` the name `path`, replacing what is there in one step.
    virtual bool nameFile(int fd, const std::string& path);
    /// Closes a file opened by createUnnamed; one never named is gone afterwards.
    virtual bool closeFile(int fd);
};

/// The file system in use (the real one unless a test installed another).
FileSystem& fileSystem();
/// Installs a file system for the current process (nullptr restores the real one).
void setFileSystem(FileSystem* fs);

/// Writes `data` to `path` as a user means it: a regular file or a new name is replaced
/// atomically (temporary file in the same folder, flush, rename); through a symbolic link
/// the link's target is replaced and the link kept; a FIFO, a device or one of the
/// program's own descriptors (/dev/stdout, /proc/self/fd/N) is written to directly; a
/// folder is refused. Returns an empty text on success, else a description of what failed.
std::string writeFileAtomically(const std::string& path, std::string_view data);

/// One file of a group and the bytes it is to hold.
struct FileContent {
    std::string path;
    std::string data;
};

/// Files that belong together (a configuration tree with its rule base and report tree) are
/// replaced together: all of them or none. Each regular file (or new name, or a link's
/// target) is first written beside itself; files that exist are kept aside under a second
/// name until every rename has succeeded, and are put back when one fails. FIFOs and
/// devices are written last, directly. Empty text on success, else what failed (and, should
/// putting a file back fail too, which file is left changed).
std::string writeFilesTogether(const std::vector<FileContent>& files);

/// True when both paths name the same existing file (after following links).
bool sameFile(const std::string& a, const std::string& b);

/// Opens a file for reading without ever blocking (a FIFO or device named by mistake must
/// not stall the program) and accepts it only when it is a regular file. Returns the
/// descriptor, or -1 with `error` (when given) saying why, the file's kind or the system's
/// reason ("it is a named pipe (FIFO), not a regular file").
int openRegularFile(const std::string& path, std::string* error = nullptr);

/// Reads a whole regular file; nullopt, with `error` when given, when it cannot.
std::optional<std::string> readFile(const std::string& path, std::string* error = nullptr);
/// Reads at most `limit` leading bytes of a regular file.
std::optional<std::string> readFileHead(const std::string& path, std::size_t limit,
                                        std::string* error = nullptr);

/// A file's time stamp: its creation (birth) time where the file system records it,
/// else its last modification time; seconds since 1970.
std::optional<std::int64_t> creationOrModificationTime(const std::string& path);

/// An exclusive lock on a folder (flock), held while the object lives. The system releases
/// it when the program ends, however it ends, so a crashed run never blocks the next one,
/// and no lock file is left lying about. Where a folder cannot be locked (NFS), a hidden
/// ".qxconfig.lock" file in it is locked instead.
class FileLock {
public:
    enum class Result { Acquired, Busy, Failed };
    FileLock() = default;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();
    /// Takes the lock, waiting up to `wait` while another holder has it; `onWait` is called
    /// once when it has to wait. error() says why after Busy or Failed.
    Result acquire(const std::string& folder, std::chrono::milliseconds wait,
                   const std::function<void()>& onWait = {});
    void release();
    [[nodiscard]] bool held() const { return m_fd >= 0; }
    [[nodiscard]] const std::string& error() const { return m_error; }

private:
    int m_fd = -1;
    std::string m_error;
};

/// The folder whose lock guards a rule base against two writers at once (the live update,
/// "Save rules", scan-modules --into): the folder holding it, with rules.old.xml and
/// rules.corrupt.xml beside it.
std::string ruleBaseLockFolder(const std::string& rulesPath);

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
