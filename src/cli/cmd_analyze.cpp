// qxconfig-cli analyze: the verdicts of many reports at once, as text or JSON lines.
#include "cli/cli_common.hpp"

#include "analysis/analysis.hpp"
#include "analysis/findings.hpp"
#include "import/report_reader.hpp"
#include "xml/xml_document.hpp"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <iostream>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

namespace qx::cli {

namespace {

using analysis::Finding;
using analysis::FindingKind;
using analysis::Mark;

struct Outcome {
    std::string file;
    bool opened = false;
    std::string message;  // refusal or warning
    bool empty = false;   // a saved tree that did not load: it opens empty
    std::string title;
    std::vector<Finding> products;
    std::vector<Finding> findings;  // grouped by kind in the order of kFindingKinds
    [[nodiscard]] bool anyBad() const {
        return std::any_of(findings.begin(), findings.end(),
                           [](const Finding& f) { return f.mark == Mark::Bad; });
    }
};

Outcome analyse(Application& app, const std::string& path) {
    Outcome o;
    o.file = path;
    CQXConfigDoc2 doc;
    auto r = import::openDocument(doc, app, path);
    if (!r.opened()) {
        o.message = r.message();
        return o;
    }
    o.opened = true;
    o.message = r.load.message;
    o.empty = r.load.outcome == import::LoadOutcome::NoContent;
    o.title = doc.title;
    std::vector<Finding> all = analysis::findings(doc);
    for (auto& f : all) {
        // The document goes: its nodes with it.
        f.record = f.item = xml::Node();
        if (f.kind == FindingKind::Product) o.products.push_back(std::move(f));
    }
    for (const auto& kind : analysis::kFindingKinds) {
        for (auto& f : all) {
            if (f.kind == kind.kind && kind.kind != FindingKind::Product) o.findings.push_back(std::move(f));
        }
    }
    return o;
}

// Records keep a product's state in two words: present ("checked") and rules kept ("status").
const char* checkedText(const Finding& p) {
    return p.present ? "good" : "bad";
}
const char* statusText(const Finding& p) {
    return p.mark == Mark::Bad ? "bad" : "good";
}

std::string sourceText(const Finding& f) {
    return f.line ? f.file + ":" + std::to_string(f.line) : std::string();
}

void printText(const Outcome& o, const Application& app, std::ostream& out) {
    out << "File: " << o.file << "\nTitle: " << o.title << "\n";
    out << "Products present:\n";
    for (const auto& p : o.products) {
        if (!p.present) continue;
        out << "  " << (p.mark == Mark::Good ? "Good " : "Bad  ") << p.name << " (ID " << p.productId
            << ", status " << statusText(p) << ")\n";
    }
    out << "Products absent:\n";
    for (const auto& p : o.products) {
        if (!p.present) out << "  " << p.name << " (ID " << p.productId << ")\n";
    }
    std::map<FindingKind, std::array<int, 2>> counts;  // kind: good, bad
    for (const auto& kind : analysis::kFindingKinds) {
        if (kind.kind == FindingKind::Product) continue;
        bool header = false;
        for (const auto& f : o.findings) {
            if (f.kind != kind.kind) continue;
            if (!header) out << app.label(kind.list) << ":\n";
            header = true;
            if (f.mark == Mark::Good) ++counts[kind.kind][0];
            if (f.mark == Mark::Bad) ++counts[kind.kind][1];
            out << "  " << analysis::markName(f.mark) << "  " << f.name << "  [" << f.path << "]";
            if (!f.rulePath.empty()) out << "  rule: " << f.rulePath;
            if (!f.condition.empty()) out << "  condition: " << f.condition;
            out << "  value: " << f.value;
            if (f.line) out << "  source: " << sourceText(f);
            out << "\n";
        }
    }
    out << "Counts:";
    for (const auto& kind : analysis::kFindingKinds) {
        if (kind.kind == FindingKind::Product) continue;
        out << "  " << app.label(kind.list) << " " << counts[kind.kind][0] << " good, "
            << counts[kind.kind][1] << " bad;";
    }
    out << "\n\n";
}

// Keys of the counts object; Remark and Command never come from the analysis.
constexpr std::array<std::pair<Mark, const char*>, 5> kCountKeys = {{{Mark::Information, "information"},
                                                                     {Mark::NotChecked, "notChecked"},
                                                                     {Mark::Bad, "bad"},
                                                                     {Mark::Good, "good"},
                                                                     {Mark::Error, "error"}}};

nlohmann::json toJson(const Outcome& o) {
    nlohmann::json j;
    j["file"] = o.file;
    j["title"] = o.title;
    j["products"] = nlohmann::json::array();
    for (const auto& p : o.products) {
        j["products"].push_back(
            {{"ID", p.productId}, {"name", p.name}, {"checked", checkedText(p)}, {"status", statusText(p)}});
    }
    j["findings"] = nlohmann::json::array();
    nlohmann::json counts = nlohmann::json::object();
    for (const auto& kind : analysis::kFindingKinds) {
        if (kind.kind == FindingKind::Product) continue;
        counts[std::string(kind.type)] = {
            {"good", 0}, {"bad", 0}, {"information", 0}, {"notChecked", 0}, {"error", 0}};
    }
    for (const auto& f : o.findings) {
        const std::string type(analysis::namesOf(f.kind).type);
        nlohmann::json source = {{"file", f.file}, {"line", nullptr}};
        if (f.line) source["line"] = f.line;
        j["findings"].push_back({{"kind", type},
                                 {"mark", analysis::markName(f.mark)},
                                 {"image", analysis::markCode(f.mark)},
                                 {"path", f.path},
                                 {"rules", f.rulePath},
                                 {"name", f.name},
                                 {"condition", f.condition},
                                 {"value", f.value},
                                 {"productId", f.productId},
                                 {"source", source}});
        for (const auto& [mark, key] : kCountKeys) {
            if (mark == f.mark) counts[type][key] = counts[type][key].get<int>() + 1;
        }
    }
    j["counts"] = counts;
    return j;
}

struct Options {
    EnvironmentOptions env;
    std::vector<std::string> inputs;
    std::string format = "text";
    std::string failOn = "none";
    unsigned jobs = 0;
};

// More workers than this only add memory (each holds its own rule base).
constexpr unsigned kMaxWorkers = 64;

// Analyses every file with up to `jobs` workers (each with its own rule base) and hands the
// results to `emit` in input order as soon as each one's predecessors are done; `emit`
// returns false to stop. Workers that cannot be started are done without: with none, the
// files are analysed here, one after the other.
void analyseAll(const Application& app, const std::vector<std::string>& files, unsigned jobs,
                const std::function<bool(const Outcome&)>& emit) {
    // With memory exhausted even the failure's message may not be made: an outcome that
    // names no file gets its file and message on the thread that prints it.
    auto analyseOne = [&files](Application& own, std::size_t i) {
        Outcome o;
        try {
            o = analyse(own, files[i]);
        } catch (const std::bad_alloc&) {
            o = {};
        } catch (const std::exception& e) {
            o = {};
            try {
                o.message = std::string("analysis failed: ") + e.what();
            } catch (const std::bad_alloc&) {
            }
        }
        if (o.file.empty()) {
            try {
                o.file = files[i];
                if (o.message.empty()) o.message = analysis::kExceptionMessage;
            } catch (const std::bad_alloc&) {
                o.file.clear();
            }
        }
        return o;
    };
    std::vector<std::optional<Outcome>> results(files.size());
    std::mutex mutex;
    std::condition_variable ready;
    std::atomic<std::size_t> nextFile{0};
    const unsigned wanted = std::min({std::max(1u, jobs), kMaxWorkers, static_cast<unsigned>(files.size())});
    std::vector<std::unique_ptr<Application>> apps;
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < wanted && files.size() > 1; ++t) {
        try {
            apps.push_back(std::make_unique<Application>(app.cloneForWorker()));
            Application& own = *apps.back();
            threads.emplace_back([&, &own = own] {
                for (std::size_t i; (i = nextFile++) < files.size();) {
                    Outcome o = analyseOne(own, i);
                    std::lock_guard lock(mutex);
                    results[i] = std::move(o);
                    ready.notify_all();
                }
            });
        } catch (const std::exception&) {
            // No memory or no thread for another worker: go on with those that started.
            if (apps.size() > threads.size()) apps.pop_back();
            break;
        }
    }
    const bool progress = stderrIsTerminal() && files.size() > 1;
    std::optional<Application> here;  // for the files analysed on this thread
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::optional<Outcome> o;
        if (threads.empty()) {
            if (!here) here.emplace(app.cloneForWorker());
            o = analyseOne(*here, i);
        } else {
            std::unique_lock lock(mutex);
            ready.wait(lock, [&] { return results[i].has_value(); });
            o = std::move(results[i]);
        }
        if (o->file.empty()) {
            o->file = files[i];
            if (o->message.empty()) o->message = analysis::kExceptionMessage;
        }
        const bool more = emit(*o);
        if (progress)
            std::cerr << "\ranalysed " << (i + 1) << " of " << files.size() << " reports" << std::flush;
        if (!more) {
            nextFile = files.size();  // workers stop after their current report
            break;
        }
    }
    for (auto& t : threads) t.join();
    if (progress) std::cerr << "\r\033[K" << std::flush;
}

}  // namespace

