#pragma once
// Where the program's own files (rules.xml, rules.old.xml, rules.corrupt.xml, menu.xml) are
// read and written. An installed program must never write beside its executable, so the
// folder is looked up: an explicit choice, else a portable copy's own folder, else the
// user's data folder, seeded from the installed defaults on first use.

#include <string>

namespace qx::platform {

/// How the data folder was chosen.
enum class DataDirSource {
    Option,            // --program-dir
    Environment,       // QXCONFIG_HOME
    ExecutableFolder,  // the executable's folder holds a rules.xml (build tree, portable copy)
    UserFolder,        // $XDG_DATA_HOME/qxconfig or ~/.local/share/qxconfig
};

/// A short description of a source for people ("user data folder", ...).
const char* describe(DataDirSource source);

/// What the lookup reads from the process; split out so tests can vary each part.
struct DataDirInputs {
    std::string option;       // --program-dir, empty when not given
    std::string environment;  // QXCONFIG_HOME, empty when unset
    std::string executableDir;
    std::string xdgDataHome;  // XDG_DATA_HOME, empty when unset
    std::string home;         // HOME (or the password database's entry)
};

/// The chosen data folder.
struct DataDirectory {
    std::string path;
    DataDirSource source = DataDirSource::UserFolder;
    /// The installed default copied into the folder by this lookup (empty when none was).
    std::string seededFrom;
    /// Why the user data folder could not be prepared (empty when all went well).
    std::string problem;
};

/// Looks the data folder up in the documented order. A user data folder is created when
/// missing and given the installed rules.xml when it has none; explicit folders are used
/// as they are.
DataDirectory locateDataDirectory(const DataDirInputs& inputs);

/// The inputs of the running process (environment and /proc/self/exe).
DataDirInputs processDataDirInputs();

/// Folder of the running executable, without a trailing separator.
std::string executableDirectory();

/// Where an installed tree keeps its defaults: <prefix>/share/qxconfig for an
/// executable in <prefix>/bin, found relative to it so that a moved tree still works.
std::string installedDefaultsDirectory(const std::string& executableDir);

/// The data folder of this process, looked up once (the override of
/// setProgramDirectory() wins, reported as DataDirSource::Option).
const DataDirectory& dataDirectory();

}  // namespace qx::platform
