// What takes a configuration out of the program: the details list's exports, "Save As xml",
// the text windows (Text Report, Create QXS), printing; and the arrangement of the windows.
#include "app/commands.hpp"
#include "app/main_frame.hpp"
#include "app/message.hpp"
#include "app/output_dialogs.hpp"
#include "app/ui_hooks.hpp"
#include "commandfile/command_file.hpp"
#include "compare/compare_list.hpp"
#include "lists/list_export.hpp"
#include "lists/server_report.hpp"
#include "platform/file_system.hpp"
#include "views/list_printer.hpp"

#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>

#include <cmath>
#include <ctime>

namespace qx::gui {
namespace {

constexpr int kStatusMs = 6000;

QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

}  // namespace

void CMainFrame::runCommand(int id) {
    updateCommandStates();
    if (QAction* a = m_actions.value(id); a && a->isEnabled()) a->trigger();
}

// ---- details list and document exports ------------------------------------------------------

void CMainFrame::copyListToClipboard() {
    if (CSplitterFrameCompare* c = activeCompareWindow(); c && c->built()) {
        if (copyToClipboard(this, QString::fromStdString(c->listText("\r\n"))))
            statusBar()->showMessage(
                QStringLiteral("%1 rows copied to the clipboard.").arg(c->shownList().rows.size()),
                kStatusMs);
        return;
    }
    CQXConfigSplitter* w = activeConfigWindow();
    if (!w) return;
    const lists::ListModel& list = w->detailsList()->detailsModel().list();
    if (copyToClipboard(this, QString::fromStdString(lists::clipboardText(list, m_app))))
        statusBar()->showMessage(QStringLiteral("%1 rows copied to the clipboard.").arg(list.rows.size()),
                                 kStatusMs);
}

// The folder the save dialogs start in: the last one used, else the user's documents.
static QString startFolder(const QString& remembered) {
    if (!remembered.isEmpty() && QFileInfo(remembered).isDir()) return remembered;
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(docs).isDir() ? docs : QDir::homePath();
}

// Writes a list's text where the user says; `proposed` is the file name offered.
static void saveTextAs(CMainFrame* frame, QString& folder, const QString& proposed, const std::string& text) {
    const QString path =
        askSaveFileName(frame, QDir(startFolder(folder)).filePath(proposed),
                        QStringLiteral("Text Files (*.txt);;All Files (*)"), QStringLiteral("txt"));
    if (path.isEmpty()) return;
    folder = QFileInfo(path).absolutePath();
    const std::string error = platform::writeFileAtomically(path.toStdString(), text);
    if (!error.empty()) {
        showMessage(frame, MessageKind::Error,
                    QStringLiteral("The list was not saved:\n%1").arg(QString::fromStdString(error)));
        return;
    }
    frame->statusBar()->showMessage(QStringLiteral("List saved as %1").arg(nativePath(path)), kStatusMs);
}

void CMainFrame::saveListAsText() {
    if (CSplitterFrameCompare* c = activeCompareWindow(); c && c->built()) {
        saveTextAs(this, m_saveFolder, c->windowTitle() + QStringLiteral(".txt"), c->listText("\n"));
        return;
    }
    CQXConfigSplitter* w = activeConfigWindow();
    if (!w) return;
    saveTextAs(this, m_saveFolder, QString::fromStdString(lists::proposedFileName(w->document(), ".txt")),
               lists::saveAsText(w->detailsList()->detailsModel().list()));
}

void CMainFrame::saveAsXml() {
    CQXConfigSplitter* w = activeConfigWindow();
    if (!w) return;
    const QString proposed =
        QDir(startFolder(m_saveFolder))
            .filePath(QString::fromStdString(lists::proposedFileName(w->document(), ".xml")));
    const QString path = askSaveFileName(this, proposed, QStringLiteral("Xml Files (*.xml);;All Files (*)"),
                                         QStringLiteral("xml"));
    if (path.isEmpty()) return;
    m_saveFolder = QFileInfo(path).absolutePath();
    const std::string error = lists::saveXmlSet(w->document(), m_app, path.toStdString());
    if (!error.empty()) {
        showMessage(this, MessageKind::Error,
                    QStringLiteral("Nothing was saved; the files that were there are unchanged:\n%1")
                        .arg(QString::fromStdString(error)));
        return;
    }
    statusBar()->showMessage(
        QStringLiteral("Saved %1 with its rule base (.xml) and report (.xmlr.xml)").arg(nativePath(path)),
        kStatusMs);
}

// ---- text windows ------------------------------------------------------------------------------

CReportEditView* CMainFrame::addReportWindow(CReportEditView::Kind kind, const QString& title,
                                             std::string text) {
    auto* view = new CReportEditView(kind, title, std::move(text));
    view->setSaver([this](CReportEditView& v) { return saveReportWindow(v); });
    addOtherWindow(view);
    return view;
}

void CMainFrame::openTextReport() {
    CQXConfigSplitter* w = activeConfigWindow();
    if (!w) return;
    const lists::TextReport report = lists::buildTextReport(w->document(), m_app, std::time(nullptr));
    addReportWindow(CReportEditView::Kind::TextReport, QString::fromStdString(report.title), report.text);
}

void CMainFrame::createQxs() {
    CQXConfigSplitter* w = activeConfigWindow();
    if (!w) return;
    CCreateQxsDlg dlg(m_app, this);
    if (execDialog(dlg) != QDialog::Accepted) return;
    const commandfile::CommandFile file = commandfile::buildCommandFile(w->document(), m_app, dlg.options());
    addReportWindow(CReportEditView::Kind::CommandFile, QString::fromStdString(file.title), file.text);
    // A rule text with a line break was written on one line; say so before the file is used.
    if (!file.warnings.empty()) {
        QString text =
            QStringLiteral("Some texts of the rule base were changed to keep one command per line:\n");
        for (const std::string& warning : file.warnings)
            text += QStringLiteral("\n") + QString::fromStdString(warning);
        showMessage(this, MessageKind::Warning, text, QStringLiteral("Create QXS file"));
    }
}

void CMainFrame::saveActiveAs() {
    if (CReportEditView* view = activeReportWindow())
        saveReportWindow(*view);
    else if (activeCompareWindow())
        saveListAsText();  // a comparison is saved as its list's text
}

bool CMainFrame::saveReportWindow(CReportEditView& view) {
    const QString proposed = QDir(startFolder(m_saveFolder)).filePath(view.proposedFileName());
    const QString path = askSaveFileName(this, proposed, QStringLiteral("QXS Files (*.qxs);;All Files (*)"),
                                         QStringLiteral("qxs"));
    if (path.isEmpty()) return false;
    m_saveFolder = QFileInfo(path).absolutePath();
    const QString error = view.saveTo(path);
    if (!error.isEmpty()) {
        showMessage(this, MessageKind::Error, QStringLiteral("The file was not saved:\n%1").arg(error));
        return false;
    }
    statusBar()->showMessage(QStringLiteral("Saved %1").arg(nativePath(path)), kStatusMs);
    return true;
}

// ---- printing ----------------------------------------------------------------------------------

QPrinter& CMainFrame::printer() {
    if (!m_printer) m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

void CMainFrame::printActive() {
    if (!activeConfigWindow() && !activeReportWindow() && !activeCompareWindow()) return;
    // The dialog proposes "<document name>.pdf" for "Print to File (PDF)".
    printer().setDocName(printDocumentName());
    QPrintDialog dlg(&printer(), this);
    dlg.setWindowTitle(QStringLiteral("Print"));
    if (execDialog(dlg) != QDialog::Accepted) return;
    if (!printActiveTo(printer()))
        showMessage(
            this, MessageKind::Error,
            QStringLiteral("Nothing was printed: the printer or the output file could not be opened."));
}

bool CMainFrame::printActiveTo(QPrinter& target) {
    target.setDocName(printDocumentName());
    if (CReportEditView* view = activeReportWindow()) {
        view->print(&target);
        return target.printerState() != QPrinter::Error && target.printerState() != QPrinter::Aborted;
    }
    if (CSplitterFrameCompare* c = activeCompareWindow()) {
        if (!c->built()) return false;
        return printList(target, c->windowTitle(), c->shownList(), c->shownHeaders());
    }
    CQXConfigSplitter* w = activeConfigWindow();
    if (!w) return false;
    const DetailsModel& model = w->detailsList()->detailsModel();
    return printList(target, w->listTitle(), model.list(), model.headers());
}

QString CMainFrame::printDocumentName() const {
    if (CReportEditView* view = activeReportWindow()) return view->proposedFileName();
    if (CSplitterFrameCompare* c = activeCompareWindow()) return c->windowTitle();
    if (CQXConfigSplitter* w = activeConfigWindow())
        return QString::fromStdString(lists::proposedFileName(w->document(), ""));
    return QStringLiteral("QXConfig");
}

void CMainFrame::printSetup() {
    QPageSetupDialog dlg(&printer(), this);
    dlg.setWindowTitle(QStringLiteral("Print Setup"));
    execDialog(dlg);
}

// ---- window arrangement ---------------------------------------------------------------------------

QMdiSubWindow* CMainFrame::addDocumentWindow(QWidget* widget) {
    QMdiSubWindow* sw = m_mdi->addSubWindow(widget);
    sw->setWindowIcon(widget->windowIcon());
    placeNewWindow(sw);
    widget->show();
    m_mdi->setActiveSubWindow(sw);
    connect(widget, &QWidget::windowTitleChanged, this, &CMainFrame::updateTitle);
    return sw;
}

// A text or comparison window: counted as a document while it lives, so the menus follow it.
void CMainFrame::addOtherWindow(QWidget* widget) {
    ++m_openOtherWindows;
    connect(widget, &QObject::destroyed, this, [this] {
        if (m_destroying) return;
        --m_openOtherWindows;
        translateMenus();
        updateCommandStates();
    });
    addDocumentWindow(widget);
    translateMenus();
    updateCommandStates();
}

void CMainFrame::placeNewWindow(QMdiSubWindow* window) {
    const QRect area = m_mdi->viewport()->rect();
    QSize size(std::max(640, area.width() * 3 / 4), std::max(420, area.height() * 3 / 4));
    if (m_mdi->isVisible()) size = size.boundedTo(area.size());
    window->resize(size);
    // One title bar down and right of the newest other window; back to the corner where the
    // window would reach past the area.
    const int step = window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window) + 2;
    QPoint at(0, 0);
    const auto windows = m_mdi->subWindowList(QMdiArea::CreationOrder);
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        QMdiSubWindow* other = *it;
        if (other == window || other->isMinimized() || other->isMaximized() || other->isHidden()) continue;
        at = other->pos() + QPoint(step, step);
        break;
    }
    if (at.x() + size.width() > area.width() || at.y() + size.height() > area.height() || at.x() < 0 ||
        at.y() < 0)
        at = QPoint(0, 0);
    window->move(at);
}

