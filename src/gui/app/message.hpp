#pragma once
// Every message box of the program goes through here, so tests can answer them.

#include <QMessageBox>
#include <QString>

#include <functional>

namespace qx::gui {

/// What a message box asks of the user.
enum class MessageKind { Error, Warning, Information, Question, QuestionWithCancel };

/// A replacement for the modal box: returns the button "pressed".
using MessageHook =
    std::function<QMessageBox::StandardButton(MessageKind, const QString& caption, const QString& text)>;

/// Installs a hook (tests); an empty hook restores the real boxes.
void setMessageHook(MessageHook hook);

/// Shows a modal message box (or asks the hook).
QMessageBox::StandardButton showMessage(QWidget* parent, MessageKind kind, const QString& text,
                                        const QString& caption = QStringLiteral("Error"));

}  // namespace qx::gui
