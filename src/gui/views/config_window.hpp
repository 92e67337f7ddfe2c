#pragma once
// The configuration window of one server: a splitter with the form of three tree pages
// (Config, Rules, Report) on the left and the details list on the right.

#include "app/application.hpp"
#include "document/config_doc.hpp"
#include "lists/config_lists.hpp"
#include "ruleedit/rule_edit.hpp"
#include "views/details_model.hpp"

#include <QTabWidget>
#include <QTreeWidget>
#include <QWidget>

#include <array>
#include <memory>

class QMenu;
class QSplitter;

namespace qx::gui {

class CReportSourceView;

/// What a configuration window needs of the main frame.
class WindowHost {
public:
    virtual ~WindowHost() = default;
    virtual Application& application() = 0;
    /// The completed configuration documents, `first` first, then the others in window order.
    virtual std::vector<const CQXConfigDoc2*> comparisonDocuments(const CQXConfigDoc2& first) = 0;
    /// Number of open configuration documents.
    virtual int configDocumentCount() const = 0;
    /// True while "Open Documents..." is opening files (the Config page then leaves the list alone).
    virtual bool openingDocuments() const = 0;
    /// The list of a Report-page node.
    virtual lists::ListModel reportList(xml::Node node, const CQXConfigDoc2& doc) = 0;
    /// Runs a main-frame command on the active window (the list's context menu offers some).
    virtual void runCommand(int id) = 0;
    /// A rule-base node is about to be removed: no window may keep it.
    virtual void ruleNodeRemoving(xml::Node /*node*/) {}
    /// The rule item editor changed the rule base: every window follows.
    virtual void ruleBaseEdited(const ruleedit::EditResult& /*result*/) {}
};

/// What the details list shows: nothing, a node of one of the three pages, or the Config
/// page's section compared across the open servers (one row per item, or per server).
enum class ListMode { Empty, Config, Report, Rules, CompareX, CompareY };

/// The form's three pages, in tab order.
enum class PageKind { Config, Rules, Report };
inline constexpr PageKind kPageKinds[] = {PageKind::Config, PageKind::Rules, PageKind::Report};

/// A tab page with its tree (Config, Rules or Report).
class CTreePage : public QWidget {
    Q_OBJECT
public:
    explicit CTreePage(PageKind kind, QWidget* parent = nullptr);
    /// Replaces the tree by a built one; the root item stays expanded.
    void populate(const lists::TreeItem& root);
    /// Expands every item that has children.
    void treeOpen();
    /// Collapses every item, then expands the root again.
    void treeClose();
    [[nodiscard]] QTreeWidget* tree() const { return m_tree; }
    [[nodiscard]] PageKind kind() const { return m_kind; }
    /// The list mode in which a selection of this page shows its node.
    [[nodiscard]] ListMode listMode() const;
    /// The node behind a tree item.
    static xml::Node nodeOf(const QTreeWidgetItem* item);
    /// A tree item (with its children) for a built item.
    static QTreeWidgetItem* itemFor(const lists::TreeItem& t);

signals:
    void nodeSelected(qx::xml::Node node, qx::gui::ListMode mode);
    void contextMenuAt(qx::xml::Node node, QPoint globalPos);

private:
    QTreeWidget* m_tree;
    PageKind m_kind;
};

/// `CSheet`: the tab sheet of the form.
class CSheet : public QTabWidget {
    Q_OBJECT
public:
    using QTabWidget::QTabWidget;
};

/// `CFormLeft`: the left-hand form holding the sheet with the three pages.
class CFormLeft : public QWidget {
    Q_OBJECT
public:
    explicit CFormLeft(QWidget* parent = nullptr);
    CSheet* sheet() const { return m_sheet; }
    CTreePage* page(PageKind kind) const { return m_pages[static_cast<std::size_t>(kind)]; }
    /// The page a node shown in a list mode belongs to (comparisons: the Config page).
    CTreePage* pageOf(ListMode mode) const;
    /// The page shown.
    CTreePage* activePage() const;

private:
    CSheet* m_sheet;
    std::array<CTreePage*, std::size(kPageKinds)> m_pages;
};

/// `CQXConfigSplitter`: the child window of one configuration document; owns the document.
class CQXConfigSplitter : public QWidget {
    Q_OBJECT
public:
    CQXConfigSplitter(std::unique_ptr<CQXConfigDoc2> doc, WindowHost& host, QWidget* parent = nullptr);
    ~CQXConfigSplitter() override;

