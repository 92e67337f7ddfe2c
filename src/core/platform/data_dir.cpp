#include "platform/data_dir.hpp"

#include "platform/file_system.hpp"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <vector>

#ifndef QX_DEFAULTS_FROM_BINDIR
#define QX_DEFAULTS_FROM_BINDIR "../share/qxconfig"
#endif

namespace qx::platform {

namespace {

namespace fs = std::filesystem;

constexpr const char* kRulesFile = "rules.xml";

std::string g_override;  // --program-dir (setProgramDirectory)

std::string stripTrailingSlashes(std::string dir) {
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return dir;
}

std::string envOrEmpty(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::string homeFromPasswordDatabase() {
    std::vector<char> buf(16384);
    passwd pw{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &pw, buf.data(), buf.size(), &found) != 0 || !found || !found->pw_dir)
        return {};
    return found->pw_dir;
}

bool isFile(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

/// Copies `from` to `to` unless `to` exists by then (a second program starting at the same
/// moment seeds the same file; neither may clobber what the other put there).
std::string copyNoReplace(const std::string& from, const std::string& to) {
    auto data = readFile(from);
    if (!data) return "cannot read " + from + ": " + std::strerror(errno);
    FileSystem& f = fileSystem();
    std::string temp = f.createTemp(to);
    if (temp.empty()) return "cannot create a file in " + to + ": " + std::strerror(errno);
    if (!f.writeAll(temp, *data)) {
        std::string why = std::strerror(errno);
        f.remove(temp);
        return "cannot write " + temp + ": " + why;
    }
    if (!f.renameNoReplace(temp, to)) {
        const int saved = errno;
        f.remove(temp);
        if (saved != EEXIST) return "cannot create " + to + ": " + std::strerror(saved);
    }
    return {};
}

DataDirectory prepareUserFolder(const DataDirInputs& in) {
    DataDirectory d;
    d.source = DataDirSource::UserFolder;
    // A relative XDG_DATA_HOME is invalid and ignored, as the base directory rules say.
    std::string base = in.xdgDataHome;
    if (base.empty() || base.front() != '/') {
        if (in.home.empty()) {
            d.problem = "no home folder is known (HOME is not set); give a data folder with QXCONFIG_HOME";
            return d;
        }
        base = joinPath(in.home, ".local/share");
    }
    d.path = joinPath(base, "qxconfig");
    std::error_code ec;
    fs::create_directories(d.path, ec);
    if (ec) {
        d.problem = "cannot create " + d.path + ": " + ec.message();
        return d;
    }
    const std::string rules = joinPath(d.path, kRulesFile);
    if (isFile(rules)) return d;
    const std::string defaults = joinPath(installedDefaultsDirectory(in.executableDir), kRulesFile);
    if (!isFile(defaults)) return d;  // nothing to seed from; loading says what is missing
    d.problem = copyNoReplace(defaults, rules);
    if (d.problem.empty()) d.seededFrom = defaults;
    return d;
}

}  // namespace

const char* describe(DataDirSource source) {
    switch (source) {
        case DataDirSource::Option:
            return "given with --program-dir";
        case DataDirSource::Environment:
            return "given with QXCONFIG_HOME";
        case DataDirSource::ExecutableFolder:
            return "the program's own folder";
        case DataDirSource::UserFolder:
            return "user data folder";
    }
    return "";
}

DataDirectory locateDataDirectory(const DataDirInputs& in) {
    if (!in.option.empty()) return {stripTrailingSlashes(in.option), DataDirSource::Option, {}, {}};
    if (!in.environment.empty())
        return {stripTrailingSlashes(in.environment), DataDirSource::Environment, {}, {}};
    if (!in.executableDir.empty() && isFile(joinPath(in.executableDir, kRulesFile))) {
        return {in.executableDir, DataDirSource::ExecutableFolder, {}, {}};
    }
    return prepareUserFolder(in);
}

DataDirInputs processDataDirInputs() {
    DataDirInputs in;
    in.option = g_override;
    in.environment = envOrEmpty("QXCONFIG_HOME");
    in.executableDir = executableDirectory();
    in.xdgDataHome = envOrEmpty("XDG_DATA_HOME");
    in.home = envOrEmpty("HOME");
    if (in.home.empty()) in.home = homeFromPasswordDatabase();
    return in;
}

std::string executableDirectory() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec || exe.empty()) return ".";
    return stripTrailingSlashes(exe.parent_path().string());
}

std::string installedDefaultsDirectory(const std::string& executableDir) {
    return (fs::path(executableDir) / QX_DEFAULTS_FROM_BINDIR).lexically_normal().string();
}

const DataDirectory& dataDirectory() {
    static std::mutex mutex;
    static DataDirectory cached;
    static std::string cachedFor;
    static bool done = false;
    std::lock_guard lock(mutex);
    // The lookup (and its seeding) runs once; only a later --program-dir changes the answer.
    if (!done || cachedFor != g_override) {
        cached = locateDataDirectory(processDataDirInputs());
        cachedFor = g_override;
        done = true;
    }
    return cached;
}

std::string programDirectory() {
    return dataDirectory().path;
}

void setProgramDirectory(std::string dir) {
    g_override = stripTrailingSlashes(std::move(dir));
}

}  // namespace qx::platform
