// qxconfig-cli: the desktop program's commands for shells and scripts.
#include "app/installation.hpp"
#include "cli/cli_common.hpp"
#include "cli/cli_outputs.hpp"
#include "cli/completion.hpp"
#include "platform/data_dir.hpp"
#include "platform/file_system.hpp"

#include <iostream>

namespace {
// The version, and which data folder and rule base a command would use.
std::string versionText() {
    const auto& dir = qx::platform::dataDirectory();
    auto rules = qx::inspectRuleBaseFile(qx::platform::joinPath(dir.path, "rules.xml"));
    std::string text =
        "qxconfig-cli " QX_VERSION "\n" + qx::formatInstallationFacts(qx::installationFacts(dir, rules));
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}
}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"QXConfig command line: analyse Quarrix file server configuration reports"};
    app.set_version_flag("--version", versionText,
                         "Show the version, the data folder and the rule base in use, and exit");
    app.set_help_all_flag("--help-all", "Show the help of every subcommand, and exit");
    app.require_subcommand(1);
    int exitCode = qx::cli::kExitOk;
    qx::cli::addSaveXmlCommand(app, exitCode);
    qx::cli::addAnalyzeCommand(app, exitCode);
    qx::cli::addReportCommand(app, exitCode);
    qx::cli::addQxsCommand(app, exitCode);
    qx::cli::addCompareCommand(app, exitCode);
    qx::cli::addScanModulesCommand(app, exitCode);
    qx::cli::addUpdateCommand(app, exitCode);
    qx::cli::addFleetCommand(app, exitCode);
    qx::cli::addCompletionCommand(app, exitCode);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e);
    } catch (const std::exception& e) {
        std::cerr << "qxconfig-cli: " << e.what() << "\n";
        return qx::cli::kExitFailure;
    }
    return exitCode;
}
