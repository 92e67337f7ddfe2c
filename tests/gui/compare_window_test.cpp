// "Compare" on the two samples: the selection dialog, the comparison window's tree and lists
// against the core's comparison, its clipboard and file text against the command line's, and
// the documents a comparison reads staying open until it is built.
#include "gui_test_support.hpp"

#include "app/commands.hpp"
#include "app/icons.hpp"
#include "compare/compare_list.hpp"
#include "lists/config_lists.hpp"
#include "views/compare_select_dlg.hpp"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>

using namespace qx;
using namespace qx::gui;

namespace {

const QString kFs1 = QStringLiteral(QX_EXAMPLES "/FS1-CONFIG.TXT");
const QString kFs2 = QStringLiteral(QX_EXAMPLES "/FS2-CONFIG.TXT");

QImage iconImage(const QIcon& icon) {
    return icon.pixmap(16, 16).toImage();
}

QStringList rowCells(const lists::ListRow& row) {
    QStringList out;
    for (const auto& c : row.cells) out << QString::fromStdString(c);
    return out;
}

// The rows of a list as texts, with the icon index in front.
QStringList rowsOf(const lists::ListModel& list) {
    QStringList out;
    for (const auto& r : list.rows) out << QString::number(r.icon) + QLatin1Char('|') + rowCells(r).join('|');
    return out;
}

}  // namespace

class CompareWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::ProgramFolder> m_folder;
    QTemporaryDir m_out;
    QStringList m_messages;
    std::unique_ptr<CQXConfigApp> m_app;
    CMainFrame* m_frame = nullptr;

    Application& core() { return m_app->core(); }
    const CQXConfigDoc2& doc(int i) { return m_frame->configWindows().at(i)->document(); }

    // Runs "Compare" with the dialog set up by `choose`; returns the new window once built.
    CSplitterFrameCompare* compareWith(const std::function<void(CCompareSelectDlg&)>& choose) {
        setDialogHook([&choose](QDialog& d) {
            auto* dlg = qobject_cast<CCompareSelectDlg*>(&d);
            if (!dlg) return int(QDialog::Rejected);
            choose(*dlg);
            dlg->accept();
            return dlg->result();
        });
        const int before = m_frame->compareWindows().size();
        m_frame->action(cmd::Compare)->trigger();
        setDialogHook({});
        if (!test::waitIdle(m_frame) || m_frame->compareWindows().size() != before + 1) return nullptr;
        return m_frame->compareWindows().last();
    }

