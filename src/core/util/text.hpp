#pragma once
// Byte-wise text helpers for report lines. Reports are 8-bit text: every test here works on
// bytes, and only ASCII letters change case.

#include <string>
#include <string_view>
#include <vector>

namespace qx::text {

/// True when `what` occurs in `s` at a position greater than 0 (the reports' own test).
inline bool containsAfterStart(std::string_view s, std::string_view what) {
    auto pos = s.find(what);
    return pos != std::string_view::npos && pos > 0;
}
inline bool startsWith(std::string_view s, std::string_view p) {
    return s.substr(0, p.size()) == p;
}
inline bool endsWith(std::string_view s, std::string_view p) {
    return s.size() >= p.size() && s.substr(s.size() - p.size()) == p;
}

/// Leading blanks (' ') removed.
inline std::string_view trimLeftBlanks(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    return s.substr(i);
}
/// Trailing blanks (' ') removed.
inline std::string_view trimRightBlanks(std::string_view s) {
    std::size_t n = s.size();
    while (n > 0 && s[n - 1] == ' ') --n;
    return s.substr(0, n);
}
inline std::string_view trimBlanks(std::string_view s) {
    return trimRightBlanks(trimLeftBlanks(s));
}
/// Leading blanks and tabs removed.
inline std::string_view trimLeftBlanksTabs(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    return s.substr(i);
}

/// ASCII upper-casing; other bytes stay.
std::string toUpper(std::string_view s);
/// ASCII lower-casing; other bytes stay.
std::string toLower(std::string_view s);
/// Case-insensitive (ASCII) equality.
bool equalsNoCase(std::string_view a, std::string_view b);
/// Case-insensitive (ASCII) three-way comparison.
int compareNoCase(std::string_view a, std::string_view b);

/// Every occurrence of `from` replaced by `to`, left to right, non-overlapping.
std::string replaceAll(std::string_view s, std::string_view from, std::string_view to);
/// Every occurrence of the character removed.
std::string removeChar(std::string_view s, char c);

/// A cell of tab-separated output, escaped so that it stays one cell: a tab, line feed or
/// carriage return becomes "\t", "\n" or "\r"; a backslash is doubled where it would
/// otherwise start such an escape (before "\", "t", "n", "r" or an escaped character), so
/// "SYS:ETC\HOSTS" stays as it is and every cell reads back exactly; other control
/// characters become U+FFFD.
std::string tsvCell(std::string_view s);
/// Text for a terminal or a log line: tab, line feed and carriage return shown as "\t",
/// "\n" and "\r", other control characters as U+FFFD, so no text can move the cursor,
/// ring the bell or start an escape sequence.
std::string printable(std::string_view s);
/// True when the text holds a line feed or carriage return.
bool hasLineBreak(std::string_view s);

/// Words separated by runs of blanks (leading blanks ignored); tabs are not separators.
std::vector<std::string_view> splitWords(std::string_view s);

/// Leading decimal number as strtod reads it (blanks skipped, no number gives 0).
double leadingDouble(std::string_view s);
/// Leading decimal integer as atol reads it (blanks skipped, no number gives 0).
long long leadingInteger(std::string_view s);

/// At most `maxChars` characters of a UTF-8 text, cut before a lead byte so that no
/// character is split.
std::string cutUtf8(std::string_view s, std::size_t maxChars);

/// A comment line of a configuration file that rules test: after leading blanks it begins
/// with "#" or ";", or it contains "REM" in any case anywhere.
bool isCommentLine(std::string_view line);
/// The network configuration's reading: "#" and ";" start a comment only in the first
/// column, "REM" anywhere. The network analysis and the report's board look-up read LOAD
/// and BIND lines this way, as the server's loader does, so an indented "#" line still
/// counts there.
bool isFirstColumnCommentLine(std::string_view line);

}  // namespace qx::text
