#pragma once
// The application object of the desktop program: start-up in its fixed order, the
// splash window and the update reminder that follows it.

#include "app/application.hpp"
#include "app/dialogs.hpp"
#include "app/main_frame.hpp"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <memory>

namespace qx::gui {

/// How the program starts.
struct StartOptions {
    bool splash = true;      // false: no splash window and hence no reminder
    bool showWindow = true;  // false: tests drive a hidden frame
};

class CQXConfigApp : public QObject {
    Q_OBJECT
public:
    explicit CQXConfigApp(std::string programDir);
    ~CQXConfigApp() override;

    /// Runs the start-up; false when it ends unsuccessfully. `file` is the command line's.
    bool initInstance(const QString& file, const StartOptions& options = {});

    [[nodiscard]] Application& core() { return m_app; }
    [[nodiscard]] CMainFrame* mainFrame() const { return m_frame.get(); }
    [[nodiscard]] CSplashWnd* splash() const { return m_splash; }

    /// The reminder check run when the splash window goes.
    void onSplashDismissed();

private:
    Application m_app;
    std::unique_ptr<CMainFrame> m_frame;
    QPointer<CSplashWnd> m_splash;
};

}  // namespace qx::gui
