#include "outputs/html_page.hpp"

#include "analysis/date_reader.hpp"
#include "outputs/mark_looks.hpp"
#include "util/text.hpp"

#include <array>

namespace qx::outputs {

namespace {

constexpr std::string_view kStyle = R"(
:root{--ink:#1d2733;--muted:#566170;--line:#d8dee6;--band:#f3f6f9;--accent:#1f4e79;--good:#2e7d32;--bad:#c62828;--info:#1565c0;--warn:#b25e00;--err:#6a1b9a}
*{box-sizing:border-box}
body{font:13px/1.45 "DejaVu Sans","Segoe UI",Helvetica,Arial,sans-serif;color:var(--ink);margin:0;background:#fff}
.page{max-width:1120px;margin:0 auto;padding:28px 32px}
header{border-bottom:3px solid var(--accent);padding-bottom:12px;margin-bottom:18px}
h1{font-size:22px;margin:0 0 4px;color:var(--accent)}
h2{font-size:16px;margin:28px 0 8px;color:var(--accent);border-bottom:1px solid var(--line);padding-bottom:4px}
h3{font-size:14px;margin:18px 0 6px}
.meta{color:var(--muted);font-size:12px;display:flex;flex-wrap:wrap;gap:4px 18px}
a{color:var(--accent)}
table{border-collapse:collapse;width:100%;margin:4px 0 10px}
th,td{text-align:left;vertical-align:top;padding:4px 8px;border-bottom:1px solid var(--line);word-break:normal;overflow-wrap:normal;hyphens:manual}
th{background:var(--band);font-weight:600;font-size:12px;color:var(--muted)}
td.m,th.m{width:30px;text-align:center;padding-left:4px;padding-right:4px}
td.n,th.n{text-align:right;white-space:nowrap}
td.nw{white-space:nowrap}
tr.sub td{background:var(--band);font-weight:600;color:var(--muted);font-size:12px}
.mark{display:inline-block;min-width:18px;height:18px;line-height:18px;border-radius:9px;font-weight:700;font-size:12px;text-align:center;color:#fff;padding:0 3px}
.mark.good{background:var(--good)}.mark.bad{background:var(--bad)}.mark.info{background:var(--info)}
.mark.unchecked{background:var(--warn)}.mark.error{background:var(--err)}.mark.remark{background:#6d4c41}.mark.command{background:#37474f}
.mark.item{color:#8d99a6;background:none}
.msg,.desc{color:var(--muted);font-size:12px;margin-top:2px}
.verdict{border-radius:8px;padding:12px 16px;margin:8px 0 14px;border:1px solid var(--line)}
.verdict.bad{border-left:8px solid var(--bad);background:#fdf3f3}
.verdict.good{border-left:8px solid var(--good);background:#f2f8f2}
.verdict .headline{font-size:17px;font-weight:700;margin:0 0 4px}
.verdict p{margin:3px 0}
.cards{display:grid;grid-template-columns:repeat(auto-fill,minmax(170px,1fr));gap:10px;margin:10px 0}
.card{border:1px solid var(--line);border-radius:6px;padding:8px 12px}
.card.bad{border-top:4px solid var(--bad)}.card.good{border-top:4px solid var(--good)}
.card h3{font-size:12px;color:var(--muted);margin:0 0 4px;font-weight:600}
.card dl{display:grid;grid-template-columns:auto 1fr;gap:1px 8px;margin:0;font-size:12px}
.card dt{font-weight:700}.card dd{margin:0}
.finding{border:1px solid var(--line);border-left:5px solid var(--bad);border-radius:4px;padding:8px 12px;margin:8px 0}
.finding.error{border-left-color:var(--err)}
.finding h3{margin:0 0 4px;font-size:14px}
.finding .kv{display:grid;grid-template-columns:max-content 1fr;gap:1px 12px;font-size:12.5px;margin:0}
.finding .kv dt{color:var(--muted)}.finding .kv dd{margin:0}
.num-bad{color:var(--bad);font-weight:700}.num-good{color:var(--good)}
.counts span{margin-right:8px;white-space:nowrap}
.empty{color:var(--muted);font-style:italic}
details summary{cursor:pointer;color:var(--accent)}
.others details{display:inline-block;vertical-align:top}
table.fleet td{font-size:12px}
footer{margin-top:30px;color:var(--muted);font-size:11px;border-top:1px solid var(--line);padding-top:8px}
@page{size:A4;margin:14mm 12mm}
@media print{
 body{font-size:10.5px}
 .page{max-width:none;padding:0}
 *{-webkit-print-color-adjust:exact;print-color-adjust:exact}
 tr,.card,.finding,.verdict{break-inside:avoid;page-break-inside:avoid}
 h2,h3{break-after:avoid;page-break-after:avoid}
 thead{display:table-header-group}
 a{color:inherit;text-decoration:none}
 details>summary{display:none}
}
)";

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

std::string htmlWrappable(std::string_view s) {
    if (s.size() <= 16) return htmlEscape(s);
    std::string out;
    out.reserve(s.size() + 32);
    for (std::size_t i = 0; i < s.size(); ++i) {
        out += htmlEscape(s.substr(i, 1));
        const char c = s[i];
        const bool separator = c == ',' || c == '/' || c == '\\' || c == '_' || c == ';' ||
                               (c == '>' && i > 0 && s[i - 1] == '-');
        if (separator && i + 1 < s.size() && s[i + 1] != ' ') out += "<wbr>";
    }
    return out;
}

std::string_view htmlLanguage(std::string_view language) {
    if (language == "hungarian") return "hu";
    if (language == "portuguese") return "pt";
    return "en";
}

std::string_view pageStyle() {
    return kStyle;
}

std::string pageStart(const Application& app, std::string_view title) {
    return "<!DOCTYPE html>\n<html lang=\"" + std::string(htmlLanguage(app.language())) +
           "\"><head><meta charset=\"utf-8\">\n<meta name=\"viewport\" "
           "content=\"width=device-width\">\n<title>" +
           htmlEscape(title) + "</title>\n<style>" + std::string(kStyle) +
           "</style></head>\n<body><div class=\"page\">\n";
}

std::string_view pageEnd() {
    return "</div></body></html>\n";
}

std::string labelOr(const Application& app, std::string_view key, std::string_view fallback) {
    std::string l = app.label(key);
    return l == key ? std::string(fallback) : l;
}

std::string markLabel(const Application& app, analysis::Mark m) {
    return labelOr(app, lookOf(m).labelKey, analysis::markName(m));
}

std::string markBadge(const Application& app, analysis::Mark m) {
    const MarkLook& l = lookOf(m);
    return "<span class=\"mark " + std::string(l.cssClass) + "\" title=\"" + htmlEscape(markLabel(app, m)) +
           "\">" + std::string(l.symbol) + "</span>";
}

std::string caption(const Application& app, std::string_view text) {
    std::string key;
    for (char c : text) {
        if (c == ' ' || c == '/' || c == '-') continue;
        key += c;
    }
    key = text::toLower(key);
    if (key.empty()) return std::string(text);
    return labelOr(app, key, text);
}

std::string dateWithIso(std::string_view text) {
    const std::string_view t = text::trimBlanks(text);
    if (t.empty()) return {};
    const auto seconds = analysis::readUsDate(t);
    if (!seconds) return std::string(t);
    // Seconds from 1900 to 1970.
    constexpr std::int64_t kTo1970 = 2208988800;
    const std::time_t unix = static_cast<std::time_t>(*seconds - kTo1970);
    std::tm tm{};
    gmtime_r(&unix, &tm);
    char buf[32];
    const bool timeOfDay = (*seconds % 86400) != 0;
    std::strftime(buf, sizeof buf, timeOfDay ? "%Y-%m-%d %H:%M:%S" : "%Y-%m-%d", &tm);
    return std::string(t) + " (" + buf + ")";
}

std::string isoLocalTime(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M", &tm);
    return buf;
}

}  // namespace qx::outputs
