#include "outputs/analysed_report.hpp"

#include "app/installation.hpp"
#include "import/report_ending.hpp"

#include <algorithm>

namespace qx::outputs {

RunInfo runInfo(const Application& app, const std::string& rulesPath) {
    RunInfo r;
    r.ruleBaseDate = app.ruleBaseDate();
    r.ruleBaseSha256 = inspectRuleBaseFile(rulesPath).sha256;
    r.language = app.language();
    if (!app.settings.kdnFinderUrl.empty()) r.kdnFinderUrl = app.settings.kdnFinderUrl;
    return r;
}

AnalysedReport summarise(const CQXConfigDoc2& doc, const std::string& loadMessage) {
    AnalysedReport r;
    r.file = doc.path;
    r.opened = true;
    r.title = doc.title;
    r.server = doc.serverName();
    if (!loadMessage.empty()) r.warnings.push_back(loadMessage);
    const std::string truncation = import::truncationWarning(doc.ending);
    if (!truncation.empty()) {
        r.truncated = true;
        r.warnings.push_back(truncation);
    }
    std::vector<analysis::Finding> all = analysis::findings(doc);
    for (auto& f : all) {
        // The outputs outlive the document: no node of it may stay behind.
        f.record = f.item = xml::Node();
    }
    for (const auto& kind : analysis::kFindingKinds) {
        auto& into = kind.kind == analysis::FindingKind::Product ? r.products : r.findings;
        for (auto& f : all) {
            if (f.kind == kind.kind) into.push_back(std::move(f));
        }
    }
    return r;
}

AnalysedReport failedReport(std::string file, std::string error) {
    AnalysedReport r;
    r.file = std::move(file);
    r.error = std::move(error);
    return r;
}

MarkCounts countMarks(const std::vector<analysis::Finding>& findings,
                      std::optional<analysis::FindingKind> kind) {
    MarkCounts c;
    for (const auto& f : findings) {
        if (!kind || f.kind == *kind) c.add(f.mark);
    }
    return c;
}

std::string helpAddress(const analysis::RuleRef& rule, std::string_view kdnFinderUrl) {
    if (!rule.url.empty()) return rule.url;
    if (rule.kdn.empty() || kdnFinderUrl.empty()) return {};
    return std::string(kdnFinderUrl) + rule.kdn;
}

std::string_view fileName(std::string_view path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::optional<FailOn> FailOn::parse(std::string_view list, std::string& error) {
    FailOn f;
    while (!list.empty()) {
        const auto comma = list.find(',');
        std::string_view word = list.substr(0, comma);
        list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
        if (word == "none" || word.empty()) continue;
        if (word == "truncated") {
            f.truncated = true;
            continue;
        }
        // "notchecked" is how a shell user writes it; the mark's key also serves.
        if (word == "notchecked") word = "not_checked";
        const auto mark = analysis::markOfKey(word);
        if (!mark || std::find(kAnalysisMarks.begin(), kAnalysisMarks.end(), *mark) == kAnalysisMarks.end() ||
            *mark == analysis::Mark::Good) {
            error = "--fail-on: unknown level \"" + std::string(word) +
                    "\"; use a comma list of bad, error, notchecked, information, truncated";
            return std::nullopt;
        }
        if (std::find(f.marks.begin(), f.marks.end(), *mark) == f.marks.end()) f.marks.push_back(*mark);
    }
    return f;
}

bool FailOn::matches(const AnalysedReport& r) const {
    if (truncated && r.truncated) return true;
    return std::any_of(r.findings.begin(), r.findings.end(), [&](const analysis::Finding& f) {
        return std::find(marks.begin(), marks.end(), f.mark) != marks.end();
    });
}

}  // namespace qx::outputs
