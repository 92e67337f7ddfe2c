// The text view of analyze: grouped by mark, Bad first, fitted to a terminal without losing
// the report line, plain and stable in a pipe.
#include "outputs/terminal_view.hpp"

#include <gtest/gtest.h>

#include <sstream>

namespace qx::outputs {
namespace {

using analysis::FindingKind;
using analysis::Mark;

analysis::Finding finding(Mark mark, std::string name, std::string value, std::uint32_t line) {
    analysis::Finding f;
    f.kind = FindingKind::SetParameter;
    f.mark = mark;
    f.name = std::move(name);
    f.path = "Config->SET Parameters->Directory Caching->A rather long category name";
    f.value = std::move(value);
    f.condition = "greater than or equal to 123456789";
    f.rulePath = "Quarrix Server->Quarrix Server 6.5->SET Parameters";
    f.file = "/home/someone/reports/customer with a long name/FS1-CONFIG.TXT";
    f.line = line;
    return f;
}

AnalysedReport sample() {
    AnalysedReport r;
    r.file = "/home/someone/reports/customer with a long name/FS1-CONFIG.TXT";
    r.opened = true;
    r.server = "FS1";
    r.title = "FS1 6.50 Monday, March 6, 2006";
    r.findings = {finding(Mark::Good, "Maximum Concurrent Disk Cache Writes", "750", 34),
                  finding(Mark::Bad, "Garbage Collection Interval \xC3\xA9t\xC3\xA9", "5 MIN", 30),
                  finding(Mark::NotChecked, "QXSCSI.HAM", "3.02.11 October12 2005", 62),
                  finding(Mark::Bad, "Ctrl\x1b[2Jchars", "x", 7)};
    return r;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
}

std::string withoutEscapes(std::string s) {
    for (std::size_t i; (i = s.find('\x1b')) != std::string::npos;) s.erase(i, s.find('m', i) - i + 1);
    return s;
}

TEST(TerminalView, FitsEveryLineToTheWidthAndKeepsTheReportLine) {
    for (std::size_t width : {40u, 80u, 120u}) {
        const std::string text = renderTerminal(sample(), {true, width});
        for (const auto& l : linesOf(text)) EXPECT_LE(displayWidth(withoutEscapes(l)), width) << l;
        EXPECT_NE(text.find("line 30\n"), std::string::npos) << text;
        EXPECT_NE(text.find("line 62\n"), std::string::npos) << text;
    }
}

TEST(TerminalView, GroupsByMarkBadFirstAndCountsEveryMark) {
    const std::string text = renderTerminal(sample(), {});
    const auto bad = text.find("Bad (2):"), notChecked = text.find("Not Checked (1):"),
               good = text.find("Good (1):");
    ASSERT_NE(bad, std::string::npos);
    EXPECT_LT(bad, notChecked);
    EXPECT_LT(notChecked, good);
    EXPECT_NE(text.find("Counts: 2 Bad, 0 Error, 0 Information, 1 Not Checked, 1 Good\n"), std::string::npos);
}

TEST(TerminalView, APipeGetsPlainUnfittedTextWithTheWholeSource) {
    const std::string text = renderTerminal(sample(), {});
    EXPECT_EQ(text.find('\x1b'), std::string::npos);
    EXPECT_NE(text.find("  source: /home/someone/reports/customer with a long name/FS1-CONFIG.TXT:30\n"),
              std::string::npos);
    EXPECT_NE(text.find("[Config->SET Parameters->Directory Caching->A rather long category name]"),
              std::string::npos);
    // A report's control characters never reach the terminal.
    EXPECT_EQ(renderTerminal(sample(), {true, 80}).find("\x1b[2J"), std::string::npos);
}

TEST(TerminalView, ShortensByCharactersNotBytes) {
    EXPECT_EQ(shortenMiddle("abcdefghij", 5), "ab\xE2\x80\xA6ij");
    EXPECT_EQ(shortenEnd("\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", 3), "\xC3\xA9\xC3\xA9\xE2\x80\xA6");
    EXPECT_EQ(shortenEnd("short", 10), "short");
    EXPECT_EQ(displayWidth("\xC3\xA9t\xC3\xA9"), 3u);
}

}  // namespace
}  // namespace qx::outputs
