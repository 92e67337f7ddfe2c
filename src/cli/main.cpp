// qxconfig-cli: the desktop program's commands for shells and scripts.
#include "cli/cli_common.hpp"

#include <iostream>

int main(int argc, char** argv) {
    CLI::App app{"QXConfig command line: analyse Quarrix file server configuration reports"};
    app.set_version_flag("--version", std::string(QX_VERSION));
    app.require_subcommand(1);
    int exitCode = qx::cli::kExitOk;
    qx::cli::addSaveXmlCommand(app, exitCode);
    qx::cli::addAnalyzeCommand(app, exitCode);
    qx::cli::addReportCommand(app, exitCode);
    qx::cli::addQxsCommand(app, exitCode);
    qx::cli::addCompareCommand(app, exitCode);
    qx::cli::addScanModulesCommand(app, exitCode);
    qx::cli::addUpdateCommand(app, exitCode);
    qx::cli::addRulesCommand(app, exitCode);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e);
    } catch (const std::exception& e) {
        std::cerr << "qxconfig-cli: " << e.what() << "\n";
        return qx::cli::kExitError;
    }
    // Output that did not reach its reader is no success, whatever the command found.
    if (!qx::cli::flushStdout()) return qx::cli::kExitError;
    return exitCode;
}
