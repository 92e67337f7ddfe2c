#pragma once
// The page a support engineer sends to a customer: a verdict, a card per area, what needs
// attention with each rule's explanation, the server report and every finding. Printable,
// self-contained, in the language of the localisation table.

#include "app/application.hpp"
#include "document/config_doc.hpp"
#include "outputs/analysed_report.hpp"

#include <ctime>
#include <string>

namespace qx::outputs {

/// The page of one server; `generated` is the moment printed in its header.
std::string renderCustomerReport(const CQXConfigDoc2& doc, const Application& app, const RunInfo& run,
                                 std::time_t generated);

}  // namespace qx::outputs
