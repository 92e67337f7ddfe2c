#pragma once
// The comparison window of the document type "Compare": a tree of the configuration paths
// beside the list of the selected path's values, and the full list of every line as a second
// view. It owns its result, so closing a compared server changes nothing here.

#include "app/application.hpp"
#include "compare/server_compare.hpp"
#include "views/details_model.hpp"

#include <QTreeWidget>
#include <QWidget>

class QLabel;
class QSplitter;
class QStackedWidget;
class QTabWidget;

namespace qx::gui {

/// `CTreeCompare`: the paths with their folded images.
class CTreeCompare : public QTreeWidget {
    Q_OBJECT
public:
    explicit CTreeCompare(QWidget* parent = nullptr);
    /// Replaces the items by the result's tree.
    void populate(const compare::CompareResult& result);
    /// The tree node index behind an item (-1 for none).
    static int nodeOf(const QTreeWidgetItem* item);
    /// The item of a tree node index.
    [[nodiscard]] QTreeWidgetItem* itemOf(int node) const;

private:
    std::vector<QTreeWidgetItem*> m_items;
};

/// `CCompView`: a list of compare lines; its header sorts.
class CCompView : public CQXConfigView {
    Q_OBJECT
public:
    using CQXConfigView::CQXConfigView;
    /// Shows a list with one column per server: widths from the headers and the first rows,
    /// measured once (asking the view for each column's contents costs seconds for 300 servers).
    void showLines(lists::ListModel list, int sortColumn);
};

/// `CSplitterFrameCompare`: the window.
class CSplitterFrameCompare : public QWidget {
    Q_OBJECT
public:
    CSplitterFrameCompare(const Application& app, const QString& title, QWidget* parent = nullptr);

    /// Shows the built comparison and selects the first node.
    void setResult(compare::CompareResult result, compare::UptimeDisplay uptime);
    /// Shows why there is nothing to show (the build failed).
    void setFailed(const QString& why);
    [[nodiscard]] bool built() const { return m_built; }
    [[nodiscard]] const compare::CompareResult& result() const { return m_result; }

    /// Selects a tree node and fills the list from it.
    void selectNode(int node);
    /// Sorts the list of the active view by a column (as a header click does).
    void sortBy(int column);
    /// Shows the tree and list (0) or the full list (1).
    void showView(int view);
    [[nodiscard]] int currentView() const;
    /// The list of the view shown, as shown (sorted where the user sorted it), and its headers.
    [[nodiscard]] const lists::ListModel& shownList() const;
    [[nodiscard]] QStringList shownHeaders() const;
    /// The list shown as text: "\r\n" for the clipboard, "\n" for a text file.
    [[nodiscard]] std::string listText(std::string_view lineEnd) const;
    /// Expands or collapses the whole tree.
    void expandTree(bool expand);

    [[nodiscard]] CTreeCompare* tree() const { return m_tree; }
    [[nodiscard]] CCompView* list() const { return m_list; }
    [[nodiscard]] CCompView* fullList() const { return m_fullList; }

private:
    void fillList();
    [[nodiscard]] CCompView* shownView() const;

    const Application& m_app;
    compare::CompareResult m_result;
    compare::UptimeDisplay m_uptime;
    bool m_built = false;
    int m_node = -1;
    int m_sortColumn = -1;
    QStackedWidget* m_stack;
    QLabel* m_wait;
    QTabWidget* m_views;
    QSplitter* m_splitter;
    CTreeCompare* m_tree;
    CCompView* m_list;
    CCompView* m_fullList;
};

}  // namespace qx::gui
