#pragma once
// Analyses of captured server files, written into the report tree after the import.

#include "document/config_doc.hpp"

#include <string>
#include <string_view>

namespace qx::import {

/// Abend log (SYS:SYSTEM\ABEND.LOG) into the report tree's `abend`.
void analyseAbendLog(CQXConfigDoc2& doc);
/// Java configuration (SYS:ETC\JAVA.CFG) into `java`.
void analyseJavaConfiguration(CQXConfigDoc2& doc);
/// Network configuration (SYS:ETC\NETINFO.CFG) and hosts (SYS:ETC\HOSTS) into `lans`.
void analyseNetworkConfiguration(CQXConfigDoc2& doc);
/// Module a LAN board was loaded with (board name in capitals), or the board name itself.
std::string boardModule(const CQXConfigDoc2& doc, std::string_view board);

}  // namespace qx::import
