#pragma once
// Whether one configuration item satisfies one rule item, as an outcome code.

#include "analysis/findings.hpp"
#include "xml/xml_document.hpp"

#include <string>
#include <string_view>

namespace qx::analysis {

// Outcomes are the codes of marks (markCode): Good when a condition holds, Bad when it is
// broken, Information when nothing was compared, Error for a date that cannot be read.

/// Applies an operator ("=", "<", "<=", ">", ">=", "!=") to a three-way comparison of the
/// configuration side with the rule side: Good, Bad, or Information for any other operator.
int applyOperator(std::string_view op, int comparison);
/// True for the six comparison operators.
bool isComparisonOperator(std::string_view op);
/// Byte-wise three-way text comparison (-1, 0, 1).
int compareTexts(std::string_view a, std::string_view b);
/// The parameter normalisation: "MBytes" and "MIN" and "SEC" removed, "ON" to "1",
/// "OFF" to "2", in this order, case-sensitive.
std::string normaliseNumberText(std::string_view s);

/// A module version made comparable: upper-cased, leading "V" removed, a trailing letter
/// turned into its two-digit distance from "A" ("5.70c" gives "5.7002", base "5.70").
struct ModuleVersion {
    std::string version;
    std::string base;
};
ModuleVersion normaliseModuleVersion(std::string_view version);

/// The fields of a module comparison, texts as stored.
struct ModuleComparison {
    std::string_view ruleVersion, ruleDate, versionOperator, dateOperator;
    std::string_view configVersion, configDate;
};
/// Version first, then (same base version, version holds) the build date. With
/// `unreadableDateIsError` an unreadable date gives Error before anything is compared;
/// without it, an unreadable date leaves the version's verdict standing.
int compareModule(const ModuleComparison& m, bool unreadableDateIsError);

/// Evaluates a rule item against a configuration item; neither is changed.
int evaluateRule(xml::Node rule, xml::Node item);

}  // namespace qx::analysis
