#pragma once
// The rule item editor: inserts, modifies and deletes rule-base nodes from the Rules page of a
// configuration window, and shows a node's properties read-only on the Config and Report
// pages. Edits change the rule base in memory; the caller brings every window up to date.

#include "app/application.hpp"
#include "document/config_doc.hpp"
#include "ruleedit/rule_edit.hpp"

#include <QDialog>

#include <functional>
#include <vector>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace qx::gui {

class CPropertyList;

/// The page the editor was opened from; it decides the mode.
enum class EditorPage { Config, Rules, Report };

/// What the editor is opened on.
struct RuleEditContext {
    EditorPage page = EditorPage::Rules;
    /// The node selected in the page's tree.
    xml::Node treeNode;
    /// The node of the selected details-list row; none for "Insert".
    xml::Node itemNode;
    /// The configuration shown in the window, and every other open one ("compare").
    const CQXConfigDoc2* document = nullptr;
    std::vector<const CQXConfigDoc2*> others;
    /// Called with a node just before Delete removes it, while it can still be looked at.
    std::function<void(xml::Node)> aboutToRemove;
};

class CRuleItemDlg : public QDialog {
    Q_OBJECT
public:
    CRuleItemDlg(Application& app, RuleEditContext context, QWidget* parent = nullptr);

    /// What the button that closed the editor did (not applied for Cancel and the read-only views).
    [[nodiscard]] const ruleedit::EditResult& edit() const { return m_result; }
    /// The property values as the user left them.
    [[nodiscard]] ruleedit::RuleItemValues values() const;

    void insert();
    void modify();
    void remove();
    /// "Select": the configuration's names for the node's area; the chosen one becomes the
    /// rule's naming property.
    void select();
    /// "Read Folder": module files of a folder appended as `module` rules, then the editor closes.
    void readFolder();

    [[nodiscard]] CPropertyList* properties() const { return m_properties; }
    [[nodiscard]] QPlainTextEdit* textField() const { return m_text; }
    [[nodiscard]] QLabel* messageLine() const { return m_message; }
    [[nodiscard]] QPushButton* selectButton() const { return m_select; }
    [[nodiscard]] QPushButton* readFolderButton() const { return m_readFolder; }
    [[nodiscard]] QPushButton* insertButton() const { return m_insert; }
    [[nodiscard]] QPushButton* modifyButton() const { return m_modify; }
    [[nodiscard]] QPushButton* deleteButton() const { return m_delete; }
    [[nodiscard]] QPushButton* cancelButton() const { return m_cancel; }
    [[nodiscard]] QPushButton* okButton() const { return m_ok; }
    /// The buttons shown, by their texts, in order.
    [[nodiscard]] QStringList shownButtons() const;

private:
    void buildRulesMode();
    void buildContainer(bool withVersion, bool withInsertChoice, xml::Node row);
    void buildAreaListChoice();
    void buildDependencies();
    void buildRuleItem(const analysis::RuleKindInfo& kind);
    void buildMatches(const analysis::RuleKindInfo& kind);
    void buildConfigView();
    void buildReportView();
    void addTypeChoice(const QString& key, const QString& label, int entries, const std::string& current);
    void finish(const ruleedit::EditResult& r);
    [[nodiscard]] QString label(std::string_view key) const;

    Application& m_app;
    RuleEditContext m_context;
    const analysis::RuleKindInfo* m_list = nullptr;
    ruleedit::EditResult m_result;
    CPropertyList* m_properties;
    QPlainTextEdit* m_text;
    QLabel* m_message;
    QPushButton* m_select;
    QPushButton* m_readFolder;
    QPushButton* m_insert;
    QPushButton* m_modify;
    QPushButton* m_delete;
    QPushButton* m_cancel;
    QPushButton* m_ok;
};

}  // namespace qx::gui
