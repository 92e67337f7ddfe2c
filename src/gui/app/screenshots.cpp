#include "app/screenshots.hpp"

#include "app/dialogs.hpp"
#include "app/open_progress.hpp"
#include "app/qxconfig_app.hpp"

#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>
#include <QTreeWidget>

namespace qx::gui {
namespace {

void save(QWidget* w, const QString& dir, const QString& name) {
    w->grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
}

// Selects the first tree item whose text starts with `prefix` on a page.
void selectItem(CQXConfigSplitter* w, int page, const QString& prefix, bool expandAll = true) {
    CTreePage* p = page == 0   ? static_cast<CTreePage*>(w->form()->page1())
                   : page == 1 ? static_cast<CTreePage*>(w->form()->page2())
                               : static_cast<CTreePage*>(w->form()->page3());
    w->form()->sheet()->setCurrentWidget(p);
    if (expandAll) p->treeOpen();
    for (QTreeWidgetItemIterator it(p->tree()); *it; ++it)
        if ((*it)->text(0).startsWith(prefix)) {
            p->tree()->setCurrentItem(*it);
            return;
        }
}

void settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

void shoot(CQXConfigApp& app, const QString& dir) {
    CMainFrame* f = app.mainFrame();
    QDir().mkpath(dir);
    f->resize(1280, 800);
    settle();
    const auto windows = f->configWindows();
    if (!windows.isEmpty()) {
        CQXConfigSplitter* first = windows.first();
        for (QMdiSubWindow* sw : f->mdiArea()->subWindowList()) sw->showNormal();
        f->mdiArea()->tileSubWindows();
        for (CQXConfigSplitter* w : windows) selectItem(w, 0, QStringLiteral("Communications"));
        settle();
        save(f, dir, QStringLiteral("main-two-servers"));
        f->mdiArea()->setActiveSubWindow(f->mdiArea()->subWindowList().first());
        f->mdiArea()->activeSubWindow()->showMaximized();
        selectItem(first, 0, QStringLiteral("Loaded modules"));
        settle();
        save(f, dir, QStringLiteral("config-page"));
        selectItem(first, 0, QStringLiteral("Communications"));
        first->setCompareMode(kModeCompareX);
        settle();
        save(f, dir, QStringLiteral("compare-x"));
        selectItem(first, 1, QStringLiteral("SET Parameters"));
        settle();
        save(f, dir, QStringLiteral("rules-page"));
        selectItem(first, 2, QStringLiteral("Reports"), false);
        settle();
        save(f, dir, QStringLiteral("report-page"));
    } else {
        save(f, dir, QStringLiteral("main-empty"));
    }
    auto* splash = new CSplashWnd;  // deletes itself when closed
    save(splash, dir, QStringLiteral("splash"));
    splash->deleteLater();
    CPreferencesDlg prefs(app.core().settings, f);
    prefs.adjustSize();
    save(&prefs, dir, QStringLiteral("preferences"));
    CAboutDlg about(app.core(), f);
    about.adjustSize();
    save(&about, dir, QStringLiteral("about"));
    COpenProgressDlg progress(f);
    progress.setFiles({QStringLiteral("/srv/reports/FS1-CONFIG.TXT"),
                       QStringLiteral("/srv/reports/FS2-CONFIG.TXT"),
                       QStringLiteral("/srv/reports/branch/FS7.XML")});
    progress.showIndex(1);
    save(&progress, dir, QStringLiteral("open-documents"));
}

}  // namespace

void takeScreenshots(CQXConfigApp& app, const QString& dir, const QStringList& moreFiles) {
    CMainFrame* f = app.mainFrame();
    auto pending = std::make_shared<QStringList>(moreFiles);
    auto step = std::make_shared<std::function<void()>>();
    auto done = std::make_shared<bool>(false);
    *step = [&app, f, dir, pending, step, done] {
        if (f->busy() || *done) return;  // the idle signal calls again
        if (!pending->isEmpty()) {
            f->openFile(pending->takeFirst());
            return;
        }
        *done = true;
        shoot(app, dir);
        QTimer::singleShot(0, qApp, &QApplication::quit);
    };
    QObject::connect(f, &CMainFrame::idle, f, [step] { (*step)(); });
    QTimer::singleShot(50, f, [step] { (*step)(); });
}

}  // namespace qx::gui
