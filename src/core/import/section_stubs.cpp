// Parsers of sections not read yet: their lines are ignored until each gets its own file.
#include "import/section_parsers.hpp"

namespace qx::import {

void parseLoadedModules(ImportContext&) {}
void parseDirectoryListing(ImportContext&) {}
void parseClientExecutables(ImportContext&) {}
void parseVolumeStatistics(ImportContext&) {}
void parseNameSpaceList(ImportContext&) {}
void parseStorageDevices(ImportContext&) {}
void parseDisks(ImportContext&) {}
void parseLanDrivers(ImportContext&) {}
void parseSmBios(ImportContext&) {}
void parseBootDrive(ImportContext&) {}
void parseSearchPaths(ImportContext&) {}
void parsePatchList(ImportContext&) {}
void parseInstalledProducts(ImportContext&) {}
void parseJavaProcesses(ImportContext&) {}
void parseDirectoryService(ImportContext&) {}
void parseCapturedFile(ImportContext&) {}

}  // namespace qx::import
