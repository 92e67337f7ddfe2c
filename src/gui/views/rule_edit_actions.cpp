// The configuration window's side of the rule item editor: opening it on the selection, the
// Rules page's buttons, and keeping the rules tree in step with edits made in any window.
#include "app/commands.hpp"
#include "app/ui_hooks.hpp"
#include "views/config_window.hpp"
#include "views/rule_editor_dlg.hpp"

#include <QHBoxLayout>
#include <QLayout>
#include <QPushButton>

namespace qx::gui {
namespace {

using ruleedit::TreeNodeKind;

// The rule-base element a row stands for. A dependency row shows the product it names, and
// a product's own list shows the product itself.
xml::Node ruleItemOfRow(xml::Node tree, xml::Node row) {
    if (!row || ruleedit::sameNode(row.parent(), tree)) return row;
    const auto* list = ruleedit::listKind(tree);
    if (list && list->kind == analysis::RuleKind::Depend) {
        const std::string id = xml::attribute(row, "ID");
        for (xml::Node c : xml::childElements(tree))
            if (xml::text(c) == id) return c;
    }
    return row;
}

bool within(xml::Node node, xml::Node top) {
    for (xml::Node n = node; n; n = n.parent())
        if (ruleedit::sameNode(n, top)) return true;
    return false;
}

}  // namespace

bool CQXConfigSplitter::ruleCommandActs(int id) const {
    const bool row = m_list->selectedRow() != nullptr;
    switch (id) {
        case cmd::RuleInsert:
            return m_mode == ListMode::Rules && ruleedit::treeNodeKind(m_node) != TreeNodeKind::Unknown;
        case cmd::RuleModify:
        case cmd::RuleDelete:
            return m_mode == ListMode::Rules && ruleedit::treeNodeKind(m_node) != TreeNodeKind::Unknown;
        case cmd::RuleProperties:
            return (m_mode == ListMode::Config || m_mode == ListMode::Report) && row;
        default:
            return false;
    }
}

void CQXConfigSplitter::insertRule() {
    openRuleEditor(cmd::RuleInsert);
}
void CQXConfigSplitter::modifyRule() {
    openRuleEditor(cmd::RuleModify);
}
void CQXConfigSplitter::deleteRule() {
    openRuleEditor(cmd::RuleDelete);
}
void CQXConfigSplitter::showProperties() {
    openRuleEditor(cmd::RuleProperties);
}

void CQXConfigSplitter::openRuleEditor(int command) {
    if (!ruleCommandActs(command)) return;
    const lists::ListRow* row = m_list->selectedRow();
    RuleEditContext context;
    context.page = m_mode == ListMode::Rules    ? EditorPage::Rules
                   : m_mode == ListMode::Report ? EditorPage::Report
                                                : EditorPage::Config;
    context.treeNode = m_node;
    context.document = m_doc.get();
    for (const CQXConfigDoc2* d : m_host.comparisonDocuments(*m_doc))
        if (d != m_doc.get()) context.others.push_back(d);
    if (command != cmd::RuleInsert && row) {
        context.itemNode = ruleItemOfRow(m_node, row->node);
        // A product's list shows the product: edit it where it stands, in its group.
        if (context.page == EditorPage::Rules && ruleedit::sameNode(context.itemNode, m_node)) {
            context.treeNode = m_node.parent();
        }
    }
    context.aboutToRemove = [this](xml::Node node) { m_host.ruleNodeRemoving(node); };

    CRuleItemDlg dlg(m_host.application(), std::move(context), this);
    execDialog(dlg);
    if (dlg.edit().applied) m_host.ruleBaseEdited(dlg.edit());
}

void CQXConfigSplitter::forgetRuleNode(xml::Node node) {
    QTreeWidget* tree = m_form->page(PageKind::Rules)->tree();
    const QSignalBlocker block(tree);
    if (m_mode == ListMode::Rules && within(m_node, node)) {
        // The list showed what goes: it shows the parent instead.
        m_node = node.parent();
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            if (ruleedit::sameNode(CTreePage::nodeOf(*it), m_node)) {
                tree->setCurrentItem(*it);
                break;
            }
        m_list->showList({}, -1, {});
    }
    QList<QTreeWidgetItem*> gone;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if (ruleedit::sameNode(CTreePage::nodeOf(*it), node)) gone << *it;
    qDeleteAll(gone);  // each takes its subtree with it
}

void CQXConfigSplitter::applyRuleEdit(const ruleedit::EditResult& result) {
    QTreeWidget* tree = m_form->page(PageKind::Rules)->tree();
    if (result.inTree && result.created) {
        const xml::Node parent = result.created.parent();
        for (QTreeWidgetItemIterator it(tree); *it; ++it) {
            if (!ruleedit::sameNode(CTreePage::nodeOf(*it), parent)) continue;
            (*it)->addChild(CTreePage::itemFor(
                {result.treeLabel, lists::ruleTreeIcon(result.created), result.created, {}}));
            (*it)->setExpanded(true);
        }
    }
    if (result.inTree && result.changed) {
        for (QTreeWidgetItemIterator it(tree); *it; ++it) {
            if (!ruleedit::sameNode(CTreePage::nodeOf(*it), result.changed)) continue;
            (*it)->setText(0, QString::fromStdString(result.treeLabel));
            (*it)->setToolTip(0, (*it)->text(0));
        }
    }
    if (m_mode == ListMode::Rules) refillList();
}

void CQXConfigSplitter::addRuleButtons() {
    auto* bar = new QWidget(m_form->page(PageKind::Rules));
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    const Application& app = m_host.application();
    for (int id : {cmd::RuleInsert, cmd::RuleModify, cmd::RuleDelete}) {
        const std::string translated = app.menuText(std::to_string(id));
        auto* button =
            new QPushButton(translated.empty() ? cmd::toolTip(id) : QString::fromStdString(translated), bar);
        button->setObjectName(cmd::toolTip(id));
        button->setToolTip(cmd::prompt(id));
        button->setAutoDefault(false);
        layout->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, id] { openRuleEditor(id); });
    }
    m_form->page(PageKind::Rules)->layout()->addWidget(bar);
    updateRuleButtons();
}

void CQXConfigSplitter::updateRuleButtons() {
    for (int id : {cmd::RuleInsert, cmd::RuleModify, cmd::RuleDelete}) {
        if (auto* b = m_form->page(PageKind::Rules)->findChild<QPushButton*>(cmd::toolTip(id))) {
            // Modify and Delete of a list without a selected row open the editor to insert.
            b->setEnabled(m_mode == ListMode::Rules && ruleCommandActs(id));
        }
    }
}

}  // namespace qx::gui
