#include "app/message.hpp"

namespace qx::gui {
namespace {
MessageHook& hook() {
    static MessageHook h;
    return h;
}
}  // namespace

void setMessageHook(MessageHook h) {
    hook() = std::move(h);
}

QMessageBox::StandardButton showMessage(QWidget* parent, MessageKind kind, const QString& text,
                                        const QString& caption) {
    if (hook()) return hook()(kind, caption, text);
    switch (kind) {
        case MessageKind::Error:
            return QMessageBox::critical(parent, caption, text);
        case MessageKind::Warning:
            return QMessageBox::warning(parent, caption, text);
        case MessageKind::Information:
            return QMessageBox::information(parent, caption, text);
        case MessageKind::Question:
            return QMessageBox::question(parent, caption, text, QMessageBox::Yes | QMessageBox::No);
        case MessageKind::QuestionWithCancel:
            return QMessageBox::question(parent, caption, text,
                                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    }
    return QMessageBox::Ok;
}

}  // namespace qx::gui
