#include "platform/file_system.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysinfo.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

namespace qx::platform {

namespace {
FileSystem g_realFileSystem;
// Downloads that had to take a name of their own, by descriptor.
std::mutex g_namedMutex;
std::map<int, std::string> g_namedDownloads;
FileSystem* g_fileSystem = &g_realFileSystem;
std::uint64_t g_memoryOverride = 0;

std::string dirOf(const std::string& path) {
    auto pos = path.find_last_of('/');
    if (pos == std::string::npos) return ".";
    if (pos == 0) return "/";
    return path.substr(0, pos);
}

std::string uniqueSuffix() {
    static std::atomic<unsigned> counter{0};
    std::random_device rd;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%06x%02x", rd() & 0xFFFFFF, counter++ & 0xFF);
    return buf;
}

std::string kindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a named pipe (FIFO)";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

std::string notRegular(mode_t mode) {
    return S_ISDIR(mode) ? "it is a folder" : "it is " + kindOf(mode) + ", not a regular file";
}

// Descriptor number when a path names one of the program's own descriptors.
std::optional<int> ownDescriptor(const std::string& p) {
    if (p == "/dev/stdout") return 1;
    if (p == "/dev/stderr") return 2;
    for (std::string_view prefix : {"/dev/fd/", "/proc/self/fd/"}) {
        if (p.size() > prefix.size() && p.compare(0, prefix.size(), prefix) == 0) {
            const std::string n = p.substr(prefix.size());
            if (n.find_first_not_of("0123456789") == std::string::npos && n.size() < 9) return std::stoi(n);
        }
    }
    return std::nullopt;
}

// Where an output goes: replaced atomically, written directly, or refused.
struct OutputTarget {
    enum class Kind { Replace, Direct, Descriptor, Refused } kind = Kind::Refused;
    std::string path;
    int fd = -1;
    std::string error;
};

OutputTarget resolveOutput(const std::string& path) {
    using Kind = OutputTarget::Kind;
    std::string p = path;
    for (int hop = 0; hop < 40; ++hop) {
        if (auto fd = ownDescriptor(p)) return {Kind::Descriptor, p, *fd, {}};
        struct stat st {};
        if (::lstat(p.c_str(), &st) != 0) {
            // A new file, or the missing target of a link.
            if (errno == ENOENT) return {Kind::Replace, p, -1, {}};
            return {Kind::Refused, p, -1, std::strerror(errno)};
        }
        if (S_ISLNK(st.st_mode)) {
            std::vector<char> buf(4096);
            const ssize_t n = ::readlink(p.c_str(), buf.data(), buf.size() - 1);
            if (n <= 0) return {Kind::Refused, p, -1, std::strerror(errno)};
            std::string target(buf.data(), static_cast<std::size_t>(n));
            p = target.front() == '/' ? target : joinPath(dirOf(p), target);
            continue;
        }
        if (S_ISDIR(st.st_mode)) return {Kind::Refused, p, -1, "it is a folder"};
        if (S_ISREG(st.st_mode)) return {Kind::Replace, p, -1, {}};
        return {Kind::Direct, p, -1, {}};
    }
    return {Kind::Refused, path, -1, "too many levels of symbolic links"};
}

bool writeAllTo(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Writes straight into a FIFO, a device or a descriptor of ours.
std::string writeDirect(const OutputTarget& t, std::string_view data) {
    if (t.kind == OutputTarget::Kind::Descriptor) {
        if (!writeAllTo(t.fd, data)) return std::strerror(errno);
        return {};
    }
    const int fd = ::open(t.path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return std::strerror(errno);
    const bool ok = writeAllTo(fd, data);
    const int saved = errno;
    const bool closed = ::close(fd) == 0;
    if (!ok) return std::strerror(saved);
    if (!closed) return std::strerror(errno);
    return {};
}
}  // namespace

std::string FileSystem::createTemp(const std::string& target) {
    std::string pattern = target + ".tmpXXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    int fd = ::mkstemp(buf.data());
    if (fd < 0) return {};
    // Keep the target's permissions; a new file gets the usual 0644.
    struct stat st {};
    mode_t mode = (::stat(target.c_str(), &st) == 0) ? (st.st_mode & 07777) : 0644;
    ::fchmod(fd, mode);
    ::close(fd);
    return std::string(buf.data());
}

bool FileSystem::writeAll(const std::string& path, std::string_view data) {
    int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return false;
    const char* p = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            int saved = errno;
            ::close(fd);
            errno = saved;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0) {
        int saved = errno;
        ::close(fd);
        errno = saved;
        return false;
    }
    return ::close(fd) == 0;
}

bool FileSystem::rename(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool FileSystem::renameNoReplace(const std::string& from, const std::string& to) {
    // link() refuses an existing destination, which gives rename-without-overwrite
    // on every file system that has hard links.
    if (::link(from.c_str(), to.c_str()) != 0) return false;
    return ::unlink(from.c_str()) == 0;
}

bool FileSystem::linkOrCopy(const std::string& from, const std::string& to) {
    if (::link(from.c_str(), to.c_str()) == 0) return true;
    if (errno == EEXIST) return false;
    auto data = readFile(from);
    if (!data) return false;
    std::string tmp = createTemp(to);
    if (tmp.empty()) return false;
    if (!writeAll(tmp, *data) || !renameNoReplace(tmp, to)) {
        ::unlink(tmp.c_str());
        return false;
    }
    return true;
}

bool FileSystem::remove(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

bool FileSystem::exists(const std::string& path) const {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

std::optional<std::int64_t> FileSystem::modificationTime(const std::string& path) const {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return static_cast<std::int64_t>(st.st_mtime);
}

int FileSystem::createUnnamed(const std::string& dir) {
    int fd = ::open(dir.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0644);
    if (fd >= 0) return fd;
    // File systems without unnamed files get a hidden name of their own.
    std::string pattern = joinPath(dir, ".download-XXXXXX");
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    fd = ::mkstemp(buf.data());
    if (fd < 0) return -1;
    ::fchmod(fd, 0644);
    std::lock_guard lock(g_namedMutex);
    g_namedDownloads[fd] = buf.data();
    return fd;
}

bool FileSystem::writeBlock(int fd, std::string_view data) {
    return writeAllTo(fd, data);
}

bool FileSystem::syncFile(int fd) {
    return ::fsync(fd) == 0;
}

bool FileSystem::nameFile(int fd, const std::string& path) {
    std::string fallback;
    {
        std::lock_guard lock(g_namedMutex);
        auto it = g_namedDownloads.find(fd);
        if (it != g_namedDownloads.end()) fallback = it->second;
    }
    if (!fallback.empty()) {
        if (::rename(fallback.c_str(), path.c_str()) != 0) return false;
        std::lock_guard lock(g_namedMutex);
        g_namedDownloads.erase(fd);
        return true;
    }
    // An unnamed file gets a unique name beside the target first; the rename then replaces
    // the target in one step.
    const std::string procPath = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string tmp = path + ".tmp" + uniqueSuffix();
        if (::linkat(AT_FDCWD, procPath.c_str(), AT_FDCWD, tmp.c_str(), AT_SYMLINK_FOLLOW) != 0) {
            if (errno == EEXIST) continue;
            return false;
        }
        if (::rename(tmp.c_str(), path.c_str()) == 0) return true;
        const int saved = errno;
        ::unlink(tmp.c_str());
        errno = saved;
        return false;
    }
    errno = EEXIST;
    return false;
}

bool FileSystem::closeFile(int fd) {
    std::string fallback;
    {
        std::lock_guard lock(g_namedMutex);
        auto it = g_namedDownloads.find(fd);
        if (it != g_namedDownloads.end()) {
            fallback = it->second;
            g_namedDownloads.erase(it);
        }
    }
    if (!fallback.empty()) ::unlink(fallback.c_str());
    return ::close(fd) == 0;
}

std::optional<std::int64_t> creationOrModificationTime(const std::string& path) {
    struct statx sx {};
    if (::statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME | STATX_MTIME, &sx) == 0) {
        if (sx.stx_mask & STATX_BTIME) return static_cast<std::int64_t>(sx.stx_btime.tv_sec);
        if (sx.stx_mask & STATX_MTIME) return static_cast<std::int64_t>(sx.stx_mtime.tv_sec);
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return static_cast<std::int64_t>(st.st_mtime);
}

FileSystem& fileSystem() {
    return *g_fileSystem;
}
void setFileSystem(FileSystem* fs) {
    g_fileSystem = fs ? fs : &g_realFileSystem;
}

namespace {

// Writes data into a new temporary file beside `target`; returns its path, or empty with
// `error` set.
std::string stageBeside(FileSystem& fs, const std::string& target, std::string_view data,
                        std::string& error) {
    std::string tmp = fs.createTemp(target);
    if (tmp.empty()) {
        error = "cannot create a temporary file in " + dirOf(target) + ": " + std::strerror(errno);
        return {};
    }
    if (!fs.writeAll(tmp, data)) {
        error = "cannot write " + tmp + ": " + std::strerror(errno);
        fs.remove(tmp);
        return {};
    }
    return tmp;
}

}  // namespace

std::string writeFileAtomically(const std::string& path, std::string_view data) {
    const OutputTarget t = resolveOutput(path);
    switch (t.kind) {
        case OutputTarget::Kind::Refused:
            return t.error;
        case OutputTarget::Kind::Direct:
        case OutputTarget::Kind::Descriptor:
            return writeDirect(t, data);
        case OutputTarget::Kind::Replace:
            break;
    }
    FileSystem& fs = fileSystem();
    std::string error;
    const std::string tmp = stageBeside(fs, t.path, data, error);
    if (tmp.empty()) return error;
    if (!fs.rename(tmp, t.path)) {
        std::string err = std::strerror(errno);
        fs.remove(tmp);
        return "cannot replace " + t.path + ": " + err;
    }
    return {};
}

namespace {

// One file of a group on its way into place.
struct GroupStep {
    const FileContent* file = nullptr;
    OutputTarget out;
    std::string temp;    // the new bytes, until renamed into place
    std::string backup;  // a second name of the old file, when there was one
    bool replaced = false;
};

std::string lastError() {
    return errno != 0 ? std::strerror(errno) : "unknown error";
}

// Removes what is left of a group that did not complete.
void discard(FileSystem& fs, std::vector<GroupStep>& steps) {
    for (GroupStep& s : steps) {
        if (!s.temp.empty()) fs.remove(s.temp);
        if (!s.backup.empty()) fs.remove(s.backup);
    }
}

// A free name beside `path` for the old file: a fresh temporary name, taken over by the link.
std::string keepAside(FileSystem& fs, const std::string& path) {
    std::string name = fs.createTemp(path);
    if (name.empty()) return {};
    if (!fs.remove(name) || !fs.linkOrCopy(path, name)) {
        fs.remove(name);
        return {};
    }
    return name;
}

// Puts back the files of a group that were already replaced, newest first; says which could
// not be.
std::string rollBack(FileSystem& fs, std::vector<GroupStep>& steps) {
    std::string error;
    for (auto it = steps.rbegin(); it != steps.rend(); ++it) {
        if (!it->replaced) continue;
        const std::string& path = it->out.path;
        const bool restored = it->backup.empty() ? fs.remove(path) : fs.rename(it->backup, path);
        if (restored) {
            it->backup.clear();
        } else {
            error += "; " + path + " could not be put back (" + lastError() +
                     (it->backup.empty() ? ")" : "), its old version is in " + it->backup + ")");
            it->backup.clear();  // keep it for the user
        }
    }
    return error;
}

}  // namespace

std::string writeFilesTogether(const std::vector<FileContent>& files) {
    FileSystem& fs = fileSystem();
    std::vector<GroupStep> steps(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        GroupStep& s = steps[i];
        s.file = &files[i];
        s.out = resolveOutput(s.file->path);
        if (s.out.kind == OutputTarget::Kind::Refused) {
            discard(fs, steps);
            return "cannot write " + s.file->path + ": " + s.out.error;
        }
        if (s.out.kind != OutputTarget::Kind::Replace) continue;
        std::string error;
        s.temp = stageBeside(fs, s.out.path, s.file->data, error);
        if (s.temp.empty()) {
            discard(fs, steps);
            return error;
        }
    }
    for (GroupStep& s : steps) {
        if (s.temp.empty() || !fs.exists(s.out.path)) continue;
        s.backup = keepAside(fs, s.out.path);
        if (s.backup.empty()) {
            const std::string why = lastError();
            discard(fs, steps);
            return "cannot keep the old " + s.out.path + " aside: " + why;
        }
    }
    for (GroupStep& s : steps) {
        if (s.temp.empty()) continue;
        if (fs.rename(s.temp, s.out.path)) {
            s.temp.clear();
            s.replaced = true;
            continue;
        }
        std::string error = "cannot replace " + s.out.path + ": " + lastError();
        error += rollBack(fs, steps);
        discard(fs, steps);
        return error;
    }
    for (GroupStep& s : steps) {
        if (!s.backup.empty()) fs.remove(s.backup);
    }
    // FIFOs and devices last: what went into them cannot be taken back.
    for (GroupStep& s : steps) {
        if (s.out.kind == OutputTarget::Kind::Replace) continue;
        if (std::string e = writeDirect(s.out, s.file->data); !e.empty())
            return "cannot write " + s.file->path + ": " + e;
    }
    return {};
}

bool sameFile(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

int openRegularFile(const std::string& path, std::string* error) {
    // The type is checked before opening, since opening some devices does something, and
    // again on what was opened, in case the name changed hands in between. Non-blocking, so
    // that even then a FIFO without a writer returns at once.
    struct stat named {};
    if (::stat(path.c_str(), &named) == 0 && !S_ISREG(named.st_mode)) {
        if (error) *error = notRegular(named.st_mode);
        errno = EINVAL;
        return -1;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        if (error) *error = std::strerror(errno);
        return -1;
    }
    struct stat st {};
    const bool known = ::fstat(fd, &st) == 0;
    if (!known || !S_ISREG(st.st_mode)) {
        if (error) *error = known ? notRegular(st.st_mode) : std::strerror(errno);
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

namespace {
std::optional<std::string> readFrom(const std::string& path, std::size_t limit, std::string* error) {
    const int fd = openRegularFile(path, error);
    if (fd < 0) return std::nullopt;
    std::string out;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_size > 0)
        out.reserve(std::min<std::size_t>(limit, static_cast<std::size_t>(st.st_size)));
    char buf[65536];
    while (out.size() < limit) {
        const ssize_t n = ::read(fd, buf, std::min(sizeof buf, limit - out.size()));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int saved = errno;
            if (error) *error = std::strerror(saved);
            ::close(fd);
            errno = saved;
            return std::nullopt;
        }
        if (n == 0) break;
        out.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return out;
}
}  // namespace

std::optional<std::string> readFile(const std::string& path, std::string* error) {
    return readFrom(path, std::string::npos, error);
}

std::optional<std::string> readFileHead(const std::string& path, std::size_t limit, std::string* error) {
    return readFrom(path, limit, error);
}

FileLock::~FileLock() {
    release();
}

void FileLock::release() {
    if (m_fd >= 0) ::close(m_fd);  // closing the descriptor drops the lock
    m_fd = -1;
}

namespace {
// A descriptor whose flock guards the folder: the folder itself, or on file systems that
// cannot lock a folder (NFS emulates flock with record locks, which need a writable file)
// a hidden file in it.
int openLockable(const std::string& folder, std::string& error) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot open " + folder + ": " + std::strerror(errno);
        return -1;
    }
    if (::flock(fd, LOCK_SH | LOCK_NB) == 0 || errno == EWOULDBLOCK) {
        ::flock(fd, LOCK_UN);
        return fd;
    }
    ::close(fd);
    const std::string file = joinPath(folder, ".qxconfig.lock");
    const int fileFd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fileFd < 0) error = "cannot open the lock file " + file + ": " + std::strerror(errno);
    return fileFd;
}
}  // namespace

FileLock::Result FileLock::acquire(const std::string& folder, std::chrono::milliseconds wait,
                                   const std::function<void()>& onWait) {
    release();
    m_error.clear();
    const int fd = openLockable(folder, m_error);
    if (fd < 0) return Result::Failed;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    bool told = false;
    // Polled rather than blocking, so that the wait stays bounded.
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            m_error = "cannot lock " + folder + ": " + std::strerror(errno);
            ::close(fd);
            return Result::Failed;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            m_error = "another program holds the lock on " + folder;
            ::close(fd);
            return Result::Busy;
        }
        if (!told && onWait) onWait();
        told = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    m_fd = fd;
    return Result::Acquired;
}

std::string ruleBaseLockFolder(const std::string& rulesPath) {
    return dirOf(rulesPath);
}

std::string joinPath(std::string_view dir, std::string_view name) {
    std::string out(dir);
    if (!out.empty() && out.back() != '/') out += '/';
    out += name;
    return out;
}

std::uint64_t availableMemoryKiB() {
    if (g_memoryOverride) return g_memoryOverride;
    std::ifstream in("/proc/meminfo");
    std::string key;
    std::uint64_t value = 0;
    std::string unit;
    while (in >> key >> value) {
        std::getline(in, unit);
        if (key == "MemAvailable:") return value;
    }
    struct sysinfo si {};
    if (::sysinfo(&si) == 0) {
        return static_cast<std::uint64_t>(si.freeram) * si.mem_unit / 1024;
    }
    return 0;
}

void setAvailableMemoryOverride(std::uint64_t kib) {
    g_memoryOverride = kib;
}

}  // namespace qx::platform