private slots:
    void initTestCase() { m_folder = std::make_unique<test::ProgramFolder>(); }

    void init() {
        m_messages.clear();
        test::answerMessages(m_messages);
        m_app = test::startProgram(m_folder->path(), kFs1);
        QVERIFY(m_app);
        m_frame = m_app->mainFrame();
        QVERIFY(test::waitIdle(m_frame));
        m_frame->openFile(kFs2);
        QVERIFY(test::waitIdle(m_frame));
        QCOMPARE(m_frame->configWindows().size(), 2);
    }

    void cleanup() {
        setDialogHook({});
        m_app.reset();
    }

    void theDialogOffersTheServersWithTheActiveOneAsBase() {
        QStringList items, servers;
        int base = -1;
        bool baseEnabled = true, allTypes = true;
        QString caption;
        setDialogHook([&](QDialog& d) {
            auto* dlg = qobject_cast<CCompareSelectDlg*>(&d);
            if (!dlg) return int(QDialog::Rejected);
            caption = dlg->windowTitle();
            for (int i = 0; i < dlg->baseBox()->count(); ++i) items << dlg->baseBox()->itemText(i);
            base = dlg->baseIndex();
            for (int i = 0; i < dlg->serverList()->count(); ++i)
                servers << dlg->serverList()->item(i)->text();
            baseEnabled = dlg->serverList()->item(base)->flags().testFlag(Qt::ItemIsEnabled);
            for (const char* name : compare::kOptionNames)
                allTypes = allTypes && dlg->typeBox(name)->isChecked();
            return int(QDialog::Rejected);
        });
        m_frame->action(cmd::Compare)->trigger();
        QCOMPARE(caption, QString::fromStdString(core().label("compare")));
        const QStringList titles = {QString::fromStdString(doc(0).title),
                                    QString::fromStdString(doc(1).title)};
        QCOMPARE(items, titles);
        QCOMPARE(servers, titles);
        QCOMPARE(base, 1);  // the window opened last is the active one
        QVERIFY(!baseEnabled);
        QVERIFY(allTypes);
        QVERIFY(m_frame->compareWindows().isEmpty());  // Cancel opens nothing
    }

    void theTwoSamplesCompareAsTheCommandLineDoes() {
        CSplitterFrameCompare* w = compareWith([](CCompareSelectDlg& d) { d.baseBox()->setCurrentIndex(0); });
        QVERIFY(w);
        QVERIFY(w->built());
        QCOMPARE(w->windowTitle(), QString::fromStdString(core().label("compare")) + QStringLiteral("1"));
        const auto expected =
            compare::compareServers(doc(0), {&doc(1)}, core(), compare::CompareOptions::all());
        QVERIFY(!expected.lines.empty());

        // The tree: every path node with its folded image.
        QTreeWidget* tree = w->tree();
        int items = 0;
        for (QTreeWidgetItemIterator it(tree); *it; ++it, ++items) {
            const int node = CTreeCompare::nodeOf(*it);
            QVERIFY(node >= 0 && node < int(expected.tree.size()));
            const auto& n = expected.tree[std::size_t(node)];
            QCOMPARE((*it)->text(0), QString::fromStdString(n.text));
            QCOMPARE(iconImage((*it)->icon(0)), iconImage(icons::list(compare::nodeIcon(n))));
        }
        QCOMPARE(items, int(expected.tree.size()));
        int notEqual = 0;
        for (const auto& n : expected.tree) notEqual += n.image == "notequal";
        QVERIFY(notEqual > 0);  // the samples differ

        // The first node is selected; its list holds the lines below its path.
        QCOMPARE(CTreeCompare::nodeOf(tree->currentItem()), 0);
        const auto first = compare::compareList(expected, core(), compare::nodePath(expected, 0));
        QCOMPARE(rowsOf(w->list()->detailsModel().list()), rowsOf(first));
        QCOMPARE(w->list()->detailsModel().headers().mid(1),
                 (QStringList{QString::fromStdString(doc(0).serverName()),
                              QString::fromStdString(doc(1).serverName())}));

        // A header click sorts by that column.
        w->sortBy(1);
        auto sorted = first;
        lists::sortRows(sorted, 1, core());
        QCOMPARE(rowsOf(w->list()->detailsModel().list()), rowsOf(sorted));

        // The full list: copied, it is the command line's text; saved, the same with LF.
        w->showView(1);
        m_frame->action(cmd::CopyToClipboard)->trigger();
        const QByteArray cli = test::runCli(m_folder->path(), {QStringLiteral("compare"), kFs1, kFs2});
        QVERIFY(!cli.isEmpty());
        QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromUtf8(cli));
        const QString saved = m_out.filePath(QStringLiteral("compare.txt"));
        QString proposed;
        setDialogHook([&](QDialog& d) {
            auto* files = qobject_cast<QFileDialog*>(&d);
            if (!files) return int(QDialog::Rejected);
            proposed = QFileInfo(files->selectedFiles().value(0)).fileName();
            files->selectFile(saved);
            return int(QDialog::Accepted);
        });
        m_frame->action(cmd::FileSaveAs)->trigger();
        QCOMPARE(proposed, w->windowTitle() + QStringLiteral(".txt"));
        QCOMPARE(test::readAll(saved), QByteArray(cli).replace("\r\n", "\n"));

        // Printed, the list keeps its headers: the servers' names.
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_out.filePath(QStringLiteral("compare.pdf")));
        QVERIFY(m_frame->printActiveTo(printer));
        QVERIFY(QFileInfo(printer.outputFileName()).size() > 1000);
        QCOMPARE(w->shownHeaders().mid(2), w->list()->detailsModel().headers().mid(1));
        QVERIFY(m_messages.isEmpty());
    }

    void theAllocatedMemoryNodeShowsTheUpTimes() {
        CSplitterFrameCompare* w = compareWith([](CCompareSelectDlg& d) {
            d.baseBox()->setCurrentIndex(0);
            for (const char* name : compare::kOptionNames) d.typeBox(name)->setChecked(false);
            d.typeBox("allocationmemory")->setChecked(true);
        });
        QVERIFY(w);
        const QString label = QString::fromStdString(core().label("allocatedmemory"));
        QTreeWidgetItem* memory = nullptr;
        for (QTreeWidgetItemIterator it(w->tree()); *it; ++it)
            if ((*it)->text(0) == label) memory = *it;
        QVERIFY(memory);
        w->tree()->setCurrentItem(memory);
        const auto& list = w->list()->detailsModel().list();
        QCOMPARE(w->list()->detailsModel().headers(),
                 (QStringList{QString::fromStdString(core().label("name")),
                              QString::fromStdString(compare::creationTimeText(doc(0))),
                              QString::fromStdString(compare::creationTimeText(doc(1)))}));
        QVERIFY(list.rows.size() > 1);
        QCOMPARE(QString::fromStdString(list.rows[0].cells[0]), QStringLiteral(" UpTime"));
        std::string upTime = doc(0).serverParameter("Server Up Time");
        if (upTime.empty()) upTime = doc(0).serverParameter("Server Up Time(D:H:M:Sec)");
        QVERIFY(!upTime.empty());
        QCOMPARE(QString::fromStdString(list.rows[0].cells[1]), QString::fromStdString(upTime));
    }

    void theBaseIsNeverComparedWithItselfAndABaseIsRequired() {
        CSplitterFrameCompare* w = compareWith([](CCompareSelectDlg& d) {
            d.baseBox()->setCurrentIndex(1);
            for (int i = 0; i < d.serverList()->count(); ++i)
                d.serverList()->item(i)->setCheckState(Qt::Checked);
        });
        QVERIFY(w);
        QCOMPARE(w->result().serverTitles, std::vector<std::string>{doc(0).title});
        QCOMPARE(w->result().baseTitle, doc(1).title);

        QString caption, text;
        setMessageHook([&](MessageKind, const QString& c, const QString& t) {
            caption = c;
            text = t;
            return QMessageBox::Ok;
        });
        CCompareSelectDlg none(core(), {}, -1, {}, compare::CompareOptions::all());
        none.accept();
        QCOMPARE(text, QStringLiteral("Please, select base server!"));
        QCOMPARE(caption, QString::fromStdString(core().label("informations")));
        QVERIFY(none.result() != QDialog::Accepted);

        // Without a kind of value there is nothing to compare.
        CCompareSelectDlg noTypes(core(), {QStringLiteral("A")}, 0, {true}, compare::CompareOptions{});
        QVERIFY(!noTypes.okButton()->isEnabled());
    }

    void comparedServersStayOpenUntilTheComparisonIsBuilt() {
        CSplitterFrameCompare* w = m_frame->openComparison(doc(0), {&doc(1)}, compare::CompareOptions::all());
        QVERIFY(w && !w->built());
        QVERIFY(!m_frame->action(cmd::RunChecker)->isEnabled());  // the checker writes what is read
        QVERIFY(!m_frame->action(cmd::Compare)->isEnabled());
        QMdiSubWindow* first = m_frame->mdiArea()->subWindowList(QMdiArea::CreationOrder).first();
        first->close();
        QCOMPARE(m_frame->configWindows().size(), 2);
        QVERIFY(test::waitIdle(m_frame));
        QVERIFY(w->built());
        const std::size_t lines = w->result().lines.size();

        // Closing a compared server later changes nothing in the comparison.
        first->close();
        QTRY_COMPARE(m_frame->configWindows().size(), 1);
        QCOMPARE(w->result().lines.size(), lines);
        m_frame->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(w->parentWidget()));
        m_frame->action(cmd::CopyToClipboard)->trigger();
        QVERIFY(!QGuiApplication::clipboard()->text().isEmpty());
    }

    void commandsActWhereTheyCan() {
        CSplitterFrameCompare* w = compareWith([](CCompareSelectDlg&) {});
        QVERIFY(w);
        m_frame->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(w->parentWidget()));
        for (int id : {cmd::CopyToClipboard, cmd::SaveAsText, cmd::FileSaveAs, cmd::FilePrint, cmd::TreeOpen,
                       cmd::TreeClose, cmd::Compare, cmd::RunChecker})
            QVERIFY2(m_frame->action(id)->isEnabled(), qPrintable(QString::number(id)));
        for (int id : {cmd::SaveAsXml, cmd::CreateQxs, cmd::TextReport, cmd::FilterBad})
            QVERIFY2(!m_frame->action(id)->isEnabled(), qPrintable(QString::number(id)));
        m_frame->action(cmd::TreeOpen)->trigger();
        for (QTreeWidgetItemIterator it(w->tree()); *it; ++it)
            if ((*it)->childCount() > 0) QVERIFY((*it)->isExpanded());

        // With only comparisons open: the documents' menu stays, Compare has nothing to act on.
        m_frame->mdiArea()->setActiveSubWindow(
            m_frame->mdiArea()->subWindowList(QMdiArea::CreationOrder).first());
        m_frame->closeAllConfigWindows();
        QTRY_COMPARE(m_frame->configWindows().size(), 0);
        QCOMPARE(m_frame->compareWindows().size(), 1);
        QTRY_VERIFY(!m_frame->action(cmd::Compare)->isEnabled());
        QTRY_VERIFY(m_frame->action(cmd::LiveUpdate)->isEnabled());
        QCOMPARE(m_frame->translatedMenuKind(), MenuKind::Documents);
        QVERIFY(m_messages.isEmpty());
    }
};

QTEST_MAIN(CompareWindowTest)
#include "compare_window_test.moc"
