#include "views/compare_window.hpp"

#include "app/commands.hpp"
#include "app/icons.hpp"
#include "compare/compare_list.hpp"
#include "lists/config_lists.hpp"

#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVBoxLayout>

#include <unordered_map>

namespace qx::gui {
namespace {

constexpr int kNodeRole = Qt::UserRole + 1;

}  // namespace

// ---- tree --------------------------------------------------------------------------------------

CTreeCompare::CTreeCompare(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setUniformRowHeights(true);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(true);
}

void CTreeCompare::populate(const compare::CompareResult& result) {
    const QSignalBlocker block(this);
    clear();
    m_items.clear();
    m_items.reserve(result.tree.size());
    // Parents come before their children.
    for (std::size_t i = 0; i < result.tree.size(); ++i) {
        const auto& n = result.tree[i];
        auto* item = new QTreeWidgetItem(QStringList{QString::fromStdString(n.text)});
        item->setIcon(0, icons::list(compare::nodeIcon(n)));
        item->setToolTip(0, QString::fromStdString(n.path));
        item->setData(0, kNodeRole, static_cast<int>(i));
        if (n.parent >= 0 && static_cast<std::size_t>(n.parent) < i)
            m_items[static_cast<std::size_t>(n.parent)]->addChild(item);
        else
            addTopLevelItem(item);
        m_items.push_back(item);
    }
    for (int i = 0; i < topLevelItemCount(); ++i) topLevelItem(i)->setExpanded(true);
}

int CTreeCompare::nodeOf(const QTreeWidgetItem* item) {
    return item ? item->data(0, kNodeRole).toInt() : -1;
}

QTreeWidgetItem* CTreeCompare::itemOf(int node) const {
    return node >= 0 && static_cast<std::size_t>(node) < m_items.size()
               ? m_items[static_cast<std::size_t>(node)]
               : nullptr;
}

// ---- list ---------------------------------------------------------------------------------------

void CCompView::showLines(lists::ListModel list, int sortColumn) {
    constexpr std::size_t kSampledRows = 40;  // about a screenful
    const QFontMetrics text(font());
    const QFontMetrics head(header()->font());
    const int icon = iconSize().isValid() ? iconSize().width() : 16;
    // Servers share most values: each text is measured once.
    std::unordered_map<std::string, int> measured;
    auto widthOf = [&](const std::string& cell) {
        auto [it, added] = measured.try_emplace(cell, 0);
        if (added) it->second = text.horizontalAdvance(QString::fromStdString(cell));
        return it->second;
    };
    std::vector<int> widths;
    for (std::size_t c = 0; c < list.columns.size(); ++c) {
        int w = head.horizontalAdvance(QString::fromStdString(list.columns[c].header)) + 24;
        const std::size_t rows = std::min(list.rows.size(), kSampledRows);
        for (std::size_t r = 0; r < rows; ++r) {
            const auto& cells = list.rows[r].cells;
            if (c < cells.size()) w = std::max(w, widthOf(cells[c]) + 16);
        }
        if (c == 0) w += icon + 8;
        widths.push_back(std::clamp(w, 64, 360));
    }
    detailsModel().setList(std::move(list));
    for (std::size_t c = 0; c + 1 < widths.size(); ++c) setColumnWidth(static_cast<int>(c), widths[c]);
    header()->setSortIndicatorShown(sortColumn >= 0);
    if (sortColumn >= 0) header()->setSortIndicator(sortColumn, Qt::AscendingOrder);
}

// ---- window ------------------------------------------------------------------------------------

CSplitterFrameCompare::CSplitterFrameCompare(const Application& app, const QString& title, QWidget* parent)
    : QWidget(parent),
      m_app(app),
      m_stack(new QStackedWidget(this)),
      m_wait(new QLabel(this)),
      m_views(new QTabWidget(this)),
      m_splitter(new QSplitter(Qt::Horizontal)),
      m_tree(new CTreeCompare),
      m_list(new CCompView),
      m_fullList(new CCompView) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title);
    setWindowIcon(icons::command(cmd::Compare));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_stack);
    m_wait->setAlignment(Qt::AlignCenter);
    m_wait->setText(QStringLiteral("Comparing the servers ..."));
    m_stack->addWidget(m_wait);
    m_stack->addWidget(m_views);

    m_splitter->addWidget(m_tree);
    m_splitter->addWidget(m_list);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setChildrenCollapsible(false);
    m_tree->setMinimumWidth(180);
    m_views->setDocumentMode(true);
    m_views->addTab(m_splitter, QStringLiteral("By path"));
    m_views->addTab(m_fullList, QStringLiteral("Full list"));

    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { selectNode(CTreeCompare::nodeOf(item)); });
    connect(m_list, &CQXConfigView::sortRequested, this, &CSplitterFrameCompare::sortBy);
    connect(m_fullList, &CQXConfigView::sortRequested, this, &CSplitterFrameCompare::sortBy);
}

