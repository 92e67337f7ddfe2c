#include "lists/server_report.hpp"

#include "lists/report_keys.hpp"
#include "lists/report_lists.hpp"
#include "lists/server_report_builder.hpp"
#include "util/text.hpp"

#include <array>
#include <cstdio>
#include <ctime>

namespace qx::lists {

using detail::RowWriter;

namespace detail {

ListRow& RowWriter::row(std::string_view key, std::vector<std::string> cells, xml::Node node) {
    return rowIcon(iconOfKey(key), std::move(cells), node);
}

ListRow& RowWriter::rowIcon(int icon, std::vector<std::string> cells, xml::Node node) {
    return m_model.addRow(icon, std::move(cells), node);
}

void RowWriter::message(ListRow& r, std::string_view key) const {
    if (reportMessage(m_app, key)) r.messages.emplace_back(key);
}

void RowWriter::space() {
    row("space", {});
}

std::string serverParam(const CQXConfigDoc2& doc, std::initializer_list<std::string_view> names) {
    std::string out;
    for (auto n : names) out += doc.serverParameter(n);
    return out;
}

}  // namespace detail

namespace {

std::string fmtInt(long long v) {
    return std::to_string(v);
}

void writeHeaderRows(RowWriter& w, const CQXConfigDoc2& doc) {
    xml::Node root = doc.config().root();
    std::string caption = xml::childText(root, "creator") + " " + xml::childText(root, "command-line");
    caption = std::string(text::trimLeftBlanks(caption));
    if (!caption.empty()) w.row("configqxk", {caption, xml::childText(root, "created")});
    w.space();
    auto joinDot = [&](std::string_view a, std::initializer_list<std::string_view> b) {
        return doc.serverParameter(a) + "." + detail::serverParam(doc, b);
    };
    w.row("server",
          {"Server", joinDot("Product Version", {"Product Revision Number", "Product revision number"}),
           joinDot("OS Version", {"OS revision number", "OS Revision Number"}), doc.serverName()});
    w.row("uptime", {w.label("uptime"),
                     detail::serverParam(doc, {"Server Up Time(D:H:M:Sec)", "Server Up Time", "UpTime"})});
    w.row("memory", {"Memory", detail::serverParam(doc, {"Total Server memory", "Total Server Memory"})});
}

void writeCacheRows(RowWriter& w, const CQXConfigDoc2& doc) {
    const long long current =
        text::leadingInteger(detail::serverParam(doc, {"Current cache buffers", "Current Cache Buffers"}));
    const long long base =
        text::leadingInteger(detail::serverParam(doc, {"Original cache buffers", "Original Cache Buffers"}));
    auto& original = w.row("file-groups", {"Original Cache Buffers", fmtInt(base)});
    w.message(original, "memory");
    int icon = iconOfKey("file-groups");
    if (current >= base / 2 && static_cast<double>(base) * 0.7 > static_cast<double>(current)) {
        icon = icon::kExclamationBlue;
    } else if (current < base / 2) {
        icon = icon::kBad;
    }
    w.rowIcon(icon, {"Current Cache Buffers", fmtInt(current)});
}

void writeServerParamFindings(RowWriter& w, const std::vector<analysis::Finding>& findings) {
    for (const auto& f : findings) {
        if (f.kind != analysis::FindingKind::ServerParameter || f.mark != analysis::Mark::Bad) continue;
        const std::string caption =
            f.name + " " + f.condition + " " + f.value + " " + f.rulePath + " " + f.path;
        auto& r = w.rowIcon(markIcon(f.mark), {caption}, f.record);
        w.message(r, "errorserverparam");
    }
}

void writeProductRows(RowWriter& w, const CQXConfigDoc2& doc) {
    auto& head = w.row("products", {w.label("Product Id"), w.label("Version"), w.label("Description")});
    w.message(head, "products");
    for (xml::Node p : xml::select(doc.config().documentNode(), "products/product")) {
        auto& r = w.row(
            "productok",
            {xml::childText(p, "id"), xml::childText(p, "version"), xml::childText(p, "description")}, p);
        w.message(r, "product");
    }
}

void writeSetParamBlocks(RowWriter& w, const std::vector<analysis::Finding>& findings) {
    static constexpr std::array<std::pair<const char*, int>, 3> blocks{
        {{"setparamsrequired", 2}, {"setparamsrecommended", 1}, {"setparamsnotrequired", 0}}};
    for (const auto& [key, requirement] : blocks) {
        w.row("setparams", {w.label(key)});
        for (const auto& f : findings) {
            if (f.kind != analysis::FindingKind::SetParameter) continue;
            if (f.requirement.empty() || text::leadingInteger(f.requirement) != requirement) continue;
            auto& r = w.rowIcon(icon::kExclamationBlue + requirement, {f.name, f.value}, f.record);
            w.message(r, key);
        }
    }
}

void writeAbendRows(RowWriter& w, const CQXConfigDoc2& doc) {
    static constexpr std::array<const char*, 6> fields{
        "date", "EIP", "atcodestart", "Runningprocess", "threadownedbyQXK", "abend"};
    std::vector<std::string> head{w.label("date")};
    for (std::size_t i = 1; i < fields.size(); ++i) head.emplace_back(fields[i]);
    w.row("abend", head);
    for (xml::Node rec : xml::select(doc.report().documentNode(), "abend/property")) {
        std::vector<std::string> cells;
        for (const char* f : fields) cells.push_back(field(rec, f));
        w.row("abendline", cells, rec);
    }
}

void cutCells(ListModel& model) {
    for (auto& r : model.rows) {
        for (std::size_t i = 0; i < r.cells.size(); ++i)
            r.cells[i] = text::cutUtf8(r.cells[i], i < 3 ? 200 : 500);
        if (r.cells.size() > kServerReportColumns) r.cells.resize(kServerReportColumns);
    }
}

}  // namespace

std::string percentText(long long part, long long whole) {
    if (whole == 0) return {};
    char buf[64];
    std::snprintf(buf, sizeof buf, "%2.2f%%", static_cast<double>(part) / static_cast<double>(whole) * 100.0);
    return buf;
}

ListModel buildServerReport(const CQXConfigDoc2& doc, const Application& app) {
    ListModel model;
    for (int i = 0; i < kServerReportColumns; ++i) model.addColumn("", i < 3 ? 200 : 500);
    RowWriter w(model, app);
    const std::vector<analysis::Finding> findings = detail::recordedFindings(doc);
    writeHeaderRows(w, doc);
    writeCacheRows(w, doc);
    writeServerParamFindings(w, findings);
    w.space();
    detail::writeDirectoryRows(w, doc);
    w.row("timesync", {"Timesync active", doc.serverParameter("Timesync active")});
    w.space();
    detail::writeInterruptRows(w, doc);
    w.space();
    detail::writeModuleMemoryRows(w, doc);
    w.space();
    detail::writeVolumeRows(w, doc);
    w.space();
    detail::writeLanRows(w, doc);
    w.space();
    writeProductRows(w, doc);
    w.space();
    writeSetParamBlocks(w, findings);
    w.space();
    writeAbendRows(w, doc);
    cutCells(model);
    return model;
}

TextReport buildTextReport(const CQXConfigDoc2& doc, const Application& app, std::time_t now) {
    TextReport r;
    r.title = text::replaceAll(doc.title, "Report", app.label("report"));
    std::tm local{};
    localtime_r(&now, &local);
    char when[256] = {};
    const std::string format = app.valueLabel("reports", "1");
    if (std::strftime(when, sizeof when, format.c_str(), &local) == 0) when[0] = '\0';
    std::string line = app.valueLabel("reports", "2");
    const auto at = line.find("%s");
    if (at != std::string::npos) line.replace(at, 2, when);
    r.text = line + "\r\n";
    return r;
}

}  // namespace qx::lists
