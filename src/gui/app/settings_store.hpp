#pragma once
// The per-user settings under "Orvane KTR" / "Vestrel", section "Settings".

#include "app/application.hpp"

#include <QStringList>

namespace qx::gui {

/// Reads the six values into the application (empty URLs and absent values take defaults).
void loadSettings(Application& app);
/// Writes the three URLs and the reminder interval (Preferences closed with OK).
void savePreferences(const Settings& s);
/// Writes "Last Reminder".
void saveLastReminder(std::int64_t seconds);
/// Writes the current language.
void saveLanguage(const std::string& language);

/// Width of the configuration windows' tree pane as the user last set it (0: none yet).
int treePaneWidth();
void saveTreePaneWidth(int width);

/// The recent-file list, newest first (at most four).
QStringList recentFiles();
/// Puts a file at the top of the recent-file list.
void addRecentFile(const QString& path);

}  // namespace qx::gui
