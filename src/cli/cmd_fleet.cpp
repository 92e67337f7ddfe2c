// qxconfig-cli fleet: many servers on one page, each linked to its own customer report.
#include "cli/cli_common.hpp"
#include "cli/cli_outputs.hpp"
#include "cli/parallel.hpp"

#include "import/report_reader.hpp"
#include "outputs/customer_report.hpp"
#include "outputs/fleet_page.hpp"
#include "platform/file_system.hpp"

#include <ctime>
#include <filesystem>
#include <iostream>
#include <set>
#include <thread>

namespace qx::cli {

namespace {

struct Options {
    EnvironmentOptions env;
    std::vector<std::string> inputs;
    std::string dir;
    std::string failOn = "none";
    unsigned jobs = 0;
};

// What a worker hands on: the fleet's view of the server and its own page.
struct ServerResult {
    outputs::AnalysedReport report;
    outputs::FleetServer server;
    std::string page;
};

ServerResult analyseServer(Application& app, const std::string& path, const outputs::RunInfo& run,
                           std::time_t now) {
    ServerResult r;
    try {
        CQXConfigDoc2 doc;
        auto opened = import::openDocument(doc, app, path);
        if (!opened.opened()) {
            r.report = outputs::failedReport(path, opened.message());
        } else {
            r.report = outputs::summarise(doc, opened.load.message);
            r.server = outputs::fleetServer(r.report, doc);
            r.page = outputs::renderCustomerReport(doc, app, run, now);
        }
    } catch (const std::exception& e) {
        r = {};
        r.report = outputs::failedReport(path, std::string("analysis failed: ") + e.what());
    }
    if (!r.report.opened) {
        r.server.file = path;
        r.server.server = std::string(outputs::fileName(path));
        r.server.error = r.report.error;
    }
    return r;
}

// The output folder, made when missing; says why not and returns false.
bool prepareFolder(const std::string& dir) {
    std::error_code ec;
    if (std::filesystem::is_directory(dir, ec)) return true;
    if (std::filesystem::exists(dir, ec)) {
        std::cerr << "qxconfig-cli: " << dir << " exists and is not a folder; give a folder for the pages\n";
        return false;
    }
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        std::cerr << "qxconfig-cli: cannot make the folder " << dir << ": " << ec.message() << "\n";
        return false;
    }
    return true;
}

}  // namespace

void addFleetCommand(CLI::App& app, int& exitCode) {
    auto opts = std::make_shared<Options>();
    auto* cmd = app.add_subcommand(
        "fleet",
        "Analyse many reports and write DIR/index.html: one row per server (worst first) with its "
        "counts per area, its products and the values in which it differs from the others, each "
        "linked to the server's own page DIR/<server>.html");
    cmd->add_option("REPORT", opts->inputs, "Reports, saved .xml trees, or folders to scan")->required();
    cmd->add_option("-o,--output-dir", opts->dir,
                    "Folder for index.html and the servers' pages (made when missing)")
        ->required();
    cmd->add_option("--jobs,-j", opts->jobs, "Reports analysed in parallel (default: all cores)")
        ->check(CLI::Range(1u, 1024u));
    cmd->add_option("--fail-on", opts->failOn,
                    "Exit with status 1 when a report has findings with one of these marks (comma list: bad, "
                    "error, notchecked, information, truncated)")
        ->type_name("{bad,error,notchecked,information,truncated,none}");
    opts->env.addTo(*cmd);
    cmd->callback([opts, &exitCode] {
        auto start = startBatch(opts->failOn, opts->env, opts->inputs);
        if (!start) {
            exitCode = kExitError;
            return;
        }
        const outputs::FailOn* failOn = &start->failOn;
        Application* application = start->application.get();
        const std::vector<std::string>& files = start->files;
        if (!prepareFolder(opts->dir)) {
            exitCode = kExitError;
            return;
        }
        const outputs::RunInfo run = runInfo(opts->env, *application);
        const std::time_t now = std::time(nullptr);
        const unsigned jobs = opts->jobs ? opts->jobs : std::max(1u, std::thread::hardware_concurrency());
        const bool progress = stderrIsTerminal() && files.size() > 1;
        auto clearProgress = [&] {
            if (progress) std::cerr << "\r\033[K";
        };
        std::vector<outputs::FleetServer> servers;
        std::set<std::string> taken;
        bool failed = false, matched = false;
        forEachInOrder<ServerResult, std::string>(
            *application, files, jobs,
            [&](Application& own, const std::string& path) { return analyseServer(own, path, run, now); },
            [&](ServerResult& r, std::size_t i) {
                clearProgress();
                if (!r.report.opened) {
                    failed = true;
                    std::cerr << "qxconfig-cli: " << r.report.error << "\n";
                } else {
                    for (const auto& w : r.report.warnings)
                        std::cerr << "qxconfig-cli: " << r.report.file << ": " << w << "\n";
                    matched = matched || failOn->matches(r.report);
                    r.server.page = outputs::pageName(r.report.server, r.report.file, taken);
                    const std::string path = platform::joinPath(opts->dir, r.server.page);
                    const std::string error = platform::writeFileAtomically(path, r.page);
                    if (!error.empty()) {
                        std::cerr << "qxconfig-cli: cannot write " << path << ": " << error << "\n";
                        exitCode = kExitError;
                        return false;
                    }
                }
                servers.push_back(std::move(r.server));
                if (progress)
                    std::cerr << "\ranalysed " << (i + 1) << " of " << files.size() << " reports"
                              << std::flush;
                return true;
            });
        clearProgress();
        if (exitCode == kExitError) return;
        const std::string index = platform::joinPath(opts->dir, "index.html");
        const std::string error =
            platform::writeFileAtomically(index, outputs::renderFleetPage(servers, *application, run, now));
        if (!error.empty()) {
            std::cerr << "qxconfig-cli: cannot write " << index << ": " << error << "\n";
            exitCode = kExitError;
            return;
        }
        std::size_t attention = 0;
        for (const auto& s : servers) attention += s.needingAttention() > 0;
        std::cout << index << ": " << servers.size() << " reports, " << attention
                  << " with findings that need attention\n";
        if (failed)
            exitCode = kExitError;
        else if (matched)
            exitCode = kExitFailure;
    });
}

}  // namespace qx::cli
