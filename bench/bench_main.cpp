// qxbench: speed and memory figures of the import and the analysis, each ratio measured
// on both sides in the same process and the same way (warm-up, median of repeated runs).
//   qxbench WORK_DIR CLI_PATH
#include "analysis/analysis.hpp"
#include "app/application.hpp"
#include "document/config_doc.hpp"
#include "gen/report_generator.hpp"
#include "import/report_reader.hpp"
#include "platform/file_system.hpp"

#include <unistd.h>
#include <pugixml.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double medianSeconds(int runs, const std::function<void()>& work) {
    work();  // warm-up
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        auto a = Clock::now();
        work();
        t.push_back(std::chrono::duration<double>(Clock::now() - a).count());
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

// Both sides of a ratio, measured in alternation so that they meet the same heap, caches and
// machine load: (median of a, median of b).
std::pair<double, double> medianPair(int runs, const std::function<void()>& a,
                                     const std::function<void()>& b) {
    a();  // warm-up
    b();
    std::vector<double> ta;
    std::vector<double> tb;
    for (int i = 0; i < runs; ++i) {
        auto t0 = Clock::now();
        a();
        auto t1 = Clock::now();
        b();
        auto t2 = Clock::now();
        ta.push_back(std::chrono::duration<double>(t1 - t0).count());
        tb.push_back(std::chrono::duration<double>(t2 - t1).count());
    }
    std::sort(ta.begin(), ta.end());
    std::sort(tb.begin(), tb.end());
    return {ta[ta.size() / 2], tb[tb.size() / 2]};
}

std::string writeReport(const fs::path& dir, int scale, int variant = 0) {
    fs::path p = dir / ("scale" + std::to_string(scale) + "-" + std::to_string(variant) + ".TXT");
    if (!fs::exists(p)) std::ofstream(p, std::ios::binary) << qx::bench::generateReport(scale, variant);
    return p.string();
}

std::unique_ptr<qx::Application> makeApp(const fs::path& dir, int multiplier) {
    fs::path rules = dir / ("rules-x" + std::to_string(multiplier) + ".xml");
    std::ofstream(rules, std::ios::binary) << qx::bench::generateRules(multiplier);
    auto app = std::make_unique<qx::Application>(dir.string());
    app->localisation().loadEmbedded();
    app->loadRuleBaseFrom(rules.string());
    return app;
}

void importOnce(const std::string& path) {
    qx::CQXConfigDoc2 doc;
    auto bytes = qx::platform::readFile(path);
    qx::import::importReportText(doc, *bytes);
}

double textImport(const std::string& path) {
    return medianSeconds(5, [&] { importOnce(path); });
}

// The least work that turns the lines into a tree.
void treeBuildOnce(const std::string& path) {
    pugi::xml_document d;
    pugi::xml_node root = d.append_child("config");
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        auto sp = line.find(' ');
        pugi::xml_node e = root.append_child("line");
        e.append_child("word").text().set(line.substr(0, sp).c_str());
        e.append_child("rest").text().set(sp == std::string::npos ? "" : line.substr(sp + 1).c_str());
    }
}

// A document imported once; the analysis runs on it again and again.
struct Imported {
    qx::CQXConfigDoc2 doc;
    explicit Imported(const std::string& path) {
        auto bytes = qx::platform::readFile(path);
        qx::import::importReportText(doc, *bytes);
        doc.resetReport();
    }
    void analyse(qx::Application& app) { qx::analysis::runImportPipeline(doc, app, {}); }
};

double analysis(qx::Application& app, const std::string& path) {
    Imported d(path);
    return medianSeconds(5, [&] { d.analyse(app); });
}

// Peak resident memory of a fresh process that opens and analyses one report, as the
// process itself reads it (VmHWM) just before it ends. The rusage of a child would not do:
// exec carries the high-water mark of the forked copy of this process into it.
long peakRssKiB(const std::string& report, const std::string& rules) {
    std::string cmd =
        "/proc/" + std::to_string(getpid()) + "/exe --open-and-analyse '" + report + "' '" + rules + "'";
    FILE* p = popen(cmd.c_str(), "r");
    long kib = 0;
    if (!p || std::fscanf(p, "%ld", &kib) != 1) std::cerr << "qxbench: the memory child failed\n";
    if (p && pclose(p) != 0) std::cerr << "qxbench: the memory child failed\n";
    return kib;
}

long ownPeakRssKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    }
    return 0;
}

int openAndAnalyse(const std::string& report, const std::string& rules) {
    qx::Application app(fs::path(rules).parent_path().string());
    app.localisation().loadEmbedded();
    app.loadRuleBaseFrom(rules);
    qx::CQXConfigDoc2 doc;
    auto r = qx::import::loadDocument(doc, app, report);
    std::printf("%ld\n", ownPeakRssKiB());
    return r.outcome == qx::import::LoadOutcome::Completed ? 0 : 1;
}

// One side of an import ratio, timed in a fresh process (warm-up, median of `runs`), so
// that neither side inherits the heap the benchmarks before it left behind.
int timeInChild(const std::string& mode, const std::string& path, int runs) {
    std::function<void()> work;
    if (mode == "import")
        work = [&] { importOnce(path); };
    else if (mode == "reload")
        work = [&] {
            qx::xml::Document d;
            d.loadFile(path);
        };
    else if (mode == "tree")
        work = [&] { treeBuildOnce(path); };
    else
        return 2;
    std::printf("%.9f\n", medianSeconds(runs, work));
    return 0;
}

