// qxconfig: the desktop program.
#include "app/qxconfig_app.hpp"
#include "app/screenshots.hpp"
#include "platform/file_system.hpp"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Orvane KTR"));
    QApplication::setApplicationName(QStringLiteral("Vestrel"));
    // No display name: the platform would append it to the frame's title, which already
    // starts with the program's name ("QXConfig - FS1 ... - QXConfig").
    QApplication::setStyle(QStringLiteral("Fusion"));

    QString file, screenshotDir;
    QStringList extra;
    const QStringList args = QApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--screenshot") && i + 1 < args.size())
            screenshotDir = args[++i];
        else if (file.isEmpty())
            file = args[i];
        else
            extra << args[i];
    }
    qx::gui::CQXConfigApp app(qx::platform::programDirectory());
    qx::gui::StartOptions options;
    options.splash = screenshotDir.isEmpty();
    if (!app.initInstance(file, options)) return 1;
    if (!screenshotDir.isEmpty()) qx::gui::takeScreenshots(app, screenshotDir, extra);
    return QApplication::exec();
}
