// Opening documents, closing them, and the commands that run over all of them.
#include "app/commands.hpp"
#include "app/dialogs.hpp"
#include "app/main_frame.hpp"
#include "app/message.hpp"
#include "app/open_progress.hpp"
#include "app/settings_store.hpp"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolBar>

#include <ctime>

#include "lists/report_lists.hpp"
#include "util/text.hpp"

namespace qx::gui {
namespace {

constexpr const char* kOpenError = "Open error! (Not enought memory)";
constexpr const char* kNotConfigWindow = "Selected window is not config.txt!";

// The fixed message, then which file was refused and why, so that a broken rules.xml is
// not mistaken for a missing one.
QString rulesNeeded(const Application& app) {
    QString text = QString::fromLatin1(Application::kRulesNeededMessage);
    const QString path = QString::fromStdString(app.rulesPath());
    if (!app.ruleBaseError().empty() && QFileInfo::exists(path))
        text += QStringLiteral("\n\n%1: %2")
                    .arg(QDir::toNativeSeparators(path),
                         QString::fromStdString(text::printable(app.ruleBaseError())));
    return text;
}

}  // namespace

int CMainFrame::configDocumentCount() const {
    return m_openConfigWindows;
}

QList<CQXConfigSplitter*> CMainFrame::configWindows() const {
    QList<CQXConfigSplitter*> out;
    for (QMdiSubWindow* sw : m_mdi->subWindowList(QMdiArea::CreationOrder))
        if (auto* w = qobject_cast<CQXConfigSplitter*>(sw->widget())) out.append(w);
    return out;
}

bool CMainFrame::otherConfigWindowOpen(const QObject* window) const {
    for (QMdiSubWindow* sw : m_mdi->subWindowList())
        if (sw->widget() != window && !sw->isHidden() && qobject_cast<CQXConfigSplitter*>(sw->widget()))
            return true;
    return false;
}

namespace {

// The active child window, or the only one (a hidden frame activates none).
QMdiSubWindow* activeChild(const QMdiArea* mdi) {
    QMdiSubWindow* sw = mdi->activeSubWindow();
    if (!sw && mdi->subWindowList().size() == 1) sw = mdi->subWindowList().first();
    return sw;
}

}  // namespace

CQXConfigSplitter* CMainFrame::activeConfigWindow() const {
    QMdiSubWindow* sw = activeChild(m_mdi);
    return sw ? qobject_cast<CQXConfigSplitter*>(sw->widget()) : nullptr;
}

CReportEditView* CMainFrame::activeReportWindow() const {
    QMdiSubWindow* sw = activeChild(m_mdi);
    return sw ? qobject_cast<CReportEditView*>(sw->widget()) : nullptr;
}

std::vector<const CQXConfigDoc2*> CMainFrame::comparisonDocuments(const CQXConfigDoc2& first) {
    std::vector<const CQXConfigDoc2*> docs{&first};
    for (CQXConfigSplitter* w : configWindows())
        if (&w->document() != &first && w->document().state == CQXConfigDoc2::kStateCompleted)
            docs.push_back(&w->document());
    return docs;
}

lists::ListModel CMainFrame::reportList(xml::Node node, const CQXConfigDoc2& doc) {
    std::vector<const CQXConfigDoc2*> all;
    for (CQXConfigSplitter* w : configWindows()) all.push_back(&w->document());
    return lists::buildReportList(doc, m_app, node, all);
}

// ---- single files -----------------------------------------------------------------------

void CMainFrame::chooseFile() {
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Open"), m_openFolder, QStringLiteral("Config Files (*.xml *.txt *.XML *.TXT)"));
    if (!path.isEmpty()) openFile(path);
}

void CMainFrame::openFile(const QString& path) {
    if (!m_app.ruleBaseLoaded()) {
        showMessage(this, MessageKind::Error, rulesNeeded(m_app));
        return;
    }
    if (path.isEmpty() || !QFileInfo::exists(path)) return;
    statusBar()->showMessage(QStringLiteral("Opening %1...").arg(QDir::toNativeSeparators(path)));
    QApplication::setOverrideCursor(Qt::BusyCursor);
    m_singleTickets.insert(m_loader.open(path, m_app));
}

void CMainFrame::onOpened(std::shared_ptr<OpenJob> job) {
    if (m_bulk.ticket != 0 && job->ticket == m_bulk.ticket) {
        m_bulk.ticket = 0;
        onBulkOpened(std::move(job));
    } else if (m_singleTickets.remove(job->ticket)) {
        QApplication::restoreOverrideCursor();
        statusBar()->clearMessage();
        const import::OpenResult& r = job->result;
        if (job->exception) {
            showMessage(this, MessageKind::Error, QString::fromLatin1(import::kOutOfMemoryMessage));
        } else if (!r.opened()) {
            if (r.check.silent)
                statusBar()->showMessage(QString::fromStdString(r.message()), 8000);
            else if (!r.message().empty())
                showMessage(this, MessageKind::Error, QString::fromStdString(r.message()));
        } else {
            addRecentFile(job->path);
            m_app.nextProductNumber = std::max(m_app.nextProductNumber, job->nextProductNumber);
            addConfigWindow(std::move(job->doc));
            if (!r.load.message.empty())
                showMessage(this, MessageKind::Error, QString::fromStdString(r.load.message));
            showAnalysisMessages(r.load.analysisMessages);
        }
    }
    checkIdle();
}

void CMainFrame::addConfigWindow(std::unique_ptr<CQXConfigDoc2> doc) {
    auto* w = new CQXConfigSplitter(std::move(doc), *this);
    w->installEventFilter(this);  // held open while a comparison reads it
    ++m_openConfigWindows;
    m_app.openDocuments = m_openConfigWindows;
    connect(w, &QObject::destroyed, this, &CMainFrame::onWindowClosed);
    if (m_openConfigWindows == 1) {
        m_shortBar->hide();
        m_fullBar->show();
    }
    addDocumentWindow(w);
    // A new window shows its configuration at once: the root's first section is selected.
    if (QTreeWidget* tree = w->form()->page(PageKind::Config)->tree();
        tree->topLevelItemCount() > 0 && !m_bulk.running()) {
        QTreeWidgetItem* root = tree->topLevelItem(0);
        tree->setCurrentItem(root->childCount() > 0 ? root->child(0) : root);
    }
    translateMenus();
    updateCommandStates();
    emit documentOpened(m_openConfigWindows);
}

void CMainFrame::onWindowClosed() {
    if (m_destroying) return;
    --m_openConfigWindows;
    m_app.openDocuments = m_openConfigWindows;
    if (m_openConfigWindows == 0 && m_discardRules) {
        // The user dropped the edits: the rule base is again what rules.xml holds.
        m_discardRules = false;
        m_rulesEdited = false;
        if (m_app.reloadRuleBase()) setRuleDate(QString::fromStdString(m_app.ruleBaseDate()));
    }
    translateMenus();
    updateCommandStates();
}

// ---- Open Documents... -------------------------------------------------------------------

void CMainFrame::chooseFolder() {
    if (!m_app.ruleBaseLoaded()) {
        showMessage(this, MessageKind::Error, rulesNeeded(m_app));
        return;
    }
    const QString folder = QFileDialog::getExistingDirectory(
        this, QStringLiteral("Configuration report files reading from directory "), m_openFolder);
    if (!folder.isEmpty()) openDocumentsFrom(folder);
}

void CMainFrame::openDocumentsFrom(const QString& folder) {
    if (!m_app.ruleBaseLoaded()) {
        showMessage(this, MessageKind::Error, rulesNeeded(m_app));
        return;
    }
    m_openFolder = QDir(folder).absolutePath() + QLatin1Char('/');
    if (isMinimized()) return;
    if (m_progressDlg) cancelOpenDocuments();
    m_progressDlg = new COpenProgressDlg(this);
    m_progressDlg->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_progressDlg, &COpenProgressDlg::cancelRequested, this, &CMainFrame::cancelOpenDocuments);
    m_progressDlg->show();
    QApplication::setOverrideCursor(Qt::BusyCursor);
    m_bulk = BulkOpen{};
    m_bulk.phase = BulkOpen::Phase::Scanning;
    m_loader.scan(QDir(folder).absolutePath());
}

