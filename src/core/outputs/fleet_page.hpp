#pragma once
// The fleet page: many servers on one page, worst first, each with its counts per area,
// its products and the values in which it differs from the fleet's majority.

#include "app/application.hpp"
#include "document/config_doc.hpp"
#include "outputs/analysed_report.hpp"

#include <ctime>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace qx::outputs {

/// What the fleet page keeps of one server (the document itself is gone by then).
struct FleetServer {
    std::string file;
    std::string server;  // as the page names it
    std::string page;    // file name of its own page ("FS1.html"); empty when it did not open
    std::string error;   // why it did not open
    bool truncated = false;
    /// Counts per area, in the order of kFindingKinds (products left out).
    std::vector<std::pair<analysis::FindingKind, MarkCounts>> areas;
    /// Present products: name, and whether one of its rules is broken.
    std::vector<std::pair<std::string, bool>> products;
    /// SET parameters and server parameters the report lists: kind, name, value.
    struct Value {
        analysis::FindingKind kind;
        std::string name, value;
    };
    std::vector<Value> values;

    /// Findings with a mark, over all areas.
    [[nodiscard]] int count(analysis::Mark m) const;
    /// Bad and Error findings together.
    [[nodiscard]] int needingAttention() const;
};

/// The fleet's view of one analysed document.
FleetServer fleetServer(const AnalysedReport& report, const CQXConfigDoc2& doc);

/// A file name for a server's page: its name with every character but letters, digits,
/// ".", "_" and "-" replaced, made unique among `taken` (which it joins), never "index".
std::string pageName(std::string_view server, std::string_view file, std::set<std::string>& taken);

/// A value of a parameter that differs from what most servers have.
struct Outlier {
    analysis::FindingKind kind;
    std::string name;
    std::string majority;  // the value most servers have
    std::size_t majorityCount = 0;
    std::size_t reporting = 0;  // servers that report the parameter
    /// Each differing value with the servers (indices into the list) that have it.
    std::vector<std::pair<std::string, std::vector<std::size_t>>> others;
};
/// Every parameter at least two servers report whose most common value more than half of
/// them share (and at least twice as many as share any other value), and that some server
/// has otherwise; the rarest deviations first. `ambiguous` counts the parameters with no
/// such majority.
std::vector<Outlier> findOutliers(const std::vector<FleetServer>& servers, std::size_t& ambiguous);

/// The page; servers that did not open are listed apart.
std::string renderFleetPage(const std::vector<FleetServer>& servers, const Application& app,
                            const RunInfo& run, std::time_t generated);

}  // namespace qx::outputs
