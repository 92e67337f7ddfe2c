#include "cli/cli_common.hpp"
#include "cli/cli_outputs.hpp"

#include "compare/server_compare.hpp"
#include "outputs/json_contract.hpp"
#include "platform/file_system.hpp"
#include "util/text.hpp"

#include <iostream>

namespace qx::cli {

namespace {

// The texts of the list as TSV cells: a tab or line break inside must not shift columns.
compare::CompareResult escapedForTsv(compare::CompareResult r) {
    r.baseName = text::tsvCell(r.baseName);
    for (auto& n : r.serverNames) n = text::tsvCell(n);
    for (auto& l : r.lines) {
        l.path = text::tsvCell(l.path);
        l.name = text::tsvCell(l.name);
        for (auto& v : l.values) v = text::tsvCell(v);
    }
    return r;
}

}  // namespace

void addCompareCommand(CLI::App& app, int& exitCode) {
    struct Options {
        EnvironmentOptions env;
        std::vector<std::string> reports;
        std::vector<std::string> types;
        std::string format = "tsv";
        std::string out;
    };
    auto opts = std::make_shared<Options>();
    auto* cmd =
        app.add_subcommand("compare",
                           "Compare the base server BASE with the servers OTHER...: every value of the base "
                           "with status 0 (not compared), 9 (equal) or 10 (not equal)");
    cmd->add_option("BASE OTHER", opts->reports, "The base report, then the reports to compare with it")
        ->required()
        ->expected(2, -1);
    cmd->add_option(
           "--types", opts->types,
           "Kinds of values, comma-separated: serverparams, modules, lans, devices, volumes, setparams, "
           "allocationmemory (default: all)")
        ->delimiter(',')
        ->check(CLI::IsMember(
            {"serverparams", "modules", "lans", "devices", "volumes", "setparams", "allocationmemory"}));
    cmd->add_option("--format", opts->format, "tsv (the list's clipboard text, default) or json")
        ->check(CLI::IsMember({"tsv", "json"}));
    cmd->add_option("-o,--output", opts->out, "Write to FILE (replaced atomically) instead of stdout");
    opts->env.addTo(*cmd);
    cmd->callback([opts, &exitCode] {
        auto application = opts->env.createApplication();
        if (!application) {
            exitCode = kExitRefused;
            return;
        }
        std::vector<std::unique_ptr<CQXConfigDoc2>> docs;
        for (const auto& path : opts->reports) {
            auto doc = openReport(*application, path);
            if (!doc) {
                exitCode = kExitRefused;
                return;
            }
            docs.push_back(std::move(doc));
        }
        compare::CompareOptions types =
            opts->types.empty() ? compare::CompareOptions::all() : compare::CompareOptions{};
        for (const auto& t : opts->types) types.set(t);
        std::vector<const CQXConfigDoc2*> others;
        for (std::size_t i = 1; i < docs.size(); ++i) others.push_back(docs[i].get());
        const auto result = compare::compareServers(*docs[0], others, *application, types);
        const std::string out =
            opts->format == "json"
                ? outputs::dumpJson(
                      outputs::compareJson(result, opts->reports, runInfo(opts->env, *application)), false) +
                      "\n"
                : compare::compareListText(escapedForTsv(result), *application, "\r\n");
        exitCode = writeOutput(out, opts->out) ? kExitOk : kExitError;
    });
}

}  // namespace qx::cli
