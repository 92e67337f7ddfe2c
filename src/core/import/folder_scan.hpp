#pragma once
// "Open Documents...": the report files and saved trees below a folder.

#include <string>
#include <vector>

namespace qx::import {

/// Every ".TXT" file whose first bytes hold the report header and every regular ".XML" file below
/// `folder`, depth first, each folder's entries in name order with a subfolder's files
/// where the subfolder stands. Endings are compared without regard to case; names are
/// kept as listed. Every directory is visited once, whatever links lead to it.
std::vector<std::string> scanFolder(const std::string& folder);

}  // namespace qx::import
