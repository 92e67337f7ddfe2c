#include "cli/cli_common.hpp"

#include <iostream>

namespace qx::cli {

namespace {

bool writeTree(const xml::Document& doc, const std::string& path) {
    auto r = doc.saveFile(path);
    if (!r.ok()) std::cerr << "qxconfig-cli: " << r.error << "\n";
    return r.ok();
}

}  // namespace

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
        bool ok = writeTree(doc->config(), opts->out);
        ok = writeTree(application->ruleBase(), opts->out + ".xml") && ok;
        ok = writeTree(doc->report(), opts->out + ".xmlr.xml") && ok;
        exitCode = ok ? kExitOk : kExitFailure;
    });
}

}  // namespace qx::cli