void CMainFrame::cascadeWindows() {
    QList<QMdiSubWindow*> windows = m_mdi->subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty()) return;
    // The active window ends on top.
    if (QMdiSubWindow* active = m_mdi->activeSubWindow())
        windows.move(windows.indexOf(active), windows.size() - 1);
    const QRect area = m_mdi->viewport()->rect();
    const QSize size = QSize(std::max(640, area.width() * 3 / 4), std::max(420, area.height() * 3 / 4))
                           .boundedTo(area.size());
    const int step =
        windows.first()->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, windows.first()) + 2;
    const int positions = 1 + std::max(0, std::min((area.width() - size.width()) / step,
                                                   (area.height() - size.height()) / step));
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* sw = windows[i];
        sw->showNormal();
        const int offset = (i % positions) * step;
        sw->setGeometry(QRect(QPoint(offset, offset), size));
        sw->raise();
    }
    m_mdi->setActiveSubWindow(windows.last());
}

void CMainFrame::tileWindows(Qt::Orientation orientation) {
    const QList<QMdiSubWindow*> windows = m_mdi->subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty()) return;
    const QRect area = m_mdi->viewport()->rect();
    // Tiles stay big enough to use: past that, more rows or columns, then windows share tiles.
    QSize least(240, 120);
    for (QMdiSubWindow* sw : windows) least = least.expandedTo(sw->minimumSizeHint());
    least = least.boundedTo(area.size());
    const int n = static_cast<int>(windows.size());
    const int maxRows = std::max(1, area.height() / std::max(1, least.height()));
    const int maxColumns = std::max(1, area.width() / std::max(1, least.width()));
    int rows = 1, columns = 1;
    if (orientation == Qt::Horizontal) {  // stacked: one window above the other
        rows = std::min(n, maxRows);
        columns = std::min(maxColumns, (n + rows - 1) / rows);
    } else {  // side by side
        columns = std::min(n, maxColumns);
        rows = std::min(maxRows, (n + columns - 1) / columns);
    }
    const int tiles = rows * columns;
    for (int i = 0; i < n; ++i) {
        const int t = i % tiles;
        const int row = orientation == Qt::Horizontal ? t % rows : t / columns;
        const int column = orientation == Qt::Horizontal ? t / rows : t % columns;
        const int x0 = area.width() * column / columns, x1 = area.width() * (column + 1) / columns;
        const int y0 = area.height() * row / rows, y1 = area.height() * (row + 1) / rows;
        windows[i]->showNormal();
        windows[i]->setGeometry(x0, y0, x1 - x0, y1 - y0);
    }
}

