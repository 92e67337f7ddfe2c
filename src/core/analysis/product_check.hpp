#pragma once
// The product check's building blocks: walking the rule base, judging `requireds`, and
// the line test of file and search-path requirements.

#include "analysis/config_index.hpp"
#include "app/application.hpp"
#include "document/config_doc.hpp"

#include <string>
#include <string_view>
#include <vector>

namespace qx::analysis {

/// Records every product reached below `node` in the first `check` element.
void walkRuleTree(CQXConfigDoc2& doc, Application& app, xml::Node node);
/// Bad when a requirement fails, else the code of the last judgement (Good when empty).
int evaluateRequireds(CQXConfigDoc2& doc, xml::Node requireds);
/// The same with a configuration index the caller keeps for the whole pass.
int evaluateRequireds(ConfigIndex& index, xml::Node requireds);

/// Search-path requirements test the `value` texts of the configuration's `search-path`
/// records with the rule's `name`, or of all of them when the name is empty or names none.
/// True for comment lines: after leading blanks they begin with "#" or ";", or they
/// contain "REM" in any case.
bool isCommentLine(std::string_view line);
/// "in" holds when a non-comment line contains `text` (case-sensitive), "!in" when none
/// does; a file without lines fails "in" and passes "!in". Other operators give 0.
int lineTest(std::string_view op, std::string_view text, const std::vector<std::string>& lines);

}  // namespace qx::analysis
