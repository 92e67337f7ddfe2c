#pragma once
// Files that belong together (a configuration tree with its rule base and report tree)
// are replaced together: all of them or none.

#include <string>
#include <vector>

namespace qx::platform {

/// One file of a group and the bytes it is to hold.
struct FileContent {
    std::string path;
    std::string data;
};

/// Replaces every file of the group, or none of them. Every file is first written to a
/// temporary file beside it; files that exist are kept aside under a second name until every
/// rename has succeeded, and are put back when one fails. Empty text on success, else what
/// failed (and, should putting a file back fail too, which file is left changed).
std::string writeFilesTogether(const std::vector<FileContent>& files);

}  // namespace qx::platform
