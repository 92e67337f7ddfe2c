// Everything the configuration window puts out, driven headless on the bundled sample and
// compared with what the command line writes for the same report: clipboard, Save As text,
// Save As xml, Create QXS and its Save As, Text Report, the row messages, printing to PDF and
// the support-site look-ups.
#include "gui_test_support.hpp"

#include "app/commands.hpp"
#include "app/output_dialogs.hpp"
#include "commandfile/command_file.hpp"
#include "lists/list_export.hpp"
#include "lists/report_keys.hpp"
#include "lists/report_lists.hpp"
#include "lists/server_report.hpp"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>

using namespace qx;
using namespace qx::gui;

namespace {

const QString kSample = QStringLiteral(QX_EXAMPLES "/FS1-CONFIG.TXT");

// Answers the next save dialog with a file; keeps what the dialog proposed.
struct SaveAnswer {
    QString path;
    QString proposed;
    QStringList filters;
};

void answerSaveDialogs(SaveAnswer& answer) {
    setDialogHook([&answer](QDialog& d) {
        auto* dialog = qobject_cast<QFileDialog*>(&d);
        if (!dialog) return int(QDialog::Rejected);
        answer.proposed = dialog->selectedFiles().value(0);
        answer.filters = dialog->nameFilters();
        dialog->selectFile(answer.path);
        return int(QDialog::Accepted);
    });
}

QStringList menuTexts(QMenu& menu) {
    QStringList out;
    for (QAction* a : menu.actions())
        if (!a->isSeparator()) out << a->text();
    return out;
}

QAction* menuAction(QMenu& menu, int id) {
    for (QAction* a : menu.actions())
        if (a->data().toInt() == id) return a;
    return nullptr;
}

}  // namespace

class OutputsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::ProgramFolder> m_folder;
    QTemporaryDir m_out;
    QStringList m_messages;
    QList<QUrl> m_urls;
    std::unique_ptr<CQXConfigApp> m_app;
    CMainFrame* m_frame = nullptr;
    CQXConfigSplitter* m_window = nullptr;

    QString out(const QString& name) const { return m_out.filePath(name); }
    Application& core() { return m_app->core(); }

    // Shows a Report-page node (the root for an empty name) and returns its list.
    const lists::ListModel& showReport(const char* name = "") {
        xml::Node node =
            *name ? lists::findReportNode(m_window->document(), name) : m_window->document().report().root();
        m_window->selectNode(node, ListMode::Report);
        return m_window->detailsList()->detailsModel().list();
    }
    void selectRow(int row) {
        CQXConfigView* list = m_window->detailsList();
        list->setCurrentIndex(list->model()->index(row, 0));
    }
    CReportEditView* activeText() const { return m_frame->activeReportWindow(); }

