#pragma once
// The details list: a table model over a list computed by the core, and its view.

#include "lists/list_model.hpp"

#include <QAbstractTableModel>
#include <QStringList>
#include <QTreeView>

#include <functional>
#include <string>

namespace qx::gui {

/// Rows and columns of one details list; column 0 carries the row's icon.
class DetailsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    /// Text of a row message by its key (the tool tip of a row shows its messages).
    using MessageText = std::function<QString(const std::string& key)>;

    /// Replaces the whole list; `shownHeaders` stand in for the list's empty headers.
    void setList(lists::ListModel list, QStringList shownHeaders = {});
    void setMessageText(MessageText text) { m_messageText = std::move(text); }
    /// The column headers as shown.
    [[nodiscard]] QStringList headers() const;
    [[nodiscard]] const lists::ListModel& list() const { return m_list; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    lists::ListModel m_list;
    QStringList m_shownHeaders;
    MessageText m_messageText;
};

/// `CQXConfigView`: the report-style list on the right of a configuration window.
class CQXConfigView : public QTreeView {
    Q_OBJECT
public:
    explicit CQXConfigView(QWidget* parent = nullptr);

    /// Shows a new list; `sortColumn` (or -1) gets the header's sort indicator;
    /// `shownHeaders` stand in for empty headers.
    void showList(lists::ListModel list, int sortColumn, QStringList shownHeaders = {});
    [[nodiscard]] DetailsModel& detailsModel() { return m_model; }
    /// Cell text as shown (tests and exports).
    [[nodiscard]] QString cell(int row, int column) const;
    /// The selected row of the list, or null.
    [[nodiscard]] const lists::ListRow* selectedRow() const;

protected:
    void paintEvent(QPaintEvent* event) override;

signals:
    /// The user clicked a column header.
    void sortRequested(int column);

private:
    DetailsModel m_model;
};

}  // namespace qx::gui
