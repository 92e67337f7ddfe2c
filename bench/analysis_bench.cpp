// Cost of "Run Checker!" on one document: doubling the rules or the report should about
// double the time (each pass indexes the configuration once instead of searching per rule).
#include "analysis/analysis.hpp"
#include "app/application.hpp"
#include "document/config_doc.hpp"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

// A configuration with `items` SET parameters, items/4 modules and items/20 volumes.
std::string configXml(int items) {
    std::string s = "<config><setparams name=\"Set Parameter\"><set-category name=\"C\">";
    for (int i = 0; i < items; ++i)
        s += "<set-param><name>P" + std::to_string(i) + "</name><value>" + std::to_string(i) +
             "</value></set-param>";
    s += "</set-category></setparams><modules name=\"Modules\"><loaded-modules>";
    for (int i = 0; i < items / 4; ++i) {
        s += "<module><name>M" + std::to_string(i) +
             ".QXK</name><version>5.70b</version><date>Feb3,2004</date><description/></module>";
    }
    s += "</loaded-modules><search-path-modules/></modules><volumes name=\"Quarrix Volumes\">";
    for (int i = 0; i < items / 20; ++i) {
        s += "<volume name=\"V" + std::to_string(i) + "\"><property><name>Free Disk Space</name><value>" +
             std::to_string(i * 10) + " MBytes</value></property></volume>";
    }
    return s + "</volumes></config>";
}

// `rules` rules: SET-parameter rules, a quarter as many module rules, a few volume rules,
// spread over products of one group; every product is present.
std::string rulesXml(int rules, int items) {
    std::string s = "<rules date=\"01 01 2026\"><productgroup name=\"G\" version=\"1\">";
    const int products = rules / 50 + 1;
    for (int p = 0; p < products; ++p) {
        s += "<product ID=\"" + std::to_string(p) + "\" name=\"P\" version=\"1\"><setparams name=\"S\">";
        for (int i = p; i < rules; i += products) {
            s += "<set-param><name>P" + std::to_string(i % items) +
                 "</name><condition>&gt;=</condition><value>" + std::to_string(i % 7) +
                 "</value><type>2</type><url/></set-param>";
        }
        s += "</setparams><modules name=\"M\">";
        for (int i = p; i < rules / 4; i += products) {
            s += "<module><name>m" + std::to_string(i % (items / 4)) +
                 ".qxk</name><version>5.70c</version><version_condition>&lt;=</version_condition>"
                 "<date>Jan 12, 2004</date><date_condition>&gt;=</date_condition></module>";
        }
        s += "</modules></product>";
    }
    s += "<volumes name=\"V\"><volume><name>Free Disk "
         "Space</name><condition>&gt;=</condition><value>100</value></volume></volumes>";
    return s + "</productgroup></rules>";
}

void runChecker(benchmark::State& state, int rules, int items) {
    auto path =
        std::filesystem::temp_directory_path() / ("qx-bench-rules-" + std::to_string(::getpid()) + ".xml");
    std::ofstream(path) << rulesXml(rules, items);
    qx::Application app(std::filesystem::temp_directory_path().string());
    app.localisation().loadEmbedded();
    app.loadRuleBaseFrom(path.string());
    std::filesystem::remove(path);
    qx::CQXConfigDoc2 doc;
    doc.config().loadString(configXml(items));
    doc.resetReport();
    doc.state = qx::CQXConfigDoc2::kStateCompleted;
    for (auto _ : state) qx::analysis::runChecker({&doc}, app, {});
    state.counters["rules"] = rules;
    state.counters["items"] = items;
}

void BM_RunCheckerByRules(benchmark::State& state) {
    runChecker(state, static_cast<int>(state.range(0)), 4000);
}
void BM_RunCheckerByReportSize(benchmark::State& state) {
    runChecker(state, 1000, static_cast<int>(state.range(0)));
}

BENCHMARK(BM_RunCheckerByRules)->Arg(1000)->Arg(2000)->Arg(4000)->Arg(8000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RunCheckerByReportSize)
    ->Arg(4000)
    ->Arg(8000)
    ->Arg(16000)
    ->Arg(32000)
    ->Unit(benchmark::kMillisecond);

}  // namespace
