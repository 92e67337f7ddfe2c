#pragma once
// What the desktop tests share: a program folder with the bundled rule base, a started
// program with its message boxes answered, and a way to run the command line on the same files.

#include "app/message.hpp"
#include "app/qxconfig_app.hpp"
#include "app/ui_hooks.hpp"
#include "platform/file_system.hpp"

#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace qx::gui::test {

inline QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

/// A program folder holding the bundled rules.xml (and no menu.xml: the built-in table).
class ProgramFolder {
public:
    ProgramFolder() {
        QFile::copy(QStringLiteral(QX_RESOURCES "/rules.xml"), m_dir.filePath(QStringLiteral("rules.xml")));
        platform::setProgramDirectory(path().toStdString());
    }
    [[nodiscard]] QString path() const { return m_dir.path(); }
    [[nodiscard]] QString filePath(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

/// The command line run on the same program folder; its standard output.
inline QByteArray runCli(const QString& programDir, QStringList args) {
    args << QStringLiteral("--program-dir") << programDir;
    QProcess cli;
    cli.start(QStringLiteral(QX_CLI), args);
    if (!cli.waitForFinished(60000)) return {};
    return cli.readAllStandardOutput();
}

/// Starts the program without splash; false when start-up failed.
inline std::unique_ptr<CQXConfigApp> startProgram(const QString& programDir, const QString& file = {}) {
    auto app = std::make_unique<CQXConfigApp>(programDir.toStdString());
    StartOptions options;
    options.splash = false;
    if (!app->initInstance(file, options)) return nullptr;
    return app;
}

inline bool waitIdle(CMainFrame* f) {
    return QTest::qWaitFor([f] { return !f->busy(); }, 30000);
}

/// Clears the settings and answers every message box with No, keeping its text.
inline void answerMessages(QStringList& into) {
    QStandardPaths::setTestModeEnabled(true);
    QSettings(QStringLiteral("Orvane KTR"), QStringLiteral("Vestrel")).clear();
    setMessageHook([&into](MessageKind, const QString&, const QString& text) {
        into << text;
        return QMessageBox::No;
    });
}

}  // namespace qx::gui::test
