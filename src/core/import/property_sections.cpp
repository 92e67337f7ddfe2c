// Sections of name-value lines: LAN drivers, SM BIOS, boot drive, search paths, patch list,
// installed products and running Java processes. Each record stays current across blocks.
#include "import/section_parsers.hpp"
#include "util/text.hpp"

#include <initializer_list>
#include <utility>

namespace qx::import {

namespace {

// The child element a record's line fills, chosen by the line's name; empty for other names.
const char* childFor(std::string_view name,
                     std::initializer_list<std::pair<const char*, const char*>> names) {
    for (const auto& [label, element] : names) {
        if (name == label) return element;
    }
    return nullptr;
}

// Other names are kept as properties of the record: a second `version` child would be joined
// into the product's version wherever values are looked up by name.
void addRecordLine(ImportContext& ctx, xml::Node record, const char* child, std::string_view name,
                   std::string_view value) {
    if (child) {
        ctx.addText(record, child, value);
    } else {
        ctx.addProperty(record, name, value);
    }
}

void addNameValue(ImportContext& ctx, xml::Node parent, const char* element, std::string_view name,
                  std::string_view value) {
    xml::Node record = ctx.add(parent, element);
    ctx.addText(record, "name", name);
    ctx.addText(record, "value", value);
}

}  // namespace

// "Signature" starts a driver, "Logical Name" names it; every line is kept as a property:
//   Signature.........: HARDWARE_DRIVER_MLID
//   Logical Name......: CE1000_1_EII
//   Node Address......: 00:0E:0C:3A:41:7F
void parseLanDrivers(ImportContext& ctx) {
    if (!ctx.splitNameValue()) return;
    const ParseState& st = ctx.state;
    xml::Node container = ctx.blockContainer("lans", "LAN Driver Configuration Listing");
    xml::Node& lan = ctx.properties.currentLan;
    if (st.name == "Signature" || !lan) lan = ctx.add(container, "lan");
    if (st.name == "Logical Name") ctx.setAttr(lan, "name", st.value);
    ctx.addProperty(lan, st.name, st.value);
}

// A line without ": " titles a structure; the name-value lines below it are its properties:
//   BIOS Information (Type 0)
//   Vendor..............: Phoenix Technologies LTD
void parseSmBios(ImportContext& ctx) {
    xml::Node container = ctx.blockContainer("bios-info", "SM BIOS");
    xml::Node& structure = ctx.properties.currentBiosStructure;
    if (!ctx.splitNameValue()) {
        structure = ctx.add(container, "bios-structure");
        ctx.setAttr(structure, "name", ctx.state.line);
        return;
    }
    if (!structure) {
        structure = ctx.add(container, "bios-structure");
        ctx.builder.setAttribute(structure, "name", "");
    }
    ctx.addProperty(structure, ctx.state.name, ctx.state.value);
}

//   Boot Drive........: C:
//   File System.......: FAT32
void parseBootDrive(ImportContext& ctx) {
    if (!ctx.splitNameValue()) return;
    xml::Node container = ctx.blockContainer("boot-drive", "Boot Drive");
    ctx.addProperty(container, ctx.state.name, ctx.state.value);
}

//   Search Path 1: SYS:\SYSTEM
//   Search Path 2: C:\QUARRIX
void parseSearchPaths(ImportContext& ctx) {
    if (!ctx.splitNameValue()) return;
    xml::Node container = ctx.blockContainer("search-paths", "search-paths");
    addNameValue(ctx, container, "search-path", ctx.state.name, ctx.state.value);
}

// Every line is a patch: split at ": " when it has one, else the first word names the patch
// and the rest describes it.
//   QXS65SP5: Support Pack 5 for Quarrix Server 6.5
//   TCP695K  TCP/IP stack update
void parsePatchList(ImportContext& ctx) {
    const std::string_view line = ctx.state.line;
    std::string name, value;
    if (!ImportContext::splitNameValue(line, name, value)) {
        const std::string_view t = text::trimLeftBlanksTabs(line);
        const auto end = t.find_first_of(" \t");
        name = std::string(t.substr(0, end));
        value = end == std::string_view::npos ? std::string()
                                              : std::string(text::trimLeftBlanksTabs(t.substr(end)));
    }
    xml::Node container = ctx.blockContainer("patchs", nullptr);
    addNameValue(ctx, container, "patch", name, value);
}

//   Product ID..........: TRLM
//   Product Version.....: 8.7.3
//   Product Description.: Trellium Directory 8.7.3
void parseInstalledProducts(ImportContext& ctx) {
    if (!ctx.splitNameValue()) return;
    const ParseState& st = ctx.state;
    xml::Node container = ctx.blockContainer("products", "products");
    PropertySectionState& ps = ctx.properties;
    const char* child = childFor(
        st.name,
        {{"Product ID", "id"}, {"Product Version", "version"}, {"Product Description", "description"}});
    if (st.name == "Product ID" || !ps.currentProduct) ps.currentProduct = ctx.add(container, "product");
    addRecordLine(ctx, ps.currentProduct, child, st.name, st.value);
}

//   Class Name..........: com.quarrix.admin.RemoteAdmin
//   Class ID............: 512
//   Class State.........: Running
void parseJavaProcesses(ImportContext& ctx) {
    if (!ctx.splitNameValue()) return;
    const ParseState& st = ctx.state;
    xml::Node container = ctx.blockContainer("java-processes", "products");
    PropertySectionState& ps = ctx.properties;
    const char* child =
        childFor(st.name, {{"Class Name", "name"}, {"Class ID", "id"}, {"Class State", "state"}});
    if (st.name == "Class Name" || !ps.currentJavaProcess) {
        ps.currentJavaProcess = ctx.add(container, "java-process");
    }
    addRecordLine(ctx, ps.currentJavaProcess, child, st.name, st.value);
}

}  // namespace qx::import
