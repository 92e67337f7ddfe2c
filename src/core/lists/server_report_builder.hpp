#pragma once
// Shared by the files that build the server report and the Report-page lists.

#include "app/application.hpp"
#include "document/config_doc.hpp"
#include "lists/list_model.hpp"

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace qx::lists::detail {

/// Appends rows to a list, resolving keys to icons and messages to existing entries.
class RowWriter {
public:
    RowWriter(ListModel& model, const Application& app) : m_model(model), m_app(app) {}

    /// A row with the icon of `key`.
    ListRow& row(std::string_view key, std::vector<std::string> cells, xml::Node node = {});
    /// A row with an icon index given directly.
    ListRow& rowIcon(int icon, std::vector<std::string> cells, xml::Node node = {});
    /// Attaches a message when the localisation table has an entry for it.
    void message(ListRow& r, std::string_view key) const;
    /// Separator row (key "space").
    void space();

    [[nodiscard]] const Application& app() const { return m_app; }
    [[nodiscard]] ListModel& model() { return m_model; }
    [[nodiscard]] std::string label(std::string_view key) const { return m_app.label(key); }

private:
    ListModel& m_model;
    const Application& m_app;
};

/// Server parameter read under each spelling, values joined (only one is ever present).
std::string serverParam(const CQXConfigDoc2& doc, std::initializer_list<std::string_view> names);
/// Integer read of a value text with units "MBytes"/"MByte" removed.
long long megabytes(std::string_view valueText);
/// Properties of a volume, lan or device by name: first value of each name.
std::string propertyValue(xml::Node item, std::string_view name);
/// Volumes the lists show (all but "KFS_ADMIN" and "_ADMIN").
std::vector<xml::Node> shownVolumes(const CQXConfigDoc2& doc);

/// Rows of the server report from the interrupts on: interrupts, module memory, volumes, LANs.
void writeInterruptRows(RowWriter& w, const CQXConfigDoc2& doc);
void writeModuleMemoryRows(RowWriter& w, const CQXConfigDoc2& doc);
void writeVolumeRows(RowWriter& w, const CQXConfigDoc2& doc);
void writeLanRows(RowWriter& w, const CQXConfigDoc2& doc);

/// Interrupt rows with the driver/board name first (the `interrupts` node's layout) or the
/// interrupt first (the server report's layout, where equal first cells mark a conflict).
struct InterruptEntry {
    std::string name;
    std::vector<std::string> values;  // interrupt/IRQ, then the others
    xml::Node node;
};
std::vector<InterruptEntry> interruptEntries(const CQXConfigDoc2& doc);

/// Computed figures of one volume.
struct VolumeFigures {
    std::string name;
    std::string size, free, totalBlocks, freeBlocks, purgableBlocks, purgableSpace, nameSpaces;
    std::string freePercent, purgablePercent, freeBlocksPercent, purgableBlocksPercent;
    int icon = iconOfKey("volume");
    xml::Node node;
};
VolumeFigures volumeFigures(xml::Node volume);

/// Version of the first loaded module of that name (empty when absent).
std::string firstModuleVersion(const CQXConfigDoc2& doc, std::string_view name);

/// Directory-service figures shared by the server report and the `zrd` node.
void writeDirectoryRows(RowWriter& w, const CQXConfigDoc2& doc);

}  // namespace qx::lists::detail
