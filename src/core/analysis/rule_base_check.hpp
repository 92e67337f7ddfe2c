#pragma once
// The checks a rule base passes before the program uses or installs it, and what a rule
// author would want to know on top ("qxconfig-cli rules check").

#include "xml/xml_document.hpp"

#include <string>
#include <string_view>
#include <vector>

namespace qx::analysis {

/// One finding: the line it is on (0 when none), what is wrong, and whether the program
/// cannot use the rule base at all (an error) or the rule base works but not as its author
/// likely meant (a warning).
struct RuleBaseProblem {
    int line = 0;
    std::string text;
    bool error = false;
};

/// Errors: not a regular file of well-formed XML, nested deeper than xml::kMaxDepth, a
/// document element other than `rules`, or a sample report that does not analyse.
/// Warnings: product IDs that are not decimal or appear twice, operators no comparison
/// knows, fields written as attributes, line breaks in texts a command file writes.
std::vector<RuleBaseProblem> checkRuleBase(std::string_view content);
/// The same for a file; one error when it cannot be read.
std::vector<RuleBaseProblem> checkRuleBaseFile(const std::string& path);

/// The errors alone (what the program refuses), with the loaded tree when there are none.
/// The live update and loading at start use this.
std::vector<RuleBaseProblem> loadRuleBase(std::string_view content, xml::Document& into);

/// True when no problem is an error.
bool usable(const std::vector<RuleBaseProblem>& problems);
/// "line 12: text" (or the text alone), each problem on a line of its own.
std::string describe(const std::vector<RuleBaseProblem>& problems, std::size_t atMost = 5);

}  // namespace qx::analysis
