// qxconfig-cli analyze: the verdicts of many reports at once, for people (text) and for
// programs (JSON lines, SARIF, JUnit).
#include "cli/cli_common.hpp"
#include "cli/cli_outputs.hpp"
#include "cli/parallel.hpp"

#include "analysis/analysis.hpp"
#include "import/report_reader.hpp"
#include "outputs/ci_formats.hpp"
#include "outputs/json_contract.hpp"
#include "outputs/terminal_view.hpp"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <thread>

namespace qx::cli {

namespace {

struct Outcome {
    outputs::AnalysedReport report;
    bool empty = false;  // a saved tree that did not load: it opens empty
};

Outcome analyse(Application& app, const std::string& path) {
    Outcome o;
    CQXConfigDoc2 doc;
    auto r = import::openDocument(doc, app, path);
    if (!r.opened()) {
        o.report = outputs::failedReport(path, r.message());
        return o;
    }
    o.empty = r.load.outcome == import::LoadOutcome::NoContent;
    o.report = outputs::summarise(doc, r.load.message);
    return o;
}

// With memory exhausted even the failure's message may not be made: an outcome that names
// no file gets its file and message on the thread that prints it.
Outcome analyseSafely(Application& app, const std::string& path) {
    Outcome o;
    try {
        o = analyse(app, path);
    } catch (const std::bad_alloc&) {
        o = {};
    } catch (const std::exception& e) {
        o = {};
        try {
            o.report.error = std::string("analysis failed: ") + e.what();
        } catch (const std::bad_alloc&) {
        }
    }
    return o;
}

struct Options {
    EnvironmentOptions env;
    std::vector<std::string> inputs;
    std::string format = "text";
    std::string failOn = "none";
    std::string colour = "auto";
    std::string out;
    unsigned jobs = 0;
};

// Colour and line width of the text view: a terminal gets both, a pipe neither (unless
// --color=always asks for colour).
outputs::TerminalStyle terminalStyle(const std::string& colour) {
    outputs::TerminalStyle s;
    const bool terminal = ::isatty(STDOUT_FILENO) == 1;
    const char* noColour = std::getenv("NO_COLOR");
    s.colour = colour == "always" || (colour == "auto" && terminal && !(noColour && *noColour));
    if (terminal) {
        winsize ws{};
        if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0) s.width = ws.ws_col;
        if (s.width == 0) {
            const char* columns = std::getenv("COLUMNS");
            s.width = columns ? std::strtoul(columns, nullptr, 10) : 0;
        }
        if (s.width == 0) s.width = 80;
        s.width = std::max<std::size_t>(s.width, 40);
    }
    return s;
}

}  // namespace

void addAnalyzeCommand(CLI::App& app, int& exitCode) {
    auto opts = std::make_shared<Options>();
    auto* cmd = app.add_subcommand("analyze", "Analyse reports (files or folders) and print the findings");
    cmd->alias("analyse");
    cmd->add_option("REPORT", opts->inputs, "Reports, saved .xml trees, or folders to scan")->required();
    cmd->add_option("--format", opts->format,
                    "text (default), json (one object per report and line, docs/json.md), sarif (SARIF "
                    "2.1.0) or junit (JUnit XML)")
        ->check(CLI::IsMember({"text", "json", "sarif", "junit"}));
    cmd->add_option("-o,--output", opts->out, "Write to FILE (replaced atomically) instead of stdout");
    cmd->add_option("--jobs,-j", opts->jobs, "Reports analysed in parallel (default: all cores)")
        ->check(CLI::Range(1u, 1024u));
    cmd->add_option("--fail-on", opts->failOn,
                    "Exit with status 1 when a report has findings with one of these marks: a comma list of "
                    "bad, error, notchecked, information, and truncated for a report that stops early")
        ->type_name("{bad,error,notchecked,information,truncated,none}");
    cmd->add_option("--color", opts->colour,
                    "Colour the marks: auto (on a terminal, unless NO_COLOR is set), always, never")
        ->check(CLI::IsMember({"auto", "always", "never"}));
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
        const outputs::RunInfo run = runInfo(opts->env, *application);
        const outputs::TerminalStyle style = opts->out.empty()
                                                 ? terminalStyle(opts->colour)
                                                 : outputs::TerminalStyle{opts->colour == "always", 0};
        // Streams go out report by report; the CI formats and files are written whole at the end.
        const bool streaming = opts->out.empty() && (opts->format == "text" || opts->format == "json");
        const bool progress = stderrIsTerminal() && files.size() > 1;
        const unsigned jobs = opts->jobs ? opts->jobs : std::max(1u, std::thread::hardware_concurrency());
        bool refused = false, matched = false, unwritable = false;
        std::vector<outputs::AnalysedReport> collected;
        std::string text;
        forEachInOrder<Outcome, std::string>(
            *application, files, jobs, analyseSafely, [&](Outcome& o, std::size_t i) {
                if (progress) std::cerr << "\r\033[K";
                outputs::AnalysedReport& r = o.report;
                if (r.file.empty()) {
                    r.file = files[i];
                    if (r.error.empty() && !r.opened) r.error = analysis::kExceptionMessage;
                }
                if (!r.opened) {
                    refused = true;
                    std::cerr << "qxconfig-cli: " << messageAbout(r.file, r.error) << "\n";
                } else {
                    for (const auto& w : r.warnings)
                        std::cerr << "qxconfig-cli: " << messageAbout(r.file, w) << "\n";
                    // A tree that opened empty has nothing to judge: no run that gates on findings passes it.
                    if (o.empty && (!failOn->marks.empty() || failOn->truncated)) refused = true;
                    matched = matched || failOn->matches(r);
                }
                if (opts->format == "json") {
                    text += outputs::dumpJson(outputs::reportJson(r, run), true) + "\n";
                } else if (opts->format == "text" && r.opened) {
                    text += outputs::renderTerminal(r, style);
                } else if (opts->format != "text") {
                    collected.push_back(std::move(r));
                }
                if (streaming) {
                    std::cout << text;
                    text.clear();
                    unwritable = !flushStdout();
                }
                if (progress)
                    std::cerr << "analysed " << (i + 1) << " of " << files.size() << " reports" << std::flush;
                return !unwritable;
            });
        if (progress) std::cerr << "\r\033[K" << std::flush;
        if (opts->format == "sarif") text = outputs::renderSarif(collected, run);
        if (opts->format == "junit") text = outputs::renderJunit(collected, run);
        if (!streaming && !writeOutput(text, opts->out)) unwritable = true;
        if (refused || unwritable)
            exitCode = kExitError;
        else if (matched)
            exitCode = kExitFailure;
    });
}

}  // namespace qx::cli
