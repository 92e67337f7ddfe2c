// The directory-service listing: tree, server and version, file groups, and partitions with
// their replicas. A line whose parent is missing (listed out of order) gets that parent made.
#include "import/section_parsers.hpp"
#include "util/text.hpp"

namespace qx::import {

namespace {

struct ZrdTarget {
    ImportContext& ctx;
    xml::Node container;

    PropertySectionState& ps() { return ctx.properties; }

    xml::Node record() {
        if (!ps().zrdRecord) ps().zrdRecord = container;
        return ps().zrdRecord;
    }
    // Replica lines before any record go to a replica of their own.
    xml::Node replicaRecord() {
        if (!ps().zrdRecord) ps().zrdRecord = ImportContext::add(partition(), "replica");
        return ps().zrdRecord;
    }
    // File groups and partitions come as a pair, as the tree-name line makes them.
    void ensureGroups() {
        if (ps().fileGroups && ps().partitions) return;
        ps().fileGroups = ImportContext::add(container, "file-groups");
        ps().partitions = ImportContext::add(container, "partitions");
    }
    xml::Node fileGroups() {
        ensureGroups();
        return ps().fileGroups;
    }
    xml::Node partitions() {
        ensureGroups();
        return ps().partitions;
    }
    xml::Node newPartition(std::string_view name) {
        ps().partition = ImportContext::add(partitions(), "partition");
        ImportContext::addText(ps().partition, "name", name);
        ImportContext::setAttr(ps().partition, "name", name);
        return ps().partition;
    }
    xml::Node partition() { return ps().partition ? ps().partition : newPartition(""); }
};

void addFileGroup(xml::Node groups, std::string_view pattern, std::string_view value) {
    xml::Node group = ImportContext::add(groups, "file-group");
    ImportContext::addText(group, "pattern", pattern);
    const auto blank = value.find(' ');
    ImportContext::addText(group, "count",
                           blank == std::string_view::npos ? std::string_view() : value.substr(0, blank));
    ImportContext::addText(group, "size", blank == std::string_view::npos ? value : value.substr(blank + 1));
}

}  // namespace

// Lines keep their leading blanks; names select the record, anything else is a file group:
//   ZRD Tree Name.........: ACME_TREE
//     *.OLD...............: 12 104857
//     Partition Name......: OU=SALES.O=ACME
//       Replica on Server.: CN=FS1.O=ACME
void parseDirectoryService(ImportContext& ctx) {
    if (!ctx.splitNameValue()) return;
    const std::string& name = ctx.state.name;
    const std::string& value = ctx.state.value;
    ZrdTarget z{ctx, ctx.blockContainer("zrd", "zrd")};
    PropertySectionState& ps = ctx.properties;
    if (name == "ZRD Tree Name") {
        ps.zrdRecord = z.container;
        ImportContext::addText(z.container, "tree-name", value);
        // Groups that lines listed before the tree name made in this container are kept.
        if (ps.fileGroups.parent() != z.container || ps.partitions.parent() != z.container) {
            ps.fileGroups = ImportContext::add(z.container, "file-groups");
            ps.partitions = ImportContext::add(z.container, "partitions");
        }
    } else if (name == "ZRD Server Name") {
        ImportContext::addText(z.record(), "server-name", value);
    } else if (name == "ZRD Version") {
        ImportContext::addText(z.record(), "version", value);
    } else if (name == "Partition Name") {
        z.newPartition(value);
    } else if (name == "Partition Type") {
        ImportContext::addText(z.partition(), "type", value);
    } else if (name == "Partition State") {
        ImportContext::addText(z.partition(), "state", value);
    } else if (name == "Replica on Server") {
        ps.zrdRecord = ImportContext::add(z.partition(), "replica");
        ImportContext::addText(ps.zrdRecord, "server", value);
    } else if (name == "Replica Type") {
        ImportContext::addText(z.replicaRecord(), "type", value);
    } else if (name == "Replica State") {
        ImportContext::addText(z.replicaRecord(), "state", value);
    } else if (name == "Replica Number") {
        ImportContext::addText(z.replicaRecord(), "number", value);
    } else {
        addFileGroup(z.fileGroups(), name, value);
    }
}

}  // namespace qx::import
