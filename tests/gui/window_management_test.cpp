// The main frame as a window manager for 2 and for many servers: where new windows open,
// Cascade and the Tile commands, the Window menu's list, the title, the tree pane's width,
// the language switch and which commands can act.
#include "gui_test_support.hpp"

#include "app/commands.hpp"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QSplitter>
#include <QToolBar>

using namespace qx;
using namespace qx::gui;

namespace {

std::unique_ptr<CQXConfigDoc2> serverDocument(const QString& name) {
    auto doc = std::make_unique<CQXConfigDoc2>();
    doc->config().loadString(
        "<config><serverparams><serverparam><name>Server Name</name><value>" + name.toStdString() +
        "</value></serverparam></serverparams><setparams><set-category name='Memory'><set-param>"
        "<name>Minimum Free Memory</name><value>8000</value></set-param></set-category></setparams>"
        "<loaded-modules/><volumes/><lans/><devices/></config>");
    doc->resetReport();
    doc->title = name.toStdString();
    doc->state = CQXConfigDoc2::kStateCompleted;
    return doc;
}

QList<QAction*> windowEntries(QMenu* menu) {
    QList<QAction*> out;
    for (QAction* a : menu->actions())
        if (!a->isSeparator() && a->data().toInt() == 0) out << a;
    return out;
}

}  // namespace

class WindowManagementTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::ProgramFolder> m_folder;
    QStringList m_messages;
    std::unique_ptr<CQXConfigApp> m_app;
    CMainFrame* m_frame = nullptr;

    QRect area() const { return m_frame->mdiArea()->viewport()->rect(); }
    void open(int count) {
        const int first = m_frame->configWindows().size();
        for (int i = 0; i < count; ++i)
            m_frame->addConfigWindow(serverDocument(QStringLiteral("FS%1").arg(first + i + 1)));
    }

