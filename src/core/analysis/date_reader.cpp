#include "analysis/date_reader.hpp"

#include <array>
#include <cctype>
#include <string>
#include <vector>

namespace qx::analysis {

namespace {

enum class TokenKind { Word, Number, Colon };

struct Token {
    TokenKind kind;
    std::string text;
};

bool isLetter(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Splits into words, numbers and colons; blanks, ",", ".", "/" and "-" only separate.
// Any other character makes the text unreadable.
bool tokenize(std::string_view s, std::vector<Token>& out) {
    std::size_t i = 0;
    while (i < s.size()) {
        char c = s[i];
        if (c == ' ' || c == '\t' || c == ',' || c == '.' || c == '/' || c == '-') {
            ++i;
        } else if (c == ':') {
            out.push_back({TokenKind::Colon, ":"});
            ++i;
        } else if (isLetter(c) || isDigit(c)) {
            const bool letters = isLetter(c);
            std::size_t start = i;
            while (i < s.size() && (letters ? isLetter(s[i]) : isDigit(s[i]))) ++i;
            std::string t(s.substr(start, i - start));
            if (letters) {
                for (auto& ch : t) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
            }
            out.push_back({letters ? TokenKind::Word : TokenKind::Number, std::move(t)});
        } else {
            return false;
        }
    }
    return true;
}

constexpr std::array<const char*, 12> kMonths = {"january",   "february", "march",    "april",
                                                 "may",       "june",     "july",     "august",
                                                 "september", "october",  "november", "december"};
constexpr std::array<const char*, 7> kWeekdays = {"monday", "tuesday",  "wednesday", "thursday",
                                                  "friday", "saturday", "sunday"};

// Full name or its first three letters; "sept" is a common fourth spelling.
int monthOf(const std::string& w) {
    for (std::size_t m = 0; m < kMonths.size(); ++m) {
        std::string_view full = kMonths[m];
        if (w == full || (w.size() == 3 && full.substr(0, 3) == w)) return static_cast<int>(m) + 1;
    }
    return w == "sept" ? 9 : 0;
}

bool isWeekday(const std::string& w) {
    for (std::string_view d : kWeekdays) {
        if (w == d || (w.size() == 3 && d.substr(0, 3) == w)) return true;
    }
    return false;
}

bool smallNumber(const Token& t, int& out) {
    if (t.kind != TokenKind::Number || t.text.size() > 2) return false;
    out = std::stoi(t.text);
    return true;
}

bool leapYear(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m) {
    constexpr std::array<int, 12> days = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leapYear(y) ? 29 : days[static_cast<std::size_t>(m - 1)];
}

// Days from 1 January 1900 (proleptic Gregorian calendar).
std::int64_t daysSince1900(int y, int m, int d) {
    // Howard Hinnant's days_from_civil, shifted to the 1900 epoch.
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 + 25567;  // 25567 days from 1900-01-01 to 1970-01-01
}

// Reads "H:MM[:SS] [AM|PM]" from position i to the end; seconds of the day in `out`.
bool readTime(const std::vector<Token>& t, std::size_t i, std::int64_t& out) {
    int h = 0, mi = 0, s = 0;
    if (i + 3 > t.size() || !smallNumber(t[i], h) || t[i + 1].kind != TokenKind::Colon ||
        !smallNumber(t[i + 2], mi)) {
        return false;
    }
    i += 3;
    if (i < t.size() && t[i].kind == TokenKind::Colon) {
        if (i + 1 >= t.size() || !smallNumber(t[i + 1], s)) return false;
        i += 2;
    }
    if (mi > 59 || s > 59) return false;
    if (i < t.size() && t[i].kind == TokenKind::Word && (t[i].text == "am" || t[i].text == "pm")) {
        if (h < 1 || h > 12) return false;
        h = h % 12 + (t[i].text == "pm" ? 12 : 0);
        ++i;
    } else if (h > 23) {
        return false;
    }
    if (i != t.size()) return false;
    out = h * 3600 + mi * 60 + s;
    return true;
}

}  // namespace

std::optional<std::int64_t> readUsDate(std::string_view text) {
    std::vector<Token> t;
    if (!tokenize(text, t)) return std::nullopt;
    if (t.empty()) return 0;
    std::size_t i = 0;
    if (t[i].kind == TokenKind::Word && isWeekday(t[i].text) && monthOf(t[i].text) == 0) ++i;
    if (i + 3 > t.size()) return std::nullopt;
    int month = 0;
    if (t[i].kind == TokenKind::Word) {
        month = monthOf(t[i].text);
    } else if (!smallNumber(t[i], month)) {
        return std::nullopt;
    }
    int day = 0;
    if (month < 1 || month > 12 || !smallNumber(t[i + 1], day)) return std::nullopt;
    const Token& yearToken = t[i + 2];
    if (yearToken.kind != TokenKind::Number || yearToken.text.size() != 4) return std::nullopt;
    const int year = std::stoi(yearToken.text);
    if (year < 1 || day < 1 || day > daysInMonth(year, month)) return std::nullopt;
    std::int64_t seconds = 0;
    if (i + 3 < t.size() && !readTime(t, i + 3, seconds)) return std::nullopt;
    return daysSince1900(year, month, day) * 86400 + seconds;
}

}  // namespace qx::analysis
