#pragma once
// Whether one configuration item satisfies one rule item, as an outcome code.

#include "xml/xml_document.hpp"

#include <string>
#include <string_view>

namespace qx::analysis {

/// Outcome codes; the views show each as the mark with the same index.
inline constexpr int kOutcomeNone = 0;        // no recognised operator: Information
inline constexpr int kOutcomeNotChecked = 1;  // a module no rule names
inline constexpr int kOutcomeBroken = 2;      // Bad
inline constexpr int kOutcomeHolds = 3;       // Good
inline constexpr int kOutcomeBadDate = 6;     // unreadable date: Error

/// Applies an operator ("=", "<", "<=", ">", ">=", "!=") to a three-way comparison of the
/// configuration side with the rule side: 3 holds, 2 broken, 0 for any other operator.
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
/// `unreadableDateIsError` an unreadable date gives 6 before anything is compared;
/// without it, an unreadable date leaves the version's verdict standing.
int compareModule(const ModuleComparison& m, bool unreadableDateIsError);

/// Evaluates a rule item against a configuration item; neither is changed.
int evaluateRule(xml::Node rule, xml::Node item);

}  // namespace qx::analysis
