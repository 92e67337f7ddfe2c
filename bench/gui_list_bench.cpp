// Details list with 20,000 rows: build the rows in the core, fill the view, sort by a
// text, a number and a date column, and paint one screen. Prints milliseconds per step.
#include "analysis/findings.hpp"
#include "lists/config_lists.hpp"
#include "views/details_model.hpp"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication qapp(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 20000;

    qx::Application app("/tmp");
    app.localisation().loadEmbedded();
    qx::CQXConfigDoc2 doc;
    qx::xml::Node loaded = qx::xml::appendElement(
        qx::xml::appendElement(doc.config().createRoot("config"), "modules"), "loaded-modules");
    static const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int i = 0; i < rows; ++i) {
        qx::xml::Node m = qx::xml::appendElement(loaded, "module");
        const qx::analysis::Mark mark = qx::analysis::kMarks[static_cast<std::size_t>(i % 4)];
        qx::xml::setAttribute(m, "image", std::to_string(qx::analysis::markCode(mark)));
        qx::xml::appendElement(m, "name", "MOD" + std::to_string((i * 7919) % rows) + ".QXK");
        qx::xml::appendElement(m, "version", std::to_string(i % 9) + "." + std::to_string(i % 97));
        qx::xml::appendElement(
            m, "date",
            std::string(kMonths[i % 12]) + std::to_string(1 + i % 28) + "," + std::to_string(1995 + i % 12));
        qx::xml::appendElement(m, "description", "Module number " + std::to_string(i) + " ");
        qx::xml::appendElement(m, "allocated-memory", std::to_string((i * 104729) % 5000000));
    }

    qx::gui::CQXConfigView view;
    view.resize(1000, 700);
    view.show();
    QApplication::processEvents();

    QElapsedTimer t;
    auto report = [&](const char* what) {
        std::printf("%-28s %8.1f ms\n", what, t.nsecsElapsed() / 1e6);
        t.restart();
    };
    t.start();
    qx::lists::ListModel list = qx::lists::buildConfigList(loaded, app);
    report("build rows (core)");
    qx::lists::applyShowFlags(list, qx::lists::defaultShowFlags());
    report("filter");
    view.showList(list, -1);
    report("fill view");
    view.grab();
    report("paint one screen");
    const char* names[] = {"sort text (name)", "sort number (memory)", "sort date"};
    const int columns[] = {0, 4, 2};
    for (int k = 0; k < 3; ++k) {
        qx::lists::ListModel copy = list;
        qx::lists::sortRows(copy, columns[k], app);
        view.showList(std::move(copy), columns[k]);
        view.grab();
        report(names[k]);
    }
    std::printf("rows: %d\n", view.model()->rowCount());
    return 0;
}
