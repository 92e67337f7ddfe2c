// "Live Update" against FTP servers on 127.0.0.1: a replaced and reloaded rule base, a cut
// transfer, the first rule base of a program started without one, the reminder's "Yes", and
// when the command can act.
#include "gui_test_support.hpp"

#include "app/commands.hpp"
#include "app/live_update_dlg.hpp"
#include "support/server_process.hpp"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <utime.h>

using namespace qx;
using namespace qx::gui;
using qx::test::ServerProcess;
namespace guitest = qx::gui::test;

namespace {

constexpr std::time_t kRemoteTime = 1700000000;
const QByteArray kNewRules = "<?xml version=\"1.0\"?>\n<rules date=\"12 31 2026\">" + QByteArray(40000, ' ') +
                             "<productgroup name=\"New\"/></rules>\n";

void writeFile(const QString& path, const QByteArray& bytes, std::time_t mtime) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
    f.close();
    utimbuf times{mtime, mtime};
    QCOMPARE(::utime(path.toLocal8Bit().constData(), &times), 0);
}

// What the dialog showed while it ran.
struct Run {
    bool shown = false;
    bool closeHiddenWhileRunning = false;
    bool stayedOnEscape = false;
    bool closeShownAtEnd = false;
    QStringList statuses;
    QString detail;
    int progress = -1;
};

// Answers the Live Update dialog: lets it run to its end as a user would watch it, then closes it.
void watchLiveUpdate(Run& run) {
    setDialogHook([&run](QDialog& d) {
        auto* dlg = qobject_cast<CLiveUpdateDlg*>(&d);
        if (!dlg) return int(QDialog::Rejected);
        update::UpdateOptions quick;
        quick.connectTimeoutSeconds = 5;
        quick.idleTimeoutSeconds = 5;
        dlg->setUpdateOptions(quick);
        run.shown = true;
        dlg->show();
        QTest::qWait(0);
        run.closeHiddenWhileRunning = !dlg->closeButton()->isVisible();
        dlg->reject();  // Escape while it runs
        run.stayedOnEscape = dlg->isVisible();
        if (!QTest::qWaitFor([dlg] { return dlg->result().has_value(); }, 30000))
            return int(QDialog::Rejected);
        run.closeShownAtEnd = dlg->closeButton()->isVisible();
        run.statuses = dlg->statusHistory();
        run.detail = dlg->detailLine()->isVisible() ? dlg->detailLine()->text() : QString();
        run.progress = dlg->progressBar()->value() * 100 / std::max(1, dlg->progressBar()->maximum());
        dlg->closeButton()->click();
        return dlg->isVisible() ? int(QDialog::Accepted) : int(QDialog::Rejected);
    });
}

}  // namespace

class LiveUpdateTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<guitest::ProgramFolder> m_folder;
    QTemporaryDir m_server;
    QByteArray m_oldRules;
    QStringList m_messages;
    std::unique_ptr<CQXConfigApp> m_app;
    CMainFrame* m_frame = nullptr;

    Application& core() { return m_app->core(); }
    QString local(const char* name) const { return m_folder->filePath(QString::fromLatin1(name)); }
    QString remote() const { return m_server.filePath(QStringLiteral("allupdates/rules.xml")); }

    void start() {
        m_app = guitest::startProgram(m_folder->path());
        QVERIFY(m_app);
        m_frame = m_app->mainFrame();
    }

