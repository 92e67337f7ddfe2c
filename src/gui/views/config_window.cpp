#include "views/config_window.hpp"

#include "analysis/findings.hpp"
#include "app/commands.hpp"
#include "app/icons.hpp"
#include "app/settings_store.hpp"
#include "lists/report_keys.hpp"
#include "views/report_source_view.hpp"

#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QScrollBar>
#include <QSplitter>
#include <QTabBar>
#include <QVBoxLayout>

namespace qx::gui {
namespace {

constexpr int kNodeRole = Qt::UserRole + 1;

QTreeWidgetItem* makeItem(const lists::TreeItem& t) {
    auto* item = new QTreeWidgetItem(QStringList{QString::fromStdString(t.text)});
    item->setIcon(0, icons::tree(t.icon));
    item->setToolTip(0, item->text(0));  // long device names are cut in a narrow pane
    item->setData(0, kNodeRole, QVariant::fromValue(reinterpret_cast<quintptr>(t.node.internal_object())));
    for (const auto& c : t.children) item->addChild(makeItem(c));
    return item;
}

void setExpandedRecursively(QTreeWidgetItem* item, bool expanded) {
    if (item->childCount() == 0) return;
    item->setExpanded(expanded);
    for (int i = 0; i < item->childCount(); ++i) setExpandedRecursively(item->child(i), expanded);
}

QString menuTextOr(const Application& app, int id) {
    const std::string t = app.menuText(std::to_string(id));
    return t.empty() ? cmd::resourceText(id) : QString::fromStdString(t);
}

}  // namespace

// ---- pages ----------------------------------------------------------------------------

CTreePage::CTreePage(PageKind kind, QWidget* parent)
    : QWidget(parent), m_tree(new QTreeWidget(this)), m_kind(kind) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_tree);
    m_tree->setHeaderHidden(true);
    // Long names scroll sideways instead of being cut.
    m_tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_tree->header()->setStretchLastSection(true);
    m_tree->setUniformRowHeights(true);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item) emit nodeSelected(nodeOf(item), listMode());
    });
    connect(m_tree, &QTreeWidget::customContextMenuRequested, this, [this](QPoint pos) {
        QTreeWidgetItem* item = m_tree->itemAt(pos);
        if (item) emit contextMenuAt(nodeOf(item), m_tree->viewport()->mapToGlobal(pos));
    });
}

ListMode CTreePage::listMode() const {
    switch (m_kind) {
        case PageKind::Rules:
            return ListMode::Rules;
        case PageKind::Report:
            return ListMode::Report;
        case PageKind::Config:
            break;
    }
    return ListMode::Config;
}

xml::Node CTreePage::nodeOf(const QTreeWidgetItem* item) {
    if (!item) return {};
    const auto raw = item->data(0, kNodeRole).value<quintptr>();
    return xml::Node(reinterpret_cast<pugi::xml_node_struct*>(raw));
}

QTreeWidgetItem* CTreePage::itemFor(const lists::TreeItem& t) {
    return makeItem(t);
}

void CTreePage::populate(const lists::TreeItem& root) {
    const QSignalBlocker block(m_tree);
    m_tree->clear();
    QTreeWidgetItem* item = makeItem(root);
    m_tree->addTopLevelItem(item);
    item->setExpanded(true);
    if (item->childCount() == 1) item->child(0)->setExpanded(true);  // Rules -> rules, Reports -> report
}

void CTreePage::treeOpen() {
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i)
        setExpandedRecursively(m_tree->topLevelItem(i), true);
}

void CTreePage::treeClose() {
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i) {
        setExpandedRecursively(m_tree->topLevelItem(i), false);
        m_tree->topLevelItem(i)->setExpanded(true);
    }
}

CFormLeft::CFormLeft(QWidget* parent) : QWidget(parent), m_sheet(new CSheet(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_sheet);
    m_sheet->setDocumentMode(true);
    // The resource captions; the window replaces them by the labels.
    const QString captions[] = {QStringLiteral("Config"), QStringLiteral("Rules"), QStringLiteral("Report")};
    for (PageKind kind : kPageKinds) {
        const auto i = static_cast<std::size_t>(kind);
        m_pages[i] = new CTreePage(kind);
        m_sheet->addTab(m_pages[i], captions[i]);
    }
}

CTreePage* CFormLeft::pageOf(ListMode mode) const {
    switch (mode) {
        case ListMode::Rules:
            return page(PageKind::Rules);
        case ListMode::Report:
            return page(PageKind::Report);
        default:
            return page(PageKind::Config);
    }
}

CTreePage* CFormLeft::activePage() const {
    return qobject_cast<CTreePage*>(m_sheet->currentWidget());
}

