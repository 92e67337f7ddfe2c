#pragma once
// Dialog 202, "Live Update": one status line, a progress bar and "Close". Once it is visible
// it runs the update once; the transfer runs on a worker thread, so the window keeps painting
// while a server is slow, and "Close" comes back when the run has ended.

#include "app/application.hpp"
#include "update/live_update.hpp"

#include <QDialog>
#include <QStringList>

#include <optional>

class QLabel;
class QProgressBar;
class QPushButton;
class QThread;

namespace qx::gui {

class CLiveUpdateDlg : public QDialog {
    Q_OBJECT
public:
    /// Runs against `url` for the rule base of `app`, which it reloads after a replacement.
    CLiveUpdateDlg(Application& app, QString url, QWidget* parent = nullptr);
    ~CLiveUpdateDlg() override;

    /// Limits of the run (tests shorten the waits).
    void setUpdateOptions(const update::UpdateOptions& options) { m_options = options; }

    /// From the moment the dialog is shown until the run has ended.
    [[nodiscard]] bool running() const { return m_started && !m_result; }
    /// How the run ended; empty before the end.
    [[nodiscard]] const std::optional<update::UpdateResult>& result() const { return m_result; }
    /// Every status line shown, in order.
    [[nodiscard]] const QStringList& statusHistory() const { return m_history; }

    [[nodiscard]] QLabel* statusLine() const { return m_status; }
    [[nodiscard]] QLabel* detailLine() const { return m_detail; }
    [[nodiscard]] QProgressBar* progressBar() const { return m_progress; }
    [[nodiscard]] QPushButton* closeButton() const { return m_close; }

    /// Replaces the status line, as the update reports it.
    void showStatus(const QString& text);
    /// Progress within 0 .. range.
    void showProgress(qint64 position, qint64 range);

signals:
    /// The run has ended and "Close" is shown.
    void updateFinished();
    /// A new rule base is in use (the caller shows its date).
    void ruleBaseReloaded();

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void start();
    void onFinished(const update::UpdateResult& result);

    Application& m_app;
    QString m_url;
    update::UpdateOptions m_options;
    QLabel* m_status;
    QProgressBar* m_progress;
    QLabel* m_detail;
    QPushButton* m_close;
    QThread* m_thread = nullptr;
    bool m_started = false;
    std::optional<update::UpdateResult> m_result;
    QStringList m_history;
};

}  // namespace qx::gui
