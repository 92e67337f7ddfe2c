// qxconfig: the desktop program.
#include "app/icons.hpp"
#include "app/installation.hpp"
#include "app/qxconfig_app.hpp"
#include "app/screenshots.hpp"
#include "platform/data_dir.hpp"
#include "platform/file_system.hpp"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage =
    "Usage: qxconfig [OPTIONS] [REPORT]\n"
    "Check Quarrix file server configuration reports against a rule base.\n"
    "\n"
    "Opens REPORT, if given: a server configuration report (.txt) or a saved\n"
    "configuration tree (.xml).\n"
    "\n"
    "Options:\n"
    "  --program-dir DIR  use DIR as the data folder (rules.xml, menu.xml)\n"
    "  --help             show this help and exit\n"
    "  --version          show the version, the data folder and the rule base in use,\n"
    "                     and exit\n"
    "\n"
    "Qt's own options (such as -platform offscreen) are accepted too.\n";

// The command line before Qt sees it: --help and --version must work without a display.
struct Arguments {
    std::string programDir;
    bool help = false;
    bool version = false;
    std::string error;
};

Arguments preParse(int argc, char** argv) {
    Arguments a;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            a.help = true;
        } else if (std::strcmp(arg, "--version") == 0) {
            a.version = true;
        } else if (std::strcmp(arg, "--program-dir") == 0) {
            if (i + 1 >= argc)
                a.error = "--program-dir needs a folder";
            else
                a.programDir = argv[++i];
        } else if (std::strncmp(arg, "--program-dir=", 14) == 0) {
            a.programDir = arg + 14;
        }
    }
    return a;
}

void printVersion() {
    const auto& dir = qx::platform::dataDirectory();
    auto rules = qx::inspectRuleBaseFile(qx::platform::joinPath(dir.path, "rules.xml"));
    std::printf("qxconfig %s\n%s", QX_VERSION,
                qx::formatInstallationFacts(qx::installationFacts(dir, rules)).c_str());
}

}  // namespace

int main(int argc, char** argv) {
    const Arguments pre = preParse(argc, argv);
    if (!pre.error.empty()) {
        std::fprintf(stderr, "qxconfig: %s\n%s", pre.error.c_str(), kUsage);
        return 2;
    }
    if (!pre.programDir.empty()) qx::platform::setProgramDirectory(pre.programDir);
    if (pre.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (pre.version) {
        printVersion();
        return 0;
    }

    QApplication qapp(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Orvane KTR"));
    QApplication::setApplicationName(QStringLiteral("Vestrel"));
    // No display name: the platform would append it to the frame's title, which already
    // starts with the program's name ("QXConfig - FS1 ... - QXConfig").
    QApplication::setApplicationVersion(QStringLiteral(QX_VERSION));
    // Ties the windows to qxconfig.desktop (icon and name in the task bar on Wayland).
    QGuiApplication::setDesktopFileName(QStringLiteral("qxconfig"));
    QApplication::setWindowIcon(qx::gui::icons::application());
    QApplication::setStyle(QStringLiteral("Fusion"));

    QString file, screenshotDir;
    QStringList extra;
    const QStringList args = QApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--screenshot") && i + 1 < args.size())
            screenshotDir = args[++i];
        else if (args[i] == QLatin1String("--program-dir") && i + 1 < args.size())
            ++i;
        else if (args[i].startsWith(QLatin1String("--program-dir=")))
            continue;
        else if (file.isEmpty())
            file = args[i];
        else
            extra << args[i];
    }
    const auto& dataDir = qx::platform::dataDirectory();
    if (!dataDir.problem.empty()) std::fprintf(stderr, "qxconfig: %s\n", dataDir.problem.c_str());
    qx::gui::CQXConfigApp app(dataDir.path);
    qx::gui::StartOptions options;
    options.splash = screenshotDir.isEmpty();
    if (!app.initInstance(file, options)) return 1;
    if (!screenshotDir.isEmpty()) qx::gui::takeScreenshots(app, screenshotDir, extra);
    return QApplication::exec();
}