void CSplitterFrameCompare::setResult(compare::CompareResult result, compare::UptimeDisplay uptime) {
    m_result = std::move(result);
    m_uptime = std::move(uptime);
    m_built = true;
    m_tree->populate(m_result);
    m_fullList->showLines(compare::fullCompareList(m_result, m_app), -1);
    if (m_result.lines.empty()) {
        m_wait->setText(QStringLiteral("The base server has no values of the kinds chosen."));
        return;
    }
    m_stack->setCurrentWidget(m_views);
    const int labels = static_cast<const QAbstractItemView*>(m_tree)->sizeHintForColumn(0) + 48;
    const int tree = std::clamp(labels, 220, std::max(220, width() / 2));
    m_splitter->setSizes({tree, std::max(1, width() - tree)});
    if (m_tree->topLevelItemCount() > 0) {
        m_tree->setCurrentItem(m_tree->topLevelItem(0));
    } else {
        selectNode(-1);
    }
}

void CSplitterFrameCompare::setFailed(const QString& why) {
    m_wait->setText(why);
}

void CSplitterFrameCompare::selectNode(int node) {
    if (QTreeWidgetItem* item = m_tree->itemOf(node); item && m_tree->currentItem() != item) {
        m_tree->setCurrentItem(item);  // comes back here through the tree's signal
        return;
    }
    m_node = node;
    m_sortColumn = -1;
    fillList();
}

void CSplitterFrameCompare::fillList() {
    lists::ListModel list;
    if (m_node >= 0) {
        const std::string path = compare::nodePath(m_result, m_node);
        list = compare::showsUptime(m_result, m_node, m_app) ? compare::uptimeList(m_result, m_uptime, path)
                                                             : compare::compareList(m_result, m_app, path);
    }
    if (m_sortColumn >= 0) lists::sortRows(list, m_sortColumn, m_app);
    m_list->showLines(std::move(list), m_sortColumn);
}

void CSplitterFrameCompare::sortBy(int column) {
    if (!m_built) return;
    if (currentView() == 1) {
        lists::ListModel list = compare::fullCompareList(m_result, m_app);
        lists::sortRows(list, column, m_app);
        m_fullList->showLines(std::move(list), column);
        return;
    }
    m_sortColumn = column;
    fillList();
}

void CSplitterFrameCompare::showView(int view) {
    m_views->setCurrentIndex(view);
}

int CSplitterFrameCompare::currentView() const {
    return m_views->currentIndex();
}

CCompView* CSplitterFrameCompare::shownView() const {
    return currentView() == 1 ? m_fullList : m_list;
}

const lists::ListModel& CSplitterFrameCompare::shownList() const {
    return shownView()->detailsModel().list();
}

QStringList CSplitterFrameCompare::shownHeaders() const {
    return shownView()->detailsModel().headers();
}

std::string CSplitterFrameCompare::listText(std::string_view lineEnd) const {
    return compare::listText(shownList(), lineEnd);
}

void CSplitterFrameCompare::expandTree(bool expand) {
    if (expand) {
        m_tree->expandAll();
        return;
    }
    m_tree->collapseAll();
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i) m_tree->topLevelItem(i)->setExpanded(true);
}

}  // namespace qx::gui