void addAnalyzeCommand(CLI::App& app, int& exitCode) {
    auto opts = std::make_shared<Options>();
    auto* cmd = app.add_subcommand("analyze", "Analyse reports (files or folders) and print the findings");
    cmd->add_option("REPORT", opts->inputs, "Reports, saved .xml trees, or folders to scan")->required();
    cmd->add_option("--format", opts->format, "Output format: text, or json (one object per report and line)")
        ->check(CLI::IsMember({"text", "json"}));
    cmd->add_option("--jobs,-j", opts->jobs, "Reports analysed in parallel (default: all cores)")
        ->check(CLI::Range(1u, 1024u));
    cmd->add_option("--fail-on", opts->failOn, "Exit with status 1 when any report has a Bad finding")
        ->check(CLI::IsMember({"none", "bad"}));
    opts->env.addTo(*cmd);
    cmd->callback([opts, &exitCode] {
        auto application = opts->env.createApplication();
        if (!application) {
            exitCode = kExitRefused;
            return;
        }
        const auto files = expandInputs(opts->inputs);
        if (files.empty()) {
            std::cerr
                << "qxconfig-cli: no reports found (folders are scanned for .TXT reports and .XML trees)\n";
            exitCode = kExitRefused;
            return;
        }
        const unsigned jobs = opts->jobs ? opts->jobs : std::max(1u, std::thread::hardware_concurrency());
        bool refused = false, bad = false, unwritable = false;
        analyseAll(*application, files, jobs, [&](const Outcome& o) {
            if (!o.opened) {
                refused = true;
                std::cerr << "qxconfig-cli: " << messageAbout(o.file, o.message) << "\n";
                return true;
            }
            if (!o.message.empty()) std::cerr << "qxconfig-cli: " << messageAbout(o.file, o.message) << "\n";
            // A tree that opened empty has nothing to judge: no run that gates on findings passes it.
            if (o.empty && opts->failOn != "none") refused = true;
            bad = bad || o.anyBad();
            if (opts->format == "json") {
                std::cout << toJson(o).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
            } else {
                printText(o, *application, std::cout);
            }
            unwritable = !flushStdout();
            return !unwritable;
        });
        if (refused || unwritable)
            exitCode = kExitRefused;
        else if (bad && opts->failOn == "bad")
            exitCode = kExitFailure;
    });
}

}  // namespace qx::cli
