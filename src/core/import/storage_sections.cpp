// Volumes, storage devices and disks. The report lists volume statistics first; a line naming
// the loaded name spaces ends them, and after it the device and disk sections add nothing.
#include "import/report_reader.hpp"
#include "import/section_parsers.hpp"
#include "util/text.hpp"

namespace qx::import {

namespace {

constexpr std::string_view kNameSpacesLoaded = "Name Spaces Loaded";

// Parent of a new device line x, found from the last device line y by their indentation
// (one blank per level), starting at the current device; never above the `devices` container.
xml::Node deviceParent(const StorageState& ss, std::string_view x, std::string_view y) {
    if (x.empty() || x[0] != ' ') return ss.devices;
    xml::Node node = ss.currentDevice;
    auto up = [&] {
        if (node != ss.devices && node.parent()) node = node.parent();
    };
    while (!x.empty() && !y.empty() && x[0] == ' ' && y[0] == ' ') {
        x.remove_prefix(1);
        y.remove_prefix(1);
    }
    while (!y.empty() && y[0] == ' ') {
        y.remove_prefix(1);
        up();
    }
    if ((x.empty() || x[0] != ' ') && !y.empty()) up();
    return node;
}

// Devices between a node and the block's container, counting the node (at most the limit).
int deviceDepth(const StorageState& ss, xml::Node node) {
    int depth = 0;
    for (; node && node != ss.devices && depth <= kMaxDeviceDepth; node = node.parent()) ++depth;
    return depth;
}

}  // namespace

// Statistics under a "Volume Statistics for <volume>" heading, until the name-space line:
//   * Volume Statistics for SYS *
//   Total Space.........................: 20480 MB
//   Volume Name Spaces Loaded
void parseVolumeStatistics(ImportContext& ctx) {
    ParseState& st = ctx.state;
    if (text::containsAfterStart(st.line, kNameSpacesLoaded)) {
        st.nameSpacesSeen = true;
        st.nameSpaceLines = true;
        st.volumeStatistics = false;
        return;
    }
    if (!ctx.splitNameValue()) return;
    if (st.heading == "KFS_ADMIN" || st.heading == "_ADMIN") return;
    xml::Node container = ctx.runContainer("volumes", "volumes", "Quarrix Volumes");
    StorageState& ss = ctx.storage;
    if (st.heading != ss.lastVolumeName || !ss.currentVolume || ss.currentVolume.parent() != container) {
        ss.currentVolume = ctx.add(container, "volume");
        ctx.setAttr(ss.currentVolume, "name", st.heading);
        ss.lastVolumeName = st.heading;
        ss.firstVolumeByName.emplace(st.heading, ss.currentVolume);
    }
    ctx.addProperty(ss.currentVolume, st.name, st.value);
}

// One line per volume after the name-space line; unknown volumes are passed over:
//   SYS     DOS, LONG, MAC, NFS
//   VOL1    DOS, LONG
void parseNameSpaceList(ImportContext& ctx) {
    const std::string_view line = text::trimLeftBlanks(ctx.state.line);
    const auto blank = line.find(' ');
    if (blank == std::string_view::npos || blank == 0) return;
    const std::string volumeName(line.substr(0, blank));
    const auto it = ctx.storage.firstVolumeByName.find(volumeName);
    if (it == ctx.storage.firstVolumeByName.end()) return;
    ctx.addProperty(it->second, "Name Space Loaded", text::trimBlanks(line.substr(blank + 1)));
}

// After "Storage Device Details:", a line after an empty line names a device (one leading
// blank per level of nesting); the lines below it are its properties:
//   [V312-A2] QXS SCSI Adapter
//     Driver Name: QXSCSI.HAM
//    [V312-A2-D0:0] SEAGATE ST336607LW
void parseStorageDevices(ImportContext& ctx) {
    ParseState& st = ctx.state;
    if (text::startsWith(st.line, "Storage Device Details:")) {
        st.deviceDetails = true;
        return;
    }
    if (!st.deviceDetails) return;
    if (text::containsAfterStart(st.line, kNameSpacesLoaded)) st.nameSpacesSeen = true;
    if (st.nameSpacesSeen) return;
    StorageState& ss = ctx.storage;
    if (st.previousLine.empty()) {
        ss.pendingDeviceLine = st.line;
        st.heading = st.line;
        return;
    }
    if (st.line.find(": ") != std::string::npos) {
        ctx.splitNameValue();
    } else {
        st.name.clear();
        st.value = std::string(text::trimLeftBlanks(st.line));
    }
    if (st.blockMarker.empty() || !ss.devices) {
        ss.devices = ctx.createContainer("devices", "devices", "Storage Device Configuration Information");
        ss.currentDevice = ss.devices;
        // A new container gets its own device element even for the device named last.
        ss.lastDeviceLine.clear();
    }
    if (ss.pendingDeviceLine != ss.lastDeviceLine || ss.currentDevice == ss.devices) {
        xml::Node parent = deviceParent(ss, ss.pendingDeviceLine, ss.lastDeviceLine);
        if (deviceDepth(ss, parent) >= kMaxDeviceDepth) {
            parent = parent.parent();
            ss.deviceDepthLimited = true;
        }
        ss.currentDevice = ctx.add(parent, "device");
        ctx.setAttr(ss.currentDevice, "name", ss.pendingDeviceLine);
        ss.lastDeviceLine = ss.pendingDeviceLine;
    }
    ctx.addProperty(ss.currentDevice, st.name, st.value);
    ctx.modules.directoriesCurrent = false;
}

// Name-value lines become disks; other lines only set the heading:
//   Disk 0
//     Capacity: 36 GB
void parseDisks(ImportContext& ctx) {
    ParseState& st = ctx.state;
    if (text::containsAfterStart(st.line, kNameSpacesLoaded)) {
        st.nameSpacesSeen = true;
        st.nameSpaceLines = true;
    }
    if (st.nameSpacesSeen) return;
    if (!ctx.splitNameValue()) {
        st.heading = st.line;
        return;
    }
    xml::Node container = ctx.blockContainer("disks", "Disk");
    xml::Node disk = ctx.add(container, "disk");
    ctx.addText(disk, "name", st.name);
    ctx.addText(disk, "value", st.value);
}

}  // namespace qx::import
