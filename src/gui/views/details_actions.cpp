// What the details list of a configuration window offers beyond showing rows: its context
// menu, the double click, the support-site look-ups and the messages of Report-page rows.
#include "app/commands.hpp"
#include "app/message.hpp"
#include "app/output_dialogs.hpp"
#include "app/ui_hooks.hpp"
#include "lists/list_export.hpp"
#include "lists/report_keys.hpp"
#include "views/config_window.hpp"
#include "xml/fields.hpp"

#include <QMenu>

namespace qx::gui {
namespace {

// What decides whether a context-menu entry belongs to the list shown.
struct ListContext {
    ListMode mode;
    std::string node;
    const lists::ListRow* row;
    xml::Node treeNode;
};

bool isOneOf(const std::string& name, std::initializer_list<const char*> names) {
    for (const char* n : names)
        if (name == n) return true;
    return false;
}

bool always(const ListContext&) {
    return true;
}
bool moduleList(const ListContext& c) {
    return c.mode != ListMode::Rules &&
           isOneOf(c.node, {"loaded-modules", "search-path-modules", "abend", "modules"});
}
bool setParameterList(const ListContext& c) {
    return c.mode != ListMode::Rules && c.node == "setparams";
}
bool productList(const ListContext& c) {
    return c.mode == ListMode::Report && isOneOf(c.node, {"suggestion", "patches"});
}
bool rowWithKdn(const ListContext& c) {
    if (!c.row || !c.row->node || setParameterList(c) || productList(c)) return false;
    return !xml::field(c.row->node, "kdn").empty() || !xml::attribute(c.row->node, "kdn").empty();
}
bool reportPage(const ListContext& c) {
    return c.mode == ListMode::Report;
}
bool editableRules(const ListContext& c) {
    return c.mode == ListMode::Rules && ruleedit::treeNodeKind(c.treeNode) != ruleedit::TreeNodeKind::Unknown;
}
bool editableRuleRow(const ListContext& c) {
    return editableRules(c) && c.row;
}
bool rowWithProperties(const ListContext& c) {
    return (c.mode == ListMode::Config || c.mode == ListMode::Report) && c.row && c.row->node;
}

// One entry of the context menu: the command, its text where the command has several, when
// it is offered, and what runs it (null: the main frame's command). Id 0 is a separator.
struct ListMenuEntry {
    int id;
    const char* text;
    bool (*offered)(const ListContext&);
    void (CQXConfigSplitter::*run)();
};

const ListMenuEntry kListMenu[] = {
    {cmd::RuleInsert, nullptr, editableRules, &CQXConfigSplitter::insertRule},
    {cmd::RuleModify, nullptr, editableRuleRow, &CQXConfigSplitter::modifyRule},
    {cmd::RuleDelete, nullptr, editableRuleRow, &CQXConfigSplitter::deleteRule},
    {cmd::RuleProperties, nullptr, rowWithProperties, &CQXConfigSplitter::showProperties},
    {cmd::FindModule, "Find", moduleList, &CQXConfigSplitter::lookUpFile},
    {cmd::LookUpKdn, "Find", setParameterList, &CQXConfigSplitter::lookUpKdn},
    {cmd::LookUpKdn, "Look up KDN", productList, &CQXConfigSplitter::lookUpKdn},
    {cmd::LookUpKdnField, "Look up KDN", rowWithKdn, &CQXConfigSplitter::lookUpKdnField},
    {0, nullptr, always, nullptr},
    {cmd::TextReport, nullptr, reportPage, nullptr},
    {cmd::CopyToClipboard, nullptr, always, nullptr},
    {cmd::SaveAsText, nullptr, always, nullptr},
    {cmd::FilePrint, nullptr, always, nullptr},
};

QString entryText(const Application& app, const ListMenuEntry& e) {
    const std::string translated = app.menuText(std::to_string(e.id));
    QString text = !translated.empty() ? QString::fromStdString(translated)
                   : e.text            ? QString::fromUtf8(e.text)
                                       : cmd::resourceText(e.id);
    const auto tab = text.indexOf(QLatin1Char('\t'));
    return tab < 0 ? text : text.left(tab);
}

}  // namespace

std::string CQXConfigSplitter::currentNodeName() const {
    return m_node ? std::string(m_node.name()) : std::string();
}

std::unique_ptr<QMenu> CQXConfigSplitter::listMenu() {
    const ListContext context{m_mode, currentNodeName(), m_list->selectedRow(), m_node};
    auto menu = std::make_unique<QMenu>(this);
    const int row = m_list->currentIndex().isValid() ? m_list->currentIndex().row() : -1;
    bool separatorDue = false;
    for (const ListMenuEntry& e : kListMenu) {
        if (!e.offered(context)) continue;
        if (e.id == 0) {
            // "Show in report" closes the row's own commands, before the list's.
            if (row >= 0) addSourceActions(*menu, row);
            separatorDue = !menu->isEmpty();
            continue;
        }
        if (separatorDue) menu->addSeparator();
        separatorDue = false;
        QAction* a = menu->addAction(entryText(m_host.application(), e));
        a->setData(e.id);
        if (e.run)
            connect(a, &QAction::triggered, this, e.run);
        else
            connect(a, &QAction::triggered, this, [this, id = e.id] { m_host.runCommand(id); });
    }
    return menu;
}

void CQXConfigSplitter::activateRow(int row) {
    if (row < 0 || row >= m_list->detailsModel().rowCount()) return;
    if (m_mode == ListMode::Rules) {
        modifyRule();
        return;
    }
    if (m_mode == ListMode::Config) {
        showProperties();
        return;
    }
    if (m_mode != ListMode::Report) return;
    if (currentNodeName() == "patches") {
        lookUpKdn();
        return;
    }
    editRowMessages(row);
}

void CQXConfigSplitter::lookUpFile() {
    const lists::ListRow* row = m_list->selectedRow();
    openUrl(this, QString::fromStdString(lists::fileFinderAddress(m_host.application().settings,
                                                                  row ? row->node : xml::Node())));
}

void CQXConfigSplitter::lookUpKdn() {
    openUrl(this,
            QString::fromStdString(lists::kdnAddress(m_host.application().settings, m_list->selectedRow())));
}

void CQXConfigSplitter::lookUpKdnField() {
    const lists::ListRow* row = m_list->selectedRow();
    if (!row) return;
    openUrl(this, QString::fromStdString(lists::kdnFieldAddress(m_host.application().settings, row->node)));
}

void CQXConfigSplitter::editRowMessages(int row) {
    if (row < 0 || row >= m_list->detailsModel().rowCount()) return;
    // A copy: the list may be refilled while a dialog is open.
    const lists::ListRow shown = m_list->detailsModel().list().rows[static_cast<std::size_t>(row)];
    Application& app = m_host.application();
    const QString caption =
        shown.cells.empty() ? QString() : QString::fromStdString(shown.cells.front()).trimmed();
    const int count = static_cast<int>(shown.messages.size());
    for (int i = 0; i < count; ++i) {
        const std::string& key = shown.messages[static_cast<std::size_t>(i)];
        if (!lists::reportMessage(app, key)) continue;
        QString about = caption;
        if (count > 1) about += QStringLiteral(" (%1 of %2)").arg(i + 1).arg(count);
        CInformationDlg dlg(about, QString::fromStdString(lists::reportMessageText(app, key)),
                            QString::fromStdString(lists::reportMessageUrl(app, key)), this);
        if (execDialog(dlg) != QDialog::Accepted) return;
        lists::setReportMessage(app, key, dlg.note().toStdString(), dlg.url().toStdString());
        if (!dlg.saveToFile()) continue;
        const std::string error = lists::saveLocalisationTable(app);
        if (!error.empty())
            showMessage(this, MessageKind::Error,
                        QStringLiteral("The message was changed for this session, but menu.xml could not be "
                                       "saved:\n%1")
                            .arg(QString::fromStdString(error)));
    }
}

QString CQXConfigSplitter::listTitle() const {
    QString title = windowTitle();
    if (CTreePage* page = m_form->activePage(); page && page->tree()->currentItem())
        title += QStringLiteral(" - ") + page->tree()->currentItem()->text(0);
    return title;
}

}  // namespace qx::gui