void CMainFrame::onScanned(const QStringList& files) {
    if (m_bulk.phase != BulkOpen::Phase::Scanning) return;  // cancelled while scanning
    m_bulk.phase = BulkOpen::Phase::Opening;
    m_bulk.files = files;
    m_bulk.next = 0;
    if (m_progressDlg) m_progressDlg->setFiles(m_bulk.files);
    openNextBulkFile();
}

void CMainFrame::openNextBulkFile() {
    if (m_bulk.phase != BulkOpen::Phase::Opening) return;
    if (m_bulk.next >= m_bulk.files.size()) return finishOpenDocuments();
    if (m_progressDlg) m_progressDlg->showIndex(m_bulk.next);
    m_bulk.ticket = m_loader.open(m_bulk.files[m_bulk.next], m_app);
}

void CMainFrame::onBulkOpened(std::shared_ptr<OpenJob> job) {
    // Cancelled while the file was read: it stays closed.
    if (m_bulk.phase != BulkOpen::Phase::Opening) return;
    const import::OpenResult& r = job->result;
    if (job->exception || !r.opened()) {
        if (!job->exception && !r.check.silent && !r.message().empty())
            showMessage(this, MessageKind::Error, QString::fromStdString(r.message()));
        showMessage(this, MessageKind::Error, QString::fromLatin1(kOpenError));
        return finishOpenDocuments();
    }
    m_app.nextProductNumber = std::max(m_app.nextProductNumber, job->nextProductNumber);
    addConfigWindow(std::move(job->doc));
    showAnalysisMessages(r.load.analysisMessages);
    if (m_bulk.phase != BulkOpen::Phase::Opening) return;  // cancelled from a documentOpened handler
    ++m_bulk.next;
    openNextBulkFile();
}