// ---- window ---------------------------------------------------------------------------

CQXConfigSplitter::CQXConfigSplitter(std::unique_ptr<CQXConfigDoc2> doc, WindowHost& host, QWidget* parent)
    : QWidget(parent),
      m_doc(std::move(doc)),
      m_host(host),
      m_splitter(new QSplitter(Qt::Horizontal, this)),
      m_form(new CFormLeft),
      m_list(new CQXConfigView) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_splitter);
    m_splitter->addWidget(m_form);
    m_splitter->addWidget(m_list);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setChildrenCollapsible(false);
    // The width the user gave the tree pane is the width of the next window's.
    connect(m_splitter, &QSplitter::splitterMoved, this,
            [this] { saveTreePaneWidth(m_splitter->sizes().value(0)); });
    m_form->setMinimumWidth(180);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(icons::tree(lists::treeIcon("config")));
    setWindowTitle(QString::fromStdString(m_doc->title.empty() ? m_doc->path : m_doc->title));

    for (PageKind kind : kPageKinds)
        connect(m_form->page(kind), &CTreePage::nodeSelected, this, &CQXConfigSplitter::onNodeSelected);
    connect(m_form->page(PageKind::Config), &CTreePage::contextMenuAt, this,
            [this](xml::Node node, QPoint at) {
                if (m_host.configDocumentCount() <= 1 || !lists::isComparableSection(node.name())) return;
                selectNode(node, ListMode::Config);
                QMenu menu(this);
                const Application& app = m_host.application();
                menu.addAction(menuTextOr(app, cmd::CompareX), this,
                               [this] { setCompareMode(ListMode::CompareX); });
                menu.addAction(menuTextOr(app, cmd::CompareY), this,
                               [this] { setCompareMode(ListMode::CompareY); });
                menu.addAction(menuTextOr(app, cmd::CompareDefault), this,
                               [this] { setCompareMode(ListMode::Config); });
                menu.exec(at);
            });
    connect(m_list, &CQXConfigView::sortRequested, this, &CQXConfigSplitter::onSort);
    // The details list: the page's commands in its context menu ("Show in report" first);
    // a double click acts on the row, Ctrl+double-click shows its report line.
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this, [this](QPoint pos) {
        const QModelIndex at = m_list->indexAt(pos);
        if (at.isValid()) m_list->setCurrentIndex(at);
        if (auto menu = listMenu()) menu->exec(m_list->viewport()->mapToGlobal(pos));
    });
    connect(m_list, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (!index.isValid()) return;
        if (QGuiApplication::keyboardModifiers() & Qt::ControlModifier)
            showInReport(index.row());
        else
            activateRow(index.row());
    });
    m_list->detailsModel().setMessageText([this](const std::string& key) {
        return QString::fromStdString(lists::reportMessageText(m_host.application(), key));
    });
    rebuildTrees();
    addRuleButtons();
}

void CQXConfigSplitter::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_shownOnce) return;
    m_shownOnce = true;
    const int tree =
        std::min(initialTreePaneWidth(), std::max(m_form->minimumWidth(), m_splitter->width() / 2));
    m_splitter->setSizes({tree, std::max(1, m_splitter->width() - tree - m_splitter->handleWidth())});
}

int CQXConfigSplitter::initialTreePaneWidth() const {
    if (const int saved = treePaneWidth(); saved > 0) return saved;
    // Wide enough for the Config tree's first level and the three tabs.
    QTreeWidget* tree = m_form->page(PageKind::Config)->tree();
    const int labels = static_cast<const QAbstractItemView*>(tree)->sizeHintForColumn(0) +
                       2 * tree->frameWidth() + tree->verticalScrollBar()->sizeHint().width() + 16;
    return std::max({labels, m_form->sheet()->tabBar()->sizeHint().width() + 8, m_form->minimumWidth()});
}

CQXConfigSplitter::~CQXConfigSplitter() = default;

void CQXConfigSplitter::rebuildTrees() {
    const Application& app = m_host.application();
    auto caption = [&](const char* key) { return QString::fromStdString(app.label(key)).left(200); };
    for (PageKind kind : kPageKinds) {
        CTreePage* page = m_form->page(kind);
        const int tab = m_form->sheet()->indexOf(page);
        switch (kind) {
            case PageKind::Config:
                m_form->sheet()->setTabText(tab, caption("config"));
                page->populate(lists::buildConfigTree(*m_doc, app));
                break;
            case PageKind::Rules:
                m_form->sheet()->setTabText(tab, caption("rules"));
                page->populate(lists::buildRulesTree(app.ruleBase(), app));
                break;
            case PageKind::Report:
                m_form->sheet()->setTabText(tab, caption("report"));
                page->populate(lists::buildReportTree(*m_doc, app));
                break;
        }
    }
}