double childSeconds(const std::string& mode, const std::string& path) {
    std::string cmd = "/proc/" + std::to_string(getpid()) + "/exe --time " + mode + " '" + path + "' 9";
    FILE* p = popen(cmd.c_str(), "r");
    double seconds = 0;
    if (!p || std::fscanf(p, "%lf", &seconds) != 1) std::cerr << "qxbench: failed: " << cmd << "\n";
    if (p) pclose(p);
    return seconds;
}

// Both sides in alternating fresh processes; the median of three children each.
std::pair<double, double> childPair(const std::string& modeA, const std::string& pathA,
                                    const std::string& modeB, const std::string& pathB) {
    std::vector<double> a;
    std::vector<double> b;
    for (int i = 0; i < 3; ++i) {
        a.push_back(childSeconds(modeA, pathA));
        b.push_back(childSeconds(modeB, pathB));
    }
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    return {a[1], b[1]};
}

void runCli(const std::string& cli, const std::string& args) {
    std::string cmd = cli + " " + args + " > /dev/null 2>&1";
    if (std::system(cmd.c_str()) != 0) std::cerr << "qxbench: failed: " << cmd << "\n";
}

// A ratio with both of its sides, printed after all are measured: the sides as a table,
// then the ratio lines last.
struct Ratio {
    const char* name;
    double top;
    double bottom;
    const char* unit;
};
std::vector<Ratio> g_ratios;

void ratio(const char* name, double top, double bottom, const char* unit = "ms") {
    const double scale = std::string(unit) == "ms" ? 1000.0 : 1.0;
    g_ratios.push_back({name, top * scale, bottom * scale, unit});
}

void printRatios() {
    std::printf("%-26s %14s %14s\n", "ratio", "top", "bottom");
    for (const auto& r : g_ratios)
        std::printf("%-26s %11.1f %-2s %11.1f %-2s\n", r.name, r.top, r.unit, r.bottom, r.unit);
    std::printf("\n");
    for (const auto& r : g_ratios) std::printf("%s: %.2f\n", r.name, r.top / r.bottom);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--open-and-analyse") return openAndAnalyse(argv[2], argv[3]);
    if (argc == 5 && std::string(argv[1]) == "--time")
        return timeInChild(argv[2], argv[3], std::atoi(argv[4]));
    if (argc < 3) {
        std::cerr << "usage: qxbench WORK_DIR CLI_PATH\n";
        return 2;
    }
    fs::path dir = argv[1];
    std::string cli = argv[2];
    fs::create_directories(dir);
    auto app = makeApp(dir, 1);
    auto app2 = makeApp(dir, 2);

    std::printf("%-8s %12s %14s %14s\n", "scale", "bytes", "import MB/s", "analysis ms");
    for (int scale : {1, 10, 30}) {
        std::string path = writeReport(dir, scale);
        double bytes = static_cast<double>(fs::file_size(path));
        double t = textImport(path);
        double a = analysis(*app, path);
        std::printf("%-8d %12.0f %14.1f %14.1f\n", scale, bytes, bytes / 1e6 / t, a * 1000);
    }
    std::printf("\n");

    const std::string s10 = writeReport(dir, 10);
    const std::string s20 = writeReport(dir, 20);
    const std::string s30 = writeReport(dir, 30);
    const std::string saved = (dir / "scale10.xml").string();
    {
        qx::CQXConfigDoc2 doc;
        qx::import::importReportText(doc, *qx::platform::readFile(s10));
        doc.config().saveFile(saved);
    }
    constexpr int kRuns = 9;
    auto [import10, reload10] = childPair("import", s10, "reload", saved);
    ratio("import_vs_xml_reload", import10, reload10);
    auto [importAgain, build10] = childPair("import", s10, "tree", s10);
    ratio("import_vs_tree_build", importAgain, build10);
    {
        Imported d10(s10);
        auto [twice, once] = medianPair(
            kRuns, [&] { d10.analyse(*app2); }, [&] { d10.analyse(*app); });
        ratio("analysis_scaling_rules", twice, once);
    }
    {
        Imported d10(s10);
        Imported d20(s20);
        auto [big, small] = medianPair(
            kRuns, [&] { d20.analyse(*app); }, [&] { d10.analyse(*app); });
        ratio("analysis_scaling_report", big, small);
    }
    ratio("peak_rss_per_input_byte",
          static_cast<double>(peakRssKiB(s30, (dir / "rules-x1.xml").string())) / 1024.0,
          static_cast<double>(fs::file_size(s30)) / 1048576.0, "MB");

    fs::path batch = dir / "batch";
    fs::create_directories(batch);
    for (int i = 0; i < 100; ++i) {
        fs::path p = batch / ("R" + std::to_string(i) + ".TXT");
        if (!fs::exists(p)) fs::copy_file(writeReport(dir, 1, i % 3), p);
    }
    const std::string rules = (dir / "rules-x1.xml").string();
    auto [jobs1, jobs2] = medianPair(
        5, [&] { runCli(cli, "analyze --rules " + rules + " --jobs 1 " + batch.string()); },
        [&] { runCli(cli, "analyze --rules " + rules + " --jobs 2 " + batch.string()); });
    ratio("batch_speedup", jobs1, jobs2);
    printRatios();
    return 0;
}