void CMainFrame::cancelOpenDocuments() {
    if (!m_bulk.running() && !m_progressDlg) return;
    finishOpenDocuments();
}

void CMainFrame::finishOpenDocuments() {
    const bool wasRunning = m_bulk.running();
    m_bulk = BulkOpen{};
    if (wasRunning) QApplication::restoreOverrideCursor();
    if (m_progressDlg) {
        const QSignalBlocker block(m_progressDlg);
        m_progressDlg->close();
    }
    if (auto* w = activeConfigWindow()) w->refillList();
    checkIdle();
}

// ---- closing -----------------------------------------------------------------------------

void CMainFrame::closeAll() {
    if (m_checkerRunning) return;
    // "Close All" closes without asking to save.
    for (QMdiSubWindow* sw : m_mdi->subWindowList())
        if (auto* view = qobject_cast<CReportEditView*>(sw->widget())) view->setAskOnClose(false);
    m_mdi->closeAllSubWindows();
}

void CMainFrame::closeAllConfigWindows() {
    if (m_checkerRunning) return;
    if (!activeConfigWindow()) {
        showMessage(this, MessageKind::Warning, QString::fromLatin1(kNotConfigWindow),
                    QStringLiteral("QXConfig"));
        return;
    }
    for (QMdiSubWindow* sw : m_mdi->subWindowList())
        if (qobject_cast<CQXConfigSplitter*>(sw->widget())) sw->close();
}

// ---- Run Checker! --------------------------------------------------------------------------

void CMainFrame::runChecker() {
    if (m_checkerRunning || m_compareThread) return;
    std::vector<CQXConfigDoc2*> docs;
    for (CQXConfigSplitter* w : configWindows()) docs.push_back(&w->document());
    m_checkerRunning = true;
    m_mdi->setEnabled(false);  // the worker owns the documents until it is done
    QApplication::setOverrideCursor(Qt::WaitCursor);
    showProgressBar(7);
    updateCommandStates();
    m_loader.runChecker(std::move(docs), m_app);
}

