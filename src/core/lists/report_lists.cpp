#include "lists/report_lists.hpp"

#include "analysis/records.hpp"
#include "lists/report_keys.hpp"
#include "lists/server_report.hpp"
#include "lists/server_report_builder.hpp"
#include "util/text.hpp"

#include <algorithm>
#include <array>

namespace qx::lists {

using detail::RowWriter;

namespace detail {

std::vector<analysis::Finding> recordedFindings(const CQXConfigDoc2& doc,
                                                std::optional<analysis::FindingKind> kind) {
    std::vector<analysis::Finding> out;
    for (auto& f : analysis::findings(doc)) {
        if (f.kind == analysis::FindingKind::Product || !f.record || (kind && f.kind != *kind)) continue;
        out.push_back(std::move(f));
    }
    std::stable_sort(out.begin(), out.end(), [](const analysis::Finding& a, const analysis::Finding& b) {
        return a.recordIndex < b.recordIndex;
    });
    return out;
}

ListModel productList(const CQXConfigDoc2& doc, const Application& app, std::string_view kind);
ListModel moduleUpdateList(const CQXConfigDoc2& doc, const Application& app);
ListModel summaryList(const CQXConfigDoc2& doc, const Application& app);
ListModel filterList(const CQXConfigDoc2& doc, const Application& app, xml::Node filter,
                     const std::vector<const CQXConfigDoc2*>& docs);
}  // namespace detail

namespace {

ListModel withColumns(const Application& app, std::initializer_list<std::string_view> keys) {
    ListModel m;
    for (auto k : keys) m.addColumn(app.label(k));
    return m;
}

ListModel interruptList(const CQXConfigDoc2& doc, const Application& app) {
    ListModel m = withColumns(
        app, {"DevicesDriver", "IntIrq", "Slot", "NodeAddress", "MediaType", "BoardNumber", "BoardInstance"});
    for (auto& e : detail::interruptEntries(doc)) {
        const bool lan = std::string_view(e.node.name()) == "lan";
        std::vector<std::string> cells{e.name};
        if (lan) {
            cells.insert(cells.end(), e.values.begin(), e.values.end());
        } else {
            cells.push_back(e.values[0] + "," + e.values[1]);
            cells.push_back(e.values[2]);
        }
        m.addRow(iconOfKey(lan ? "lan" : "device"), std::move(cells), e.node);
    }
    return m;
}

ListModel volumeList(const CQXConfigDoc2& doc, const Application& app) {
    ListModel m = withColumns(
        app, {"name", "FreeDiskSpace", "VolumeSize", "PurgableBlocks", "TotalBlocks", "Description"});
    for (xml::Node v : detail::shownVolumes(doc)) {
        auto f = detail::volumeFigures(v);
        m.addRow(f.icon,
                 {f.name, f.freePercent, f.size, f.purgableBlocksPercent, f.totalBlocks, f.nameSpaces}, v);
    }
    return m;
}

ListModel recordList(const CQXConfigDoc2& doc, const Application& app, std::string_view container,
                     std::string_view key, std::initializer_list<std::string_view> columns,
                     std::initializer_list<std::string_view> fields) {
    ListModel m = withColumns(app, columns);
    for (xml::Node rec : xml::select(doc.report().documentNode(), std::string(container) + "/property")) {
        std::vector<std::string> cells;
        for (auto f : fields) cells.push_back(field(rec, f));
        m.addRow(iconOfKey(key), std::move(cells), rec);
    }
    return m;
}

ListModel zrdList(const CQXConfigDoc2& doc, const Application& app) {
    ListModel m = withColumns(app, {"name", "value", "type"});
    RowWriter w(m, app);
    for (const char* module : {"DIRCORE.QXK", "DIRFIX.QXK", "ZLDAP.QXK", "DIRBOOT.QXK"}) {
        w.row("modules", {module, detail::firstModuleVersion(doc, module)});
    }
    for (const char* product : {"TRLM", "ZRD8"})
        w.row("product", {product, doc.valueByName("product", product)});
    detail::writeDirectoryRows(w, doc);
    return m;
}

ListModel setParamList(const CQXConfigDoc2& doc, const Application& app) {
    ListModel m = withColumns(app, {"name", "condition", "value", "status", "kdn"});
    static constexpr std::array<const char*, 3> kStatus{"notrequired", "recommended", "required"};
    for (const auto& f : detail::recordedFindings(doc, analysis::FindingKind::SetParameter)) {
        const int req = static_cast<int>(text::leadingInteger(f.requirement));
        const std::string status =
            req >= 0 && req <= 2 ? app.label(kStatus[static_cast<std::size_t>(req)]) : "";
        m.addRow(icon::kExclamationGrey + req, {f.name, f.condition, f.value, status, f.url}, f.record);
    }
    return m;
}

// Recorded findings of one kind (every kind when none is given) with the icon of their mark.
ListModel findingList(const CQXConfigDoc2& doc, const Application& app,
                      std::optional<analysis::FindingKind> kind,
                      std::initializer_list<std::string_view> columns) {
    ListModel m = withColumns(app, columns);
    auto cell = [](const analysis::Finding& f, std::string_view column) -> const std::string& {
        if (column == "types") return f.path;
        if (column == "rules") return f.rulePath;
        if (column == "name") return f.name;
        if (column == "condition") return f.condition;
        return f.value;
    };
    for (const auto& f : detail::recordedFindings(doc, kind)) {
        std::vector<std::string> cells;
        for (auto c : columns) cells.push_back(cell(f, c));
        m.addRow(markIcon(f.mark), std::move(cells), f.record);
    }
    return m;
}

}  // namespace

std::string rulePath(xml::Node ruleNode) {
    return analysis::rulePath(ruleNode);
}

xml::Node findReportNode(const CQXConfigDoc2& doc, std::string_view name) {
    xml::Node root = doc.report().root();
    if (name == "report" || name.empty()) return root;
    if (text::startsWith(name, "filter:")) {
        return xml::selectFirst(doc.report().documentNode(),
                                "filtergroup/filter[@name='" + xml::escapeLiteral(name.substr(7)) + "']");
    }
    return root ? root.child(std::string(name).c_str()) : xml::Node();
}

ListModel buildReportList(const CQXConfigDoc2& doc, const Application& app, xml::Node node,
                          const std::vector<const CQXConfigDoc2*>& documents) {
    const std::string_view n = node.name();
    if (n == "report") return buildServerReport(doc, app);
    if (n == "interrupts") return interruptList(doc, app);
    if (n == "volumes") return volumeList(doc, app);
    if (n == "abend") {
        return recordList(doc, app, "abend", "abendline",
                          {"date", "abend", "atcodestart", "Runningprocess", "threadownedbyQXK"},
                          {"date", "abend", "atcodestart", "Runningprocess", "ThreadOwnedbyQXK"});
    }
    if (n == "java") return recordList(doc, app, "java", "info", {"line"}, {"line"});
    if (n == "lans") {
        return recordList(doc, app, "lans", "lans",
                          {"name", "lan/qxk", "protocol", "address", "mask", "gate", "hostname", "hostalias"},
                          {"lan", "qxk", "protocol", "address", "mask", "gate", "hostname", "hostalias"});
    }
    if (n == "check" || n == "suggestion" || n == "patches") return detail::productList(doc, app, n);
    if (n == "zrd") return zrdList(doc, app);
    if (n == "summary") return detail::summaryList(doc, app);
    if (n == "filter") return detail::filterList(doc, app, node, documents);
    if (n == "modules") return detail::moduleUpdateList(doc, app);
    if (n == "setparams") return setParamList(doc, app);
    if (n == "devices") {
        return findingList(doc, app, analysis::FindingKind::Device,
                           {"types", "rules", "name", "condition", "value"});
    }
    if (n == "serverparams") {
        return findingList(doc, app, analysis::FindingKind::ServerParameter,
                           {"name", "condition", "value", "rules", "types"});
    }
    if (n == "details") return findingList(doc, app, {}, {"types", "rules", "name", "condition", "value"});
    return {};
}

}  // namespace qx::lists
