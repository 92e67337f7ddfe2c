#pragma once
// The formats continuous-integration servers read: SARIF 2.1.0 for code-scanning services
// and JUnit XML for test reports. Both render the same findings as every other output.

#include "outputs/analysed_report.hpp"

#include <string>
#include <vector>

namespace qx::outputs {

/// A SARIF 2.1.0 log with one run: the rules that judged something, one result per Bad
/// (error), Error (warning) and Information (note) finding at its report line, and the
/// files that did not open as notifications of the run's invocation.
std::string renderSarif(const std::vector<AnalysedReport>& reports, const RunInfo& run);

/// A JUnit XML report: one test suite per report, one test case per finding a rule judged
/// (Bad: failure, Error: error, Information: skipped); a file that did not open is a suite
/// with one erroneous case.
std::string renderJunit(const std::vector<AnalysedReport>& reports, const RunInfo& run);

/// A file path as a URI reference: relative paths stay relative, absolute ones become
/// file:// URIs; bytes outside the unreserved set are percent-encoded.
std::string fileUri(std::string_view path);

/// One sentence about a finding for people reading a CI log: the item, its value and what
/// the rule asks.
std::string findingMessage(const analysis::Finding& f, std::string_view server);

}  // namespace qx::outputs