private slots:
    void initTestCase() { m_folder = std::make_unique<test::ProgramFolder>(); }

    void init() {
        m_messages.clear();
        test::answerMessages(m_messages);
        m_app = test::startProgram(m_folder->path());
        QVERIFY(m_app);
        m_frame = m_app->mainFrame();
        m_frame->resize(1100, 760);
        QVERIFY(QTest::qWaitForWindowExposed(m_frame));
    }

    void cleanup() { m_app.reset(); }

    void newWindowsOpenInsideTheAreaCascaded() {
        open(12);
        QPoint last(-1, -1);
        for (QMdiSubWindow* sw : m_frame->mdiArea()->subWindowList(QMdiArea::CreationOrder)) {
            QVERIFY2(area().contains(sw->geometry()), qPrintable(sw->windowTitle()));
            QVERIFY(sw->pos() != last);
            last = sw->pos();
        }
        // A small frame: the next window shrinks to fit.
        m_frame->resize(700, 480);
        QTest::qWait(20);
        open(1);
        QVERIFY(
            area().contains(m_frame->mdiArea()->subWindowList(QMdiArea::CreationOrder).last()->geometry()));
    }

    void tileHorizontallyStacksAndVerticallyPutsSideBySide() {
        open(3);
        m_frame->action(cmd::WindowTileHorz)->trigger();
        QList<QMdiSubWindow*> windows = m_frame->mdiArea()->subWindowList(QMdiArea::CreationOrder);
        int y = -1;
        for (QMdiSubWindow* sw : windows) {
            QCOMPARE(sw->x(), 0);
            QCOMPARE(sw->width(), area().width());
            QVERIFY(sw->y() > y);
            y = sw->y();
        }
        m_frame->action(cmd::WindowTileVert)->trigger();
        int x = -1;
        for (QMdiSubWindow* sw : windows) {
            QCOMPARE(sw->y(), 0);
            QCOMPARE(sw->height(), area().height());
            QVERIFY(sw->x() > x);
            x = sw->x();
        }
        m_frame->action(cmd::WindowCascade)->trigger();
        for (QMdiSubWindow* sw : windows) QVERIFY(area().contains(sw->geometry()));
        QVERIFY(windows[0]->pos() != windows[1]->pos());
    }

    void manyWindowsStayUsableAndInside() {
        open(60);
        for (int id : {cmd::WindowTileHorz, cmd::WindowTileVert, cmd::WindowCascade}) {
            m_frame->action(id)->trigger();
            for (QMdiSubWindow* sw : m_frame->mdiArea()->subWindowList()) {
                QVERIFY2(area().contains(sw->geometry()), qPrintable(cmd::resourceText(id)));
                QVERIFY(sw->height() >= 100 && sw->width() >= 200);
            }
        }
    }

    void theWindowMenuListsEveryWindow() {
        open(3);
        m_frame->addReportWindow(CReportEditView::Kind::TextReport, QStringLiteral("Notes & more"), "x\r\n");
        m_frame->refreshWindowMenu();
        QList<QAction*> entries = windowEntries(m_frame->windowMenu());
        QCOMPARE(entries.size(), 4);
        QCOMPARE(entries[0]->text(), QStringLiteral("&1 FS1"));
        QCOMPARE(entries[3]->text(), QStringLiteral("&4 Notes && more"));
        QVERIFY(entries[3]->isChecked() && !entries[0]->isChecked());
        entries[1]->trigger();
        QCOMPARE(m_frame->activeConfigWindow(), m_frame->configWindows().at(1));
        m_frame->refreshWindowMenu();
        entries = windowEntries(m_frame->windowMenu());
        QCOMPARE(entries.size(), 4);  // rebuilt, not added to
        QVERIFY(entries[1]->isChecked());
    }

    void theTitleNamesTheDocumentOnce() {
        open(2);
        QCOMPARE(m_frame->windowTitle(), QStringLiteral("QXConfig - FS2"));
        m_frame->mdiArea()->activeSubWindow()->showMaximized();
        QTest::qWait(20);
        QCOMPARE(m_frame->windowTitle().count(QStringLiteral("FS2")), 1);
        QVERIFY(m_frame->windowTitle().startsWith(QStringLiteral("QXConfig")));
        m_frame->mdiArea()->closeAllSubWindows();
        QCOMPARE(m_frame->windowTitle(), QStringLiteral("QXConfig"));
    }

    void theTreePaneShowsTheFirstLevelAndKeepsItsWidth() {
        open(1);
        CQXConfigSplitter* w = m_frame->configWindows().first();
        QTreeWidget* tree = w->form()->page(PageKind::Config)->tree();
        QTreeWidgetItem* root = tree->topLevelItem(0);
        for (int i = 0; i < root->childCount(); ++i) {
            const QRect r = tree->visualItemRect(root->child(i));
            QVERIFY2(r.left() + tree->fontMetrics().horizontalAdvance(root->child(i)->text(0)) <
                         tree->viewport()->width(),
                     qPrintable(root->child(i)->text(0)));
        }
        auto* splitter = w->findChild<QSplitter*>();
        splitter->setSizes({333, 500});
        emit splitter->splitterMoved(333, 1);
        QCOMPARE(QSettings(QStringLiteral("Orvane KTR"), QStringLiteral("Vestrel"))
                     .value(QStringLiteral("Layout/Tree Pane Width"))
                     .toInt(),
                 333);
        open(1);
        QCOMPARE(m_frame->configWindows().last()->findChild<QSplitter*>()->sizes().value(0), 333);
    }

    void aLanguageClickTranslatesTheMenusEveryTime() {
        open(1);
        m_frame->mdiArea()->closeAllSubWindows();
        QCOMPARE(m_frame->configWindows().size(), 0);
        m_frame->action(cmd::LangHungarian)->trigger();
        QCOMPARE(m_frame->menuBar()->actions().at(0)->text(),
                 QString::fromStdString(m_app->core().menuText("10")));
        QCOMPARE(m_frame->action(cmd::RunChecker)->toolTip(),
                 QString::fromStdString(m_app->core().localisation().toolText("32788")));
        m_frame->action(cmd::LangPortuguese)->trigger();
        QCOMPARE(m_frame->menuBar()->actions().at(0)->text(), QStringLiteral("&Arquivo"));
        open(1);
        m_frame->action(cmd::LangEnglish)->trigger();
        QCOMPARE(m_frame->menuBar()->actions().at(0)->text(), QStringLiteral("&File"));
        QCOMPARE(m_frame->action(cmd::RunChecker)->toolTip(), QStringLiteral("Checker"));
    }

    void editedTextWindowsAskBeforeTheyAreClosed() {
        QMessageBox::StandardButton answer = QMessageBox::Cancel;
        QStringList asked;
        setMessageHook([&](MessageKind, const QString&, const QString& text) {
            asked << text;
            return answer;
        });
        CReportEditView* view =
            m_frame->addReportWindow(CReportEditView::Kind::CommandFile, "FS1.qxs", "SET A = 1 \r\n");
        view->appendPlainText(QStringLiteral("SET B = 2 "));
        QVERIFY(!m_frame->close());
        QCOMPARE(asked, QStringList{QStringLiteral("Save the changes to FS1.qxs?")});
        QCOMPARE(m_frame->mdiArea()->subWindowList().size(), 1);
        answer = QMessageBox::No;
        QVERIFY(m_frame->close());
        QTRY_COMPARE(m_frame->mdiArea()->subWindowList().size(), 0);

        // "Close All" does not ask; an unedited window never does.
        asked.clear();
        m_frame->show();
        m_frame->addReportWindow(CReportEditView::Kind::TextReport, "R", "x\r\n")->appendPlainText("y");
        m_frame->addReportWindow(CReportEditView::Kind::TextReport, "S", "x\r\n");
        m_frame->action(cmd::CloseAll)->trigger();
        QTRY_COMPARE(m_frame->mdiArea()->subWindowList().size(), 0);
        QVERIFY(asked.isEmpty());
    }

    void commandsThatCannotActAreDisabledUntilTheyCan() {
        for (int id : {cmd::RunChecker, cmd::CloseAll, cmd::CloseAllConfig, cmd::WindowCascade,
                       cmd::WindowTileHorz, cmd::WindowTileVert, cmd::FilePrint, cmd::CopyToClipboard})
            QVERIFY2(!m_frame->action(id)->isEnabled(), qPrintable(cmd::resourceText(id)));
        QVERIFY(m_frame->action(cmd::PrintSetup)->isEnabled());
        open(1);
        for (int id : {cmd::RunChecker, cmd::CloseAll, cmd::CloseAllConfig, cmd::WindowCascade,
                       cmd::WindowTileHorz, cmd::WindowTileVert, cmd::FilePrint, cmd::CopyToClipboard})
            QVERIFY2(m_frame->action(id)->isEnabled(), qPrintable(cmd::resourceText(id)));
    }
};

QTEST_MAIN(WindowManagementTest)
#include "window_management_test.moc"
