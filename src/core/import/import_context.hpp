#pragma once
// State of one text import and the helpers every section parser shares: the per-block and
// per-run container rules, and the conversion of report bytes into tree text.

#include "document/config_doc.hpp"
#include "xml/tree_builder.hpp"
#include "xml/xml_document.hpp"

#include <string>
#include <string_view>
#include <unordered_map>

namespace qx::import {

/// Parsing state of the report reader; report text is kept as raw 8-bit bytes.
struct ParseState {
    int lineNumber = 0;
    bool isReport = false;
    std::string line;          // the current line, modified in place
    std::string previousLine;  // as it stood after its processing; empty after "Storage Device Details:"
    std::string sectionName;
    std::string heading;
    std::string containerKind = "serverparams";  // element name of the container created last
    std::string blockMarker;                     // empty at the start of every block
    xml::Node currentContainer;
    bool volumeStatistics = false;
    bool nameSpacesSeen = false;
    bool nameSpaceLines = false;
    bool deviceDetails = false;
    std::string name;  // last name-value split
    std::string value;
};

/// Loaded modules and directory listings.
struct ModuleListState {
    xml::Node loadedModules;
    xml::Node searchPathModules;
    xml::Node lastDescription;
    std::string lastDescriptionText;  // raw bytes
    xml::Node directories;
    bool directoriesCurrent = false;  // cleared when a file or device section produces an element
    xml::Node currentDirectory;
    std::string lastFileName, lastType, lastDate, lastTime;
    int lastFileLine = 0;  // report line of the directory line that named the file
    std::string currentClientDirectory;
};

/// Volumes, storage devices and disks.
struct StorageState {
    std::string lastVolumeName;
    xml::Node currentVolume;
    std::unordered_map<std::string, xml::Node> firstVolumeByName;  // raw volume name -> first `volume`
    std::string lastDeviceLine;
    xml::Node devices;  // the `devices` container of the current block; attaching never climbs above it
    xml::Node currentDevice;
    std::string pendingDeviceLine;
    bool deviceDepthLimited = false;  // a device line nested past kMaxDeviceDepth
};

/// The property sections.
struct PropertySectionState {
    xml::Node currentLan;
    xml::Node currentBiosStructure;
    xml::Node currentProduct;
    xml::Node currentJavaProcess;
    xml::Node zrdRecord;
    xml::Node fileGroups;
    xml::Node partitions;
    xml::Node partition;
};

/// Server and SET parameters.
struct ParameterState {
    bool categoryCreated = false;
    std::string lastCategoryName;
    xml::Node currentCategory;
};

/// Captured files.
struct CapturedFileState {
    std::string lastItemMarker;
    xml::Node currentFile;
    xml::Node groupEtc;
    xml::Node groupStartup;
    xml::Node groupSystem;
};

class ImportContext {
public:
    ImportContext(CQXConfigDoc2& document, xml::Node configRoot)
        : doc(document), config(configRoot), builder(document.config()) {}

    /// Per-block container: created only when no container was created yet in this block;
    /// the block's records then go into the container created last, whatever its kind.
    xml::Node blockContainer(std::string_view element, const char* nameAttribute);
    /// Per-run container: created whenever the container created last is of another kind.
    /// `kind` is what the container kind becomes (it differs from the element for `files`).
    xml::Node runContainer(std::string_view element, std::string_view kind, const char* nameAttribute);
    /// Creates a container under `config` unconditionally and makes it current.
    xml::Node createContainer(std::string_view element, std::string_view kind, const char* nameAttribute);

    /// Appends an item or a container, noting the report line that made it (or `firstLine`,
    /// where an item began on an earlier line).
    xml::Node add(xml::Node parent, std::string_view element, int firstLine = 0);
    /// Appends a field whose text is report bytes (converted to UTF-8).
    xml::Node addText(xml::Node parent, std::string_view element, std::string_view reportBytes) {
        return builder.appendLatin1(parent, element, reportBytes);
    }
    /// Appends an item that is a text of its own (a captured file's line), noting its line.
    xml::Node addItemText(xml::Node parent, std::string_view element, std::string_view reportBytes);
    /// Sets an attribute from report bytes.
    void setAttr(xml::Node node, std::string_view attr, std::string_view reportBytes) {
        builder.setLatin1Attribute(node, attr, reportBytes);
    }
    /// Appends a `property` item with `name` and `value` children.
    xml::Node addProperty(xml::Node parent, std::string_view name, std::string_view value);

    /// The name-value split at the first ": " of the current line. Sets state.name and
    /// state.value and returns true only when ": " was found at a position greater than 0.
    bool splitNameValue();
    /// The same split applied to any text.
    static bool splitNameValue(std::string_view line, std::string& name, std::string& value);

    CQXConfigDoc2& doc;
    xml::Node config;
    /// Builds the configuration tree; finished before anyone else reads it.
    xml::TreeBuilder builder;
    ParseState state;
    ModuleListState modules;
    StorageState storage;
    PropertySectionState properties;
    ParameterState parameters;
    CapturedFileState files;
};

}  // namespace qx::import
