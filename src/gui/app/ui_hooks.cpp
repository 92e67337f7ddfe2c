#include "app/ui_hooks.hpp"

#include "app/message.hpp"

#include <QClipboard>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QGuiApplication>

namespace qx::gui {
namespace {

DialogHook& dialogHook() {
    static DialogHook h;
    return h;
}
UrlHook& urlHook() {
    static UrlHook h;
    return h;
}

}  // namespace

void setDialogHook(DialogHook hook) {
    dialogHook() = std::move(hook);
}

int execDialog(QDialog& dialog) {
    if (dialogHook()) return dialogHook()(dialog);
    return dialog.exec();
}

void setUrlHook(UrlHook hook) {
    urlHook() = std::move(hook);
}

bool openUrl(QWidget* parent, const QString& address) {
    const QUrl url(address, QUrl::TolerantMode);
    if (!url.isValid() || url.scheme().isEmpty()) {
        showMessage(parent, MessageKind::Error,
                    QStringLiteral("The address \"%1\" is not valid.\nCorrect it under File > Preferences.")
                        .arg(address));
        return false;
    }
    if (urlHook()) {
        urlHook()(url);
        return true;
    }
    if (QDesktopServices::openUrl(url)) return true;
    showMessage(parent, MessageKind::Error,
                QStringLiteral("No web browser could be started for\n%1").arg(url.toDisplayString()));
    return false;
}

bool copyToClipboard(QWidget* parent, const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard) clipboard->setText(text, QClipboard::Clipboard);
    // Reading back tells whether the platform took the text.
    if (!clipboard || clipboard->text(QClipboard::Clipboard) != text) {
        showMessage(parent, MessageKind::Error, QStringLiteral("Cannot open clipboard."));
        return false;
    }
    return true;
}

QString askSaveFileName(QWidget* parent, const QString& proposedPath, const QString& filters,
                        const QString& suffix) {
    QFileDialog dialog(parent, QStringLiteral("Save As"), proposedPath, filters);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);
    dialog.selectFile(proposedPath);
    if (execDialog(dialog) != QDialog::Accepted) return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

}  // namespace qx::gui
