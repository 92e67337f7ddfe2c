#pragma once
// Whether a report's text reached its end-of-report line, and where a cut-off copy stops.

#include "document/config_doc.hpp"

#include <string>
#include <string_view>

namespace qx::import {

/// The line a whole report ends with.
inline constexpr std::string_view kEndOfReport = "End of Orvane File Server Configuration Report";

/// Judges the ending of report text (read from its end: no second pass over the lines).
ReportEnding inspectEnding(std::string_view content);

/// The warning for a report that stops early ("report looks truncated: ..."), empty for a
/// whole one or one whose ending is unknown.
std::string truncationWarning(const ReportEnding& ending);

}  // namespace qx::import
