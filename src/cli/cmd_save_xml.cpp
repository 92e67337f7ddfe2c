#include "cli/cli_common.hpp"

#include "lists/list_export.hpp"
#include "platform/file_system.hpp"

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
        const std::string rulesPath = opts->env.rules.empty() ? opened->app->rulesPath() : opts->env.rules;
        // The inputs are read whole by now, but replacing them would lose them.
        for (const auto& out : lists::xmlSetPaths(opts->out)) {
            for (const auto& [input, what] : {std::pair{opts->report, "the report being read"},
                                              std::pair{rulesPath, "the rule base in use"}}) {
                if (!platform::sameFile(out, input)) continue;
                std::cerr << "qxconfig-cli: " << out << " is " << what
                          << "; choose another name for the output\n";
                exitCode = kExitError;
                return;
            }
        }
        // The three trees belong together: all of them are replaced, or none.
        const std::string error = lists::saveXmlSet(*opened->doc, *opened->app, opts->out);
        if (!error.empty()) std::cerr << "qxconfig-cli: " << error << "\n";
        exitCode = error.empty() ? kExitOk : kExitError;
    });
}

}  // namespace qx::cli