private slots:
    void initTestCase() {
        m_folder = std::make_unique<test::ProgramFolder>();
        setUrlHook([this](const QUrl& url) { m_urls << url; });
    }

    void init() {
        m_messages.clear();
        m_urls.clear();
        test::answerMessages(m_messages);
        m_app = test::startProgram(m_folder->path(), kSample);
        QVERIFY(m_app);
        m_frame = m_app->mainFrame();
        QVERIFY(test::waitIdle(m_frame));
        QCOMPARE(m_frame->configWindows().size(), 1);
        m_window = m_frame->configWindows().first();
        core().settings.fileFinderUrl = "https://support.example/find?name=";
        core().settings.kdnFinderUrl = "https://support.example/kdn/";
    }

    void cleanup() {
        setDialogHook({});
        m_app.reset();
        QFile::remove(m_folder->filePath(QStringLiteral("menu.xml")));
    }

    void copyPutsTheCoreTextOnTheClipboard() {
        const lists::ListModel& list = showReport("suggestion");
        QVERIFY(!list.rows.empty());
        m_frame->action(cmd::CopyToClipboard)->trigger();
        const QString expected = QString::fromStdString(lists::clipboardText(list, core()));
        QCOMPARE(QGuiApplication::clipboard()->text(), expected);
        // The KDN column reads as addresses.
        QVERIFY(expected.contains(QStringLiteral("\thttps://support.example/kdn/")));
        QVERIFY(m_messages.isEmpty());
    }

    void savedFilesHoldWhatTheCommandLineWrites() {
        SaveAnswer answer;
        answerSaveDialogs(answer);

        showReport();
        answer.path = out(QStringLiteral("report.txt"));
        m_frame->action(cmd::SaveAsText)->trigger();
        QVERIFY(answer.proposed.endsWith(QStringLiteral("/FS1.txt")));
        QCOMPARE(answer.filters.first(), QStringLiteral("Text Files (*.txt)"));
        QCOMPARE(test::readAll(answer.path), test::runCli(m_folder->path(), {"report", kSample}));

        answer.path = out(QStringLiteral("srv1.xml"));
        m_frame->action(cmd::SaveAsXml)->trigger();
        QVERIFY(answer.proposed.endsWith(QStringLiteral("/FS1.xml")));
        test::runCli(m_folder->path(), {"save-xml", kSample, out(QStringLiteral("cli.xml"))});
        for (const QString& suffix : {QString(), QStringLiteral(".xml"), QStringLiteral(".xmlr.xml")}) {
            const QByteArray saved = test::readAll(out(QStringLiteral("srv1.xml") + suffix));
            QVERIFY2(!saved.isEmpty(), qPrintable(suffix));
            QVERIFY2(saved == test::readAll(out(QStringLiteral("cli.xml") + suffix)), qPrintable(suffix));
        }

        setDialogHook([](QDialog& d) {
            return int(qobject_cast<CCreateQxsDlg*>(&d) ? QDialog::Accepted : QDialog::Rejected);
        });
        m_frame->action(cmd::CreateQxs)->trigger();
        QVERIFY(activeText());
        answerSaveDialogs(answer);
        answer.path = out(QStringLiteral("fs1"));  // typed without an extension
        m_frame->action(cmd::FileSaveAs)->trigger();
        QVERIFY(answer.proposed.endsWith(QStringLiteral("/FS1.qxs")));
        QCOMPARE(answer.filters.first(), QStringLiteral("QXS Files (*.qxs)"));
        const QByteArray qxs = test::readAll(out(QStringLiteral("fs1.qxs")));
        QVERIFY(qxs.contains("\r\n"));
        QCOMPARE(qxs, test::runCli(m_folder->path(), {"qxs", kSample}));
        QVERIFY(m_messages.isEmpty());
    }

    void aCancelledOrFailedSaveWritesNothing() {
        setDialogHook([](QDialog&) { return int(QDialog::Rejected); });
        m_frame->action(cmd::SaveAsXml)->trigger();
        QVERIFY(QDir(m_out.path()).isEmpty() || !QFile::exists(out(QStringLiteral("FS1.xml"))));

        SaveAnswer answer;
        answerSaveDialogs(answer);
        answer.path = out(QStringLiteral("no-such-folder/srv.xml"));
        m_frame->action(cmd::SaveAsXml)->trigger();
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages.first().startsWith(QStringLiteral("Nothing was saved")));
        QVERIFY(!QFile::exists(answer.path));
    }

    void createQxsWritesTheChosenCategoriesWithCrLf() {
        setDialogHook([](QDialog& d) {
            auto* dlg = qobject_cast<CCreateQxsDlg*>(&d);
            if (!dlg) return int(QDialog::Rejected);
            // All three start checked.
            if (!dlg->notRequiredBox()->isChecked() || !dlg->requiredBox()->isChecked())
                return int(QDialog::Rejected);
            dlg->notRequiredBox()->setChecked(false);
            dlg->requiredBox()->setChecked(false);
            return int(QDialog::Accepted);
        });
        m_frame->action(cmd::CreateQxs)->trigger();
        CReportEditView* view = activeText();
        QVERIFY(view);
        QCOMPARE(view->kind(), CReportEditView::Kind::CommandFile);
        const auto expected =
            commandfile::buildCommandFile(m_window->document(), core(), {false, true, false});
        QCOMPARE(view->windowTitle(), QString::fromStdString(expected.title));
        QCOMPARE(view->bytes(), expected.text);
        QVERIFY(expected.text.rfind("\r\n# beta \r\n\r\n", 0) == 0);
        // Edited, the text keeps its CR LF line ends.
        view->appendPlainText(QStringLiteral("SET Extra = 1 "));
        QVERIFY(view->bytes().rfind(expected.text, 0) == 0);
        QVERIFY(view->bytes().size() > expected.text.size());
        QVERIFY(view->bytes().find("\n") == view->bytes().find("\r\n") + 1);
        QCOMPARE(m_frame->windowTitle(), QStringLiteral("QXConfig - ") + view->windowTitle());

        const int windows = m_frame->mdiArea()->subWindowList().size();
        setDialogHook([](QDialog&) { return int(QDialog::Rejected); });
        m_frame->mdiArea()->setActiveSubWindow(m_frame->mdiArea()->subWindowList().first());
        m_frame->action(cmd::CreateQxs)->trigger();
        QCOMPARE(m_frame->mdiArea()->subWindowList().size(), windows);  // Cancel changes nothing
    }

    void createQxsSaysWhichRuleTextsItPutOnOneLine() {
        int changed = 0;
        for (xml::Node value : xml::select(core().ruleBase().root(), "set-param/value")) {
            xml::setText(value, xml::text(value) + "\r\nLOAD EVIL.QXK");
            ++changed;
        }
        QVERIFY(changed > 0);
        setDialogHook([](QDialog& d) {
            return int(qobject_cast<CCreateQxsDlg*>(&d) ? QDialog::Accepted : QDialog::Rejected);
        });
        m_frame->action(cmd::CreateQxs)->trigger();
        CReportEditView* view = activeText();
        QVERIFY(view);
        QVERIFY(view->bytes().find("\r\nLOAD") == std::string::npos);
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages.first().contains(QStringLiteral("the line break in its value")));
    }

    void textReportOpensFromTheBuildMenuAndTheReportPage() {
        showReport("summary");
        std::unique_ptr<QMenu> menu = m_window->listMenu();
        QAction* entry = menuAction(*menu, cmd::TextReport);
        QVERIFY(entry);
        entry->trigger();
        CReportEditView* view = activeText();
        QVERIFY(view);
        QCOMPARE(view->kind(), CReportEditView::Kind::TextReport);
        QVERIFY(view->toPlainText().startsWith(QStringLiteral("Report generated:")));
        QVERIFY(view->bytes().size() > 2 && view->bytes().substr(view->bytes().size() - 2) == "\r\n");
        QCOMPARE(view->windowTitle(),
                 QString::fromStdString(lists::buildTextReport(m_window->document(), core(), 0).title));
        // The Build menu carries it beside Compare.
        QMenu* build = m_frame->menuBar()->actions().at(1)->menu();
        QVERIFY(build->actions().contains(m_frame->action(cmd::TextReport)));
        m_frame->mdiArea()->setActiveSubWindow(m_frame->mdiArea()->subWindowList().first());
        QVERIFY(m_frame->action(cmd::TextReport)->isEnabled());
    }

    void informationDialogEditsTheMessageAndMenuXml() {
        const lists::ListModel& list = showReport();
        QAbstractItemModelTester tester(m_window->detailsList()->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        int row = -1;
        for (std::size_t r = 0; r < list.rows.size() && row < 0; ++r)
            if (!list.rows[r].messages.empty()) row = static_cast<int>(r);
        QVERIFY(row >= 0);
        const std::string key = list.rows[std::size_t(row)].messages.front();
        const QString before = QString::fromStdString(lists::reportMessageText(core(), key));
        // The row's tool tip explains it.
        const QModelIndex cell = m_window->detailsList()->model()->index(row, 0);
        QVERIFY(cell.data(Qt::ToolTipRole).toString().contains(before));
        // Readable headers on screen, none in the exports.
        QCOMPARE(m_window->detailsList()->model()->headerData(1, Qt::Horizontal).toString(),
                 QString::fromStdString(core().label("value")));
        QVERIFY(list.columns[1].header.empty());

        QString shownNote;
        setDialogHook([&shownNote](QDialog& d) {
            auto* dlg = qobject_cast<CInformationDlg*>(&d);
            if (!dlg) return int(QDialog::Rejected);
            shownNote = dlg->note();
            return int(QDialog::Rejected);
        });
        m_window->activateRow(row);
        QCOMPARE(shownNote, before);
        QVERIFY(!QFile::exists(m_folder->filePath(QStringLiteral("menu.xml"))));  // Cancel writes nothing

        const QString edited = QStringLiteral("Checked by hand: ő \"quoted\" <b>\nsecond line");
        setDialogHook([&edited](QDialog& d) {
            auto* dlg = qobject_cast<CInformationDlg*>(&d);
            if (!dlg || !dlg->saveToFile()) return int(QDialog::Rejected);
            dlg->noteField()->setPlainText(edited);
            dlg->urlField()->setText(QStringLiteral("https://kb.example/1"));
            return int(QDialog::Accepted);
        });
        m_window->activateRow(row);
        QVERIFY(m_messages.isEmpty());
        QVERIFY(cell.data(Qt::ToolTipRole).toString().contains(edited));

        Localisation reloaded;
        QCOMPARE(reloaded.loadFrom(m_folder->path().toStdString()), LocalisationSource::File);
        Application again(m_folder->path().toStdString());
        again.localisation().loadFrom(m_folder->path().toStdString());
        QCOMPARE(QString::fromStdString(lists::reportMessageText(again, key)), edited);
        QCOMPARE(lists::reportMessageUrl(again, key), std::string("https://kb.example/1"));
        // The other languages keep their texts.
        again.setLanguage("hungarian");
        core().setLanguage("hungarian");
        QCOMPARE(lists::reportMessageText(again, key), lists::reportMessageText(core(), key));
    }

    void printingWritesAPdf() {
        showReport();
        const QString listPdf = out(QStringLiteral("list.pdf"));
        setDialogHook([&listPdf](QDialog& d) {
            auto* dlg = qobject_cast<QPrintDialog*>(&d);
            if (!dlg) return int(QDialog::Rejected);
            dlg->printer()->setOutputFormat(QPrinter::PdfFormat);
            dlg->printer()->setOutputFileName(listPdf);
            return int(QDialog::Accepted);
        });
        m_frame->action(cmd::FilePrint)->trigger();
        const QByteArray pdf = test::readAll(listPdf);
        QVERIFY(pdf.startsWith("%PDF"));
        QVERIFY(pdf.size() > 5000);
        QVERIFY(m_messages.isEmpty());

        // A text window prints its text.
        m_frame->action(cmd::TextReport)->trigger();
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(out(QStringLiteral("text.pdf")));
        QVERIFY(m_frame->printActiveTo(printer));
        QVERIFY(test::readAll(out(QStringLiteral("text.pdf"))).startsWith("%PDF"));

        // An empty list prints its headers and says it is empty.
        m_frame->mdiArea()->setActiveSubWindow(m_frame->mdiArea()->subWindowList().first());
        showReport("java");
        printer.setOutputFileName(out(QStringLiteral("empty.pdf")));
        QVERIFY(m_frame->printActiveTo(printer));
        QVERIFY(test::readAll(out(QStringLiteral("empty.pdf"))).startsWith("%PDF"));
    }

    void contextMenusAndDoubleClicksLookThingsUp() {
        // Modules: Find on the File Finder, with the row's name.
        m_window->selectNode(xml::selectFirst(m_window->document().config().root(), "loaded-modules"),
                             ListMode::Config);
        selectRow(0);
        std::unique_ptr<QMenu> menu = m_window->listMenu();
        QVERIFY(menuTexts(*menu).contains(QStringLiteral("Find")));  // after the rule editor's Properties
        menuAction(*menu, cmd::FindModule)->trigger();
        QCOMPARE(m_urls.size(), 1);
        QVERIFY(m_urls.last().toString().startsWith(QStringLiteral("https://support.example/find?name=")));
        QVERIFY(m_urls.last().toString().contains(m_window->detailsList()->cell(0, 0)));

        // Products on the Report page: Look up KDN with the second column.
        const lists::ListModel& suggestions = showReport("suggestion");
        selectRow(0);
        menu = m_window->listMenu();
        QVERIFY(menuTexts(*menu).contains(QStringLiteral("Look up KDN")));
        QVERIFY(menuTexts(*menu).contains(cmd::resourceText(cmd::TextReport)));
        menuAction(*menu, cmd::LookUpKdn)->trigger();
        QCOMPARE(m_urls.last(),
                 QUrl(QString::fromStdString(lists::kdnAddress(core().settings, &suggestions.rows[0]))));
        QVERIFY(m_urls.last().toEncoded().contains("%20"));  // encoded, not cut at the blank

        // A row that says nothing more does nothing on a double click.
        const int before = m_urls.size();
        showReport("summary");
        m_window->activateRow(0);
        QCOMPARE(m_urls.size(), before);

        // A broken address is refused with a message, not handed to the desktop.
        core().settings.kdnFinderUrl = "::not an address";
        showReport("suggestion");
        selectRow(0);
        m_window->lookUpKdn();
        QCOMPARE(m_urls.size(), before);
        QCOMPARE(m_messages.size(), 1);
    }

    void aDoubleClickOnAPatchLooksUpItsKdn() {
        m_frame->openFile(QStringLiteral(QX_EXAMPLES "/FS2-CONFIG.TXT"));
        QVERIFY(test::waitIdle(m_frame));
        m_window = m_frame->configWindows().last();
        const lists::ListModel& patches = showReport("patches");
        QVERIFY(!patches.rows.empty());
        selectRow(0);
        m_window->activateRow(0);
        QCOMPARE(m_urls.size(), 1);
        QCOMPARE(m_urls.first().toString(), QStringLiteral("https://support.example/kdn/") +
                                                QString::fromStdString(patches.rows[0].cells[1]));
    }

    void exportCommandsAreEnabledWhileAWindowCanUseThem() {
        for (int id : {cmd::CopyToClipboard, cmd::SaveAsText, cmd::SaveAsXml, cmd::TextReport, cmd::CreateQxs,
                       cmd::FilePrint, cmd::PrintSetup, cmd::RunChecker, cmd::CloseAll, cmd::CloseAllConfig,
                       cmd::WindowCascade, cmd::WindowTileHorz, cmd::WindowTileVert, cmd::TreeOpen})
            QVERIFY2(m_frame->action(id)->isEnabled(), qPrintable(cmd::resourceText(id)));
        QVERIFY(!m_frame->action(cmd::FileSaveAs)->isEnabled());  // no text window active
        m_frame->action(cmd::TextReport)->trigger();
        QVERIFY(m_frame->action(cmd::FileSaveAs)->isEnabled());
        QVERIFY(m_frame->action(cmd::FilePrint)->isEnabled());
        QVERIFY(!m_frame->action(cmd::CopyToClipboard)->isEnabled());
    }
};

QTEST_MAIN(OutputsTest)
#include "outputs_test.moc"
