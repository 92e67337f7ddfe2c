#pragma once
// Reads the build dates of modules and module rules in the United States convention.
//
// Accepted, after "," and "." have become blanks (the reader does that itself):
//   - an optional weekday name ("Monday", "Mon"), ignored;
//   - the date, month before day: a month name, full or abbreviated to three letters
//     ("Sept" too), in any case, or a month number 1-12; then the day; then a year of
//     exactly four digits. Components are separated by blanks, "/" or "-"; a month name
//     may be glued to its day ("March1" as the report's module lines join them);
//   - an optional time "H:MM" or "H:MM:SS", optionally followed by "AM" or "PM".
// Examples: "3/1/2004", "Mar 1 2004", "March 1, 2004 10:15:32", "Feb.3,2004",
// "Jan 12, 2004", "03-01-2004 7:05 PM". Empty text (blanks only) is 1 January 1900.
// Rejected: day 0 or beyond the month's end (29 February only in leap years), month 0 or
// 13, years of other than four digits, day before month ("1 March 2004") or year first
// ("2004-03-01"), hours over 23 (over 12 with AM/PM), minutes or seconds over 59, trailing words.

#include <cstdint>
#include <optional>
#include <string_view>

namespace qx::analysis {

/// Seconds since 1 January 1900 00:00 (so the empty date is 0), or nothing when unreadable.
std::optional<std::int64_t> readUsDate(std::string_view text);

}  // namespace qx::analysis
