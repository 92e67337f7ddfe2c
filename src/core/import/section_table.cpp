#include "import/section_parsers.hpp"

#include <array>

namespace qx::import {

bool firstCharsEqual(std::string_view name, std::string_view literal, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        char a = i < name.size() ? name[i] : '\0';
        char b = i < literal.size() ? literal[i] : '\0';
        if (a != b) return false;
        if (a == '\0') return true;
    }
    return true;
}

namespace {

struct SectionRow {
    const char* literal;
    std::size_t firstChars;  // 0: the whole name must equal the literal
    SectionParser parser;
};

// The dispatch table, first match wins. Everything else (the header block included)
// goes to the server and SET parameter parser.
constexpr std::array kSections = {
    SectionRow{"Modules List", 12, parseLoadedModules},
    SectionRow{"LAN Driver Configuration Listing", 33, parseLanDrivers},
    SectionRow{"SM BIOS Information", 20, parseSmBios},
    SectionRow{"Storage Device Configuration Information", 40, parseStorageDevices},
    SectionRow{"Disk Drive Configuration Information", 36, parseDisks},
    SectionRow{"Patch List", 10, parsePatchList},
    SectionRow{"file.", 5, parseCapturedFile},
    SectionRow{"directory.", 10, parseDirectoryListing},
    SectionRow{"Boot Drive", 10, parseBootDrive},
    SectionRow{"search paths", 0, parseSearchPaths},
    SectionRow{"ZRD/Trellium Configuration Listing", 0, parseDirectoryService},
    SectionRow{"List of Client Executable files", 0, parseClientExecutables},
    SectionRow{"Installed Product List", 0, parseInstalledProducts},
    SectionRow{"Running Java Processes", 22, parseJavaProcesses},
};

}  // namespace

SectionParser parserForSection(std::string_view sectionName) {
    for (const auto& row : kSections) {
        bool match = row.firstChars ? firstCharsEqual(sectionName, row.literal, row.firstChars)
                                    : sectionName == row.literal;
        if (match) return row.parser;
    }
    return parseParameters;
}

bool sectionKeepsLeadingBlanks(std::string_view s) {
    return firstCharsEqual(s, "Modules List", 12) ||
           firstCharsEqual(s, "Storage Device Configuration Information", 40) ||
           firstCharsEqual(s, "Disk Drive Configuration Information", 36) ||
           firstCharsEqual(s, "directory.", 10) || s == "ZRD/Trellium Configuration Listing";
}

}  // namespace qx::import
