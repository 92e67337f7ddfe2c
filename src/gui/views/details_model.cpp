#include "views/details_model.hpp"

#include "app/icons.hpp"

#include <QHeaderView>
#include <QPainter>

namespace qx::gui {

void DetailsModel::setList(lists::ListModel list, QStringList shownHeaders) {
    beginResetModel();
    m_list = std::move(list);
    m_shownHeaders = std::move(shownHeaders);
    endResetModel();
}

QStringList DetailsModel::headers() const {
    QStringList out;
    for (int c = 0; c < columnCount(); ++c) out << headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    return out;
}

int DetailsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_list.rows.size());
}

int DetailsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_list.columns.size());
}

QVariant DetailsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
    const auto& row = m_list.rows[static_cast<std::size_t>(index.row())];
    const auto col = static_cast<std::size_t>(index.column());
    switch (role) {
        case Qt::DisplayRole:
            return col < row.cells.size() ? QString::fromStdString(row.cells[col]) : QString();
        case Qt::ToolTipRole: {
            // A row's messages say why it carries its mark, without opening anything.
            QString tip = col < row.cells.size() ? QString::fromStdString(row.cells[col]) : QString();
            if (m_messageText) {
                for (const auto& key : row.messages) {
                    const QString text = m_messageText(key);
                    if (text.isEmpty()) continue;
                    if (!tip.isEmpty()) tip += QStringLiteral("\n\n");
                    tip += text;
                }
            }
            return tip;
        }
        case Qt::DecorationRole:
            return col == 0 ? QVariant(icons::list(row.icon)) : QVariant();
        case Qt::UserRole:
            return row.icon;
        default:
            return {};
    }
}

QVariant DetailsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    if (role == Qt::DisplayRole) {
        const auto& header = m_list.columns[static_cast<std::size_t>(section)].header;
        if (header.empty() && section < m_shownHeaders.size()) return m_shownHeaders[section];
        return QString::fromStdString(header);
    }
    return {};
}

CQXConfigView::CQXConfigView(QWidget* parent) : QTreeView(parent), m_model(this) {
    setModel(&m_model);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAlternatingRowColors(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAllColumnsShowFocus(true);
    setTextElideMode(Qt::ElideRight);
    header()->setSectionsClickable(true);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(true);
    header()->setSortIndicatorShown(false);
    connect(header(), &QHeaderView::sectionClicked, this, &CQXConfigView::sortRequested);
}

void CQXConfigView::showList(lists::ListModel list, int sortColumn, QStringList shownHeaders) {
    m_model.setList(std::move(list), std::move(shownHeaders));
    const auto& columns = m_model.list().columns;
    const bool small = m_model.list().rows.size() <= 2000;
    const int last = static_cast<int>(columns.size()) - 1;
    for (int c = 0; c < last; ++c) {
        // Small lists fit their content; big ones keep the given widths (sizing reads every row).
        const int wide = std::max(columns[static_cast<std::size_t>(c)].width, 360);
        if (small) {
            resizeColumnToContents(c);
            setColumnWidth(c, std::clamp(columnWidth(c) + 16, 64, wide));
        } else {
            setColumnWidth(c, std::min(columns[static_cast<std::size_t>(c)].width, wide));
        }
    }
    header()->setSortIndicatorShown(sortColumn >= 0);
    if (sortColumn >= 0) header()->setSortIndicator(sortColumn, Qt::AscendingOrder);
}

QString CQXConfigView::cell(int row, int column) const {
    return m_model.data(m_model.index(row, column), Qt::DisplayRole).toString();
}

const lists::ListRow* CQXConfigView::selectedRow() const {
    const QModelIndex current = selectionModel() ? selectionModel()->currentIndex() : QModelIndex();
    if (!current.isValid() || !selectionModel()->isRowSelected(current.row(), {})) return nullptr;
    return &m_model.list().rows[static_cast<std::size_t>(current.row())];
}

}  // namespace qx::gui

namespace qx::gui {

void CQXConfigView::paintEvent(QPaintEvent* event) {
    QTreeView::paintEvent(event);
    if (m_model.rowCount() > 0) return;
    // An empty list says so instead of showing a blank pane.
    QPainter p(viewport());
    p.setPen(palette().color(QPalette::Disabled, QPalette::Text));
    const QString text = m_model.columnCount() == 0
                             ? QStringLiteral("Select an item in the tree to list its details.")
                             : QStringLiteral("No entries to show.");
    p.drawText(viewport()->rect().adjusted(12, 24, -12, -12),
               Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, text);
}

}  // namespace qx::gui
