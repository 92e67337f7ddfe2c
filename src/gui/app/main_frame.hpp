#pragma once
// `CMainFrame`: the multiple-document main window with its two menus, two toolbars,
// the status bar, single-file and folder opening and the close-all commands.

#include "app/application.hpp"
#include "app/document_loader.hpp"
#include "app/open_progress.hpp"
#include "compare/server_compare.hpp"
#include "views/compare_window.hpp"
#include "views/config_window.hpp"
#include "views/report_window.hpp"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QPrinter;
class QProgressBar;
class QThread;
class QToolBar;

namespace qx::gui {

/// The two main menus: 128 without documents, 129 with documents. The numbers are the
/// localisation keys' first digit and the kind last translated (None: none yet).
enum class MenuKind : int { None = 0, NoDocuments = 1, Documents = 2 };

/// Where "Open Documents..." stands: scanning the folder, then opening the files found
/// one at a time, then idle again (finished, failed or cancelled).
struct BulkOpen {
    enum class Phase { Idle, Scanning, Opening };
    Phase phase = Phase::Idle;
    QStringList files;   // found by the scan
    int next = 0;        // while opening: the index of the file being read
    quint64 ticket = 0;  // while opening: the loader's ticket of that file
    [[nodiscard]] bool running() const { return phase != Phase::Idle; }
};

class CMainFrame : public QMainWindow, public WindowHost {
    Q_OBJECT
public:
    explicit CMainFrame(Application& app, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // WindowHost
    Application& application() override { return m_app; }
    std::vector<const CQXConfigDoc2*> comparisonDocuments(const CQXConfigDoc2& first) override;
    int configDocumentCount() const override;
    bool openingDocuments() const override { return m_bulk.running(); }
    lists::ListModel reportList(xml::Node node, const CQXConfigDoc2& doc) override;
    void runCommand(int id) override;
    void ruleNodeRemoving(xml::Node node) override;
    void ruleBaseEdited(const ruleedit::EditResult& result) override;

    /// True while the rule base holds edits that "Save rules" has not written.
    [[nodiscard]] bool rulesEdited() const { return m_rulesEdited; }

    /// Single-file opening (Open..., recent files, command line).
    void openFile(const QString& path);
    /// "Open Documents..." on a chosen folder (the folder chooser is skipped).
    void openDocumentsFrom(const QString& folder);
    /// Cancel of the progress window.
    void cancelOpenDocuments();
    /// "Close All" and "Close All config Windows".
    void closeAll();
    void closeAllConfigWindows();
    /// "Run Checker!".
    void runChecker();
    /// Shows an opened document in a new configuration window.
    void addConfigWindow(std::unique_ptr<CQXConfigDoc2> doc);
    /// Opens a text window of the document type "Report" (command file or text report).
    CReportEditView* addReportWindow(CReportEditView::Kind kind, const QString& title, std::string text);

    /// The outputs of the active configuration window: "Copy to Clipboard", "Save As text",
    /// "Save As xml" (each asking for a file where it writes one), "Text Report", "Create QXS".
    void copyListToClipboard();
    void saveListAsText();
    void saveAsXml();
    void openTextReport();
    void createQxs();
    /// "Save As" of the active text or comparison window.
    void saveActiveAs();
    /// Asks for a file and saves a text window into it; false when cancelled or failed.
    bool saveReportWindow(CReportEditView& view);
    /// "Print": the active text window, or the active configuration window's details list.
    void printActive();
    /// Prints what "Print" prints on a printer set up by the caller (no dialog). False when
    /// nothing can be printed or the printer refused.
    bool printActiveTo(QPrinter& printer);
    /// "Print Setup...": paper, orientation and margins of the printer "Print" uses.
    void printSetup();
    /// The printer "Print" and "Print Setup..." share.
    QPrinter& printer();

    /// Window menu commands: cascade, stacked rows (horizontal), side-by-side columns (vertical).
    void cascadeWindows();
    void tileWindows(Qt::Orientation orientation);
    /// Rebuilds the open-window list at the foot of the Window menu.
    void refreshWindowMenu();
    [[nodiscard]] QMenu* windowMenu() const { return m_windowMenu; }
    /// Menu translation and language (localisation).
    void translateMenus();
    void applyLanguage();
    void setLanguage(const std::string& language);
    /// Shows the rule-base date in its status-bar pane.
    void setRuleDate(const QString& date);

    /// "Compare": the selection dialog, then a comparison window built off this thread.
    void compare();
    /// Opens a comparison window of `base` with `others` and starts building it.
    CSplitterFrameCompare* openComparison(const CQXConfigDoc2& base,
                                          const std::vector<const CQXConfigDoc2*>& others,
                                          const compare::CompareOptions& options);
    /// "Live Update": dialog 202 with the configured address; stores the time as the last reminder.
    void liveUpdate();

    /// The action of a command number (null when the frame has none).
    [[nodiscard]] QAction* action(int id) const { return m_actions.value(id); }
    [[nodiscard]] QList<CQXConfigSplitter*> configWindows() const;
    [[nodiscard]] CQXConfigSplitter* activeConfigWindow() const;
    [[nodiscard]] CReportEditView* activeReportWindow() const;
    [[nodiscard]] CSplitterFrameCompare* activeCompareWindow() const;
    [[nodiscard]] QList<CSplitterFrameCompare*> compareWindows() const;
    /// Open documents of every type (configuration, text and comparison windows).
    [[nodiscard]] int documentCount() const { return m_openConfigWindows + m_openOtherWindows; }
    [[nodiscard]] QMdiArea* mdiArea() const { return m_mdi; }
    [[nodiscard]] QToolBar* fullToolBar() const { return m_fullBar; }
    [[nodiscard]] QToolBar* shortToolBar() const { return m_shortBar; }
    /// The texts of the status-bar panes 2 to 7.
    [[nodiscard]] QStringList statusPanes() const;
    [[nodiscard]] MenuKind translatedMenuKind() const { return m_translatedMenuKind; }
    [[nodiscard]] const BulkOpen& bulkOpen() const { return m_bulk; }
    /// True while a document is being read, "Run Checker!" runs or a comparison is built.
    [[nodiscard]] bool busy() const { return m_loader.busy() || m_bulk.running() || m_compareThread; }
    [[nodiscard]] COpenProgressDlg* progressWindow() const { return m_progressDlg; }

signals:
    /// A configuration window was opened (single or bulk).
    void documentOpened(int openDocuments);
    /// Nothing is being opened or analysed any more.
    void idle();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createActions();
    QAction* addCommand(int id, const std::function<void()>& handler, bool checkable = false);
    void createMenus();
    void createToolBars();
    void createStatusBar();
    void installMenus(MenuKind kind);
    [[nodiscard]] QList<QMenu*>& menus(MenuKind kind);
    [[nodiscard]] QList<QAction*>& recentActions(MenuKind kind);
    void refreshRecentFiles();
    void updateCommandStates();
    void onOpened(std::shared_ptr<OpenJob> job);
    void onBulkOpened(std::shared_ptr<OpenJob> job);
    void openNextBulkFile();
    void onScanned(const QStringList& files);
    void finishOpenDocuments();
    void onWindowClosed();
    void toggleFilter(int id);
    void translateToolTips();
    QMdiSubWindow* addDocumentWindow(QWidget* widget);
    void addOtherWindow(QWidget* widget);
    void placeNewWindow(QMdiSubWindow* window);
    void updateTitle();
    [[nodiscard]] QString frameTitle() const;
    [[nodiscard]] QString printDocumentName() const;
    void onCheckerStep(int done, int steps);
    void onCheckerFinished(int nextProductNumber, const QStringList& messages);
    void showAnalysisMessages(const std::vector<std::string>& messages);
    void showAbout();
    void showPreferences();
    /// "Save rules"; false (after saying why) when rules.xml could not be written.
    bool saveRules();
    /// Before the rule edits would be lost: Yes saves, No discards; false for Cancel (or a failed save).
    bool askToSaveRules(bool closingProgram);
    /// True when a configuration window other than `window` is open and not closing.
    [[nodiscard]] bool otherConfigWindowOpen(const QObject* window) const;
    void showProgressBar(int steps);
    void removeProgressBar();
    struct BuiltComparison;
    void onComparisonBuilt(QPointer<CSplitterFrameCompare> window, std::shared_ptr<BuiltComparison> built);
    [[nodiscard]] QList<CQXConfigSplitter*> completedConfigWindows() const;
    void chooseFile();
    void chooseFolder();
    void checkIdle();

    Application& m_app;
    DocumentLoader m_loader;
    QMdiArea* m_mdi;
    QHash<int, QAction*> m_actions;
    QList<QMenu*> m_menus[2];  // by MenuKind: NoDocuments, Documents
    QList<QAction*> m_recentActions[2];
    QToolBar* m_fullBar = nullptr;
    QToolBar* m_shortBar = nullptr;
    QLabel* m_panes[6] = {};
    QProgressBar* m_progress = nullptr;
    QPointer<COpenProgressDlg> m_progressDlg;
    QSet<quint64> m_singleTickets;
    BulkOpen m_bulk;
    bool m_checkerRunning = false;
    bool m_closePending = false;
    bool m_destroying = false;
    bool m_rulesEdited = false;
    // Set while the program closes, after the rule edits were asked about.
    bool m_closingProgram = false;
    // Set when the user chose to drop the rule edits as the last window closes.
    bool m_discardRules = false;
    MenuKind m_translatedMenuKind = MenuKind::None;
    int m_openConfigWindows = 0;
    int m_openOtherWindows = 0;  // text and comparison windows
    int m_comparisons = 0;
    QThread* m_compareThread = nullptr;
    compare::CompareOptions m_compareTypes = compare::CompareOptions::all();
    QString m_openFolder;
    QString m_saveFolder;
    QMenu* m_windowMenu = nullptr;
    QList<QAction*> m_windowListActions;
    std::unique_ptr<QPrinter> m_printer;
};

}  // namespace qx::gui
