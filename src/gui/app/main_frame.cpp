#include "app/main_frame.hpp"

#include "app/commands.hpp"
#include "app/icons.hpp"
#include "app/open_progress.hpp"
#include "app/settings_store.hpp"

#include <QActionGroup>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPrinter>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolBar>

namespace qx::gui {
namespace {

// Menu texts may carry the accelerator after a tab; Qt shows shortcuts itself.
QString menuLabel(QString text) {
    const auto tab = text.indexOf(QLatin1Char('\t'));
    return tab < 0 ? text : text.left(tab);
}

}  // namespace

CMainFrame::CMainFrame(Application& app, QWidget* parent)
    : QMainWindow(parent), m_app(app), m_mdi(new QMdiArea(this)) {
    setWindowTitle(QStringLiteral("QXConfig"));
    setWindowIcon(icons::application());
    m_mdi->setViewMode(QMdiArea::SubWindowView);
    m_mdi->setBackground(QColor(0x8a, 0x95, 0xa3));
    m_mdi->setActivationOrder(QMdiArea::ActivationHistoryOrder);
    setCentralWidget(m_mdi);
    createActions();
    createMenus();
    createToolBars();
    createStatusBar();
    installMenus(MenuKind::NoDocuments);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, [this] {
        updateTitle();
        updateCommandStates();
    });
    connect(&m_loader, &DocumentLoader::opened, this, &CMainFrame::onOpened);
    connect(&m_loader, &DocumentLoader::scanned, this, &CMainFrame::onScanned);
    connect(&m_loader, &DocumentLoader::checkerStep, this, &CMainFrame::onCheckerStep);
    connect(&m_loader, &DocumentLoader::checkerFinished, this, &CMainFrame::onCheckerFinished);
    resize(1180, 760);
    updateCommandStates();
}

CMainFrame::~CMainFrame() {
    // Windows own their documents: delete them here, without the bookkeeping of a close.
    m_destroying = true;
    // A comparison still reads the documents: they go when it is done.
    if (m_compareThread) m_compareThread->wait();
    for (QMdiSubWindow* sw : m_mdi->subWindowList()) delete sw;
}

QAction* CMainFrame::addCommand(int id, const std::function<void()>& handler, bool checkable) {
    auto* a = new QAction(menuLabel(cmd::resourceText(id)), this);
    a->setData(id);
    a->setToolTip(cmd::toolTip(id));
    a->setStatusTip(cmd::prompt(id));
    a->setCheckable(checkable);
    a->setIcon(icons::command(id));
    a->setIconVisibleInMenu(false);
    if (handler) connect(a, &QAction::triggered, this, handler);
    m_actions.insert(id, a);
    return a;
}

void CMainFrame::createActions() {
    addCommand(cmd::FileOpen, [this] { chooseFile(); })->setShortcut(QKeySequence::Open);
    addCommand(cmd::OpenDocuments, [this] { chooseFolder(); });
    addCommand(cmd::FileSaveAs, [this] { saveActiveAs(); });
    addCommand(cmd::FileClose, [this] {
        if (QMdiSubWindow* w = m_mdi->activeSubWindow()) w->close();
    });
    addCommand(cmd::Preferences, [this] { showPreferences(); });
    addCommand(cmd::LiveUpdate, [this] { liveUpdate(); });
    addCommand(cmd::CopyToClipboard, [this] { copyListToClipboard(); });
    addCommand(cmd::SaveAsText, [this] { saveListAsText(); });
    addCommand(cmd::SaveAsXml, [this] { saveAsXml(); });
    addCommand(cmd::SaveRules, [this] { saveRules(); });
    addCommand(cmd::PrintSetup, [this] { printSetup(); });
    addCommand(cmd::AppExit, [this] { close(); });
    addCommand(cmd::Compare, [this] { compare(); });
    addCommand(
        cmd::ViewStatusBar, [this] { statusBar()->setVisible(m_actions[cmd::ViewStatusBar]->isChecked()); },
        true)
        ->setChecked(true);
    addCommand(
        cmd::ViewToolbar,
        [this] {
            QToolBar* bar = m_openConfigWindows > 0 || m_fullBar->isVisible() ? m_fullBar : m_shortBar;
            bar->setVisible(m_actions[cmd::ViewToolbar]->isChecked());
        },
        true)
        ->setChecked(true);
    addCommand(cmd::TreeOpen, [this] {
        if (auto* w = activeConfigWindow())
            w->treeOpen();
        else if (auto* c = activeCompareWindow())
            c->expandTree(true);
    });
    addCommand(cmd::TreeClose, [this] {
        if (auto* w = activeConfigWindow())
            w->treeClose();
        else if (auto* c = activeCompareWindow())
            c->expandTree(false);
    });
    for (int id : {cmd::FilterInformation, cmd::FilterNotChecked, cmd::FilterBad, cmd::FilterGood,
                   cmd::FilterRemark, cmd::FilterCommand})
        addCommand(
            id, [this, id] { toggleFilter(id); }, true);
    addCommand(cmd::WindowCascade, [this] { cascadeWindows(); });
    addCommand(cmd::WindowTileHorz, [this] { tileWindows(Qt::Horizontal); });
    addCommand(cmd::WindowTileVert, [this] { tileWindows(Qt::Vertical); });
    addCommand(cmd::CloseAll, [this] { closeAll(); });
    addCommand(cmd::CloseAllConfig, [this] { closeAllConfigWindows(); });
    auto* languages = new QActionGroup(this);
    for (auto [id, lang] :
         {std::pair{cmd::LangEnglish, "english"}, std::pair{cmd::LangHungarian, "hungarian"},
          std::pair{cmd::LangPortuguese, "portuguese"}})
        languages->addAction(addCommand(
            id, [this, l = std::string(lang)] { setLanguage(l); }, true));
    addCommand(cmd::AppAbout, [this] { showAbout(); });
    addCommand(cmd::RunChecker, [this] { runChecker(); });
    addCommand(cmd::CreateQxs, [this] { createQxs(); });
    addCommand(cmd::TextReport, [this] { openTextReport(); });
    addCommand(cmd::Save, {});
    addCommand(cmd::FilePrint, [this] { printActive(); })->setShortcut(QKeySequence::Print);
}

