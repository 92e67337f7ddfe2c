#include "app/live_update_dlg.hpp"

#include "app/message.hpp"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

namespace qx::gui {
namespace {

// Endings where the address itself may be what is wrong.
bool addressMayBeWrong(update::UpdateOutcome o) {
    using update::UpdateOutcome;
    return o == UpdateOutcome::UnsupportedProtocol || o == UpdateOutcome::ConnectionFailed ||
           o == UpdateOutcome::NoUpdates || o == UpdateOutcome::OpenFailed;
}

}  // namespace

CLiveUpdateDlg::CLiveUpdateDlg(Application& app, QString url, QWidget* parent)
    : QDialog(parent),
      m_app(app),
      m_url(std::move(url)),
      m_status(new QLabel(this)),
      m_progress(new QProgressBar(this)),
      m_detail(new QLabel(this)),
      m_close(new QPushButton(QStringLiteral("Close"), this)) {
    setWindowTitle(QStringLiteral("Live Update"));
    m_status->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_status->setMinimumWidth(fontMetrics().averageCharWidth() * 48);
    m_status->setMinimumHeight(fontMetrics().height() + 8);
    m_status->setTextFormat(Qt::PlainText);
    m_progress->setTextVisible(false);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_detail->setTextFormat(Qt::PlainText);
    m_detail->setWordWrap(true);
    m_detail->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_detail->setForegroundRole(QPalette::PlaceholderText);
    m_detail->hide();
    m_close->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_status);
    layout->addWidget(m_progress);
    layout->addWidget(m_detail);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(m_close, &QPushButton::clicked, this, &CLiveUpdateDlg::reject);
    // Kept in the layout while hidden, so the dialog does not change size when it returns.
    QSizePolicy keep = m_close->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    m_close->setSizePolicy(keep);
    m_close->hide();
}

CLiveUpdateDlg::~CLiveUpdateDlg() {
    // Only reached mid-run when the program is torn down: let the transfer end on its own.
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
    }
}

void CLiveUpdateDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_started) return;
    m_started = true;
    // Started once the dialog is on the screen.
    QTimer::singleShot(1, this, &CLiveUpdateDlg::start);
}

void CLiveUpdateDlg::start() {
    auto copy = std::make_shared<Application>(m_app.cloneForWorker());
    copy->openDocuments = m_app.openDocuments;  // the reload is refused as the real one would be
    update::UpdateObserver observer;
    observer.status = [this](const std::string& text) {
        QMetaObject::invokeMethod(
            this, [this, t = QString::fromStdString(text)] { showStatus(t); }, Qt::QueuedConnection);
    };
    observer.progress = [this](std::int64_t position, std::int64_t range) {
        QMetaObject::invokeMethod(
            this, [this, position, range] { showProgress(position, range); }, Qt::QueuedConnection);
    };
    auto result = std::make_shared<update::UpdateResult>();
    m_thread = QThread::create([copy, observer, result, url = m_url.toStdString(), options = m_options] {
        *result = update::runLiveUpdate(*copy, url, observer, options);
    });
    m_thread->setObjectName(QStringLiteral("live update"));
    connect(m_thread, &QThread::finished, this, [this, result] { onFinished(*result); });
    m_thread->start();
}

void CLiveUpdateDlg::showStatus(const QString& text) {
    m_status->setText(text);
    m_history << text;
}

void CLiveUpdateDlg::showProgress(qint64 position, qint64 range) {
    // Per mille: a download may be larger than a progress bar's int range.
    const int value = range > 0 ? static_cast<int>(std::clamp<qint64>(position * 1000 / range, 0, 1000)) : 0;
    m_progress->setRange(0, 1000);
    m_progress->setValue(value);
}

void CLiveUpdateDlg::onFinished(const update::UpdateResult& result) {
    if (!m_thread) return;
    m_thread->wait();
    m_thread->deleteLater();
    m_thread = nullptr;
    m_result = result;
    if (result.outcome == update::UpdateOutcome::SessionFailed) {
        showMessage(this, MessageKind::Error, QString::fromLatin1(update::message::kSessionCreateError));
        QDialog::reject();
        emit updateFinished();
        return;
    }
    if (result.outcome == update::UpdateOutcome::Updated) {
        // The worker checked the new file on its own copy; the program's rule base follows.
        if (m_app.reloadRuleBase()) {
            emit ruleBaseReloaded();
        } else {
            m_result->outcome = update::UpdateOutcome::ReloadRefused;
            m_result->message = update::message::kCannotReload;
            showStatus(QString::fromLatin1(update::message::kCannotReload));
        }
    }
    QStringList detail;
    if (!result.detail.empty()) detail << QString::fromStdString(result.detail);
    if (addressMayBeWrong(result.outcome))
        detail << QStringLiteral("Address: %1 (File > Preferences, \"Rules URL\")").arg(m_url);
    m_detail->setText(detail.join(QLatin1Char('\n')));
    m_detail->setVisible(!detail.isEmpty());
    m_close->show();
    m_close->setFocus();
    emit updateFinished();
}

void CLiveUpdateDlg::reject() {
    if (running()) return;  // "Close" comes back when the run has ended
    QDialog::reject();
}

void CLiveUpdateDlg::closeEvent(QCloseEvent* event) {
    if (running()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace qx::gui
