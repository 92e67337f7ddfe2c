#pragma once
// The findings of a report as text: grouped by mark with Bad first, one finding a line. On
// a terminal the marks are coloured and each line fits its width; in a pipe the text is
// plain and stable.

#include "outputs/analysed_report.hpp"

#include <string>
#include <string_view>

namespace qx::outputs {

struct TerminalStyle {
    bool colour = false;
    /// Columns a line may take; 0 for a pipe (lines are not fitted).
    std::size_t width = 0;
};

/// The text of one report, ending in an empty line.
std::string renderTerminal(const AnalysedReport& r, const TerminalStyle& style);

/// Characters of a UTF-8 text (code points; a terminal shows most of them one cell wide).
std::size_t displayWidth(std::string_view text);
/// The text shortened to `width` characters by an ellipsis in its middle (paths keep their
/// start and their end).
std::string shortenMiddle(std::string_view text, std::size_t width);
/// The text cut to `width` characters, an ellipsis at its end.
std::string shortenEnd(std::string_view text, std::size_t width);

}  // namespace qx::outputs
