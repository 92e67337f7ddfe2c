#pragma once
// The places where the program hands control to the user or to the desktop: modal dialogs,
// the browser and the clipboard. Tests install hooks here to answer them headless.

#include <QString>
#include <QUrl>

#include <functional>

class QDialog;
class QWidget;

namespace qx::gui {

/// Answers a modal dialog in place of the user: may fill its fields, returns its result.
using DialogHook = std::function<int(QDialog&)>;
/// Installs a dialog hook (tests); an empty hook restores the real dialogs.
void setDialogHook(DialogHook hook);
/// Runs a modal dialog (or asks the hook); returns QDialog::Accepted or Rejected.
int execDialog(QDialog& dialog);

/// Receives the addresses the look-ups would open (tests).
using UrlHook = std::function<void(const QUrl&)>;
void setUrlHook(UrlHook hook);
/// Opens an address in the browser through the desktop, never through a shell. False (after
/// telling the user) when the address is not valid or no browser takes it.
bool openUrl(QWidget* parent, const QString& address);

/// Puts plain text on the clipboard; false (after "Cannot open clipboard.") when it fails.
bool copyToClipboard(QWidget* parent, const QString& text);

/// The save dialog: `filters` in Qt's form, `suffix` added to a name typed without one,
/// overwriting asked for. Empty when cancelled.
QString askSaveFileName(QWidget* parent, const QString& proposedPath, const QString& filters,
                        const QString& suffix);

}  // namespace qx::gui
