#include "cli/cli_common.hpp"

#include "lists/list_export.hpp"
#include "lists/report_html.hpp"
#include "lists/report_lists.hpp"
#include "platform/file_system.hpp"
#include "util/text.hpp"

#include <nlohmann/json.hpp>

#include <ctime>
#include <iostream>

namespace qx::cli {

namespace {

std::string modelJson(const lists::ListModel& m) {
    nlohmann::ordered_json j;
    j["columns"] = nlohmann::ordered_json::array();
    for (const auto& c : m.columns) j["columns"].push_back(c.header);
    j["rows"] = nlohmann::ordered_json::array();
    for (const auto& r : m.rows) {
        j["rows"].push_back({{"icon", r.icon}, {"cells", r.cells}, {"messages", r.messages}});
    }
    return j.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

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
            text = lists::renderReportHtml(*doc, *application, std::time(nullptr));
        } else {
            xml::Node node = lists::findReportNode(*doc, opts->node);
            if (!node) {
                std::cerr << "qxconfig-cli: the report has no node \"" << opts->node
                          << "\"; use an element name of the report layout or filter:NAME\n";
                exitCode = kExitFailure;
                return;
            }
            const auto model = lists::buildReportList(*doc, *application, node, {doc.get()});
            text = opts->format == "json" ? modelJson(model) : lists::saveAsText(escapedForTsv(model));
        }
        exitCode = writeOutput(text, opts->out) ? kExitOk : kExitError;
    });
}

}  // namespace qx::cli