void CQXConfigSplitter::onNodeSelected(xml::Node node, ListMode mode) {
    m_node = node;
    m_mode = mode;
    m_sortColumn = -1;
    if (mode == ListMode::Config && m_host.openingDocuments()) return;
    refillList();
}

void CQXConfigSplitter::selectNode(xml::Node node, ListMode mode) {
    CTreePage* page = m_form->pageOf(mode);
    m_form->sheet()->setCurrentWidget(page);
    for (QTreeWidgetItemIterator it(page->tree()); *it; ++it) {
        if (CTreePage::nodeOf(*it) == node) {
            {
                const QSignalBlocker block(page->tree());
                page->tree()->setCurrentItem(*it);
            }
            onNodeSelected(node, mode);
            return;
        }
    }
}

void CQXConfigSplitter::setCompareMode(ListMode mode) {
    m_mode = mode;
    m_sortColumn = -1;
    refillList();
}

void CQXConfigSplitter::onSort(int column) {
    if (m_mode == ListMode::Report && m_node == m_doc->report().root())
        return;  // the server report keeps its order
    m_sortColumn = column;
    refillList();
}

lists::ListModel CQXConfigSplitter::buildList() {
    Application& app = m_host.application();
    lists::ListModel list;
    switch (m_mode) {
        case ListMode::Config:
            list = lists::buildConfigList(m_node, app);
            break;
        case ListMode::Rules:
            list = lists::buildRuleList(m_node, *m_doc, app);
            break;
        case ListMode::Report:
            list = m_host.reportList(m_node, *m_doc);
            break;
        case ListMode::CompareX:
            list = lists::buildCompareX(m_node, m_host.comparisonDocuments(*m_doc), app);
            break;
        case ListMode::CompareY:
            list = lists::buildCompareY(m_node, m_host.comparisonDocuments(*m_doc), app);
            break;
        default:
            break;
    }
    if (m_mode == ListMode::Config || m_mode == ListMode::Rules) lists::applyShowFlags(list, m_flags);
    if (m_sortColumn >= 0) lists::sortRows(list, m_sortColumn, app);
    return list;
}

void CQXConfigSplitter::refillList() {
    m_list->showList(buildList(), m_sortColumn, shownHeaders());
    updateRuleButtons();
}

QStringList CQXConfigSplitter::shownHeaders() const {
    // The server report's columns carry no headers; its first two hold names and values.
    if (m_mode != ListMode::Report || m_node != m_doc->report().root()) return {};
    const Application& app = m_host.application();
    return {QString::fromStdString(app.label("name")), QString::fromStdString(app.label("value"))};
}

bool CQXConfigSplitter::toggleFilter(int iconIndex) {
    if (iconIndex < 0 || iconIndex >= lists::kShowFlagCount) return false;
    auto& flag = m_flags[static_cast<std::size_t>(iconIndex)];
    flag = !flag;
    refillList();
    return flag;
}

bool CQXConfigSplitter::filterShown(int iconIndex) const {
    return iconIndex >= 0 && iconIndex < lists::kShowFlagCount &&
           m_flags[static_cast<std::size_t>(iconIndex)];
}

int CQXConfigSplitter::sourceLineOfRow(int row) const {
    const auto& rows = m_list->detailsModel().list().rows;
    if (row < 0 || row >= static_cast<int>(rows.size())) return 0;
    return static_cast<int>(analysis::sourceLine(*m_doc, rows[static_cast<std::size_t>(row)].node));
}

CReportSourceView* CQXConfigSplitter::showInReport(int row) {
    const int line = sourceLineOfRow(row);
    if (line <= 0) return nullptr;
    return openReportSource(this, QString::fromStdString(m_doc->path), line);
}

void CQXConfigSplitter::addSourceActions(QMenu& menu, int row) {
    // Rows from a tree loaded from ".XML" have no report line.
    if (sourceLineOfRow(row) <= 0) return;
    std::string text = m_host.application().label("showinreport");
    if (text == "showinreport") text = "Show in report";  // a localisation table of older days
    menu.addAction(QString::fromStdString(text), this, [this, row] { showInReport(row); });
}

void CQXConfigSplitter::treeOpen() {
    if (CTreePage* page = m_form->activePage()) page->treeOpen();
}

void CQXConfigSplitter::treeClose() {
    if (CTreePage* page = m_form->activePage()) page->treeClose();
}

}  // namespace qx::gui
