#include "cli/cli_common.hpp"

#include "lists/list_export.hpp"

#include <iostream>

namespace qx::cli {

void addSaveXmlCommand(CLI::App& app, int& exitCode) {
    struct Options {
        EnvironmentOptions env;
        std::string report;
        std::string out;
    };
    auto opts = std::make_shared<Options>();
    auto* cmd = app.add_subcommand(
        "save-xml",
        "Open REPORT as the desktop does and write OUT (configuration tree), OUT.xml (rule base) "
        "and OUT.xmlr.xml (report tree)");
    cmd->add_option("REPORT", opts->report, "Server configuration report, or a saved .xml tree")->required();
    cmd->add_option("OUT", opts->out, "File for the configuration tree")->required();
    opts->env.addTo(*cmd);
    cmd->callback([opts, &exitCode] {
        auto opened = openWithEnvironment(opts->env, opts->report, exitCode);
        if (!opened) return;
        auto& application = opened->app;
        auto& doc = opened->doc;
        // The three trees belong together: all of them are replaced, or none.
        const std::string error = lists::saveXmlSet(*doc, *application, opts->out);
        if (!error.empty()) std::cerr << "qxconfig-cli: " << error << "\n";
        exitCode = error.empty() ? kExitOk : kExitFailure;
    });
}

}  // namespace qx::cli
