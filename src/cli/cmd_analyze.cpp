#include "cli/cli_common.hpp"

#include "xml/xml_document.hpp"

#include <iostream>

namespace qx::cli {

void addAnalyzeCommand(CLI::App& app, int& exitCode) {
    struct Options {
        EnvironmentOptions env;
        std::vector<std::string> inputs;
        std::string format = "text";
    };
    auto opts = std::make_shared<Options>();
    auto* cmd = app.add_subcommand("analyze", "Analyse reports (files or folders) and print the findings");
    cmd->add_option("REPORT", opts->inputs, "Reports, saved .xml trees, or folders to scan")->required();
    cmd->add_option("--format", opts->format, "Output format")->check(CLI::IsMember({"text", "json"}));
    opts->env.addTo(*cmd);
    cmd->callback([opts, &exitCode] {
        auto application = opts->env.createApplication();
        if (!application) {
            exitCode = kExitRefused;
            return;
        }
        for (const auto& path : expandInputs(opts->inputs)) {
            auto doc = openReport(*application, path);
            if (!doc) {
                exitCode = kExitRefused;
                continue;
            }
            std::cout << "File: " << path << "\n";
            std::cout << "Title: " << doc->title << "\n";
            for (xml::Node p : xml::select(doc->report().documentNode(), "check/product")) {
                std::cout << "Product: " << xml::childText(p, "name") << " (" << xml::attribute(p, "checked")
                          << ", status " << xml::attribute(p, "status") << ")\n";
            }
            std::cout << "\n";
        }
    });
}

}  // namespace qx::cli