void CMainFrame::onCheckerStep(int done, int steps) {
    if (!m_progress) return;
    m_progress->setRange(0, steps);
    m_progress->setValue(done);
}

void CMainFrame::showProgressBar(int steps) {
    removeProgressBar();
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, steps);
    m_progress->setMaximumHeight(statusBar()->height() - 6);
    statusBar()->clearMessage();
    statusBar()->addWidget(m_progress, 1);
}

void CMainFrame::removeProgressBar() {
    if (!m_progress) return;
    statusBar()->removeWidget(m_progress);
    delete m_progress;
    m_progress = nullptr;
}

void CMainFrame::showAnalysisMessages(const std::vector<std::string>& messages) {
    for (const std::string& m : messages) showMessage(this, MessageKind::Error, QString::fromStdString(m));
}

void CMainFrame::onCheckerFinished(int nextProductNumber, const QStringList& messages) {
    m_app.nextProductNumber = std::max(m_app.nextProductNumber, nextProductNumber);
    removeProgressBar();
    m_mdi->setEnabled(true);
    m_checkerRunning = false;
    QApplication::restoreOverrideCursor();
    for (CQXConfigSplitter* w : configWindows()) w->refillList();
    updateCommandStates();
    for (const QString& m : messages) showMessage(this, MessageKind::Error, m);
    checkIdle();
}

void CMainFrame::checkIdle() {
    if (busy()) return;
    emit idle();
    if (m_closePending) {
        m_closePending = false;
        close();
    }
}

// ---- filters, rules, dialogs ------------------------------------------------------------------

void CMainFrame::toggleFilter(int id) {
    CQXConfigSplitter* w = activeConfigWindow();
    if (!w) return;
    m_actions[id]->setChecked(w->toggleFilter(cmd::filterIcon(id)));
}

bool CMainFrame::saveRules() {
    const std::string error = m_app.saveRules(std::time(nullptr));
    if (!error.empty()) {
        showMessage(
            this, MessageKind::Error,
            QStringLiteral("The rule base could not be saved: %1").arg(QString::fromStdString(error)));
        return false;
    }
    m_rulesEdited = false;
    setRuleDate(QString::fromStdString(m_app.ruleBaseDate()));
    statusBar()->showMessage(QStringLiteral("Rules saved."), 5000);
    return true;
}

bool CMainFrame::askToSaveRules(bool closingProgram) {
    if (!m_rulesEdited) return true;
    const QString text =
        closingProgram ? QStringLiteral(
                             "The rule base has changes that are not saved. Save them to rules.xml before "
                             "closing?")
                       : QStringLiteral(
                             "The rule base has changes that are not saved, and \"Save rules\" needs an open "
                             "server. Save them to rules.xml now?");
    switch (showMessage(this, MessageKind::QuestionWithCancel, text, QStringLiteral("Save rules"))) {
        case QMessageBox::Yes:
            return saveRules();
        case QMessageBox::No:
            if (!closingProgram) m_discardRules = true;
            return true;
        default:
            return false;
    }
}

void CMainFrame::ruleNodeRemoving(xml::Node node) {
    for (CQXConfigSplitter* w : configWindows()) w->forgetRuleNode(node);
}

void CMainFrame::ruleBaseEdited(const ruleedit::EditResult& result) {
    m_rulesEdited = true;
    for (CQXConfigSplitter* w : configWindows()) w->applyRuleEdit(result);
    statusBar()->showMessage(
        QStringLiteral("The rule base was changed; \"Save rules\" writes it to rules.xml."), 8000);
}

void CMainFrame::showAbout() {
    CAboutDlg dlg(m_app, this);
    dlg.exec();
}

void CMainFrame::showPreferences() {
    CPreferencesDlg dlg(m_app.settings, this);
    if (dlg.exec() != QDialog::Accepted) return;
    m_app.settings = dlg.values();
    savePreferences(m_app.settings);
}

}  // namespace qx::gui