private slots:
    void initTestCase() {
        m_folder = std::make_unique<guitest::ProgramFolder>();
        m_oldRules = guitest::readAll(local("rules.xml"));
        QVERIFY(!m_oldRules.isEmpty());
        writeFile(remote(), kNewRules, kRemoteTime);
    }

    void init() {
        m_messages.clear();
        guitest::answerMessages(m_messages);
        for (const char* f : {"rules.new.xml", "rules.old.xml", "rules.corrupt.xml"}) QFile::remove(local(f));
        writeFile(local("rules.xml"), m_oldRules, kRemoteTime - 3600);
    }

    void cleanup() {
        setDialogHook({});
        m_app.reset();
    }

    void aNewerRuleBaseReplacesTheFileAndIsReloaded() {
        start();
        ServerProcess ftp("ftp_serve.py", {m_server.path().toStdString()});
        QVERIFY(ftp.port() != 0);
        core().settings.rulesUpdateUrl = ftp.url("/allupdates/rules.xml");
        const QString before = m_frame->statusPanes().at(1);
        Run run;
        watchLiveUpdate(run);
        const auto started = static_cast<std::int64_t>(std::time(nullptr));
        QVERIFY(m_frame->action(cmd::LiveUpdate)->isEnabled());
        m_frame->action(cmd::LiveUpdate)->trigger();
        QVERIFY(run.shown);
        QVERIFY(run.closeHiddenWhileRunning);
        QVERIFY(run.stayedOnEscape);
        QVERIFY(run.closeShownAtEnd);
        QCOMPARE(run.statuses,
                 (QStringList{" Connecting 127.0.0.1 ...", " Searching for updates ...",
                              " Retrieving version ...", " Downloading file ...", " Rules.xml updated"}));
        QCOMPARE(run.progress, 100);
        QCOMPARE(guitest::readAll(local("rules.xml")), kNewRules);
        QCOMPARE(guitest::readAll(local("rules.old.xml")), m_oldRules);
        QVERIFY(!QFile::exists(local("rules.new.xml")));
        // The program uses the new rule base at once and says so in the status pane.
        QCOMPARE(QString::fromStdString(core().ruleBaseDate()), QStringLiteral("12 31 2026"));
        QVERIFY(before != QStringLiteral("12 31 2026"));
        QCOMPARE(m_frame->statusPanes().at(1), QStringLiteral("12 31 2026"));
        // The attempt is the last reminder, in memory and in the settings.
        QVERIFY(core().settings.lastReminder >= started);
        QSettings s(QStringLiteral("Orvane KTR"), QStringLiteral("Vestrel"));
        QCOMPARE(s.value(QStringLiteral("Settings/Last Reminder")).toLongLong(),
                 core().settings.lastReminder);

        // Once more: nothing newer on the server.
        watchLiveUpdate(run);
        m_frame->action(cmd::LiveUpdate)->trigger();
        QCOMPARE(run.statuses.last(), QStringLiteral(" You already have the latest version"));
        QVERIFY(m_messages.isEmpty());
    }

    void aCutTransferLeavesTheRuleBaseAlone() {
        start();
        ServerProcess ftp("fault_ftp_server.py", {remote().toStdString(), "--fault", "cut", "--cut", "5000",
                                                  "--mtime", std::to_string(kRemoteTime)});
        QVERIFY(ftp.port() != 0);
        core().settings.rulesUpdateUrl = ftp.url("/allupdates/rules.xml");
        Run run;
        watchLiveUpdate(run);
        m_frame->action(cmd::LiveUpdate)->trigger();
        QCOMPARE(run.statuses.last(), QStringLiteral(" Exception during file transfer"));
        QVERIFY(run.closeShownAtEnd);
        QVERIFY(!run.detail.isEmpty());  // what went wrong, in the network's words
        QCOMPARE(guitest::readAll(local("rules.xml")), m_oldRules);
        QVERIFY(!QFile::exists(local("rules.new.xml")));
        QVERIFY(!QFile::exists(local("rules.old.xml")));
    }

    void aProgramStartedWithoutRulesOpensReportsAfterAnUpdate() {
        QFile::remove(local("rules.xml"));
        start();
        m_frame->openFile(QStringLiteral(QX_EXAMPLES "/FS1-CONFIG.TXT"));
        QCOMPARE(m_messages, QStringList{QString::fromLatin1(Application::kRulesNeededMessage)});
        QVERIFY(!m_frame->action(cmd::SaveRules)->isEnabled());
        ServerProcess ftp("ftp_serve.py", {m_server.path().toStdString()});
        QVERIFY(ftp.port() != 0);
        core().settings.rulesUpdateUrl = ftp.url("/allupdates/rules.xml");
        Run run;
        watchLiveUpdate(run);
        m_frame->action(cmd::LiveUpdate)->trigger();
        QCOMPARE(run.statuses.last(), QStringLiteral(" Rules.xml updated"));
        QVERIFY(core().ruleBaseLoaded());
        QVERIFY(m_frame->action(cmd::SaveRules)->isEnabled());
        m_messages.clear();
        m_frame->openFile(QStringLiteral(QX_EXAMPLES "/FS1-CONFIG.TXT"));
        QVERIFY(guitest::waitIdle(m_frame));
        QCOMPARE(m_frame->configWindows().size(), 1);
        QVERIFY(m_messages.isEmpty());
        // With a document open there is nothing to reload into: the command waits.
        QVERIFY(!m_frame->action(cmd::LiveUpdate)->isEnabled());
    }

    void theRemindersYesOpensTheDialogAndNoChangesNothing() {
        start();
        core().settings.rulesUpdateUrl = "http://example.invalid/rules.xml";
        core().settings.reminderInterval = 14;
        core().settings.lastReminder = 1;
        QStringList questions;
        setMessageHook([&questions](MessageKind kind, const QString&, const QString& text) {
            questions << text;
            return kind == MessageKind::Question ? QMessageBox::No : QMessageBox::Ok;
        });
        Run run;
        watchLiveUpdate(run);
        m_app->onSplashDismissed();
        QCOMPARE(questions, QStringList{QStringLiteral("Do you want to check for Rules update?")});
        QVERIFY(!run.shown);
        QCOMPARE(core().settings.lastReminder, std::int64_t(1));

        setMessageHook([](MessageKind, const QString&, const QString&) { return QMessageBox::Yes; });
        m_app->onSplashDismissed();
        QVERIFY(run.shown);
        QCOMPARE(run.statuses, QStringList{QStringLiteral(" Unsupported protocol, use FTP instead")});
        QVERIFY(run.detail.contains(QStringLiteral("http://example.invalid/rules.xml")));
        QVERIFY(core().settings.lastReminder > 1);
        QCOMPARE(guitest::readAll(local("rules.xml")), m_oldRules);
    }
};

QTEST_MAIN(LiveUpdateTest)
#include "live_update_test.moc"
