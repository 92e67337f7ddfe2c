#include "outputs/fleet_page.hpp"

#include "outputs/html_page.hpp"

#include <algorithm>
#include <cstring>
#include <map>
#include <numeric>

namespace qx::outputs {

namespace {

using analysis::FindingKind;
using analysis::Mark;

// The parameters the page compares across servers, by their element in the tree.
constexpr std::array<std::pair<const char*, FindingKind>, 2> kComparedValues = {
    {{"set-param", FindingKind::SetParameter}, {"serverparam", FindingKind::ServerParameter}}};

// Past this many servers, a list of names folds away behind its count.
constexpr std::size_t kNamesShown = 12;

std::string serverLink(const FleetServer& s) {
    if (s.page.empty()) return htmlEscape(s.server);
    return "<a href=\"" + htmlEscape(s.page) + "\">" + htmlEscape(s.server) + "</a>";
}

std::string namesList(const std::vector<FleetServer>& servers, const std::vector<std::size_t>& which) {
    std::string names;
    for (std::size_t i : which) names += (names.empty() ? "" : ", ") + serverLink(servers[i]);
    if (which.size() <= kNamesShown) return names;
    return "<details><summary>" + std::to_string(which.size()) + "</summary>" + names + "</details>";
}

std::string areaCell(const MarkCounts& c) {
    std::string out;
    if (c.of(Mark::Bad))
        out += "<span class=\"num-bad\">" + std::to_string(c.of(Mark::Bad)) + "&#x2717;</span> ";
    if (c.of(Mark::Error))
        out += "<span class=\"num-bad\">" + std::to_string(c.of(Mark::Error)) + "!</span> ";
    out += "<span class=\"num-good\">" + std::to_string(c.of(Mark::Good)) + "&#x2713;</span>";
    if (c.of(Mark::Information)) out += " <small>" + std::to_string(c.of(Mark::Information)) + "i</small>";
    if (c.of(Mark::NotChecked)) out += " <small>" + std::to_string(c.of(Mark::NotChecked)) + "?</small>";
    return out;
}

std::string kindLabel(const Application& app, FindingKind k) {
    return app.label(analysis::namesOf(k).list);
}

void serverTable(std::string& out, const std::vector<FleetServer>& servers,
                 const std::vector<std::size_t>& order,
                 const std::vector<std::vector<std::string>>& differing, const Application& app) {
    std::vector<FindingKind> areas;
    for (const auto& s : servers) {
        if (s.page.empty()) continue;
        for (const auto& [kind, counts] : s.areas) {
            if (std::find(areas.begin(), areas.end(), kind) == areas.end()) areas.push_back(kind);
        }
        break;
    }
    out += "<h2>" + htmlEscape(app.label("servers")) + "</h2>\n<p class=\"desc\">" +
           markBadge(app, Mark::Bad) + " " + htmlEscape(markLabel(app, Mark::Bad)) + " &middot; " +
           markBadge(app, Mark::Error) + " " + htmlEscape(markLabel(app, Mark::Error)) + " &middot; " +
           markBadge(app, Mark::Good) + " " + htmlEscape(markLabel(app, Mark::Good)) + " &middot; i " +
           htmlEscape(markLabel(app, Mark::Information)) + " &middot; ? " +
           htmlEscape(markLabel(app, Mark::NotChecked)) + "</p>\n";
    out += "<table class=\"fleet\"><thead><tr><th class=\"n\">#</th><th>" + htmlEscape(app.label("server")) +
           "</th><th class=\"n\">" + htmlEscape(markLabel(app, Mark::Bad)) + "</th>";
    for (FindingKind k : areas) out += "<th>" + htmlEscape(kindLabel(app, k)) + "</th>";
    out += "<th>" + htmlEscape(app.label("products")) + "</th><th>" +
           htmlEscape(labelOr(app, "differs", "Differs from the majority")) + "</th></tr></thead><tbody>\n";
    std::size_t row = 0;
    for (std::size_t i : order) {
        const FleetServer& s = servers[i];
        if (s.page.empty()) continue;
        const int bad = s.count(Mark::Bad);
        out += "<tr><td class=\"n\">" + std::to_string(++row) + "</td><td>" + serverLink(s);
        if (s.truncated)
            out += " <span class=\"mark error\" title=\"" +
                   htmlEscape(labelOr(app, "truncatedreport", "The report looks truncated")) + "\">!</span>";
        out += "</td><td class=\"n\">" +
               (bad ? "<span class=\"num-bad\">" + std::to_string(bad) + "</span>" : std::string("0")) +
               "</td>";
        for (FindingKind k : areas) {
            MarkCounts c;
            for (const auto& [kind, counts] : s.areas) {
                if (kind == k) c = counts;
            }
            out += "<td class=\"nw\">" + areaCell(c) + "</td>";
        }
        // Products with broken rules first.
        std::string products;
        for (bool brokenFirst : {true, false}) {
            for (const auto& [name, broken] : s.products) {
                if (broken != brokenFirst) continue;
                products +=
                    (products.empty() ? "" : ", ") +
                    (broken ? "<span class=\"num-bad\">" + htmlEscape(name) + "</span>" : htmlEscape(name));
            }
        }
        out += "<td><small>" + products + "</small></td><td>";
        const auto& names = differing[i];
        if (!names.empty()) {
            std::string list;
            for (const auto& n : names) list += (list.empty() ? "" : ", ") + htmlEscape(n);
            out += names.size() <= 3 ? "<small>" + list + "</small>"
                                     : "<details><summary>" + std::to_string(names.size()) +
                                           "</summary><small>" + list + "</small></details>";
        }
        out += "</td></tr>\n";
    }
    out += "</tbody></table>\n";
}

void outlierTable(std::string& out, const std::vector<FleetServer>& servers,
                  const std::vector<Outlier>& outliers, std::size_t ambiguous, const Application& app) {
    out += "<h2>" + htmlEscape(labelOr(app, "outliers", "Values that differ from the majority")) + "</h2>\n";
    if (outliers.empty()) {
        out += "<p class=\"empty\">" +
               htmlEscape(labelOr(app, "nooutliers", "Every server has the majority's values.")) + "</p>\n";
    } else {
        out += "<table><thead><tr><th>" + htmlEscape(app.label("types")) + "</th><th>" +
               htmlEscape(app.label("name")) + "</th><th>" +
               htmlEscape(labelOr(app, "majority", "Majority")) + "</th><th>" +
               htmlEscape(labelOr(app, "othervalues", "Other values")) + "</th></tr></thead><tbody>\n";
        for (const auto& o : outliers) {
            out += "<tr><td>" + htmlEscape(kindLabel(app, o.kind)) + "</td><td>" + htmlWrappable(o.name) +
                   "</td><td>" + htmlWrappable(o.majority) + " <small>(" + std::to_string(o.majorityCount) +
                   "/" + std::to_string(o.reporting) + ")</small></td><td>";
            for (const auto& [value, which] : o.others) {
                out += "<div class=\"others\"><b>" +
                       (value.empty() ? std::string("&#x2205;") : htmlWrappable(value)) +
                       "</b>: " + namesList(servers, which) + "</div>";
            }
            out += "</td></tr>\n";
        }
        out += "</tbody></table>\n";
    }
    if (ambiguous)
        out += "<p class=\"desc\">" +
               htmlEscape(labelOr(app, "nomajority", "Parameters without a clear majority value")) + ": " +
               std::to_string(ambiguous) + "</p>\n";
}

}  // namespace

int FleetServer::count(analysis::Mark m) const {
    int n = 0;
    for (const auto& [kind, c] : areas) n += c.of(m);
    return n;
}

int FleetServer::needingAttention() const {
    return count(Mark::Bad) + count(Mark::Error);
}

FleetServer fleetServer(const AnalysedReport& report, const CQXConfigDoc2& doc) {
    FleetServer s;
    s.file = report.file;
    s.server = report.server.empty() ? std::string(fileName(report.file)) : report.server;
    s.truncated = report.truncated;
    for (const auto& k : analysis::kFindingKinds) {
        if (k.kind != FindingKind::Product) s.areas.emplace_back(k.kind, countMarks(report.findings, k.kind));
    }
    for (const auto& p : report.products) {
        if (p.present) s.products.emplace_back(p.name, p.mark == Mark::Bad);
    }
    std::set<std::pair<FindingKind, std::string>> seen;
    xml::forEachElementBelow(doc.config().documentNode(), [&](xml::Node n) {
        for (const auto& [element, kind] : kComparedValues) {
            if (std::strcmp(n.name(), element) != 0) continue;
            std::string name = xml::childText(n, "name");
            if (name.empty() || !seen.emplace(kind, name).second) continue;
            s.values.push_back({kind, std::move(name), xml::childText(n, "value")});
        }
        return true;
    });
    return s;
}

std::string pageName(std::string_view server, std::string_view file, std::set<std::string>& taken) {
    std::string base;
    for (char c : server.empty() ? fileName(file) : server) {
        const bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                          c == '.' || c == '_' || c == '-';
        base += keep ? c : '_';
    }
    if (base.empty() || base.front() == '.') base.insert(0, "server");
    std::string name = base + ".html";
    for (int n = 2; name == "index.html" || !taken.insert(name).second; ++n)
        name = base + "-" + std::to_string(n) + ".html";
    return name;
}

std::vector<Outlier> findOutliers(const std::vector<FleetServer>& servers, std::size_t& ambiguous) {
    std::map<std::pair<FindingKind, std::string>, std::map<std::string, std::vector<std::size_t>>>
        byParameter;
    for (std::size_t i = 0; i < servers.size(); ++i) {
        for (const auto& v : servers[i].values) byParameter[{v.kind, v.name}][v.value].push_back(i);
    }
    ambiguous = 0;
    std::vector<Outlier> out;
    for (auto& [key, values] : byParameter) {
        std::size_t reporting = 0;
        for (const auto& [value, which] : values) reporting += which.size();
        if (reporting < 2 || values.size() < 2) continue;
        auto most = std::max_element(values.begin(), values.end(), [](const auto& a, const auto& b) {
            return a.second.size() < b.second.size();
        });
        std::size_t second = 0;
        for (const auto& [value, which] : values) {
            if (value != most->first) second = std::max(second, which.size());
        }
        if (most->second.size() * 2 <= reporting || most->second.size() < 2 * second) {
            ++ambiguous;
            continue;
        }
        Outlier o{key.first, key.second, most->first, most->second.size(), reporting, {}};
        for (auto& [value, which] : values) {
            if (value != most->first) o.others.emplace_back(value, std::move(which));
        }
        // The rarest values first: they are the likeliest mistakes.
        std::stable_sort(o.others.begin(), o.others.end(),
                         [](const auto& a, const auto& b) { return a.second.size() < b.second.size(); });
        out.push_back(std::move(o));
    }
    // The parameters few servers differ in first: they are the likeliest mistakes.
    std::stable_sort(out.begin(), out.end(), [](const Outlier& a, const Outlier& b) {
        return a.reporting - a.majorityCount < b.reporting - b.majorityCount;
    });
    return out;
}

std::string renderFleetPage(const std::vector<FleetServer>& servers, const Application& app,
                            const RunInfo& run, std::time_t generated) {
    std::vector<std::size_t> order(servers.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const int ba = servers[a].count(Mark::Bad), bb = servers[b].count(Mark::Bad);
        if (ba != bb) return ba > bb;
        const int ea = servers[a].count(Mark::Error), eb = servers[b].count(Mark::Error);
        return ea != eb ? ea > eb : servers[a].server < servers[b].server;
    });
    std::size_t opened = 0, withAttention = 0, truncated = 0;
    int attention = 0;
    for (const auto& s : servers) {
        if (s.page.empty()) continue;
        ++opened;
        attention += s.needingAttention();
        withAttention += s.needingAttention() > 0;
        truncated += s.truncated;
    }
    std::size_t ambiguous = 0;
    const std::vector<Outlier> outliers = findOutliers(servers, ambiguous);
    std::vector<std::vector<std::string>> differing(servers.size());
    for (const auto& o : outliers) {
        for (const auto& [value, which] : o.others) {
            for (std::size_t i : which) differing[i].push_back(o.name);
        }
    }