void CMainFrame::createMenus() {
    auto menu = [this](MenuKind kind, const char* title, std::initializer_list<int> ids) {
        auto* m = new QMenu(QString::fromUtf8(title), this);
        for (int id : ids) {
            if (id == 0) {
                m->addSeparator();
            } else if (id == cmd::RecentFile) {
                for (int i = 0; i < 4; ++i) {
                    auto* a = m->addAction(QString(), this, [this, kind, i] {
                        openFile(recentActions(kind)[i]->property("path").toString());
                    });
                    recentActions(kind).append(a);
                }
            } else {
                m->addAction(m_actions.value(id));
            }
        }
        menus(kind).append(m);
        return m;
    };
    using namespace cmd;
    constexpr MenuKind none = MenuKind::NoDocuments, docs = MenuKind::Documents;
    menu(none, "&File",
         {FileOpen, OpenDocuments, FileSaveAs, 0, Preferences, LiveUpdate, 0, PrintSetup, 0, RecentFile, 0,
          AppExit});
    menu(none, "&View", {ViewStatusBar});
    menu(none, "&Language", {LangEnglish, LangHungarian, LangPortuguese});
    menu(none, "&Help", {AppAbout});
    menu(docs, "&File",
         {FileOpen, OpenDocuments, FileClose, 0, FileSaveAs, CopyToClipboard, SaveAsText, SaveAsXml,
          SaveRules, 0, FilePrint, PrintSetup, 0, Preferences, 0, RecentFile, 0, AppExit});
    menu(docs, "&Build", {Compare, TextReport, CreateQxs});
    menu(docs, "&View",
         {ViewToolbar, ViewStatusBar, 0, TreeOpen, TreeClose, 0, FilterInformation, FilterNotChecked,
          FilterBad, FilterGood, FilterRemark, FilterCommand});
    m_windowMenu =
        menu(docs, "&Window", {WindowCascade, WindowTileHorz, WindowTileVert, CloseAll, CloseAllConfig});
    menu(docs, "&Help", {AppAbout});
    for (auto& list : m_menus)
        for (QMenu* m : list) connect(m, &QMenu::aboutToShow, this, &CMainFrame::refreshRecentFiles);
    connect(m_windowMenu, &QMenu::aboutToShow, this, &CMainFrame::refreshWindowMenu);
    refreshRecentFiles();
}

void CMainFrame::refreshRecentFiles() {
    const QStringList files = recentFiles();
    for (auto& list : m_recentActions) {
        for (int i = 0; i < list.size(); ++i) {
            QAction* a = list[i];
            const bool used = i < files.size();
            a->setVisible(used || i == 0);
            a->setEnabled(used);
            a->setProperty("path", used ? files[i] : QString());
            a->setText(used ? QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(files[i]).fileName())
                            : QStringLiteral("Recent File"));
            a->setStatusTip(used ? files[i] : QString());
        }
    }
}

