// Comparison of 300 open servers (the two samples, alternately): what the worker thread
// spends building it, and what the user-interface thread spends showing it. Prints
// milliseconds per step.
#include "compare/compare_list.hpp"
#include "import/report_reader.hpp"
#include "views/compare_window.hpp"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication qapp(argc, argv);
    const int servers = argc > 1 ? std::atoi(argv[1]) : 300;
    const std::string source = argc > 2 ? argv[2] : QX_SOURCE_DIR;

    qx::Application app(source + "/resources");
    app.loadLocalisation();
    if (app.loadRuleBase() != qx::RuleBaseLoad::Loaded) {
        std::fprintf(stderr, "no rule base in %s/resources\n", source.c_str());
        return 2;
    }
    std::vector<std::unique_ptr<qx::CQXConfigDoc2>> docs;
    for (int i = 0; i < servers; ++i) {
        auto doc = std::make_unique<qx::CQXConfigDoc2>();
        const std::string sample = source + (i % 2 ? "/examples/FS2-CONFIG.TXT" : "/examples/FS1-CONFIG.TXT");
        if (!qx::import::openDocument(*doc, app, sample).opened()) return 2;
        docs.push_back(std::move(doc));
    }
    std::vector<const qx::CQXConfigDoc2*> others, all;
    for (const auto& d : docs) all.push_back(d.get());
    others.assign(all.begin() + 1, all.end());

    QElapsedTimer t;
    auto report = [&](const char* what) {
        std::printf("%-36s %8.1f ms\n", what, t.nsecsElapsed() / 1e6);
        t.restart();
    };
    t.start();
    // Worker thread.
    const qx::Application copy = app.cloneForWorker();
    report("copy of the application (worker)");
    auto result = qx::compare::compareServers(*docs[0], others, copy, qx::compare::CompareOptions::all());
    report("compare all types (worker)");
    auto uptime = qx::compare::buildUptimeDisplay(all, copy);
    report("up-time display (worker)");
    // User-interface thread.
    qx::gui::CSplitterFrameCompare window(app, QStringLiteral("Compare1"));
    window.resize(1200, 800);
    window.show();
    QApplication::processEvents();
    t.restart();
    window.setResult(std::move(result), std::move(uptime));
    report("show the result (tree, full list)");
    window.grab();
    report("paint the window");
    window.sortBy(1);
    window.grab();
    report("sort the node's list and paint");
    window.showView(1);
    window.grab();
    report("paint the full list");
    std::printf("servers: %d, lines: %zu, tree nodes: %zu\n", servers, window.result().lines.size(),
                window.result().tree.size());
    return 0;
}
