#include "app/screenshots.hpp"

#include "app/commands.hpp"
#include "app/dialogs.hpp"
#include "app/live_update_dlg.hpp"
#include "app/open_progress.hpp"
#include "app/qxconfig_app.hpp"
#include "app/ui_hooks.hpp"
#include "views/compare_select_dlg.hpp"
#include "views/read_folder_dlg.hpp"
#include "views/rule_editor_dlg.hpp"
#include "views/select_dlg.hpp"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

namespace qx::gui {
namespace {

void save(QWidget* w, const QString& dir, const QString& name) {
    w->grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
}

// Selects the first tree item whose text starts with `prefix` on a page.
void selectItem(CQXConfigSplitter* w, PageKind page, const QString& prefix, bool expandAll = true) {
    CTreePage* p = w->form()->page(page);
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

// Lets the event loop run until `done` holds (at most ten seconds).
template <class Done>
void settleUntil(Done done) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 10000) QApplication::processEvents(QEventLoop::AllEvents, 50);
    settle();
}

// The frame with a menu open at `at` (a popup is a window of its own: painted in here).
void saveWithMenu(CMainFrame* f, QMenu& menu, QPoint at, const QString& dir, const QString& name) {
    menu.popup(f->mapToGlobal(at));
    settle();
    QPixmap shot = f->grab();
    QPainter p(&shot);
    p.drawPixmap(at, menu.grab());
    p.end();
    shot.save(QDir(dir).filePath(name + QStringLiteral(".png")));
    menu.hide();
}

// The details list's context menu over its first row.
void shootContextMenu(CMainFrame* f, CQXConfigSplitter* w, const QString& dir) {
    CQXConfigView* list = w->detailsList();
    if (list->model()->rowCount() > 0) list->setCurrentIndex(list->model()->index(0, 0));
    settle();
    std::unique_ptr<QMenu> menu = w->listMenu();
    const QPoint at = list->viewport()->mapTo(f, list->visualRect(list->model()->index(0, 0)).center());
    saveWithMenu(f, *menu, at, dir, QStringLiteral("context-menu"));
}

// The rule item editor on the SET-parameter rules shown: Insert, then Modify of the first
// row with its "Select" chooser. Nothing is changed.
void shootRuleEditor(CQXConfigSplitter* w, const QString& dir) {
    setDialogHook([dir](QDialog& d) {
        d.show();
        settle();
        save(&d, dir, QStringLiteral("rule-editor-insert"));
        return int(QDialog::Rejected);
    });
    w->insertRule();
    CQXConfigView* list = w->detailsList();
    if (list->model()->rowCount() > 0) list->setCurrentIndex(list->model()->index(0, 0));
    setDialogHook([dir](QDialog& d) {
        d.show();
        settle();
        if (qobject_cast<CSelectDlg*>(&d)) {
            save(&d, dir, QStringLiteral("select-chooser"));
            return int(QDialog::Rejected);
        }
        save(&d, dir, QStringLiteral("rule-editor-modify"));
        if (auto* editor = qobject_cast<CRuleItemDlg*>(&d)) editor->select();
        return int(QDialog::Rejected);
    });
    w->modifyRule();
    // A module rule: its build date in the calendar editor.
    selectItem(w, PageKind::Rules, QStringLiteral("Modules"));
    if (list->model()->rowCount() > 0) list->setCurrentIndex(list->model()->index(0, 0));
    setDialogHook([dir](QDialog& d) {
        d.show();
        settle();
        save(&d, dir, QStringLiteral("rule-editor-module"));
        return int(QDialog::Rejected);
    });
    w->modifyRule();
    setDialogHook({});
}

// The first row of the server report that carries a message.
int firstRowWithMessage(CQXConfigSplitter* w) {
    const auto& rows = w->detailsList()->detailsModel().list().rows;
    for (std::size_t r = 0; r < rows.size(); ++r)
        if (!rows[r].messages.empty()) return static_cast<int>(r);
    return -1;
}

// Dialogs, the text windows and a printed page of the Report page's server report.
void shootOutputs(CMainFrame* f, CQXConfigSplitter* w, const QString& dir) {
    const int row = firstRowWithMessage(w);
    setDialogHook([dir](QDialog& d) {
        d.adjustSize();
        save(&d, dir, QStringLiteral("information"));
        return int(QDialog::Rejected);
    });
    if (row >= 0) w->editRowMessages(row);

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setOutputFileName(QDir(dir).filePath(QStringLiteral("printed-list.pdf")));
    f->printActiveTo(printer);

    setDialogHook([dir](QDialog& d) {
        d.adjustSize();
        save(&d, dir, QStringLiteral("create-qxs"));
        return int(QDialog::Accepted);
    });
    f->createQxs();
    setDialogHook({});
    f->mdiArea()->activeSubWindow()->showMaximized();
    settle();
    save(f, dir, QStringLiteral("qxs-window"));
    f->mdiArea()->setActiveSubWindow(f->mdiArea()->subWindowList().first());
    f->openTextReport();
    f->cascadeWindows();
    settle();
    save(f, dir, QStringLiteral("text-report"));
    f->refreshWindowMenu();
    QMenuBar* bar = f->menuBar();
    QAction* window = f->windowMenu()->menuAction();
    saveWithMenu(f, *f->windowMenu(), bar->mapTo(f, bar->actionGeometry(window).bottomLeft()), dir,
                 QStringLiteral("window-menu"));
}

// The selection dialog, then the comparison window of the open servers.
void shootComparison(CMainFrame* f, const QString& dir) {
    setDialogHook([dir](QDialog& d) {
        d.adjustSize();
        save(&d, dir, QStringLiteral("compare-select"));
        if (auto* select = qobject_cast<CCompareSelectDlg*>(&d)) select->baseBox()->setCurrentIndex(0);
        return int(QDialog::Accepted);
    });
    f->compare();
    setDialogHook({});
    settleUntil([f] { return !f->busy(); });
    CSplitterFrameCompare* w = f->activeCompareWindow();
    if (!w) return;
    w->parentWidget()->showMaximized();
    // A section where the servers differ.
    const QString volumes = QString::fromStdString(f->application().label("volumes"));
    for (QTreeWidgetItemIterator it(w->tree()); *it; ++it)
        if ((*it)->text(0) == volumes) w->tree()->setCurrentItem(*it);
    w->expandTree(true);
    settle();
    save(f, dir, QStringLiteral("compare-window"));
    w->showView(1);
    settle();
    save(f, dir, QStringLiteral("compare-full-list"));
    w->showView(0);
}

// Read Folder on a few module files written for the picture.
void shootReadFolder(QWidget* parent, const QString& dir) {
    QTemporaryDir modules;
    auto module = [&modules](const QString& name, std::initializer_list<quint32> fields) {
        const QString path = modules.filePath(QStringLiteral("SYSTEM/") + name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) return;
        QByteArray b(200, '\0');
        b += "VeRsIoN#";
        for (quint32 v : fields)
            for (int i = 0; i < 4; ++i) b += char((v >> (8 * i)) & 0xFF);
        file.write(b + '\0');
    };
    module(QStringLiteral("SERVER.QXK"), {5, 70, 4, 2004, 3, 5});
    module(QStringLiteral("DS.QXK"), {10, 110, 0, 2005, 1, 12});
    module(QStringLiteral("drivers/CE1000.LAN"), {1, 9, 0, 2003, 11, 20});
    module(QStringLiteral("drivers/IDEATA.HAM"), {3, 2, 1, 2004, 6, 30});
    module(QStringLiteral("drivers/SCSIHD.CDM"), {3, 0, 12, 2004, 2, 2});
    module(QStringLiteral("nss/NSS.KFS"), {3, 21, 0, 2004, 9, 15});
    CReadFolderDlg dlg(parent);
    dlg.scanFolder(modules.filePath(QStringLiteral("SYSTEM")));
    settleUntil([&dlg] { return !dlg.scanning(); });
    save(&dlg, dir, QStringLiteral("read-folder"));
}

// The Live Update dialog half-way through a download and at its end.
void shootLiveUpdate(CQXConfigApp& app, QWidget* parent, const QString& dir) {
    CLiveUpdateDlg dlg(app.core(), QString::fromStdString(app.core().settings.rulesUpdateUrl), parent);
    dlg.showStatus(QStringLiteral(" Downloading file ..."));
    dlg.showProgress(45, 100);
    dlg.adjustSize();
    save(&dlg, dir, QStringLiteral("live-update-running"));
    dlg.showStatus(QStringLiteral(" Rules.xml updated"));
    dlg.showProgress(100, 100);
    dlg.closeButton()->show();
    dlg.adjustSize();
    save(&dlg, dir, QStringLiteral("live-update-done"));
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
        for (CQXConfigSplitter* w : windows)
            selectItem(w, PageKind::Config, QStringLiteral("Communications"));
        settle();
        save(f, dir, QStringLiteral("main-two-servers"));
        f->mdiArea()->setActiveSubWindow(f->mdiArea()->subWindowList().first());
        f->mdiArea()->activeSubWindow()->showMaximized();
        selectItem(first, PageKind::Config, QStringLiteral("Loaded modules"));
        settle();
        save(f, dir, QStringLiteral("config-page"));
        selectItem(first, PageKind::Config, QStringLiteral("Communications"));
        first->setCompareMode(ListMode::CompareX);
        settle();
        save(f, dir, QStringLiteral("compare-x"));
        selectItem(first, PageKind::Rules, QStringLiteral("SET Parameters"));
        settle();
        save(f, dir, QStringLiteral("rules-page"));
        shootRuleEditor(first, dir);
        selectItem(first, PageKind::Report, QStringLiteral("Suggestion"));
        settle();
        shootContextMenu(f, first, dir);
        selectItem(first, PageKind::Report, QStringLiteral("Report"), false);
        first->selectNode(first->document().report().root(), ListMode::Report);
        settle();
        save(f, dir, QStringLiteral("report-page"));
        shootOutputs(f, first, dir);
        shootComparison(f, dir);
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
    shootReadFolder(f, dir);
    shootLiveUpdate(app, f, dir);
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
