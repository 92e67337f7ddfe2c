#include "app/settings_store.hpp"

#include <QSettings>

namespace qx::gui {
namespace {

constexpr int kRecentFiles = 4;

QSettings store() {
    return QSettings(QStringLiteral("Orvane KTR"), QStringLiteral("Vestrel"));
}

std::string textOr(QSettings& s, const char* key, const char* fallback) {
    const QString v = s.value(QString::fromLatin1(key)).toString();
    return v.isEmpty() ? std::string(fallback) : v.toStdString();
}

}  // namespace

void loadSettings(Application& app) {
    QSettings s = store();
    s.beginGroup(QStringLiteral("Settings"));
    Settings& out = app.settings;
    out.fileFinderUrl = textOr(s, "File Finder URL", Settings::kDefaultFileFinderUrl);
    out.kdnFinderUrl = textOr(s, "KDN Finder URL", Settings::kDefaultKdnFinderUrl);
    out.rulesUpdateUrl = textOr(s, "Rules Update URL", Settings::kDefaultRulesUpdateUrl);
    out.reminderInterval =
        s.value(QStringLiteral("Reminder Interval"), Settings::kDefaultReminderInterval).toInt();
    out.lastReminder = s.value(QStringLiteral("Last Reminder"), 0).toLongLong();
    const QString language = s.value(QStringLiteral("Language")).toString();
    if (!language.isEmpty()) app.setLanguage(language.toStdString());
}

void savePreferences(const Settings& v) {
    QSettings s = store();
    s.beginGroup(QStringLiteral("Settings"));
    s.setValue(QStringLiteral("File Finder URL"), QString::fromStdString(v.fileFinderUrl));
    s.setValue(QStringLiteral("KDN Finder URL"), QString::fromStdString(v.kdnFinderUrl));
    s.setValue(QStringLiteral("Rules Update URL"), QString::fromStdString(v.rulesUpdateUrl));
    s.setValue(QStringLiteral("Reminder Interval"), v.reminderInterval);
}

void saveLastReminder(std::int64_t seconds) {
    QSettings s = store();
    s.beginGroup(QStringLiteral("Settings"));
    s.setValue(QStringLiteral("Last Reminder"), static_cast<qlonglong>(seconds));
}

void saveLanguage(const std::string& language) {
    QSettings s = store();
    s.beginGroup(QStringLiteral("Settings"));
    s.setValue(QStringLiteral("Language"), QString::fromStdString(language));
}

int treePaneWidth() {
    return store().value(QStringLiteral("Layout/Tree Pane Width"), 0).toInt();
}

void saveTreePaneWidth(int width) {
    QSettings s = store();
    s.setValue(QStringLiteral("Layout/Tree Pane Width"), width);
}

QStringList recentFiles() {
    QSettings s = store();
    QStringList files = s.value(QStringLiteral("Recent File List")).toStringList();
    while (files.size() > kRecentFiles) files.removeLast();
    return files;
}

void addRecentFile(const QString& path) {
    QStringList files = recentFiles();
    files.removeAll(path);
    files.prepend(path);
    while (files.size() > kRecentFiles) files.removeLast();
    QSettings s = store();
    s.setValue(QStringLiteral("Recent File List"), files);
}

}  // namespace qx::gui
