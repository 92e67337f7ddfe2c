#include "outputs/customer_report.hpp"

#include "lists/list_icons.hpp"
#include "lists/report_keys.hpp"
#include "lists/report_lists.hpp"
#include "lists/server_report.hpp"
#include "outputs/html_page.hpp"
#include "util/text.hpp"

#include <algorithm>
#include <map>

namespace qx::outputs {

namespace {

using analysis::Finding;
using analysis::FindingKind;
using analysis::Mark;

// The areas of the findings, in the order of the Report page's summary.
std::vector<FindingKind> areas() {
    std::vector<FindingKind> out;
    for (const auto& k : analysis::kFindingKinds) {
        if (k.kind != FindingKind::Product) out.push_back(k.kind);
    }
    return out;
}

std::string areaLabel(const Application& app, FindingKind kind) {
    return app.label(analysis::namesOf(kind).list);
}

bool needsAttention(const Finding& f) {
    return f.mark == Mark::Bad || f.mark == Mark::Error;
}

// Where a rule stands in the rule base, for people: "Quarrix Server › SET Parameters".
std::string ruleWhere(const Finding& f) {
    if (!f.rule) return f.rulePath;
    std::string s;
    for (const auto& seg : f.rule->segments) s += (s.empty() ? "" : " \xE2\x80\xBA ") + seg;
    return s;
}

// The rule's explanation and its link, as a block of small print.
std::string explanation(const Finding& f, const Application& app, const RunInfo& run) {
    if (!f.rule) return {};
    std::string out;
    if (!f.rule->description.empty())
        out += "<div class=\"desc\">" + htmlEscape(f.rule->description) + "</div>";
    const std::string help = helpAddress(*f.rule, run.kdnFinderUrl);
    if (!help.empty()) {
        const std::string text = f.rule->url.empty() ? app.label("kdn") + " " + f.rule->kdn
                                                     : labelOr(app, "moreinfo", "More information");
        out += "<div class=\"desc\"><a href=\"" + htmlEscape(help) + "\">" + htmlEscape(text) + "</a></div>";
    }
    return out;
}

std::string lineText(const Finding& f) {
    return f.line ? std::string(fileName(f.file)) + ":" + std::to_string(f.line) : std::string();
}

void header(std::string& out, const CQXConfigDoc2& doc, const Application& app, const RunInfo& run,
            std::time_t generated) {
    const std::string server = doc.serverName().empty() ? doc.title : doc.serverName();
    out += "<header><h1>" + htmlEscape(server) + "</h1>\n<div class=\"meta\">";
    out += "<span>" + htmlEscape(doc.title) + "</span>";
    out += "<span>" + htmlEscape(app.label("file")) + ": " + htmlEscape(fileName(doc.path)) + "</span>";
    const xml::Node root = doc.config().root();
    const std::string created = xml::childText(root, "created");
    if (!created.empty())
        out += "<span>" + htmlEscape(labelOr(app, "reportcreated", "Report created")) + ": " +
               htmlEscape(dateWithIso(created)) + "</span>";
    out += "<span>" + htmlEscape(labelOr(app, "generated", "Generated")) + ": " + isoLocalTime(generated) +
           "</span>";
    if (!run.ruleBaseDate.empty())
        out += "<span>" + htmlEscape(labelOr(app, "rulebase", "Rule base")) + ": " +
               htmlEscape(dateWithIso(run.ruleBaseDate)) + "</span>";
    out += "</div></header>\n";
}

void verdict(std::string& out, const CQXConfigDoc2& doc, const std::vector<Finding>& findings,
             const std::vector<Finding>& products, const Application& app) {
    int attention = 0;
    std::string where;
    for (FindingKind area : areas()) {
        const int n = static_cast<int>(std::count_if(findings.begin(), findings.end(), [&](const Finding& f) {
            return f.kind == area && needsAttention(f);
        }));
        if (n == 0) continue;
        attention += n;
        where +=
            (where.empty() ? "" : ", ") + htmlEscape(areaLabel(app, area)) + " (" + std::to_string(n) + ")";
    }
    std::string broken;
    for (const auto& p : products) {
        if (p.present && p.mark == Mark::Bad) broken += (broken.empty() ? "" : ", ") + htmlEscape(p.name);
    }
    out += "<section class=\"verdict " + std::string(attention ? "bad" : "good") + "\">\n<h2>" +
           htmlEscape(labelOr(app, "verdict", "Verdict")) + "</h2>\n";
    if (attention) {
        out += "<p class=\"headline\">" +
               htmlEscape(labelOr(app, "verdictbad", "Findings that need attention")) + ": " +
               std::to_string(attention) + "</p>\n";
        out += "<p>" + htmlEscape(labelOr(app, "verdictareas", "Areas")) + ": " + where + "</p>\n";
    } else {
        out += "<p class=\"headline\">" +
               htmlEscape(labelOr(app, "verdictgood", "Every rule holds: nothing needs attention.")) +
               "</p>\n";
    }
    if (!broken.empty())
        out += "<p>" + htmlEscape(labelOr(app, "brokenproducts", "Products with broken rules")) + ": " +
               broken + "</p>\n";
    const int present = static_cast<int>(
        std::count_if(products.begin(), products.end(), [](const Finding& p) { return p.present; }));
    out += "<p>" + htmlEscape(app.label("products")) + ": " + std::to_string(present) + "</p>\n";
    if (doc.ending.known && !doc.ending.complete)
        out +=
            "<p><strong>" +
            htmlEscape(labelOr(app, "truncatedreport",
                               "The report looks truncated: the findings of its missing part are absent.")) +
            "</strong></p>\n";
    out += "</section>\n";
}

void cards(std::string& out, const std::vector<Finding>& findings, const Application& app) {
    out += "<h2>" + htmlEscape(app.label("summary")) + "</h2>\n<div class=\"cards\">\n";
    for (FindingKind area : areas()) {
        const MarkCounts c = countMarks(findings, area);
        int any = 0;
        for (Mark m : kAnalysisMarks) any += c.of(m);
        if (any == 0) continue;
        const bool bad = c.of(Mark::Bad) + c.of(Mark::Error) > 0;
        out += "<section class=\"card " + std::string(bad ? "bad" : "good") + "\"><h3>" +
               htmlEscape(areaLabel(app, area)) + "</h3><dl>";
        for (Mark m : {Mark::Good, Mark::Bad, Mark::Information, Mark::NotChecked, Mark::Error}) {
            if (m == Mark::Error && c.of(m) == 0) continue;
            const char* cls = m == Mark::Bad && c.of(m) ? " class=\"num-bad\"" : "";
            out += "<dt" + std::string(cls) + ">" + std::to_string(c.of(m)) + "</dt><dd>" +
                   markBadge(app, m) + " " + htmlEscape(markLabel(app, m)) + "</dd>";
        }
        out += "</dl></section>\n";
    }
    out += "</div>\n";
}

void attentionSection(std::string& out, const std::vector<Finding>& findings, const Application& app,
                      const RunInfo& run) {
    out += "<h2>" + htmlEscape(labelOr(app, "attention", "Needs attention")) + "</h2>\n";
    bool any = false;
    for (FindingKind area : areas()) {
        for (const auto& f : findings) {
            if (f.kind != area || !needsAttention(f)) continue;
            any = true;
            out += "<article class=\"finding" + std::string(f.mark == Mark::Error ? " error" : "") +
                   "\"><h3>" + markBadge(app, f.mark) + " " + htmlEscape(f.name) +
                   " <span class=\"desc\">&middot; " + htmlEscape(areaLabel(app, area)) +
                   "</span></h3>\n<dl class=\"kv\">";
            auto kv = [&](std::string_view key, const std::string& value, bool raw = false) {
                if (value.empty()) return;
                out += "<dt>" + htmlEscape(app.label(key)) + "</dt><dd>" +
                       (raw ? value : htmlWrappable(value)) + "</dd>";
            };
            kv("value", f.value);
            kv("condition", f.condition);
            if (f.rule) kv("description", f.rule->description);
            kv("rules", ruleWhere(f));
            kv("config", f.path);
            kv("line", lineText(f));
            if (f.rule) {
                const std::string help = helpAddress(*f.rule, run.kdnFinderUrl);
                const std::string text = f.rule->url.empty() ? f.rule->kdn : help;
                if (!help.empty())
                    kv("kdn", "<a href=\"" + htmlEscape(help) + "\">" + htmlEscape(text) + "</a>", true);
            }
            out += "</dl></article>\n";
        }
    }
    if (!any)
        out += "<p class=\"empty\">" +
               htmlEscape(labelOr(app, "verdictgood", "Every rule holds: nothing needs attention.")) +
               "</p>\n";
}

// A table head: a mark column, then the headings; the last spans the columns left over.
std::string thead(const std::vector<std::string>& headings, std::size_t columns = 0) {
    std::string out = "<thead><tr><th class=\"m\"></th>";
    for (std::size_t i = 0; i < headings.size(); ++i) {
        const std::size_t span = i + 1 == headings.size() && columns > headings.size() ? columns - i : 1;
        out += (span > 1 ? "<th colspan=\"" + std::to_string(span) + "\">" : std::string("<th>")) +
               htmlEscape(headings[i]) + "</th>";
    }
    return out + "</tr></thead>";
}

// The picture of a list row: a mark's badge, or a quiet dot for an item's picture.
std::string rowBadge(const Application& app, int icon) {
    if (const auto mark = lists::markOfIcon(icon)) return markBadge(app, *mark);
    if (icon >= lists::icon::kExclamationGrey && icon <= lists::iconOfKey("exclamation-red")) {
        static constexpr std::array<const char*, 4> kReq = {"notrequired", "recommended", "recommended",
                                                            "required"};
        const char* key = kReq[static_cast<std::size_t>(icon - lists::icon::kExclamationGrey)];
        const char* cls = icon == lists::iconOfKey("exclamation-red") ? "bad" : "info";
        return "<span class=\"mark " + std::string(cls) + "\" title=\"" + htmlEscape(app.label(key)) +
               "\">!</span>";
    }
    if (icon == lists::iconOfKey("partitionbad") || icon == lists::iconOfKey("bad2"))
        return markBadge(app, Mark::Bad);
    return "<span class=\"mark item\">&#x2022;</span>";
}

std::string rowCells(const lists::ListRow& r, std::size_t columns, const Application& app, bool captions) {
    std::string out;
    for (std::size_t i = 0; i < columns; ++i) {
        const std::string cell = i < r.cells.size() ? r.cells[i] : std::string();
        const std::string shown = captions && i == 0 ? caption(app, cell) : cell;
        out += "<td>" + htmlWrappable(shown);
        if (i == 0) {
            for (const auto& key : r.messages) {
                const std::string text = lists::reportMessageText(app, key);
                if (!text.empty()) out += "<div class=\"msg\">" + htmlEscape(text) + "</div>";
            }
        }
        out += "</td>";
    }
    return out;
}

std::size_t usedColumns(const std::vector<lists::ListRow>& rows) {
    std::size_t used = 1;
    for (const auto& r : rows) {
        for (std::size_t i = r.cells.size(); i > used; --i) {
            if (!r.cells[i - 1].empty()) used = i;
        }
    }
    return used;
}

struct BlockLook {
    std::string_view block;
    std::vector<std::string_view> headings;  // label keys; empty: the block's first row heads it
};
// Headings of the server report's blocks; a block wider than its headings shares the last.
const std::vector<BlockLook>& blockLooks() {
    static const std::vector<BlockLook> looks = {
        {"server", {"name", "value", "details"}},
        {"zrd", {"name", "value", "details"}},
        {"interrupts", {"intnumber", "devicesdriver", "values", "module"}},
        {"allocatedmemory", {"module", "allocatedmemory"}},
        {"volumes",
         {"volume", "volumesize", "freediskspace", "freepercent", "purgablepercent", "freeblockspercent",
          "purgableblockspercent", "namespace"}},
        {"lans", {"lan", "module", "protocol", "address", "mask", "gate", "hostname", "hostalias"}},
        {"products", {}},
        {"setparams", {"name", "value"}},
        {"abend", {}},
    };
    return looks;
}

void serverReportSection(std::string& out, const CQXConfigDoc2& doc, const Application& app) {
    const lists::ListModel m = lists::buildServerReport(doc, app);
    std::vector<std::vector<lists::ListRow>> blocks(1);
    for (const auto& r : m.rows) {
        if (r.icon == lists::iconOfKey("space")) {
            blocks.emplace_back();
        } else {
            blocks.back().push_back(r);
        }
    }
    out += "<h2>" + htmlEscape(labelOr(app, "serverreport", "Server report")) + "</h2>\n";
    for (std::size_t b = 0; b < blocks.size() && b < lists::kServerReportBlocks.size(); ++b) {
        const std::string_view name = lists::kServerReportBlocks[b];
        auto look = std::find_if(blockLooks().begin(), blockLooks().end(),
                                 [&](const BlockLook& l) { return l.block == name; });
        // The generator line is in the page's header.
        if (look == blockLooks().end()) continue;
        std::vector<lists::ListRow> rows = blocks[b];
        std::vector<std::string> headings;
        if (look->headings.empty()) {
            if (rows.empty()) continue;
            for (const auto& c : rows.front().cells) headings.push_back(caption(app, c));
            rows.erase(rows.begin());
        } else {
            for (auto key : look->headings) headings.push_back(app.label(key));
        }
        // The module memory block opens with a caption row of its own.
        if (name == "allocatedmemory" && !rows.empty() && rows.front().cells.size() == 1)
            rows.erase(rows.begin());
        if (rows.empty()) continue;
        const std::size_t columns = usedColumns(rows);
        while (headings.size() > columns) headings.pop_back();
        out += "<h3>" + htmlEscape(caption(app, name)) + "</h3>\n<table>" + thead(headings, columns) +
               "<tbody>\n";
        const bool captions = look->headings.size() == 3;  // rows captioned in English by the report
        for (const auto& r : rows) {
            const bool sub = name == "setparams" && r.icon == lists::iconOfKey("setparams");
            if (sub) {
                out += "<tr class=\"sub\"><td colspan=\"" + std::to_string(columns + 1) + "\">" +
                       htmlEscape(r.cells.empty() ? std::string() : r.cells[0]) + "</td></tr>\n";
                continue;
            }
            out += "<tr><td class=\"m\">" + rowBadge(app, r.icon) + "</td>" +
                   rowCells(r, columns, app, captions && !r.node) + "</tr>\n";
        }
        out += "</tbody></table>\n";
    }
}

// A Report-page list as a table with its own headings, without the columns no row fills.
void listSection(std::string& out, const lists::ListModel& full, const Application& app, const RunInfo& run,
                 std::string_view title) {
    if (full.rows.empty()) return;
    std::vector<std::size_t> kept;
    for (std::size_t c = 0; c < full.columns.size(); ++c) {
        for (const auto& r : full.rows) {
            if (c < r.cells.size() && !r.cells[c].empty()) {
                kept.push_back(c);
                break;
            }
        }
    }
    std::vector<std::string> headings;
    headings.reserve(kept.size());
    for (std::size_t c : kept) headings.push_back(full.columns[c].header);
    out += "<h2>" + htmlEscape(title) + "</h2>\n<table>" + thead(headings) + "<tbody>\n";
    for (const auto& r : full.rows) {
        out += "<tr><td class=\"m\">" + rowBadge(app, r.icon) + "</td>";
        for (std::size_t c : kept) {
            const std::string cell = c < r.cells.size() ? r.cells[c] : std::string();
            // Knowledge-base document ids open their entry.
            if (full.columns[c].header == app.label("kdn") && !cell.empty() && !run.kdnFinderUrl.empty()) {
                out += "<td><a href=\"" + htmlEscape(run.kdnFinderUrl + cell) + "\">" + htmlEscape(cell) +
                       "</a></td>";
            } else {
                out += "<td>" + htmlWrappable(cell) + "</td>";
            }
        }
        out += "</tr>\n";
    }
    out += "</tbody></table>\n";
}

void findingsSection(std::string& out, const std::vector<Finding>& findings, const Application& app,
                     const RunInfo& run) {
    out += "<h2>" + htmlEscape(labelOr(app, "allfindings", "All findings")) + "</h2>\n";
    const std::vector<std::string> headings = {app.label("name"), app.label("value"), app.label("condition"),
                                               app.label("rules"), app.label("line")};
    for (FindingKind area : areas()) {
        std::vector<const Finding*> shown;
        for (Mark m : kAnalysisMarks) {
            for (const auto& f : findings) {
                if (f.kind == area && f.mark == m) shown.push_back(&f);
            }
        }
        if (shown.empty()) continue;
        out += "<h3>" + htmlEscape(areaLabel(app, area)) + "</h3>\n<table>" + thead(headings) + "<tbody>\n";
        for (const Finding* f : shown) {
            out += "<tr><td class=\"m\">" + markBadge(app, f->mark) + "</td><td>" + htmlWrappable(f->name);
            if (!f->path.empty()) out += "<div class=\"desc\">" + htmlWrappable(f->path) + "</div>";
            out += explanation(*f, app, run) + "</td><td>" + htmlWrappable(f->value) + "</td><td>" +
                   htmlWrappable(f->condition) + "</td><td>" + htmlWrappable(ruleWhere(*f)) +
                   "</td><td class=\"n\">" + (f->line ? std::to_string(f->line) : std::string()) +
                   "</td></tr>\n";
        }
        out += "</tbody></table>\n";
    }
}

void footer(std::string& out, const CQXConfigDoc2& doc, const Application& app, const RunInfo& run) {
    out += "<footer>QXConfig " + htmlEscape(run.version) + " &middot; " + htmlEscape(fileName(doc.path));
    if (!run.ruleBaseDate.empty())
        out += " &middot; " + htmlEscape(labelOr(app, "rulebase", "Rule base")) + " " +
               htmlEscape(dateWithIso(run.ruleBaseDate));
    if (!run.ruleBaseSha256.empty())
        out += " &middot; SHA-256 " + htmlEscape(run.ruleBaseSha256.substr(0, 16));
    out += "</footer>\n";
}

}  // namespace

std::string renderCustomerReport(const CQXConfigDoc2& doc, const Application& app, const RunInfo& run,
                                 std::time_t generated) {
    const AnalysedReport r = summarise(doc);
    const std::string server = doc.serverName().empty() ? doc.title : doc.serverName();
    std::string out = pageStart(app, server + " \xE2\x80\x93 " + app.label("report"));
    header(out, doc, app, run, generated);
    verdict(out, doc, r.findings, r.products, app);
    cards(out, r.findings, app);
    attentionSection(out, r.findings, app, run);
    listSection(out, lists::buildReportList(doc, app, lists::findReportNode(doc, "suggestion")), app, run,
                app.label("products"));
    listSection(out, lists::buildReportList(doc, app, lists::findReportNode(doc, "patches")), app, run,
                app.label("patches"));
    serverReportSection(out, doc, app);
    findingsSection(out, r.findings, app, run);
    footer(out, doc, app, run);
    out += pageEnd();
    return out;
}

}  // namespace qx::outputs
