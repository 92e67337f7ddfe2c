#include "views/report_window.hpp"

#include "app/message.hpp"
#include "platform/file_system.hpp"

#include <QCloseEvent>
#include <QFontDatabase>

namespace qx::gui {

CReportEditView::CReportEditView(Kind kind, const QString& title, std::string text, QWidget* parent)
    : QPlainTextEdit(parent), m_kind(kind), m_built(std::move(text)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setLineWrapMode(QPlainTextEdit::NoWrap);
    // The editor keeps lines, not line ends; bytes() puts the CR LF back.
    QString shown = QString::fromStdString(m_built);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setPlainText(shown);
    document()->setModified(false);
}

std::string CReportEditView::bytes() const {
    if (!document()->isModified()) return m_built;
    QString text = toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text.toStdString();
}

void CReportEditView::closeEvent(QCloseEvent* event) {
    if (m_askOnClose && document()->isModified()) {
        const auto answer = showMessage(this, MessageKind::QuestionWithCancel,
                                        QStringLiteral("Save the changes to %1?").arg(windowTitle()),
                                        QStringLiteral("QXConfig"));
        if (answer == QMessageBox::Cancel || (answer == QMessageBox::Yes && (!m_saver || !m_saver(*this)))) {
            event->ignore();
            return;
        }
    }
    QPlainTextEdit::closeEvent(event);
}

QString CReportEditView::proposedFileName() const {
    QString name = windowTitle();
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    if (!name.endsWith(QStringLiteral(".qxs"), Qt::CaseInsensitive)) name += QStringLiteral(".qxs");
    return name;
}

QString CReportEditView::saveTo(const QString& path) {
    std::string written = bytes();
    const std::string error = platform::writeFileAtomically(path.toStdString(), written);
    if (!error.empty()) return QString::fromStdString(error);
    // What was saved is what the window holds unedited from now on.
    m_built = std::move(written);
    document()->setModified(false);
    return {};
}

}  // namespace qx::gui
