#include "platform/file_system.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysinfo.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

namespace qx::platform {

namespace {
FileSystem g_realFileSystem;
FileSystem* g_fileSystem = &g_realFileSystem;
std::uint64_t g_memoryOverride = 0;

std::string dirOf(const std::string& path) {
    auto pos = path.find_last_of('/');
    if (pos == std::string::npos) return ".";
    if (pos == 0) return "/";
    return path.substr(0, pos);
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

int FileSystem::createFile(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
}

bool FileSystem::writeBlock(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool FileSystem::closeFile(int fd) {
    bool synced = ::fsync(fd) == 0;
    int saved = errno;
    bool closed = ::close(fd) == 0;
    if (!synced) errno = saved;
    return synced && closed;
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

std::string writeFileAtomically(const std::string& path, std::string_view data) {
    FileSystem& fs = fileSystem();
    std::string tmp = fs.createTemp(path);
    if (tmp.empty()) {
        return "cannot create a temporary file in " + dirOf(path) + ": " + std::strerror(errno);
    }
    if (!fs.writeAll(tmp, data)) {
        std::string err = std::strerror(errno);
        fs.remove(tmp);
        return "cannot write " + tmp + ": " + err;
    }
    if (!fs.rename(tmp, path)) {
        std::string err = std::strerror(errno);
        fs.remove(tmp);
        return "cannot replace " + path + ": " + err;
    }
    return {};
}

std::optional<std::string> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream ss;
    ss << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return ss.str();
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