    [[nodiscard]] CQXConfigDoc2& document() { return *m_doc; }
    [[nodiscard]] const CQXConfigDoc2& document() const { return *m_doc; }
    [[nodiscard]] CFormLeft* form() const { return m_form; }
    [[nodiscard]] CQXConfigView* detailsList() const { return m_list; }
    [[nodiscard]] ListMode listMode() const { return m_mode; }
    [[nodiscard]] xml::Node currentNode() const { return m_node; }

    /// Flips the show flag of a list icon index; returns the new state.
    bool toggleFilter(int iconIndex);
    [[nodiscard]] bool filterShown(int iconIndex) const;
    /// Tree Open / Tree Close on the active page.
    void treeOpen();
    void treeClose();
    /// Shows a node of a page as if the user had selected it.
    void selectNode(xml::Node node, ListMode mode);
    /// The comparison modes and the return to mode 1.
    void setCompareMode(ListMode mode);
    /// Rebuilds the list (after an analysis run, a filter change, a language switch).
    void refillList();
    /// Rebuilds the three trees (labels follow the language).
    void rebuildTrees();
    /// Report line behind a row of the details list (0 when it has none).
    [[nodiscard]] int sourceLineOfRow(int row) const;
    /// "Show in report": the report at the row's line, or nullptr when the row has none.
    CReportSourceView* showInReport(int row);
    /// Adds "Show in report" for a row to a context menu of the details list.
    void addSourceActions(QMenu& menu, int row);

    /// The details list's context menu for the list shown and its selected row.
    [[nodiscard]] std::unique_ptr<QMenu> listMenu();
    /// A double click on a row of the list.
    void activateRow(int row);
    /// "Find" (File Finder) on the selected row's `url` and `name`, or the address alone.
    void lookUpFile();
    /// "Find"/"Look up KDN" on the selected row's second column, or the address alone.
    void lookUpKdn();
    /// "Look up KDN" by the `kdn` field of the selected row's node.
    void lookUpKdnField();
    /// The "Information" dialog for each message of a Report-page row, in turn.
    void editRowMessages(int row);
    /// Heading of the printed list: the server and the node shown.
    [[nodiscard]] QString listTitle() const;
    /// Element name of the node the list shows.
    [[nodiscard]] std::string currentNodeName() const;

    /// The rule item editor on the selected tree node and list row: "Insert", "Modify",
    /// "Delete" on the Rules page, the read-only properties on the other pages.
    void insertRule();
    void modifyRule();
    void deleteRule();
    void showProperties();
    /// Whether a rule command acts on what is selected now.
    [[nodiscard]] bool ruleCommandActs(int id) const;
    /// Brings this window's rules tree and list up to date with an edit.
    void applyRuleEdit(const ruleedit::EditResult& result);
    /// Drops every tree item and the selection that stand for a rule-base node about to go.
    void forgetRuleNode(xml::Node node);

protected:
    void showEvent(QShowEvent* event) override;

signals:
    void compareMenuRequested(QPoint globalPos);

private:
    void onNodeSelected(xml::Node node, ListMode mode);
    void onSort(int column);
    void openRuleEditor(int command);
    void addRuleButtons();
    void updateRuleButtons();
    lists::ListModel buildList();
    QStringList shownHeaders() const;
    int initialTreePaneWidth() const;

    std::unique_ptr<CQXConfigDoc2> m_doc;
    WindowHost& m_host;
    QSplitter* m_splitter;
    CFormLeft* m_form;
    CQXConfigView* m_list;
    xml::Node m_node;
    ListMode m_mode = ListMode::Empty;
    int m_sortColumn = -1;
    lists::ShowFlags m_flags = lists::defaultShowFlags();
    bool m_shownOnce = false;
};

}  // namespace qx::gui
