#pragma once
// Every section parser has this shape: it reads ctx.state.line (raw report bytes) and adds
// to the configuration tree. The report reader's section table decides which one runs.

#include "import/import_context.hpp"

namespace qx::import {

using SectionParser = void (*)(ImportContext&);

// Module and file listings.
void parseLoadedModules(ImportContext& ctx);
void parseDirectoryListing(ImportContext& ctx);
void parseClientExecutables(ImportContext& ctx);
// Server and SET parameters: every line of a section without a parser of its own.
void parseParameters(ImportContext& ctx);
// Volumes, storage devices and disks.
void parseVolumeStatistics(ImportContext& ctx);
void parseNameSpaceList(ImportContext& ctx);
void parseStorageDevices(ImportContext& ctx);
void parseDisks(ImportContext& ctx);
// Property sections.
void parseLanDrivers(ImportContext& ctx);
void parseSmBios(ImportContext& ctx);
void parseBootDrive(ImportContext& ctx);
void parseSearchPaths(ImportContext& ctx);
void parsePatchList(ImportContext& ctx);
void parseInstalledProducts(ImportContext& ctx);
void parseJavaProcesses(ImportContext& ctx);
void parseDirectoryService(ImportContext& ctx);
// Captured files.
void parseCapturedFile(ImportContext& ctx);

/// The parser for a data line under the given section name (the dispatch table).
SectionParser parserForSection(std::string_view sectionName);
/// True for the sections whose lines keep their leading blanks.
bool sectionKeepsLeadingBlanks(std::string_view sectionName);
/// Compares the first n characters the way a C string comparison does (the end counts as NUL),
/// so "first 33 characters equal a 32-character name" means the name exactly.
bool firstCharsEqual(std::string_view name, std::string_view literal, std::size_t n);

}  // namespace qx::import
