// The commands that reach beyond one server: "Compare" and "Live Update".
#include "app/live_update_dlg.hpp"
#include "app/main_frame.hpp"
#include "app/message.hpp"
#include "app/settings_store.hpp"
#include "app/ui_hooks.hpp"
#include "views/compare_select_dlg.hpp"

#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QStatusBar>
#include <QThread>

#include <ctime>

namespace qx::gui {
namespace {

// The compare check box of a configuration window, kept with the window until the next "Compare".
constexpr const char* kCompareSelected = "qxCompareSelected";

}  // namespace

struct CMainFrame::BuiltComparison {
    compare::CompareResult result;
    compare::UptimeDisplay uptime;
    bool failed = false;
};

QList<CQXConfigSplitter*> CMainFrame::completedConfigWindows() const {
    QList<CQXConfigSplitter*> out;
    for (CQXConfigSplitter* w : configWindows())
        if (w->document().state == CQXConfigDoc2::kStateCompleted) out.append(w);
    return out;
}

CSplitterFrameCompare* CMainFrame::activeCompareWindow() const {
    QMdiSubWindow* sw = m_mdi->activeSubWindow();
    if (!sw && m_mdi->subWindowList().size() == 1) sw = m_mdi->subWindowList().first();
    return sw ? qobject_cast<CSplitterFrameCompare*>(sw->widget()) : nullptr;
}

QList<CSplitterFrameCompare*> CMainFrame::compareWindows() const {
    QList<CSplitterFrameCompare*> out;
    for (QMdiSubWindow* sw : m_mdi->subWindowList(QMdiArea::CreationOrder))
        if (auto* w = qobject_cast<CSplitterFrameCompare*>(sw->widget())) out.append(w);
    return out;
}

void CMainFrame::compare() {
    if (m_compareThread || m_checkerRunning) return;
    const QList<CQXConfigSplitter*> windows = completedConfigWindows();
    if (windows.isEmpty()) return;
    QStringList titles;
    std::vector<bool> selected;
    int active = 0;
    for (int i = 0; i < windows.size(); ++i) {
        titles << windows[i]->windowTitle();
        selected.push_back(windows[i]->property(kCompareSelected).value<bool>() ||
                           !windows[i]->property(kCompareSelected).isValid());
        if (windows[i] == activeConfigWindow()) active = i;
    }
    CCompareSelectDlg dlg(m_app, titles, active, selected, m_compareTypes, this);
    if (execDialog(dlg) != QDialog::Accepted) return;
    const int base = dlg.baseIndex();
    if (base < 0 || base >= windows.size()) return;
    const std::vector<bool> ticked = dlg.selected();
    std::vector<const CQXConfigDoc2*> others;
    for (int i = 0; i < windows.size(); ++i) {
        windows[i]->setProperty(kCompareSelected, bool(ticked[static_cast<std::size_t>(i)]));
        if (ticked[static_cast<std::size_t>(i)]) others.push_back(&windows[i]->document());
    }
    m_compareTypes = dlg.options();
    openComparison(windows[base]->document(), others, m_compareTypes);
}

CSplitterFrameCompare* CMainFrame::openComparison(const CQXConfigDoc2& base,
                                                  const std::vector<const CQXConfigDoc2*>& others,
                                                  const compare::CompareOptions& options) {
    if (m_compareThread) return nullptr;
    ++m_comparisons;
    auto* window = new CSplitterFrameCompare(
        m_app, QString::fromStdString(m_app.label("compare")) + QString::number(m_comparisons));
    addOtherWindow(window);

    // Off this thread: 300 servers take longer than a blink. The documents stay open meanwhile
    // (eventFilter) and the checker waits, so nothing changes what the worker reads.
    auto built = std::make_shared<BuiltComparison>();
    auto copy = std::make_shared<Application>(m_app.cloneForWorker());
    const std::vector<const CQXConfigDoc2*> servers = comparisonDocuments(base);
    const CQXConfigDoc2* basePtr = &base;
    showProgressBar(static_cast<int>(others.size()) + 2);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    m_compareThread = QThread::create([this, built, copy, basePtr, others, servers, options] {
        try {
            built->result =
                compare::compareServers(*basePtr, others, *copy, options, [this](int done, int steps) {
                    QMetaObject::invokeMethod(
                        this,
                        [this, done, steps] {
                            if (!m_progress) return;
                            m_progress->setRange(0, steps);
                            m_progress->setValue(done);
                        },
                        Qt::QueuedConnection);
                });
            built->uptime = compare::buildUptimeDisplay(servers, *copy);
        } catch (const std::exception&) {
            built->failed = true;  // out of memory: the window says so
        }
    });
    m_compareThread->setObjectName(QStringLiteral("comparison"));
    connect(m_compareThread, &QThread::finished, this,
            [this, target = QPointer<CSplitterFrameCompare>(window), built] {
                onComparisonBuilt(target, built);
            });
    m_compareThread->start();
    updateCommandStates();
    return window;
}

void CMainFrame::onComparisonBuilt(QPointer<CSplitterFrameCompare> window,
                                   std::shared_ptr<BuiltComparison> built) {
    m_compareThread->wait();
    m_compareThread->deleteLater();
    m_compareThread = nullptr;
    removeProgressBar();
    QApplication::restoreOverrideCursor();
    if (window) {
        if (built->failed) {
            window->setFailed(QString::fromLatin1(import::kOutOfMemoryMessage));
        } else {
            window->setResult(std::move(built->result), std::move(built->uptime));
        }
    }
    updateCommandStates();
    checkIdle();
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close && m_compareThread && qobject_cast<CQXConfigSplitter*>(watched)) {
        event->ignore();
        statusBar()->showMessage(
            QStringLiteral(
                "A comparison is reading this server: close its window when the comparison is built."),
            6000);
        return true;
    }
    // The last configuration window takes "Save rules" with it.
    if (event->type() == QEvent::Close && !m_closingProgram && m_rulesEdited &&
        qobject_cast<CQXConfigSplitter*>(watched) && !otherConfigWindowOpen(watched) &&
        !askToSaveRules(false)) {
        event->ignore();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- Live Update -----------------------------------------------------------------------------

void CMainFrame::liveUpdate() {
    if (configDocumentCount() > 0) return;  // a new rule base can only be used without documents
    CLiveUpdateDlg dlg(m_app, QString::fromStdString(m_app.settings.rulesUpdateUrl), this);
    connect(&dlg, &CLiveUpdateDlg::ruleBaseReloaded, this, [this] {
        setRuleDate(QString::fromStdString(m_app.ruleBaseDate()));
        updateCommandStates();
    });
    execDialog(dlg);
    // The time of the attempt, whatever its outcome.
    m_app.settings.lastReminder = static_cast<std::int64_t>(std::time(nullptr));
    saveLastReminder(m_app.settings.lastReminder);
}

}  // namespace qx::gui
