#pragma once
// Deterministic generator of realistic server configuration reports and of rule bases
// whose rules hit the generated names. Output grows about linearly with the scale:
// scale 1 is a typical report of about 300 KB, scale 30 about 10 MB.

#include <string>

namespace qx::bench {

/// A report of the given scale; `variant` changes server name and some values.
std::string generateReport(int scale, int variant = 0);
/// A copy of a sample report for a fleet: the server renamed SRV<variant> and, for some
/// variants, a few SET-parameter and cache values changed (the same variant, the same copy).
std::string varySample(const std::string& sample, int variant);
/// A rule base whose rule items name configuration items of generated reports;
/// `multiplier` repeats the products (2 gives a rule base twice as large).
std::string generateRules(int multiplier);

}  // namespace qx::bench
