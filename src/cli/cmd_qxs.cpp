#include "cli/cli_common.hpp"

#include "commandfile/command_file.hpp"
#include "platform/file_system.hpp"

#include <iostream>

namespace qx::cli {

void addQxsCommand(CLI::App& app, int& exitCode) {
    struct Options {
        EnvironmentOptions env;
        std::string report;
        bool notRequired = false;
        bool recommended = false;
        bool required = false;
        std::string out;
    };
    auto opts = std::make_shared<Options>();
    auto* cmd =
        app.add_subcommand("qxs",
                           "Write the SET-parameter command file (.qxs) of REPORT: the SET commands the rule "
                           "base recommends for it; the window title goes to stderr");
    cmd->add_option("REPORT", opts->report, "Server configuration report, or a saved .xml tree")->required();
    cmd->add_flag("--not-required", opts->notRequired, "Include the not-required category (# RPK)");
    cmd->add_flag("--recommended", opts->recommended, "Include the recommended category (# beta)");
    cmd->add_flag("--required", opts->required,
                  "Include the required category (# public); no flag: all three");
    cmd->add_option("-o,--output", opts->out, "Write to FILE (replaced atomically) instead of stdout");
    opts->env.addTo(*cmd);
    cmd->callback([opts, &exitCode] {
        auto opened = openWithEnvironment(opts->env, opts->report, exitCode);
        if (!opened) return;
        auto& application = opened->app;
        auto& doc = opened->doc;
        commandfile::CommandFileOptions choice;
        if (opts->notRequired || opts->recommended || opts->required) {
            choice = {opts->notRequired, opts->recommended, opts->required};
        }
        const auto file = commandfile::buildCommandFile(*doc, *application, choice);
        std::cerr << file.title << "\n";
        for (const auto& w : file.warnings) std::cerr << "qxconfig-cli: " << w << "\n";
        exitCode = writeOutput(file.text, opts->out) ? kExitOk : kExitError;
    });
}

}  // namespace qx::cli
