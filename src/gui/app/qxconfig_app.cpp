#include "app/qxconfig_app.hpp"

#include "app/commands.hpp"
#include "app/dialogs.hpp"
#include "app/message.hpp"
#include "app/settings_store.hpp"

#include <QAction>

#include <ctime>
#include <new>

namespace qx::gui {

CQXConfigApp::CQXConfigApp(std::string programDir) : m_app(std::move(programDir)) {}

CQXConfigApp::~CQXConfigApp() {
    if (m_splash) delete m_splash;
}

bool CQXConfigApp::initInstance(const QString& file, const StartOptions& options) {
    m_frame = std::make_unique<CMainFrame>(m_app);
    loadSettings(m_app);
    try {
        if (m_app.loadLocalisation() == LocalisationSource::Failed)
            showMessage(m_frame.get(), MessageKind::Error, QStringLiteral("Menu XML File not found "));
    } catch (const std::exception&) {
        showMessage(m_frame.get(), MessageKind::Error, QStringLiteral("Menu XML File Exception occurred"));
        return false;
    }
    // The rule base comes before the command line: opening a file needs it.
    try {
        if (m_app.loadRuleBase() == RuleBaseLoad::Loaded)
            m_frame->setRuleDate(QString::fromStdString(m_app.ruleBaseDate()));
    } catch (const std::exception&) {
        showMessage(m_frame.get(), MessageKind::Error, QStringLiteral("XML Exception occurred"));
        return false;
    }
    if (!file.isEmpty()) m_frame->openFile(file);
    if (options.showWindow) m_frame->show();
    if (options.splash && options.showWindow && !m_frame->isMinimized()) {
        m_splash = new CSplashWnd;
        connect(m_splash, &CSplashWnd::dismissed, this, &CQXConfigApp::onSplashDismissed);
        m_splash->show();
        m_splash->raise();
    }
    m_frame->translateMenus();
    m_frame->applyLanguage();
    return true;
}

void CQXConfigApp::onSplashDismissed() {
    if (m_frame) m_frame->update();
    if (!m_frame || m_app.openDocuments > 0 || m_frame->busy()) return;
    if (!reminderDue(m_app.settings, static_cast<std::int64_t>(std::time(nullptr)))) return;
    if (showMessage(m_frame.get(), MessageKind::Question,
                    QStringLiteral("Do you want to check for Rules update?"),
                    QStringLiteral("QXConfig")) == QMessageBox::Yes)
        m_frame->action(cmd::LiveUpdate)->trigger();
}

}  // namespace qx::gui
