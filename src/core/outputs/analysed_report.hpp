#pragma once
// One report's outcome as every output renders it (terminal, JSON, SARIF, JUnit, fleet page):
// the findings of the analysis detached from their document, and what the run used.

#include "analysis/findings.hpp"
#include "app/application.hpp"
#include "document/config_doc.hpp"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qx::outputs {

/// What the outputs say about the run itself: the program, and the rule base it judged with.
struct RunInfo {
    std::string tool = "qxconfig-cli";
    std::string version = QX_VERSION;
    std::string ruleBaseDate;    // as the rule base writes it ("12 31 2005")
    std::string ruleBaseSha256;  // of the rule-base file's bytes
    std::string language = "english";
    std::string kdnFinderUrl = Settings::kDefaultKdnFinderUrl;
};
/// The run facts of an application whose rule base was read from `rulesPath`.
RunInfo runInfo(const Application& app, const std::string& rulesPath);

/// One report, opened or not.
struct AnalysedReport {
    std::string file;  // as given
    bool opened = false;
    std::string error;                  // why it did not open
    std::vector<std::string> warnings;  // about a report that opened (a truncated text, ...)
    bool truncated = false;
    std::string title, server;
    /// Products of the rule base in check order (present or not).
    std::vector<analysis::Finding> products;
    /// Every other finding, grouped by kind in the order of kFindingKinds.
    std::vector<analysis::Finding> findings;
};

/// The outcome of an opened document; `loadMessage` is what the load had to say.
AnalysedReport summarise(const CQXConfigDoc2& doc, const std::string& loadMessage = {});
/// A file that could not be opened.
AnalysedReport failedReport(std::string file, std::string error);

/// Findings per mark.
struct MarkCounts {
    std::array<int, analysis::kMarks.size()> counts{};
    [[nodiscard]] int of(analysis::Mark m) const { return counts[static_cast<std::size_t>(markCode(m))]; }
    void add(analysis::Mark m) { ++counts[static_cast<std::size_t>(markCode(m))]; }
};
/// Counts the findings (of one kind, or all).
MarkCounts countMarks(const std::vector<analysis::Finding>& findings,
                      std::optional<analysis::FindingKind> kind = {});
/// The marks the analysis writes, most urgent first: Bad, Error, Information, Not Checked, Good.
inline constexpr std::array<analysis::Mark, 5> kAnalysisMarks = {
    analysis::Mark::Bad, analysis::Mark::Error, analysis::Mark::Information, analysis::Mark::NotChecked,
    analysis::Mark::Good};

/// The address that explains a rule: its own `url`, else the knowledge-base entry of its
/// document id; empty when it has neither.
std::string helpAddress(const analysis::RuleRef& rule, std::string_view kdnFinderUrl);

/// The report file's name without its folder.
std::string_view fileName(std::string_view path);

/// What `--fail-on` asks for: marks, and whether a truncated report counts.
struct FailOn {
    std::vector<analysis::Mark> marks;
    bool truncated = false;

    /// Reads a comma list of "bad", "error", "notchecked", "information", "truncated" (or
    /// "none"); nothing, with `error` set, for an unknown word.
    static std::optional<FailOn> parse(std::string_view list, std::string& error);
    /// True when the report has a finding (products aside) with one of the marks, or is
    /// truncated and that counts.
    [[nodiscard]] bool matches(const AnalysedReport& r) const;
};

}  // namespace qx::outputs
