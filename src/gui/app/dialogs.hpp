#pragma once
// The small dialogs of the application: splash window, Preferences, About box.

#include "app/application.hpp"
#include "app/installation.hpp"

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

#include <vector>

class QCheckBox;
class QLineEdit;
class QSpinBox;

namespace qx::gui {

/// The splash window: product name and version; gone on a key, a click or after 2.5 s.
class CSplashWnd : public QDialog {
    Q_OBJECT
public:
    explicit CSplashWnd(QWidget* parent = nullptr);
    ~CSplashWnd() override;
    /// Milliseconds after which idle time dismisses the window.
    static constexpr int kShowMs = 2500;

signals:
    /// Emitted once, when the window goes.
    void dismissed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void dismiss();
    QTimer m_timer;
    QElapsedTimer m_shown;
    bool m_done = false;
};

/// Preferences (dialog 201): the three addresses and the reminder interval.
class CPreferencesDlg : public QDialog {
    Q_OBJECT
public:
    CPreferencesDlg(const Settings& current, QWidget* parent = nullptr);
    /// The values as the fields hold them.
    [[nodiscard]] Settings values() const;

    QLineEdit* kdnUrl() const { return m_kdn; }
    QLineEdit* fileFinderUrl() const { return m_fileFinder; }
    QLineEdit* rulesUrl() const { return m_rules; }
    QCheckBox* remind() const { return m_remind; }
    QSpinBox* interval() const { return m_interval; }
    /// The "Default" button's action.
    void restoreDefaults();

private:
    void onRemindToggled(bool on);
    Settings m_base;
    QLineEdit* m_kdn;
    QLineEdit* m_fileFinder;
    QLineEdit* m_rules;
    QCheckBox* m_remind;
    QSpinBox* m_interval;
};

/// About box (dialog 100): product, version, free memory and the rule file date, and
/// which data folder and rule base (path, checksum) are in use.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    CAboutDlg(const Application& app, QWidget* parent = nullptr);
    /// "%lu KB" of the available physical memory.
    static QString memoryText();
    /// The rule base's date, or "<not found>" without a rule base.
    static QString ruleDateText(const Application& app);
    /// The data folder and rule-base rows below the date.
    static std::vector<InstallationFact> installationFacts(const Application& app);
};

}  // namespace qx::gui
