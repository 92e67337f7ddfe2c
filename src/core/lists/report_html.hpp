#pragma once
// A self-contained, printable HTML page of one server: the server report with its marks and
// messages, the products found and every finding grouped by kind.

#include "app/application.hpp"
#include "document/config_doc.hpp"

#include <ctime>
#include <string>

namespace qx::lists {

/// The page; `generated` is the time printed in its header.
std::string renderReportHtml(const CQXConfigDoc2& doc, const Application& app, std::time_t generated);

/// Text with "&", "<", ">" and quotes written as entities.
std::string htmlEscape(std::string_view text);

}  // namespace qx::lists
