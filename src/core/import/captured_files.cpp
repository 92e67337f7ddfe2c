// Server files copied into the report, stored line by line under the group their path selects.
#include "import/section_parsers.hpp"
#include "util/text.hpp"

#include <algorithm>

namespace qx::import {

namespace {

xml::Node addGroup(ImportContext& ctx, xml::Node files, const char* name) {
    xml::Node group = ctx.add(files, "filegroup");
    ctx.builder.setAttribute(group, "name", name);
    return group;
}

}  // namespace

// The section name carries the server path; every line is kept as it stands:
//   Top of file. SYS:ETC\NETINFO.CFG
//   LOAD CE1000 SLOT=2 FRAME=ETHERNET_II NAME=CE1000_1_EII
//   BIND IP CE1000_1_EII ADDRESS=10.1.1.5 MASK=255.255.255.0
void parseCapturedFile(ImportContext& ctx) {
    ParseState& st = ctx.state;
    if (st.sectionName.find_first_of("[]") != std::string::npos) {
        st.sectionName = text::removeChar(text::removeChar(st.sectionName, '['), ']');
    }
    std::replace(st.line.begin(), st.line.end(), '\t', ' ');
    const std::string path = st.sectionName.size() > 6 ? st.sectionName.substr(6) : std::string();
    CapturedFileState& fs = ctx.files;
    if (st.containerKind != "filegroup" || !fs.groupEtc) {
        xml::Node files = ctx.createContainer("files", "filegroup", "Files");
        fs.groupEtc = addGroup(ctx, files, "Etc");
        fs.groupStartup = addGroup(ctx, files, "Startup Files");
        fs.groupSystem = addGroup(ctx, files, "System");
        // The new container gets its own `file`, even for the path read last.
        fs.currentFile = xml::Node();
    }
    if (path != fs.lastItemMarker || !fs.currentFile) {
        fs.lastItemMarker = path;
        xml::Node group = fs.groupStartup;
        if (text::containsAfterStart(path, "YS:SYSTEM")) group = fs.groupSystem;
        if (text::containsAfterStart(path, "YS:ETC")) group = fs.groupEtc;
        fs.currentFile = ctx.add(group, "file");
        ctx.setAttr(fs.currentFile, "name", path);
    }
    ctx.addItemText(fs.currentFile, "line", st.line);
    ctx.modules.directoriesCurrent = false;
}

}  // namespace qx::import
