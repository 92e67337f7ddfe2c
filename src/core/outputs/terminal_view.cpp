#include "outputs/terminal_view.hpp"

#include "outputs/mark_looks.hpp"
#include "util/text.hpp"

#include <algorithm>
#include <array>
#include <tuple>

namespace qx::outputs {

namespace {

using analysis::Finding;
using analysis::Mark;

constexpr std::string_view kEllipsis = "\xE2\x80\xA6";
constexpr std::string_view kReset = "\033[0m";
constexpr std::string_view kBold = "\033[1m";

std::string_view colourOf(Mark m) {
    return lookOf(m).ansiColour;
}

std::string paint(std::string_view text, std::string_view colour, const TerminalStyle& style) {
    if (!style.colour || colour.empty()) return std::string(text);
    return std::string(colour) + std::string(text) + std::string(kReset);
}

// Byte offset of the character `chars` characters into a UTF-8 text.
std::size_t offsetOf(std::string_view s, std::size_t chars) {
    std::size_t i = 0;
    for (std::size_t n = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (n == chars) break;
            ++n;
        }
    }
    return i;
}

std::string ruleText(const Finding& f) {
    if (!f.rule) return std::string(text::trimBlanks(f.rulePath));
    std::string s;
    for (const auto& seg : f.rule->segments) s += (s.empty() ? "" : " > ") + seg;
    return s;
}

// One finding's line: its fields, shortened in turn until the line fits.
struct FindingLine {
    std::string mark, name, path, value, condition, rule;
    std::string source;  // with its lead-in, or empty

    [[nodiscard]] std::string text(bool withRule) const {
        std::string l = "  " + mark + "  " + name;
        if (!path.empty()) l += " [" + path + "]";
        l += "  value: " + value;
        if (!condition.empty()) l += "  condition: " + condition;
        if (withRule && !rule.empty()) l += "  rule: " + rule;
        l += source;
        return l;
    }

    void fit(std::size_t width) {
        auto over = [&](bool withRule) {
            const std::size_t w = displayWidth(text(withRule));
            return w > width ? w - width : 0;
        };
        if (over(true) == 0) return;
        rule.clear();
        // What gives way, in turn, and how short it may get: the path and the condition keep
        // their ends (the threshold is at the end), the texts their starts; a path that
        // still does not fit goes.
        for (auto [field, least, middle] :
             {std::tuple{&path, std::size_t{24}, true}, std::tuple{&condition, std::size_t{24}, true},
              std::tuple{&path, std::size_t{0}, true}, std::tuple{&value, std::size_t{20}, false},
              std::tuple{&name, std::size_t{24}, false}, std::tuple{&condition, std::size_t{14}, true}}) {
            const std::size_t excess = over(false);
            if (excess == 0) return;
            const std::size_t have = displayWidth(*field);
            if (have <= least) continue;
            if (least == 0) {
                field->clear();
                continue;
            }
            const std::size_t keep = std::max(least, have > excess ? have - excess : 0);
            *field = middle ? shortenMiddle(*field, keep) : shortenEnd(*field, keep);
        }
    }
};

// Every item of a report is under "Config": on a terminal the root is left out.
std::string withoutRoot(const std::string& path) {
    constexpr std::string_view kRoot = "Config->";
    return path.compare(0, kRoot.size(), kRoot) == 0 ? path.substr(kRoot.size()) : path;
}

void findingLines(std::string& out, const AnalysedReport& r, const TerminalStyle& style) {
    for (Mark m : kAnalysisMarks) {
        std::size_t count = 0;
        for (const auto& f : r.findings) count += f.mark == m;
        if (count == 0) continue;
        out += paint(std::string(analysis::markName(m)) + " (" + std::to_string(count) + "):", kBold, style) +
               "\n";
        for (const auto& f : r.findings) {
            if (f.mark != m) continue;
            FindingLine l;
            l.mark = std::string(analysis::markName(f.mark));
            l.name = text::printable(f.name);
            l.path = text::printable(style.width ? withoutRoot(f.path) : f.path);
            l.value = text::printable(f.value);
            l.condition = text::printable(std::string(text::trimBlanks(f.condition)));
            l.rule = text::printable(ruleText(f));
            if (f.line) {
                // On a terminal the file is in the heading: the line is enough.
                l.source = style.width
                               ? "  line " + std::to_string(f.line)
                               : "  source: " + text::printable(f.file) + ":" + std::to_string(f.line);
            }
            if (style.width) l.fit(style.width);
            std::string line = l.text(true);
            if (style.width && displayWidth(line) > style.width) {
                // Whatever is still too long loses its end before the report line does.
                FindingLine head = l;
                head.source.clear();
                const std::size_t source = displayWidth(l.source);
                line = source < style.width ? shortenEnd(head.text(false), style.width - source) + l.source
                                            : shortenEnd(line, style.width);
            }
            // The mark is coloured after fitting: escape sequences take no columns.
            if (style.colour && line.compare(2, l.mark.size(), l.mark) == 0)
                line.replace(2, l.mark.size(), paint(l.mark, colourOf(f.mark), style));
            out += line + "\n";
        }
    }
}

}  // namespace

