// Splash window, update reminder and the painted icons.
#include "app/dialogs.hpp"
#include "app/message.hpp"
#include "app/qxconfig_app.hpp"
#include "platform/file_system.hpp"

#include <QCryptographicHash>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <ctime>

using namespace qx;
using namespace qx::gui;

class DialogsTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QStringList m_questions;

    // Starts with the splash window and the given reminder state; returns after start-up.
    std::unique_ptr<CQXConfigApp> startWithReminder(int interval, std::int64_t last) {
        QSettings s(QStringLiteral("Orvane KTR"), QStringLiteral("Vestrel"));
        s.clear();
        s.setValue(QStringLiteral("Settings/Reminder Interval"), interval);
        s.setValue(QStringLiteral("Settings/Last Reminder"), static_cast<qlonglong>(last));
        s.sync();
        auto app = std::make_unique<CQXConfigApp>(m_dir.path().toStdString());
        StartOptions options;
        options.splash = true;
        app->initInstance({}, options);
        return app;
    }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(QFile::copy(QStringLiteral(QX_RESOURCES "/rules.xml"), m_dir.filePath("rules.xml")));
        setMessageHook([this](MessageKind kind, const QString&, const QString& text) {
            if (kind == MessageKind::Question) m_questions << text;
            return QMessageBox::No;
        });
    }

    void init() { m_questions.clear(); }

    void aKeyDismissesTheSplashAndTheReminderAsksOnce() {
        const auto now = static_cast<std::int64_t>(std::time(nullptr));
        auto app = startWithReminder(14, now - 14 * 86400);
        QPointer<CSplashWnd> splash = app->splash();
        QVERIFY(splash);
        QSignalSpy dismissed(splash.data(), &CSplashWnd::dismissed);
        QTest::keyClick(app->mainFrame(), Qt::Key_Escape);
        QCOMPARE(dismissed.count(), 1);
        QCOMPARE(m_questions, QStringList{QStringLiteral("Do you want to check for Rules update?")});
        QTRY_VERIFY(splash.isNull());
    }

    void aRecentReminderOrIntervalZeroStaysQuiet() {
        const auto now = static_cast<std::int64_t>(std::time(nullptr));
        auto recent = startWithReminder(14, now - 13 * 86400);
        QTest::mouseClick(recent->mainFrame(), Qt::LeftButton);
        QVERIFY(m_questions.isEmpty());
        auto never = startWithReminder(0, 0);
        QTest::keyClick(never->mainFrame(), Qt::Key_A);
        QVERIFY(m_questions.isEmpty());
    }

    void theSplashGoesByItselfAfterItsTime() {
        auto* splash = new CSplashWnd;  // deletes itself on close
        QSignalSpy dismissed(splash, &CSplashWnd::dismissed);
        splash->show();
        QTest::qWait(CSplashWnd::kShowMs / 2);
        QCOMPARE(dismissed.count(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(dismissed.count(), 1, CSplashWnd::kShowMs * 2);
    }

    void theAboutBoxNamesTheDataFolderAndTheRuleBase() {
        CQXConfigApp app(m_dir.path().toStdString());
        StartOptions options;
        options.splash = false;
        options.showWindow = false;
        QVERIFY(app.initInstance({}, options));
        CAboutDlg about(app.core());
        QStringList shown;
        for (auto* field : about.findChildren<QLineEdit*>()) shown << field->text();
        for (auto* label : about.findChildren<QLabel*>()) shown << label->text();
        const QString rules = m_dir.filePath(QStringLiteral("rules.xml"));
        QFile f(rules);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString sum =
            QString::fromLatin1(QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex());
        QVERIFY2(shown.contains(m_dir.path() + QStringLiteral(" (given with --program-dir)")),
                 qPrintable(shown.join('|')));
        QVERIFY2(shown.contains(rules), qPrintable(shown.join('|')));
        QVERIFY2(shown.contains(sum), qPrintable(shown.join('|')));
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
