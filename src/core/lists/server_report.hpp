#pragma once
// The server report: what the Report page lists when its root is selected.

#include "app/application.hpp"
#include "document/config_doc.hpp"
#include "lists/list_model.hpp"

#include <array>
#include <string>
#include <string_view>

namespace qx::lists {

/// Columns of the server report and the longest cell of each.
inline constexpr int kServerReportColumns = 11;

/// The blocks the separator rows divide the server report into, in order, each named by a
/// localisation key: generator, server, directory service, interrupts, module memory,
/// volumes, LAN bindings, products, SET parameters, abends.
inline constexpr std::array<std::string_view, 10> kServerReportBlocks = {
    "configqxk", "server", "zrd",      "interrupts", "allocatedmemory",
    "volumes",   "lans",   "products", "setparams",  "abend"};

/// Builds the server report of a document: 11 columns with empty headers, the rows of the
/// report top to bottom, cells cut to 200 (first three columns) or 500 characters.
ListModel buildServerReport(const CQXConfigDoc2& doc, const Application& app);

/// Percentage text "%2.2f%%" of part / whole x 100, empty when whole is 0.
std::string percentText(long long part, long long whole);

/// Title and text of the "Text Report" window at the given local time.
struct TextReport {
    std::string title;
    std::string text;
};
/// The text report: title with "Report" replaced by the localised label, text the
/// "Report generated:%s" line with the date and time, ending in "\r\n".
TextReport buildTextReport(const CQXConfigDoc2& doc, const Application& app, std::time_t now);

}  // namespace qx::lists