void CMainFrame::createToolBars() {
    using namespace cmd;
    auto bar = [this](const char* name, std::initializer_list<int> ids) {
        auto* t = new QToolBar(QString::fromUtf8(name), this);
        t->setObjectName(QString::fromUtf8(name));
        t->setIconSize(QSize(16, 16));
        t->setMovable(false);
        t->setFloatable(false);
        for (int id : ids) {
            if (id == 0)
                t->addSeparator();
            else
                t->addAction(m_actions.value(id));
        }
        addToolBar(Qt::TopToolBarArea, t);
        return t;
    };
    m_fullBar = bar("Full toolbar", {FileOpen,
                                     OpenDocuments,
                                     0,
                                     Save,
                                     0,
                                     CreateQxs,
                                     0,
                                     Compare,
                                     0,
                                     TreeOpen,
                                     TreeClose,
                                     0,
                                     FilterInformation,
                                     FilterNotChecked,
                                     FilterBad,
                                     FilterGood,
                                     FilterRemark,
                                     FilterCommand,
                                     0,
                                     FilePrint,
                                     0,
                                     WindowCascade,
                                     WindowTileHorz,
                                     WindowTileVert,
                                     FileClose,
                                     CloseAll,
                                     CloseAllConfig,
                                     0,
                                     RunChecker,
                                     0,
                                     AppAbout,
                                     0,
                                     LiveUpdate});
    m_shortBar = bar("Short toolbar", {FileOpen, OpenDocuments, 0, AppAbout, 0, LiveUpdate});
    m_fullBar->hide();
    // The checker's button carries its name: it is the one command users look for.
    m_fullBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
}

void CMainFrame::createStatusBar() {
    QStatusBar* bar = statusBar();
    const QFontMetrics fm(bar->font());
    const char* widths[] = {"           ", "00/00/0000", "-     ", "CAP", "NUM", "SCRL"};
    for (int i = 0; i < 6; ++i) {
        auto* l = new QLabel(this);
        l->setAlignment(Qt::AlignCenter);
        l->setMinimumWidth(fm.horizontalAdvance(QString::fromLatin1(widths[i])) + 12);
        l->setFrameShape(QFrame::NoFrame);
        bar->addPermanentWidget(l);
        m_panes[i] = l;
    }
    m_panes[2]->setToolTip(QStringLiteral("Open documents"));
    m_panes[1]->setToolTip(QStringLiteral("Rule base date"));
    for (int i = 3; i < 6; ++i) {
        m_panes[i]->setText(QString::fromLatin1(widths[i]));
        m_panes[i]->setEnabled(false);  // lock states are not readable here; shown as off
    }
    bar->showMessage(QStringLiteral("Ready"));
}

QStringList CMainFrame::statusPanes() const {
    QStringList texts;
    for (QLabel* l : m_panes) texts << l->text();
    return texts;
}

void CMainFrame::setRuleDate(const QString& date) {
    m_panes[1]->setText(date);
}

QList<QMenu*>& CMainFrame::menus(MenuKind kind) {
    Q_ASSERT(kind != MenuKind::None);
    return m_menus[kind == MenuKind::Documents ? 1 : 0];
}

QList<QAction*>& CMainFrame::recentActions(MenuKind kind) {
    Q_ASSERT(kind != MenuKind::None);
    return m_recentActions[kind == MenuKind::Documents ? 1 : 0];
}

void CMainFrame::installMenus(MenuKind kind) {
    menuBar()->clear();
    for (QMenu* m : menus(kind)) menuBar()->addMenu(m);
}

void CMainFrame::translateMenus() {
    const MenuKind kind = documentCount() > 0 ? MenuKind::Documents : MenuKind::NoDocuments;
    if (kind == m_translatedMenuKind) {
        if (kind == MenuKind::NoDocuments) applyLanguage();
        return;
    }
    installMenus(kind);
    const QList<QMenu*>& shown = menus(kind);
    // The pop-ups' localisation keys: the menu kind's number, then the pop-up's position.
    const std::string prefix = std::to_string(static_cast<int>(kind));
    for (int i = 0; i < shown.size(); ++i) {
        const std::string title = m_app.menuText(prefix + std::to_string(i));
        if (!title.empty()) shown[i]->setTitle(QString::fromStdString(title));
        for (QAction* a : shown[i]->actions()) {
            const int id = a->data().toInt();
            if (id <= 0) continue;  // separators and recent files
            const std::string text = m_app.menuText(std::to_string(id));
            a->setText(menuLabel(text.empty() ? cmd::resourceText(id) : QString::fromStdString(text)));
        }
    }
    m_translatedMenuKind = kind;
    translateToolTips();
}

