// qxconfig-cli rules check: what the program checks before it uses or installs a rule base,
// and what a rule author would want to know on top, each with its line.
#include "cli/cli_common.hpp"

#include "analysis/rule_base_check.hpp"
#include "util/text.hpp"

#include <iostream>

namespace qx::cli {

void addRulesCommand(CLI::App& app, int& exitCode) {
    auto path = std::make_shared<std::string>();
    auto* rules = app.add_subcommand("rules", "Work with rule bases");
    rules->require_subcommand(1);
    auto* check = rules->add_subcommand(
        "check",
        "Check a rule base as the program does before it uses or installs one (well-formed, nesting, "
        "root element, a sample analysis) and list each problem and warning with its line; exit 0 "
        "when the program can use it, 2 when not");
    check->add_option("FILE", *path, "Rule base to check")->required();
    check->callback([path, &exitCode] {
        const auto problems = analysis::checkRuleBaseFile(*path);
        int errors = 0, warnings = 0;
        for (const auto& p : problems) {
            std::cout << *path << ":";
            if (p.line > 0) std::cout << p.line << ":";
            std::cout << (p.error ? " error: " : " warning: ") << p.text << "\n";
            ++(p.error ? errors : warnings);
        }
        if (problems.empty()) {
            std::cout << *path << ": no problems found\n";
        } else {
            std::cout << *path << ": " << errors << (errors == 1 ? " error, " : " errors, ") << warnings
                      << (warnings == 1 ? " warning" : " warnings") << "\n";
        }
        if (!flushStdout()) {
            exitCode = kExitError;
        } else if (errors > 0) {
            std::cerr << "qxconfig-cli: " << text::printable(*path) << " cannot be used as a rule base\n";
            exitCode = kExitError;
        } else {
            exitCode = kExitOk;
        }
    });
}

}  // namespace qx::cli
