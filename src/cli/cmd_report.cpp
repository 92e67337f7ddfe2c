#include "cli/cli_common.hpp"
#include "cli/cli_outputs.hpp"

#include "lists/list_export.hpp"
#include "lists/report_lists.hpp"
#include "outputs/customer_report.hpp"
#include "outputs/json_contract.hpp"
#include "platform/file_system.hpp"
#include "util/text.hpp"

#include <ctime>
#include <iostream>

namespace qx::cli {

namespace {

// Every header and cell as one TSV cell: a tab or line break inside must not shift columns.
lists::ListModel escapedForTsv(lists::ListModel m) {
    for (auto& c : m.columns) c.header = text::tsvCell(c.header);
    for (auto& r : m.rows) {
        for (auto& cell : r.cells) cell = text::tsvCell(cell);
    }
    return m;
}

}  // namespace

void addReportCommand(CLI::App& app, int& exitCode) {
    struct Options {
        EnvironmentOptions env;
        std::string report;
        std::string node = "report";
        std::string format = "tsv";
        std::string out;
    };
    auto opts = std::make_shared<Options>();
    auto* cmd = app.add_subcommand(
        "report",
        "Print the server report of REPORT (or the list of one Report-page node) as \"Save As text\" "
        "does, as JSON, or as a printable HTML page");
    cmd->add_option("REPORT", opts->report, "Server configuration report, or a saved .xml tree")->required();
    cmd->add_option(
        "--node", opts->node,
        "Report-page node to list: report (default), details, modules, setparams, serverparams, "
        "interrupts, java, volumes, lans, devices, zrd, summary, suggestion, patches, check, abend, "
        "or filter:NAME (e.g. filter:Timesync)");
    cmd->add_option("--format", opts->format,
                    "tsv (default), json, or html (one page: report, products, findings)")
        ->check(CLI::IsMember({"tsv", "json", "html"}));
    cmd->add_option("-o,--output", opts->out, "Write to FILE (replaced atomically) instead of stdout");
    opts->env.addTo(*cmd);
    cmd->callback([opts, &exitCode] {
        auto opened = openWithEnvironment(opts->env, opts->report, exitCode);
        if (!opened) return;
        auto& application = opened->app;
        auto& doc = opened->doc;
        std::string text;
        if (opts->format == "html") {
            text = outputs::renderCustomerReport(*doc, *application, runInfo(opts->env, *application),
                                                 std::time(nullptr));
        } else {
            xml::Node node = lists::findReportNode(*doc, opts->node);
            if (!node) {
                std::cerr << "qxconfig-cli: the report has no node \"" << opts->node
                          << "\"; use an element name of the report layout or filter:NAME\n";
                exitCode = kExitError;
                return;
            }
            const auto model = lists::buildReportList(*doc, *application, node, {doc.get()});
            text = opts->format == "json"
                       ? outputs::dumpJson(outputs::listJson(*doc, *application, opts->node, model,
                                                             runInfo(opts->env, *application)),
                                           false) +
                             "\n"
                       : lists::saveAsText(escapedForTsv(model));
        }
        exitCode = writeOutput(text, opts->out) ? kExitOk : kExitError;
    });
}

}  // namespace qx::cli
