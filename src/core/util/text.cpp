#include "util/text.hpp"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace qx::text {

namespace {
char upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}
}  // namespace

std::string toUpper(std::string_view s) {
    std::string out(s);
    for (auto& c : out) c = upper(c);
    return out;
}

std::string toLower(std::string_view s) {
    std::string out(s);
    for (auto& c : out) c = lower(c);
    return out;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (upper(a[i]) != upper(b[i])) return false;
    }
    return true;
}

int compareNoCase(std::string_view a, std::string_view b) {
    std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        auto ca = static_cast<unsigned char>(lower(a[i]));
        auto cb = static_cast<unsigned char>(lower(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

std::string replaceAll(std::string_view s, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(s);
    std::string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (true) {
        auto pos = s.find(from, i);
        if (pos == std::string_view::npos) break;
        out.append(s.substr(i, pos - i));
        out.append(to);
        i = pos + from.size();
    }
    out.append(s.substr(i));
    return out;
}

std::string removeChar(std::string_view s, char c) {
    std::string out;
    out.reserve(s.size());
    for (char x : s) {
        if (x != c) out += x;
    }
    return out;
}

std::vector<std::string_view> splitWords(std::string_view s) {
    std::vector<std::string_view> out;
    out.reserve(8);  // report lines have a few words: one allocation, not four
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && s[i] == ' ') ++i;
        if (i >= s.size()) break;
        std::size_t start = i;
        while (i < s.size() && s[i] != ' ') ++i;
        out.push_back(s.substr(start, i - start));
    }
    return out;
}

double leadingDouble(std::string_view s) {
    // strtod needs a terminated buffer; copy at most what a number can use.
    std::size_t i = 0;
    while (i < s.size() && isSpace(s[i])) ++i;
    std::size_t end = i;
    while (end < s.size() && end - i < 400 &&
           (std::isdigit(static_cast<unsigned char>(s[end])) || s[end] == '.' || s[end] == '+' ||
            s[end] == '-' || s[end] == 'e' || s[end] == 'E')) {
        ++end;
    }
    std::string buf(s.substr(i, end - i));
    const char* p = buf.c_str();
    // Only decimal forms: strtod would also read "inf", "nan" and hex, which atof-style
    // number reading of report values never meant.
    return std::strtod(p, nullptr);
}

long long leadingInteger(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && isSpace(s[i])) ++i;
    bool neg = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        neg = s[i] == '-';
        ++i;
    }
    long long v = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
        if (v < 100000000000000000LL) v = v * 10 + (s[i] - '0');
        ++i;
    }
    return neg ? -v : v;
}

std::string cutUtf8(std::string_view s, std::size_t maxChars) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) continue;
        if (chars == maxChars) return std::string(s.substr(0, i));
        ++chars;
    }
    return std::string(s);
}

namespace {

bool containsRem(std::string_view line) {
    return toUpper(line).find("REM") != std::string::npos;
}

}  // namespace

bool isCommentLine(std::string_view line) {
    const std::string_view t = trimLeftBlanks(line);
    if (!t.empty() && (t.front() == '#' || t.front() == ';')) return true;
    return containsRem(t);
}

bool isFirstColumnCommentLine(std::string_view line) {
    if (!line.empty() && (line.front() == '#' || line.front() == ';')) return true;
    return containsRem(line);
}

namespace {
constexpr const char* kReplacementUtf8 = "\xEF\xBF\xBD";

bool isControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

// A backslash is doubled only where it would otherwise read as the start of an escape:
// before another backslash, a "t", "n" or "r", or a character that is itself escaped.
bool backslashNeedsDoubling(std::string_view s, std::size_t at) {
    if (at + 1 >= s.size()) return false;
    const char next = s[at + 1];
    return next == '\\' || next == 't' || next == 'n' || next == 'r' || next == '\t' || next == '\n' ||
           next == '\r';
}

std::string escaped(std::string_view s, bool escapeBackslash) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char ch = s[i];
        const auto c = static_cast<unsigned char>(ch);
        if (ch == '\\' && escapeBackslash && backslashNeedsDoubling(s, i))
            out += "\\\\";
        else if (ch == '\t')
            out += "\\t";
        else if (ch == '\n')
            out += "\\n";
        else if (ch == '\r')
            out += "\\r";
        else if (isControl(c))
            out += kReplacementUtf8;
        else
            out += ch;
    }
    return out;
}
}  // namespace

std::string tsvCell(std::string_view s) {
    return escaped(s, true);
}

std::string printable(std::string_view s) {
    return escaped(s, false);
}

bool hasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace qx::text
