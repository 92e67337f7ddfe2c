#include "lists/report_html.hpp"

#include "analysis/findings.hpp"
#include "lists/report_keys.hpp"
#include "lists/report_lists.hpp"
#include "lists/server_report.hpp"
#include "util/text.hpp"

#include <array>
#include <vector>

namespace qx::lists {

namespace {

struct IconLook {
    int icon;
    const char* symbol;
    const char* cssClass;
    const char* title;
};

// How list icons are drawn: the marks get coloured symbols, item pictures a quiet dot.
const std::vector<IconLook>& iconLooks() {
    using analysis::Mark;
    static const std::vector<IconLook> looks = {
        {markIcon(Mark::Information), "i", "info", ""},
        {markIcon(Mark::NotChecked), "?", "unchecked", ""},
        {markIcon(Mark::Bad), "&#x2717;", "bad", ""},
        {markIcon(Mark::Good), "&#x2713;", "good", ""},
        {markIcon(Mark::Remark), "R", "remark", ""},
        {markIcon(Mark::Command), "&gt;", "command", ""},
        {markIcon(Mark::Error), "e", "bad", ""},
        {icon::kEqual, "=", "good", "Equal"},
        {icon::kNotEqual, "&#x2260;", "bad", "Not equal"},
        {iconOfKey("exclamation-grey"), "!", "grey", "Not required"},
        {iconOfKey("exclamation-blue"), "!", "blue", "Recommended"},
        {iconOfKey("exclamation-teal"), "!", "teal", "Recommended"},
        {iconOfKey("exclamation-red"), "!", "bad", "Required"},
        {iconOfKey("partitionbad"), "&#x2717;", "bad", "Partition needs attention"},
        {iconOfKey("bad2"), "&#x2717;", "bad", "Shared interrupt"},
        {iconOfKey("space"), "", "space", ""},
    };
    return looks;
}

std::string markHtml(int iconIndex) {
    IconLook look{iconIndex, "&#x2022;", "item", ""};
    for (const IconLook& l : iconLooks()) {
        if (l.icon == iconIndex) look = l;
    }
    if (std::string_view(look.cssClass) == "space") return "";
    // A mark's title is its name.
    const auto mark = markOfIcon(iconIndex);
    const std::string title = mark ? std::string(analysis::markName(*mark)) : std::string(look.title);
    return std::string("<span class=\"mark ") + look.cssClass + "\" title=\"" + title + "\">" + look.symbol +
           "</span>";
}

constexpr const char* kStyle = R"(
:root{--ink:#1d2733;--muted:#5b6775;--line:#d8dee6;--band:#f3f6f9;--accent:#1f4e79}
*{box-sizing:border-box}
body{font:13px/1.45 "Segoe UI","DejaVu Sans",Helvetica,Arial,sans-serif;color:var(--ink);margin:0;background:#fff}
.page{max-width:1100px;margin:0 auto;padding:28px 32px}
header{border-bottom:3px solid var(--accent);padding-bottom:12px;margin-bottom:18px}
h1{font-size:22px;margin:0 0 4px;color:var(--accent)}
h2{font-size:16px;margin:26px 0 8px;color:var(--accent);border-bottom:1px solid var(--line);padding-bottom:4px}
h3{font-size:14px;margin:16px 0 6px}
.meta{color:var(--muted);font-size:12px}
.meta span{margin-right:18px}
table{border-collapse:collapse;width:100%;margin:4px 0 8px;table-layout:auto}
th,td{text-align:left;vertical-align:top;padding:4px 8px;border-bottom:1px solid var(--line);word-break:break-word}
th{background:var(--band);font-weight:600;font-size:12px;color:var(--muted);word-break:keep-all;overflow-wrap:normal}
td.m{width:26px;text-align:center;padding-left:4px;padding-right:4px}
tr.space td{border:none;padding:3px}
tr.head td{background:var(--band);font-weight:600;color:var(--muted);font-size:12px}
td.nw{white-space:nowrap}
table.report td{font-size:12.5px}
table.report{table-layout:fixed}
table.report td{overflow-wrap:anywhere}
table.report td.nw{white-space:normal}
.mark{display:inline-block;min-width:18px;height:18px;line-height:18px;border-radius:9px;font-weight:700;font-size:12px;text-align:center;color:#fff}
.mark.good{background:#2e7d32}.mark.bad{background:#c62828}.mark.info{background:#1565c0}
.mark.unchecked{background:#ef8f00}.mark.remark{background:#6a1b9a}.mark.command{background:#37474f}
.mark.grey{background:#8d99a6}.mark.blue{background:#1e88e5}.mark.teal{background:#00897b}
.mark.item{color:#8d99a6;background:none}
.msg{color:var(--muted);font-size:12px;margin-top:2px}
.cards{display:flex;gap:10px;flex-wrap:wrap;margin:8px 0}
.card{border:1px solid var(--line);border-radius:6px;padding:8px 12px;min-width:140px}
.card b{display:block;font-size:12px;color:var(--muted);font-weight:600}
.card .n{font-size:18px}
.card .n .g{color:#2e7d32}.card .n .b{color:#c62828}
.legend{font-size:12px;color:var(--muted)}
.legend .mark{margin:0 4px 0 12px}
.empty{color:var(--muted);font-style:italic}
footer{margin-top:30px;color:var(--muted);font-size:11px;border-top:1px solid var(--line);padding-top:8px}
@page{size:A4;margin:14mm 12mm}
@media print{
 body{font-size:10.5px}
 .page{max-width:none;padding:0}
 *{-webkit-print-color-adjust:exact;print-color-adjust:exact}
 tr,.card{break-inside:avoid;page-break-inside:avoid}
 h2,h3{break-after:avoid;page-break-after:avoid}
 thead{display:table-header-group}
}
)";

std::string cellsHtml(const ListRow& r, std::size_t columns) {
    std::string out;
    for (std::size_t i = 0; i < columns; ++i) {
        const std::string cell = i < r.cells.size() ? r.cells[i] : std::string();
        // Short values (figures, dates, percentages) stay on one line; long texts wrap.
        out += cell.size() <= 14 ? "<td class=\"nw\">" : "<td>";
        // Joined values may break after their commas rather than inside a word.
        out += text::replaceAll(htmlEscape(cell), ",", ",<wbr>") + "</td>";
    }
    return out;
}

// Rows that open a block of the server report (products, SET parameters, abends, memory).
bool isBlockHeader(const ListRow& r, const Application& app) {
    const int i = r.icon;
    if (i == iconOfKey("products") || i == iconOfKey("setparams") || i == iconOfKey("abend")) return true;
    return i == iconOfKey("modules") && r.cells.size() == 1 && r.cells[0] == app.label("allocatedmemory");
}

void serverReportSection(std::string& out, const CQXConfigDoc2& doc, const Application& app) {
    const ListModel m = buildServerReport(doc, app);
    // Show only the columns some row uses, so the table fits a page.
    std::size_t used = 1;
    for (const auto& r : m.rows) {
        for (std::size_t i = r.cells.size(); i > used; --i) {
            if (!r.cells[i - 1].empty()) used = i;
        }
    }
    // Fixed layout: the caption and the first value get room, the further values share the rest.
    out +=
        "<h2 id=\"server-report\">Server report</h2>\n<table class=\"report\"><colgroup><col "
        "style=\"width:28px\">"
        "<col style=\"width:26%\"><col style=\"width:15%\">";
    for (std::size_t i = 2; i < used; ++i) out += "<col>";
    out += "</colgroup><tbody>\n";
    for (const auto& r : m.rows) {
        if (r.icon == iconOfKey("space")) {
            out += "<tr class=\"space\"><td colspan=\"" + std::to_string(used + 1) + "\"></td></tr>\n";
            continue;
        }
        std::string cells = cellsHtml(r, used);
        std::string messages;
        for (const auto& key : r.messages) {
            const std::string text = reportMessageText(app, key);
            if (!text.empty()) messages += "<div class=\"msg\">" + htmlEscape(text) + "</div>";
        }
        if (!messages.empty()) cells.insert(cells.find("</td>"), messages);
        const bool head = isBlockHeader(r, app);
        out += std::string(head ? "<tr class=\"head\">" : "<tr>") + "<td class=\"m\">" +
               (head ? "" : markHtml(r.icon)) + "</td>" + cells + "</tr>\n";
    }
    out += "</tbody></table>\n";
}

void listTable(std::string& out, const ListModel& full, const char* emptyText) {
    if (full.rows.empty()) {
        out += std::string("<p class=\"empty\">") + emptyText + "</p>\n";
        return;
    }
    // A column no row fills only takes room on paper.
    ListModel m;
    std::vector<std::size_t> kept;
    for (std::size_t c = 0; c < full.columns.size(); ++c) {
        for (const auto& r : full.rows) {
            if (c < r.cells.size() && !r.cells[c].empty()) {
                kept.push_back(c);
                m.columns.push_back(full.columns[c]);
                break;
            }
        }
    }
    for (const auto& r : full.rows) {
        ListRow row{r.icon, {}, {}, {}};
        for (std::size_t c : kept) row.cells.push_back(c < r.cells.size() ? r.cells[c] : std::string());
        m.rows.push_back(std::move(row));
    }
    out += "<table><thead><tr><th></th>";
    for (const auto& c : m.columns) out += "<th>" + htmlEscape(c.header) + "</th>";
    out += "</tr></thead><tbody>\n";
    for (const auto& r : m.rows) {
        out +=
            "<tr><td class=\"m\">" + markHtml(r.icon) + "</td>" + cellsHtml(r, m.columns.size()) + "</tr>\n";
    }
    out += "</tbody></table>\n";
}

// The areas of the findings, in the order of the Report page's summary, volumes included.
constexpr std::array<analysis::FindingKind, 6> kAreas = {
    analysis::FindingKind::Module,          analysis::FindingKind::SetParameter,
    analysis::FindingKind::ServerParameter, analysis::FindingKind::Lan,
    analysis::FindingKind::Device,          analysis::FindingKind::Volume};

// What the page lists of an area: every finding a rule judged (modules no rule names only
// count in the card).
bool listed(const analysis::Finding& f) {
    return !(f.kind == analysis::FindingKind::Module && f.mark == analysis::Mark::NotChecked);
}

void summarySection(std::string& out, const std::vector<analysis::Finding>& findings,
                    const Application& app) {
    out += "<div class=\"cards\">";
    for (analysis::FindingKind area : kAreas) {
        int good = 0, bad = 0, any = 0;
        for (const auto& f : findings) {
            if (f.kind != area || !listed(f)) continue;
            ++any;
            good += f.mark == analysis::Mark::Good;
            bad += f.mark == analysis::Mark::Bad;
        }
        if (any == 0) continue;
        out += "<div class=\"card\"><b>" + htmlEscape(app.label(analysis::namesOf(area).list)) +
               "</b><span class=\"n\"><span class=\"g\">" + std::to_string(good) +
               " &#x2713;</span> &nbsp; <span class=\"b\">" + std::to_string(bad) +
               " &#x2717;</span></span></div>";
    }
    out += "</div>\n";
}

void findingsSection(std::string& out, const std::vector<analysis::Finding>& findings,
                     const Application& app) {
    out += "<h2 id=\"findings\">" + htmlEscape(app.label("details")) + "</h2>\n";
    for (analysis::FindingKind area : kAreas) {
        ListModel m;
        for (const char* c : {"name", "condition", "value", "rules", "types", "line"})
            m.addColumn(app.label(c));
        for (const auto& f : findings) {
            if (f.kind != area || !listed(f)) continue;
            m.addRow(markIcon(f.mark), {f.name, f.condition, f.value, f.rulePath, f.path,
                                        f.line ? std::to_string(f.line) : std::string()});
        }
        out += "<h3>" + htmlEscape(app.label(analysis::namesOf(area).list)) + "</h3>\n";
        listTable(out, m, "No findings.");
    }
}

}  // namespace

std::string htmlEscape(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string renderReportHtml(const CQXConfigDoc2& doc, const Application& app, std::time_t generated) {
    std::string out = "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n<title>" +
                      htmlEscape(doc.title) + "</title>\n<style>" + kStyle +
                      "</style></head>\n<body><div class=\"page\">\n";
    std::tm local{};
    localtime_r(&generated, &local);
    char when[64] = {};
    std::strftime(when, sizeof when, "%Y-%m-%d %H:%M", &local);
    out += "<header><h1>" + htmlEscape(doc.serverName().empty() ? doc.title : doc.serverName()) + "</h1>\n";
    out +=
        "<div class=\"meta\"><span>" + htmlEscape(doc.title) + "</span><span>Generated " + when + "</span>";
    if (!app.ruleBaseDate().empty())
        out += "<span>Rule base of " + htmlEscape(app.ruleBaseDate()) + "</span>";
    out += "</div></header>\n";
    const std::vector<analysis::Finding> findings = analysis::findings(doc);
    summarySection(out, findings, app);
    out += "<div class=\"legend\">";
    for (analysis::Mark m : {analysis::Mark::Good, analysis::Mark::Bad, analysis::Mark::Information,
                             analysis::Mark::NotChecked}) {
        out += markHtml(markIcon(m)) + std::string(analysis::markName(m));
    }
    out += markHtml(iconOfKey("exclamation-red")) + "Required setting</div>\n";
    serverReportSection(out, doc, app);
    out += "<h2 id=\"products\">" + htmlEscape(app.label("products")) + "</h2>\n";
    ListModel products = buildReportList(doc, app, findReportNode(doc, "suggestion"));
    listTable(out, products, "No product of the rule base was found on this server.");
    findingsSection(out, findings, app);
    out += "<footer>QXConfig server report &middot; " + htmlEscape(doc.path) +
           "</footer>\n</div></body></html>\n";
    return out;
}

}  // namespace qx::lists
