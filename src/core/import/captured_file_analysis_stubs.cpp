// Placeholders until the captured-file analyses are written.
#include "import/captured_file_analysis.hpp"

namespace qx::import {

void analyseAbendLog(CQXConfigDoc2&) {}
void analyseJavaConfiguration(CQXConfigDoc2&) {}
void analyseNetworkConfiguration(CQXConfigDoc2&) {}
std::string boardModule(const CQXConfigDoc2&, std::string_view board) { return std::string(board); }

}  // namespace qx::import
