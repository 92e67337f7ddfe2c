#pragma once
// The product check's building blocks: judging `requireds`, finding the configuration items
// a rule item is about, and the line test of file and search-path rules.

#include "analysis/config_index.hpp"
#include "analysis/rule_kinds.hpp"

#include <string>
#include <string_view>
#include <vector>

namespace qx::analysis {

/// Bad when a requirement fails, else the code of the last judgement (Good when empty).
int evaluateRequireds(ConfigIndex& index, xml::Node requireds);

/// The configuration items a rule item of this kind is about, selection by selection in
/// document order, keyed by the rule's naming field.
std::vector<xml::Node> itemsOfRule(ConfigIndex& index, const RuleKindInfo& kind, xml::Node rule);

/// The lines a file or search-path rule tests. Search-path records carry `name`
/// ("Search Path 1") and `value`: the values of the records with the rule's name count; a
/// rule whose name is empty or names no record (the editor may store a path there) tests
/// all search paths. `line` children count where a tree has them.
std::vector<std::string> ruleLines(ConfigIndex& index, const RuleKindInfo& kind, xml::Node rule);

/// The line test's verdict and the first line that decided it "in" (empty when none).
struct LineVerdict {
    int outcome = 0;
    std::string line;
};
/// "in" holds when a line that is no comment (text::isCommentLine) contains `text`
/// (case-sensitive, after leading blanks), "!in" when none does; a file without lines fails
/// "in" and passes "!in". Other operators give Information.
LineVerdict judgeLines(std::string_view op, std::string_view text, const std::vector<std::string>& lines);
/// The outcome of judgeLines.
int lineTest(std::string_view op, std::string_view text, const std::vector<std::string>& lines);

}  // namespace qx::analysis
