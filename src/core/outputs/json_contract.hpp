#pragma once
// The JSON every command prints: one versioned contract ("schema": "qxconfig/1", keys in
// snake_case, marks by name), documented in docs/json.md with a JSON Schema beside it.

#include "compare/server_compare.hpp"
#include "lists/list_model.hpp"
#include "outputs/analysed_report.hpp"

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

namespace qx::outputs {

using Json = nlohmann::ordered_json;

/// The contract's name and version; every top-level object carries it as "schema".
inline constexpr std::string_view kJsonSchema = "qxconfig/1";

/// A finding: kind, mark, item, value, condition, rule and report line.
Json findingJson(const analysis::Finding& f, const RunInfo& run);
/// One report: a "report" object, or an "error" object for a file that did not open.
Json reportJson(const AnalysedReport& r, const RunInfo& run);
/// A Report-page list of a document: columns and rows, each row with its mark and, where it
/// stands for a finding, that finding.
Json listJson(const CQXConfigDoc2& doc, const Application& app, std::string_view node,
              const lists::ListModel& model, const RunInfo& run);
/// A comparison of the base server with the others.
Json compareJson(const compare::CompareResult& result, const std::vector<std::string>& files,
                 const RunInfo& run);

/// The text of a contract object: one line (for streams of objects) or indented; bytes
/// that are not UTF-8 are replaced, never an exception.
std::string dumpJson(const Json& j, bool oneLine);

}  // namespace qx::outputs
