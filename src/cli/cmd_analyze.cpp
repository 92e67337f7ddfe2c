// qxconfig-cli analyze: the verdicts of many reports at once, as text or JSON lines.
#include "cli/cli_common.hpp"

#include "analysis/records.hpp"
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

constexpr std::array<const char*, 7> kMarks = {"Information", "Not Checked", "Bad",  "Good",
                                               "Remark",      "Command",     "Error"};
// Finding kinds in the order of the Report page's Summary, with volumes last.
constexpr std::array<std::pair<const char*, const char*>, 6> kKinds = {{{"module", "modules"},
                                                                        {"set-param", "setparams"},
                                                                        {"serverparam", "serverparams"},
                                                                        {"lan", "lans"},
                                                                        {"device", "devices"},
                                                                        {"volume", "volumes"}}};

std::string markName(int image) {
    return image >= 0 && image < static_cast<int>(kMarks.size()) ? kMarks[static_cast<std::size_t>(image)]
                                                                 : "Unknown";
}

struct Product {
    std::string id, name, checked, status;
};

struct Finding {
    std::string kind, path, rules, name, condition, value, productId;
    int image = 0;
};

struct Outcome {
    std::string file;
    bool opened = false;
    std::string message;  // refusal or warning
    bool empty = false;   // a saved tree that did not load: it opens empty
    std::string title;
    std::vector<Product> products;
    std::vector<Finding> findings;
    [[nodiscard]] bool anyBad() const {
        return std::any_of(findings.begin(), findings.end(), [](const Finding& f) { return f.image == 2; });
    }
};

Finding fromRecord(xml::Node rec) {
    Finding f;
    f.kind = xml::attribute(rec, "type");
    f.image = static_cast<int>(std::strtol(xml::childText(rec, "image").c_str(), nullptr, 10));
    f.path = xml::childText(rec, "type");
    f.rules = xml::childText(rec, "rules");
    f.name = xml::childText(rec, "name");
    f.condition = xml::childText(rec, "condition");
    f.value = xml::childText(rec, "value");
    f.productId = xml::attribute(rec, "ID");
    return f;
}

// Every marked configuration module in order; a Bad one takes the fields of its record
// (the module check writes exactly one record per Bad module, in the same order).
void addModuleFindings(const CQXConfigDoc2& doc, const Application& app, std::vector<Finding>& out) {
    std::vector<xml::Node> records;
    for (xml::Node r : xml::select(doc.report().documentNode(), "details/property[@type='module']"))
        records.push_back(r);
    std::size_t next = 0;
    const xml::Node cfg = doc.config().documentNode();
    for (const char* list : {"loaded-modules/module", "search-path-modules/module"}) {
        for (xml::Node m : xml::select(cfg, list)) {
            if (!xml::hasAttribute(m, "image")) continue;
            const int image = static_cast<int>(std::strtol(xml::attribute(m, "image").c_str(), nullptr, 10));
            if (image == 2 && next < records.size()) {
                out.push_back(fromRecord(records[next++]));
                continue;
            }
            Finding f;
            f.kind = "module";
            f.image = image;
            f.path = analysis::configurationPath(m, app);
            f.name = analysis::readField(m, "name");
            f.value = analysis::readField(m, "version") + " " + analysis::readField(m, "date");
            out.push_back(std::move(f));
        }
    }
}

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
    for (xml::Node p : xml::select(doc.report().documentNode(), "check/product")) {
        o.products.push_back({xml::attribute(p, "ID"), xml::childText(p, "name"),
                              xml::attribute(p, "checked"), xml::attribute(p, "status")});
    }
    addModuleFindings(doc, app, o.findings);
    for (std::size_t k = 1; k < kKinds.size(); ++k) {
        const std::string pattern = std::string("details/property[@type='") + kKinds[k].first + "']";
        for (xml::Node rec : xml::select(doc.report().documentNode(), pattern))
            o.findings.push_back(fromRecord(rec));
    }
    return o;
}

void printText(const Outcome& o, const Application& app, std::ostream& out) {
    out << "File: " << o.file << "\nTitle: " << o.title << "\n";
    out << "Products present:\n";
    for (const auto& p : o.products) {
        if (p.checked != "good") continue;
        out << "  " << (p.status == "good" ? "Good " : "Bad  ") << p.name << " (ID " << p.id << ", status "
            << p.status << ")\n";
    }
    out << "Products absent:\n";
    for (const auto& p : o.products) {
        if (p.checked != "good") out << "  " << p.name << " (ID " << p.id << ")\n";
    }
    std::map<std::string, std::array<int, 2>> counts;  // kind: good, bad
    for (const auto& [kind, list] : kKinds) {
        bool header = false;
        for (const auto& f : o.findings) {
            if (f.kind != kind) continue;
            if (!header) out << app.label(list) << ":\n";
            header = true;
            if (f.image == 3) ++counts[kind][0];
            if (f.image == 2) ++counts[kind][1];
            out << "  " << markName(f.image) << "  " << f.name << "  [" << f.path << "]";
            if (!f.rules.empty()) out << "  rule: " << f.rules;
            if (!f.condition.empty()) out << "  condition: " << f.condition;
            out << "  value: " << f.value << "\n";
        }
    }
    out << "Counts:";
    for (const auto& [kind, list] : kKinds) {
        out << "  " << app.label(list) << " " << counts[kind][0] << " good, " << counts[kind][1] << " bad;";
    }
    out << "\n\n";
}

nlohmann::json toJson(const Outcome& o) {
    nlohmann::json j;
    j["file"] = o.file;
    j["title"] = o.title;
    j["products"] = nlohmann::json::array();
    for (const auto& p : o.products) {
        j["products"].push_back(
            {{"ID", p.id}, {"name", p.name}, {"checked", p.checked}, {"status", p.status}});
    }
    j["findings"] = nlohmann::json::array();
    // Count keys by outcome code; Remark and Command never come from the analysis.
    static const std::array<const char*, 7> keys = {"information", "notChecked", "bad", "good", "", "",
                                                    "error"};
    nlohmann::json counts = nlohmann::json::object();
    for (const auto& [kind, list] : kKinds) {
        counts[kind] = {{"good", 0}, {"bad", 0}, {"information", 0}, {"notChecked", 0}, {"error", 0}};
    }
    for (const auto& f : o.findings) {
        j["findings"].push_back({{"kind", f.kind},
                                 {"mark", markName(f.image)},
                                 {"image", f.image},
                                 {"path", f.path},
                                 {"rules", f.rules},
                                 {"name", f.name},
                                 {"condition", f.condition},
                                 {"value", f.value},
                                 {"productId", f.productId}});
        if (f.image < 0 || f.image >= static_cast<int>(keys.size())) continue;
        const std::string key = keys[static_cast<std::size_t>(f.image)];
        if (!key.empty() && counts.contains(f.kind)) counts[f.kind][key] = counts[f.kind][key].get<int>() + 1;
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
    auto analyseOne = [&files](Application& own, std::size_t i) {
        Outcome o;
        try {
            o = analyse(own, files[i]);
        } catch (const std::exception& e) {
            o = {};
            o.file = files[i];
            o.message = std::string("analysis failed: ") + e.what();
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
