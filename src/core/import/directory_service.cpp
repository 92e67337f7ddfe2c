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
        if (!ps().zrdRecord) ps().zrdRecord = ctx.add(partition(), "replica");
        return ps().zrdRecord;
    }
    // File groups and partitions come as a pair, as the tree-name line makes them.
    void ensureGroups() {
        if (ps().fileGroups && ps().partitions) return;
        ps().fileGroups = ctx.add(container, "file-groups");
        ps().partitions = ctx.add(container, "partitions");
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
        ps().partition = ctx.add(partitions(), "partition");
        ctx.addText(ps().partition, "name", name);
        ctx.setAttr(ps().partition, "name", name);
        return ps().partition;
    }
    xml::Node partition() { return ps().partition ? ps().partition : newPartition(""); }
};

void addFileGroup(ImportContext& ctx, xml::Node groups, std::string_view pattern, std::string_view value) {
    xml::Node group = ctx.add(groups, "file-group");
    ctx.addText(group, "pattern", pattern);
    const auto blank = value.find(' ');
    ctx.addText(group, "count",
                blank == std::string_view::npos ? std::string_view() : value.substr(0, blank));
    ctx.addText(group, "size", blank == std::string_view::npos ? value : value.substr(blank + 1));
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
        ctx.addText(z.container, "tree-name", value);
        // Groups that lines listed before the tree name made in this container are kept.
        if (ps.fileGroups.parent() != z.container || ps.partitions.parent() != z.container) {
            ps.fileGroups = ctx.add(z.container, "file-groups");
            ps.partitions = ctx.add(z.container, "partitions");
        }
    } else if (name == "ZRD Server Name") {
        ctx.addText(z.record(), "server-name", value);
    } else if (name == "ZRD Version") {
        ctx.addText(z.record(), "version", value);
    } else if (name == "Partition Name") {
        z.newPartition(value);
    } else if (name == "Partition Type") {
        ctx.addText(z.partition(), "type", value);
    } else if (name == "Partition State") {
        ctx.addText(z.partition(), "state", value);
    } else if (name == "Replica on Server") {
        ps.zrdRecord = ctx.add(z.partition(), "replica");
        ctx.addText(ps.zrdRecord, "server", value);
    } else if (name == "Replica Type") {
        ctx.addText(z.replicaRecord(), "type", value);
    } else if (name == "Replica State") {
        ctx.addText(z.replicaRecord(), "state", value);
    } else if (name == "Replica Number") {
        ctx.addText(z.replicaRecord(), "number", value);
    } else {
        addFileGroup(ctx, z.fileGroups(), name, value);
    }
}

}  // namespace qx::import