std::size_t displayWidth(std::string_view s) {
    std::size_t n = 0;
    for (char c : s) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    }
    return n;
}

std::string shortenMiddle(std::string_view s, std::size_t width) {
    const std::size_t have = displayWidth(s);
    if (have <= width) return std::string(s);
    if (width <= 1) return std::string(kEllipsis.substr(0, width ? kEllipsis.size() : 0));
    const std::size_t head = (width - 1) / 2, tail = width - 1 - head;
    return std::string(s.substr(0, offsetOf(s, head))) + std::string(kEllipsis) +
           std::string(s.substr(offsetOf(s, have - tail)));
}

std::string shortenEnd(std::string_view s, std::size_t width) {
    if (displayWidth(s) <= width) return std::string(s);
    if (width == 0) return {};
    return std::string(s.substr(0, offsetOf(s, width - 1))) + std::string(kEllipsis);
}

std::string renderTerminal(const AnalysedReport& r, const TerminalStyle& style) {
    auto fitted = [&](const std::string& line) { return style.width ? shortenEnd(line, style.width) : line; };
    // A line that starts with a mark: fitted first, coloured after (escapes take no columns).
    auto marked = [&](Mark m, std::string_view word, const std::string& rest) {
        std::string line = fitted("  " + std::string(word) + rest);
        if (style.colour && line.compare(2, word.size(), word) == 0)
            line.replace(2, word.size(), paint(word, colourOf(m), style));
        return line + "\n";
    };
    std::string out;
    out += paint(fitted("File: " + text::printable(r.file)), kBold, style) + "\n";
    out += fitted("Server: " + text::printable(r.server)) + "\n";
    out += fitted("Title: " + text::printable(r.title)) + "\n";
    out += "Products present:\n";
    for (const auto& p : r.products) {
        if (!p.present) continue;
        out += marked(p.mark, p.mark == Mark::Bad ? "Bad " : "Good",
                      " " + text::printable(p.name) + " (ID " + text::printable(p.productId) + ", status " +
                          (p.mark == Mark::Bad ? "bad" : "good") + ")");
    }
    out += "Products absent:\n";
    for (const auto& p : r.products) {
        if (!p.present)
            out +=
                fitted("  " + text::printable(p.name) + " (ID " + text::printable(p.productId) + ")") + "\n";
    }
    findingLines(out, r, style);
    const MarkCounts c = countMarks(r.findings);
    // Every mark, even at 0; a narrow terminal gets them over several lines.
    std::string counts = "Counts:";
    std::size_t used = counts.size();
    for (Mark m : kAnalysisMarks) {
        const std::string item = std::to_string(c.of(m)) + " " + std::string(analysis::markName(m));
        const bool last = m == kAnalysisMarks.back();
        const std::size_t need = 1 + displayWidth(item) + (last ? 0 : 1);
        if (style.width && used + need > style.width) {
            counts += "\n ";
            used = 1;
        }
        counts += " " + paint(item, c.of(m) ? colourOf(m) : std::string_view(), style) + (last ? "" : ",");
        used += need;
    }
    out += counts + "\n\n";
    return out;
}

}  // namespace qx::outputs
