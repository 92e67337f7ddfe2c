#pragma once
// What `qxconfig-cli --version` and the About box tell about the files in use: which data
// folder, and which rule base (its date and checksum). One list, so both say the same.

#include "platform/data_dir.hpp"

#include <string>
#include <vector>

namespace qx {

/// A rule-base file as found on disk.
struct RuleBaseFileInfo {
    std::string path;
    bool found = false;       // the file can be read
    bool wellFormed = false;  // it loads as XML
    std::string date;         // the root's `date` attribute
    std::string sha256;       // of the file's bytes, when found
};

/// Reads the file at `path` once: date and checksum.
RuleBaseFileInfo inspectRuleBaseFile(const std::string& path);

/// One line of the installation facts: a label and its value.
struct InstallationFact {
    std::string label;
    std::string value;
};

/// The data folder (and how it was chosen), the rule base's path, date and SHA-256, and
/// anything that went wrong while preparing the folder.
std::vector<InstallationFact> installationFacts(const platform::DataDirectory& dir,
                                                const RuleBaseFileInfo& rules);

/// The facts as "Label: value" lines, each ending in a newline.
std::string formatInstallationFacts(const std::vector<InstallationFact>& facts);

}  // namespace qx