    const std::string title = app.label("servers");
    std::string out = pageStart(app, "QXConfig \xE2\x80\x93 " + title);
    out += "<header><h1>" + htmlEscape(title) + ": " + std::to_string(opened) +
           "</h1>\n<div class=\"meta\"><span>" + htmlEscape(labelOr(app, "generated", "Generated")) + ": " +
           isoLocalTime(generated) + "</span>";
    if (!run.ruleBaseDate.empty())
        out += "<span>" + htmlEscape(labelOr(app, "rulebase", "Rule base")) + ": " +
               htmlEscape(dateWithIso(run.ruleBaseDate)) + "</span>";
    out += "<span>QXConfig " + htmlEscape(run.version) + "</span></div></header>\n";
    out += "<section class=\"verdict " + std::string(attention ? "bad" : "good") + "\"><h2>" +
           htmlEscape(labelOr(app, "verdict", "Verdict")) + "</h2>\n";
    if (attention) {
        out += "<p class=\"headline\">" +
               htmlEscape(labelOr(app, "verdictbad", "Findings that need attention")) + ": " +
               std::to_string(attention) + "</p>\n<p>" + htmlEscape(app.label("servers")) + ": " +
               std::to_string(withAttention) + " / " + std::to_string(opened) + "</p>\n";
    } else {
        out += "<p class=\"headline\">" +
               htmlEscape(labelOr(app, "verdictgood", "Every rule holds: nothing needs attention.")) +
               "</p>\n";
    }
    if (truncated)
        out += "<p>" + htmlEscape(labelOr(app, "truncatedreport", "The report looks truncated")) + ": " +
               std::to_string(truncated) + "</p>\n";
    if (opened < servers.size())
        out += "<p>" + htmlEscape(labelOr(app, "unreadable", "Reports that could not be read")) + ": " +
               std::to_string(servers.size() - opened) + "</p>\n";
    out += "</section>\n";
    serverTable(out, servers, order, differing, app);
    outlierTable(out, servers, outliers, ambiguous, app);
    if (opened < servers.size()) {
        out += "<h2>" + htmlEscape(labelOr(app, "unreadable", "Reports that could not be read")) +
               "</h2>\n<table><thead><tr><th>" + htmlEscape(app.label("file")) + "</th><th>" +
               htmlEscape(labelOr(app, "error", "Error")) + "</th></tr></thead><tbody>\n";
        for (const auto& s : servers) {
            if (s.page.empty())
                out +=
                    "<tr><td>" + htmlWrappable(s.file) + "</td><td>" + htmlEscape(s.error) + "</td></tr>\n";
        }
        out += "</tbody></table>\n";
    }
    out += "<footer>QXConfig " + htmlEscape(run.version);
    if (!run.ruleBaseSha256.empty())
        out += " &middot; SHA-256 " + htmlEscape(run.ruleBaseSha256.substr(0, 16));
    out += "</footer>\n";
    out += pageEnd();
    return out;
}

}  // namespace qx::outputs