void CMainFrame::translateToolTips() {
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it) {
        const std::string tip = m_app.localisation().toolText(std::to_string(it.key()));
        it.value()->setToolTip(tip.empty() ? cmd::toolTip(it.key()) : QString::fromStdString(tip));
    }
}

void CMainFrame::applyLanguage() {
    m_translatedMenuKind = MenuKind::None;
    const std::string& lang = m_app.language();
    m_actions[cmd::LangEnglish]->setChecked(lang == "english");
    m_actions[cmd::LangHungarian]->setChecked(lang == "hungarian");
    m_actions[cmd::LangPortuguese]->setChecked(lang == "portuguese");
    saveLanguage(lang);
}

void CMainFrame::setLanguage(const std::string& language) {
    m_app.setLanguage(language);
    // A language click translates in full: the menu shown may be the one last translated
    // in the other language.
    m_translatedMenuKind = MenuKind::None;
    translateMenus();
    applyLanguage();
}

void CMainFrame::updateCommandStates() {
    CQXConfigSplitter* w = activeConfigWindow();
    const bool config = w != nullptr;
    const bool text = activeReportWindow() != nullptr;
    CSplitterFrameCompare* comparison = activeCompareWindow();
    const bool compared = comparison && comparison->built();
    const bool idleNow = !m_checkerRunning;
    const bool windows = !m_mdi->subWindowList().isEmpty();
    for (int id : {cmd::TreeOpen, cmd::TreeClose}) m_actions[id]->setEnabled(config || compared);
    for (int id : {cmd::FilterInformation, cmd::FilterNotChecked, cmd::FilterBad, cmd::FilterGood,
                   cmd::FilterRemark, cmd::FilterCommand}) {
        m_actions[id]->setEnabled(config);
        m_actions[id]->setChecked(config && w->filterShown(cmd::filterIcon(id)));
    }
    m_actions[cmd::FileClose]->setEnabled(m_mdi->activeSubWindow() != nullptr && idleNow);
    for (int id : {cmd::CloseAll, cmd::WindowCascade, cmd::WindowTileHorz, cmd::WindowTileVert})
        m_actions[id]->setEnabled(windows && idleNow);
    m_actions[cmd::CloseAllConfig]->setEnabled(configDocumentCount() > 0 && idleNow);
    // The checker writes into the documents a comparison reads: one at a time.
    const bool comparing = m_compareThread != nullptr;
    m_actions[cmd::RunChecker]->setEnabled(configDocumentCount() > 0 && idleNow && !comparing);
    m_actions[cmd::Compare]->setEnabled(!completedConfigWindows().isEmpty() && idleNow && !comparing);
    m_actions[cmd::SaveRules]->setEnabled(m_app.ruleBaseLoaded());
    m_actions[cmd::LiveUpdate]->setEnabled(configDocumentCount() == 0);
    for (int id : {cmd::SaveAsXml, cmd::TextReport, cmd::CreateQxs})
        m_actions[id]->setEnabled(config && idleNow);
    for (int id : {cmd::CopyToClipboard, cmd::SaveAsText})
        m_actions[id]->setEnabled((config && idleNow) || compared);
    m_actions[cmd::FilePrint]->setEnabled(((config || text) && idleNow) || compared);
    m_actions[cmd::FileSaveAs]->setEnabled(text || compared);
    m_actions[cmd::PrintSetup]->setEnabled(true);
    // "Save" has no document to save: text and comparison windows use "Save As".
    m_actions[cmd::Save]->setEnabled(false);
    m_panes[2]->setText(configDocumentCount() > 0 ? QString::number(configDocumentCount()) : QString());
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (m_loader.busy() || m_compareThread) {
        // A worker still holds a document: finish it first, then close.
        m_closePending = true;
        cancelOpenDocuments();
        event->ignore();
        return;
    }
    // An hour of rule edits is not lost to a click on the close box.
    if (!askToSaveRules(true)) {
        event->ignore();
        return;
    }
    m_closingProgram = true;
    m_mdi->closeAllSubWindows();
    // A text window whose edits the user chose to keep stops the exit.
    if (!m_mdi->subWindowList().isEmpty()) {
        m_closingProgram = false;
        event->ignore();
        return;
    }
    event->accept();
}

}  // namespace qx::gui
