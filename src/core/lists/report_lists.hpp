#pragma once
// The lists of the Report page: one per node of the report tree.

#include "analysis/findings.hpp"
#include "app/application.hpp"
#include "document/config_doc.hpp"
#include "lists/list_model.hpp"

#include <optional>
#include <vector>

namespace qx::lists {

/// The list shown for a node of the document's report tree: the server report for the
/// root `report`, the node's own list for the others (empty for nodes without one).
/// `documents` are all open documents in the order of the document lists (the `filter`
/// lists compare across them; the others ignore it).
ListModel buildReportList(const CQXConfigDoc2& doc, const Application& app, xml::Node node,
                          const std::vector<const CQXConfigDoc2*>& documents = {});

/// The report-tree node of a list name: "report", an element name of the report layout,
/// or "filter:NAME" for one filter. Empty when there is none.
xml::Node findReportNode(const CQXConfigDoc2& doc, std::string_view name);

/// Rule path of a rule-base node: " -> " group, " -> " product and version, list names.
std::string rulePath(xml::Node ruleNode);

namespace detail {
/// The findings that have a `details` record (of one kind, or of every kind but products),
/// in the order of their records.
std::vector<analysis::Finding> recordedFindings(const CQXConfigDoc2& doc,
                                                std::optional<analysis::FindingKind> kind = {});
}  // namespace detail

}  // namespace qx::lists
