#pragma once
// What the HTML pages share: escaping, the style sheet, mark badges, dates, and the texts
// of the localisation table in the page's language.

#include "analysis/findings.hpp"
#include "app/application.hpp"

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace qx::outputs {

/// Text with "&", "<", ">" and quotes written as entities.
std::string htmlEscape(std::string_view text);
/// Escaped text in which a long value may wrap after its separators ("->", ",", "/", ...)
/// but never inside a word.
std::string htmlWrappable(std::string_view text);

/// The page's `lang` attribute for a language of the localisation table ("hu").
std::string_view htmlLanguage(std::string_view language);

/// The style sheet of the pages: screen and print (A4, whole rows, words never broken).
std::string_view pageStyle();

/// The start of a page up to its body, with the title and the style sheet.
std::string pageStart(const Application& app, std::string_view title);
/// The end of a page.
std::string_view pageEnd();

/// A mark's name in the page's language.
std::string markLabel(const Application& app, analysis::Mark m);
/// A mark's badge: a coloured symbol with the name as its title.
std::string markBadge(const Application& app, analysis::Mark m);

/// The label of a key when the localisation table has one, else `fallback`.
std::string labelOr(const Application& app, std::string_view key, std::string_view fallback);
/// A caption the report writes in English ("Timesync active", "atcodestart") in the page's
/// language when the localisation table knows it (its key: lower case, without blanks,
/// slashes and hyphens), else unchanged.
std::string caption(const Application& app, std::string_view text);

/// A date as the report or the rule base writes it, with the unambiguous ISO date after it:
/// "12 31 2005 (2005-12-31)"; the text alone when it is no date.
std::string dateWithIso(std::string_view text);
/// ISO date and time of a moment in local time ("2026-12-08 14:03").
std::string isoLocalTime(std::time_t t);

}  // namespace qx::outputs