void CMainFrame::refreshWindowMenu() {
    for (QAction* a : m_windowListActions) {
        m_windowMenu->removeAction(a);
        a->deleteLater();
    }
    m_windowListActions.clear();
    const auto windows = m_mdi->subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty()) return;
    m_windowListActions << m_windowMenu->addSeparator();
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* sw = windows[i];
        QString title = sw->widget() ? sw->widget()->windowTitle() : sw->windowTitle();
        title.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* a = m_windowMenu->addAction(i < 9 ? QStringLiteral("&%1 %2").arg(i + 1).arg(title)
                                                   : QStringLiteral("%1 %2").arg(i + 1).arg(title));
        a->setCheckable(true);
        a->setChecked(sw == m_mdi->activeSubWindow());
        connect(a, &QAction::triggered, this, [this, target = QPointer<QMdiSubWindow>(sw)] {
            if (!target) return;
            if (target->isMinimized()) target->showNormal();
            m_mdi->setActiveSubWindow(target);
        });
        m_windowListActions << a;
    }
}

QString CMainFrame::frameTitle() const {
    QMdiSubWindow* sw = m_mdi->activeSubWindow();
    const QString title = sw && sw->widget() ? sw->widget()->windowTitle() : QString();
    return title.isEmpty() ? QStringLiteral("QXConfig") : QStringLiteral("QXConfig - ") + title;
}

void CMainFrame::updateTitle() {
    setWindowTitle(frameTitle());
}

bool CMainFrame::event(QEvent* e) {
    const bool handled = QMainWindow::event(e);
    // A maximised child window appends " - [its title]" to the frame's title; the frame
    // already names the active document.
    if (e->type() == QEvent::WindowTitleChange && windowTitle() != frameTitle()) updateTitle();
    return handled;
}

}  // namespace qx::gui
