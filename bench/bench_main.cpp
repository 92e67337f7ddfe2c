// qxbench: speed and memory figures of the import and the analysis, each ratio measured
// on both sides in the same process and the same way (warm-up, median of repeated runs).
//   qxbench WORK_DIR CLI_PATH
#include "analysis/analysis.hpp"
#include "app/application.hpp"
#include "document/config_doc.hpp"
#include "gen/report_generator.hpp"
#include "import/report_reader.hpp"
#include "platform/file_system.hpp"

#include <pugixml.hpp>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
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

double textImport(const std::string& path) {
    return medianSeconds(5, [&] {
        qx::CQXConfigDoc2 doc;
        auto bytes = qx::platform::readFile(path);
        qx::import::importReportText(doc, *bytes);
    });
}

// The least work that turns the lines into a tree.
double treeBuild(const std::string& path) {
    return medianSeconds(5, [&] {
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
    });
}

double analysis(qx::Application& app, const std::string& path) {
    qx::CQXConfigDoc2 doc;
    auto bytes = qx::platform::readFile(path);
    qx::import::importReportText(doc, *bytes);
    doc.resetReport();
    return medianSeconds(5, [&] { qx::analysis::runImportPipeline(doc, app, {}); });
}

// Peak resident memory of a fresh process that opens and analyses one report. The child
// execs this program again: a plain fork would start with the parent's resident pages.
long peakRssKiB(const std::string& report, const std::string& rules) {
    pid_t pid = fork();
    if (pid == 0) {
        execl("/proc/self/exe", "qxbench", "--open-and-analyse", report.c_str(), rules.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    struct rusage ru {};
    wait4(pid, &status, 0, &ru);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::cerr << "qxbench: the memory child failed\n";
    return ru.ru_maxrss;
}

int openAndAnalyse(const std::string& report, const std::string& rules) {
    qx::Application app(fs::path(rules).parent_path().string());
    app.localisation().loadEmbedded();
    app.loadRuleBaseFrom(rules);
    qx::CQXConfigDoc2 doc;
    auto r = qx::import::loadDocument(doc, app, report);
    return r.outcome == qx::import::LoadOutcome::Completed ? 0 : 1;
}

double runCli(const std::string& cli, const std::string& args) {
    return medianSeconds(3, [&] {
        std::string cmd = cli + " " + args + " > /dev/null 2>&1";
        if (std::system(cmd.c_str()) != 0) std::cerr << "qxbench: failed: " << cmd << "\n";
    });
}

void ratio(const char* name, double value) { std::printf("%s: %.2f\n", name, value); }

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--open-and-analyse") return openAndAnalyse(argv[2], argv[3]);
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
    double import10 = textImport(s10);
    double reload10 = medianSeconds(5, [&] {
        qx::xml::Document d;
        d.loadFile(saved);
    });
    ratio("import_vs_xml_reload", import10 / reload10);
    ratio("import_vs_tree_build", import10 / treeBuild(s10));
    double a10 = analysis(*app, s10);
    ratio("analysis_scaling_rules", analysis(*app2, s10) / a10);
    ratio("analysis_scaling_report", analysis(*app, s20) / a10);
    ratio("peak_rss_per_input_byte",
          static_cast<double>(peakRssKiB(s30, (dir / "rules-x1.xml").string())) * 1024.0 / static_cast<double>(fs::file_size(s30)));

    fs::path batch = dir / "batch";
    fs::create_directories(batch);
    for (int i = 0; i < 100; ++i) {
        fs::path p = batch / ("R" + std::to_string(i) + ".TXT");
        if (!fs::exists(p)) fs::copy_file(writeReport(dir, 1, i % 3), p);
    }
    const std::string rules = (dir / "rules-x1.xml").string();
    double jobs1 = runCli(cli, "analyze --rules " + rules + " --jobs 1 " + batch.string());
    double jobs2 = runCli(cli, "analyze --rules " + rules + " --jobs 2 " + batch.string());
    ratio("batch_speedup", jobs1 / jobs2);
    return 0;
}
