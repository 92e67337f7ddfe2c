#include "views/rule_editor_dlg.hpp"

#include "analysis/evaluate_rule.hpp"
#include "analysis/product_check.hpp"
#include "analysis/rule_base.hpp"
#include "app/ui_hooks.hpp"
#include "ruleedit/module_scanner.hpp"
#include "views/property_list.hpp"
#include "views/read_folder_dlg.hpp"
#include "views/select_dlg.hpp"
#include "xml/fields.hpp"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qx::gui {
namespace {

using analysis::FieldInput;
using analysis::RuleKind;
using analysis::RuleKindInfo;
using ruleedit::TreeNodeKind;

const QString kRootDescription = QStringLiteral("This is a root level item");

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// The description line of a property, by the field or attribute it edits.
struct FieldHelp {
    const char* name;
    const char* text;
};
constexpr FieldHelp kHelp[] = {
    {"name", "The name of the item, as the configuration report writes it."},
    {"version", "The version, as the configuration report writes it (v5.70)."},
    {"description", "A description shown with the findings."},
    {"kdn", "The knowledge-base document that explains the item."},
    {"url", "The knowledge-base document that explains the recommended value."},
    {"type", "Who the item is meant for: beta, public, RPK or QPF."},
    {"value", "The value the configuration's value is compared with."},
    {"condition", "How the configuration's value must compare with the rule's value."},
    {"version_condition", "How the module's version must compare with the rule's version."},
    {"date", "The build date the module's date is compared with."},
    {"date_condition", "How the module's build date must compare with the rule's date."},
    {"id", "The identifier of the installed product."},
    {"pattern", "The file name pattern of the file group (*.OLD)."},
    {"count", "The number of files the group is compared with."},
    {"server", "The server that holds the replica."},
    {"insert", "What to insert below the selected node."},
    {"product", "The product the products of this list depend on."},
};

QString help(std::string_view field) {
    for (const auto& h : kHelp)
        if (field == h.name) return QString::fromLatin1(h.text);
    return {};
}

// What a rule requires, for the Config page: "operator value" for each compared field.
std::string ruleCondition(const RuleKindInfo& kind, xml::Node rule) {
    std::string out, pending;
    for (const auto& f : kind.fields) {
        const std::string t = xml::field(rule, f.name);
        if (f.name == kind.naming) continue;
        if (f.input == FieldInput::Text || f.input == FieldInput::Date) {
            if (f.name == "value" || f.name == "version" || f.name == "date" || f.name == "count")
                pending = t;
            continue;
        }
        if (f.input == FieldInput::ItemType) continue;
        if (t.empty() && pending.empty()) continue;
        if (!out.empty()) out += ", ";
        out += t;
        if (!pending.empty()) out += " " + pending;
        pending.clear();
    }
    return out;
}

// The product or product group a rule belongs to.
std::string ownerName(xml::Node rule) {
    for (xml::Node n = rule.parent(); n && n.type() == pugi::node_element; n = n.parent())
        if (analysis::isContainer(n)) return xml::attribute(n, "name");
    return {};
}

// The key by which a configuration item of this selection is found, when it is one.
std::optional<std::string> keyOfItem(const analysis::ItemSelection& sel, xml::Node item) {
    if (sel.element != item.name()) return std::nullopt;
    if (!sel.parent.empty() &&
        (item.parent().type() != pugi::node_element || sel.parent != item.parent().name()))
        return std::nullopt;
    if (!sel.key.empty() && sel.key.front() == '@') return xml::attribute(item, sel.key.substr(1));
    return xml::childText(item, sel.key);
}

bool hasChildElements(xml::Node n) {
    for (xml::Node c = n.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element) return true;
    return false;
}

}  // namespace

CRuleItemDlg::CRuleItemDlg(Application& app, RuleEditContext context, QWidget* parent)
    : QDialog(parent),
      m_app(app),
      m_context(std::move(context)),
      m_properties(new CPropertyList(this)),
      m_text(new QPlainTextEdit(this)),
      m_message(new QLabel(this)),
      m_select(new QPushButton(QStringLiteral("Select"), this)),
      m_readFolder(new QPushButton(QStringLiteral("Read Folder"), this)),
      m_insert(new QPushButton(QStringLiteral("Insert"), this)),
      m_modify(new QPushButton(QStringLiteral("Modify"), this)),
      m_delete(new QPushButton(QStringLiteral("Delete"), this)),
      m_cancel(new QPushButton(QStringLiteral("Cancel"), this)),
      m_ok(new QPushButton(QStringLiteral("Ok"), this)) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_properties, 1);
    layout->addWidget(m_text, 1);
    m_message->setWordWrap(true);
    m_message->setStyleSheet(QStringLiteral("color: #b00000"));
    m_message->hide();
    layout->addWidget(m_message);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_select);
    buttons->addWidget(m_readFolder);
    buttons->addStretch(1);
    for (QPushButton* b : {m_insert, m_modify, m_delete, m_cancel, m_ok}) buttons->addWidget(b);
    for (QPushButton* b : {m_select, m_readFolder, m_insert, m_modify, m_delete, m_cancel, m_ok})
        b->setAutoDefault(false);
    layout->addLayout(buttons);
    m_text->setTabChangesFocus(true);

    connect(m_select, &QPushButton::clicked, this, &CRuleItemDlg::select);
    connect(m_readFolder, &QPushButton::clicked, this, &CRuleItemDlg::readFolder);
    connect(m_insert, &QPushButton::clicked, this, &CRuleItemDlg::insert);
    connect(m_modify, &QPushButton::clicked, this, &CRuleItemDlg::modify);
    connect(m_delete, &QPushButton::clicked, this, &CRuleItemDlg::remove);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::reject);

    const xml::Node node = m_context.treeNode;
    setWindowTitle(node ? label(node.name()) : QStringLiteral("Properties"));
    switch (m_context.page) {
        case EditorPage::Rules:
            buildRulesMode();
            break;
        case EditorPage::Config:
            buildConfigView();
            break;
        case EditorPage::Report:
            buildReportView();
            break;
    }
    m_properties->finish();
    resize(620, 460);
}

QString CRuleItemDlg::label(std::string_view key) const {
    return qs(m_app.label(key));
}

QStringList CRuleItemDlg::shownButtons() const {
    QStringList out;
    for (QPushButton* b : {m_select, m_readFolder, m_insert, m_modify, m_delete, m_cancel, m_ok})
        if (!b->isHidden()) out << b->text();
    return out;
}

// ---- rules mode ------------------------------------------------------------------------

void CRuleItemDlg::buildRulesMode() {
    const xml::Node tree = m_context.treeNode;
    const xml::Node row = m_context.itemNode;
    const bool inserting = !row;
    const TreeNodeKind kind = ruleedit::treeNodeKind(tree);
    m_list = ruleedit::listKind(tree);
    m_ok->hide();
    const bool informations = m_list && m_list->kind == RuleKind::Information;
    if (!informations) m_text->hide();
    m_readFolder->setVisible(m_list && m_list->kind == RuleKind::Module);
    const bool canSelect = m_list && m_list->chooser != analysis::Chooser::None && m_context.document;
    m_select->setVisible(canSelect);
    m_insert->setVisible(inserting);
    m_delete->setVisible(!inserting);
    bool modifiable = false;

    m_properties->addCategory(label(tree.name()), kRootDescription);
    switch (kind) {
        case TreeNodeKind::Rules:
        case TreeNodeKind::ProductGroup:
            if (!inserting && !analysis::isContainer(row)) {
                // An area list directly under a group: it can go, not change.
                m_properties->addValue(label("name"), qs(xml::attribute(row, "name")));
                break;
            }
            buildContainer(kind == TreeNodeKind::Rules, inserting && kind == TreeNodeKind::ProductGroup, row);
            modifiable = !inserting;
            break;
        case TreeNodeKind::Product:
            buildAreaListChoice();
            break;
        case TreeNodeKind::AreaList:
            switch (m_list->kind) {
                case RuleKind::Requireds:
                    buildAreaListChoice();
                    break;
                case RuleKind::Depend:
                    buildDependencies();
                    break;
                case RuleKind::Information:
                    m_properties->hide();
                    m_text->setPlainText(row ? qs(xml::text(row)) : QString());
                    modifiable = !inserting;
                    break;
                default:
                    if (!inserting && analysis::isContainer(row)) {
                        buildContainer(false, false, row);
                    } else {
                        buildRuleItem(*m_list);
                        if (!inserting) buildMatches(*m_list);
                    }
                    modifiable = !inserting;
                    break;
            }
            break;
        case TreeNodeKind::Unknown:
            m_properties->addValue(label("name"), qs(tree ? std::string(tree.name()) : std::string()));
            m_message->setText(QStringLiteral("Nothing can be inserted, changed or deleted here."));
            m_message->show();
            m_insert->hide();
            m_delete->hide();
            break;
    }
    if (kind == TreeNodeKind::Product || (m_list && m_list->kind == RuleKind::Requireds)) {
        if (row) m_properties->addValue(label("name"), qs(xml::attribute(row, "name")));
    }
    m_modify->setVisible(modifiable);
}

void CRuleItemDlg::addTypeChoice(const QString& key, const QString& labelText, int entries,
                                 const std::string& current) {
    std::vector<CPropertyList::Choice> choices;
    int at = -1;
    for (int i = 1; i <= entries; ++i) {
        const std::string value = std::to_string(i);
        choices.emplace_back(qs(m_app.valueLabel("type", value)), qs(value));
        if (value == current) at = i - 1;
    }
    m_properties->addChoice(key, labelText, help("type"), choices, at);
}

void CRuleItemDlg::buildContainer(bool withVersion, bool withInsertChoice, xml::Node row) {
    if (withInsertChoice) {
        std::vector<CPropertyList::Choice> choices = {
            {label("productgroup"), 0}, {label("product"), 1}, {label("update"), 2}};
        m_properties->addChoice(QStringLiteral("insert"), QStringLiteral("Insert"), help("insert"), choices,
                                -1);
    }
    auto attr = [row](const char* name) { return row ? qs(xml::attribute(row, name)) : QString(); };
    m_properties->addText(QStringLiteral("name"), label("name"), help("name"), attr("name"));
    if (withVersion)
        m_properties->addText(QStringLiteral("version"), label("version"), help("version"), attr("version"));
    m_properties->addText(QStringLiteral("description"), label("description"), help("description"),
                          attr("description"));
    m_properties->addText(QStringLiteral("kdn"), label("kdn"), help("kdn"), attr("kdn"));
    addTypeChoice(QStringLiteral("type"), label("type"), 4,
                  row ? xml::attribute(row, "type") : std::string());
}

void CRuleItemDlg::buildAreaListChoice() {
    m_properties->addValue(label("name"), qs(xml::attribute(m_context.treeNode, "name")));
    if (m_context.itemNode) return;
    std::vector<CPropertyList::Choice> choices;
    for (const auto& c : ruleedit::areaListChoices()) {
        if (!ruleedit::areaListChoice(m_context.treeNode, c.number)) continue;
        choices.emplace_back(label(c.labelKey), c.number);
    }
    m_properties->addChoice(QStringLiteral("insert"), QStringLiteral("Insert"), help("insert"), choices, -1);
}

void CRuleItemDlg::buildDependencies() {
    const std::string current = m_context.itemNode ? xml::text(m_context.itemNode) : std::string();
    std::vector<CPropertyList::Choice> choices;
    int at = -1;
    for (xml::Node p : xml::select(m_app.ruleBase().documentNode(), "product")) {
        const std::string id = xml::attribute(p, "ID");
        if (id.empty()) continue;
        if (id == current) at = static_cast<int>(choices.size());
        choices.emplace_back(qs(xml::attribute(p, "name") + "  (" + id + ")"), qs(id));
    }
    m_properties->addChoice(QStringLiteral("product"), label("product"), help("product"), choices, at);
}

void CRuleItemDlg::buildRuleItem(const RuleKindInfo& kind) {
    const xml::Node row = m_context.itemNode;
    for (const auto& f : kind.fields) {
        const QString key = qs(std::string(f.name));
        const QString text = label(f.labelKey.empty() ? f.name : f.labelKey);
        const std::string current = row ? xml::field(row, f.name) : std::string();
        switch (f.input) {
            case FieldInput::Text:
                m_properties->addText(key, text, help(f.name), qs(current));
                break;
            case FieldInput::Comparison:
            case FieldInput::Containment: {
                std::vector<CPropertyList::Choice> choices;
                auto add = [&](const auto& ops) {
                    for (std::string_view op : ops) {
                        const std::string name = m_app.valueLabel("condition", op);
                        QString shown = qs(std::string(op));
                        if (name != op) shown += QStringLiteral("   ") + qs(name);
                        choices.emplace_back(shown, qs(std::string(op)));
                    }
                };
                if (f.input == FieldInput::Comparison)
                    add(analysis::kComparisonOperators);
                else
                    add(analysis::kContainmentOperators);
                m_properties->addChoice(key, text, help(f.name), choices,
                                        ruleedit::operatorChoice(f.input, current) - 1);
                break;
            }
            case FieldInput::Equals:
                m_properties->addValue(text, QStringLiteral("="), -1, help(f.name));
                break;
            case FieldInput::ItemType:
                addTypeChoice(key, text, 3, current);
                break;
            case FieldInput::Date: {
                std::optional<QDate> date;
                if (const auto picked = ruleedit::readRuleItem(kind, row).date)
                    date = QDate(picked->year, picked->month, picked->day);
                m_properties->addDate(key, text, help(f.name), date);
                break;
            }
        }
    }
}

void CRuleItemDlg::buildMatches(const RuleKindInfo& kind) {
    if (!m_context.document || kind.items.empty()) return;
    const auto evaluate = [](xml::Node rule, xml::Node item) { return analysis::evaluateRule(rule, item); };
    m_properties->addCategory(label("values"),
                              QStringLiteral("What this server's configuration holds for the rule"));
    for (const auto& m : ruleedit::ruleValues(*m_context.document, kind, m_context.itemNode, evaluate))
        m_properties->addValue(qs(m.label), qs(m.value), m.outcome);
    if (m_context.others.empty()) return;
    m_properties->addCategory(label("compare"),
                              QStringLiteral("What the other open servers hold for the rule"));
    for (const auto& m : ruleedit::ruleCompare(m_context.others, kind, m_context.itemNode, evaluate))
        m_properties->addValue(qs(m.label), qs(m.value), m.outcome);
}

ruleedit::RuleItemValues CRuleItemDlg::values() const {
    ruleedit::RuleItemValues v;
    if (m_list && !m_list->fields.empty() && !analysis::isContainer(m_context.itemNode)) {
        // The rule item's fields go through the same reader Modify starts from.
        xml::Document scratch;
        xml::Node item = scratch.createRoot(m_list->item);
        for (const auto& f : m_list->fields) {
            const QString key = qs(std::string(f.name));
            const QVariant chosen = m_properties->choice(key);
            const QString text = chosen.isValid() ? chosen.toString() : m_properties->text(key);
            xml::addField(item, f.name, text.toStdString());
        }
        v = ruleedit::readRuleItem(*m_list, item);
        for (const auto& f : m_list->fields) {
            if (f.input != FieldInput::Date) continue;
            v.date.reset();
            if (const auto d = m_properties->date(qs(std::string(f.name))))
                v.date = ruleedit::PickedDate{d->year(), d->month(), d->day()};
        }
    } else {
        v.name = m_properties->text(QStringLiteral("name")).toStdString();
        v.version = m_properties->text(QStringLiteral("version")).toStdString();
        v.description = m_properties->text(QStringLiteral("description")).toStdString();
        v.kdn = m_properties->text(QStringLiteral("kdn")).toStdString();
        const QVariant type = m_properties->choice(QStringLiteral("type"));
        v.typeChoice = type.isValid() ? type.toInt() : 0;
    }
    const QVariant insert = m_properties->choice(QStringLiteral("insert"));
    v.insertChoice = insert.isValid() ? insert.toInt() : -1;
    v.productId = m_properties->choice(QStringLiteral("product")).toString().toStdString();
    v.text = m_text->toPlainText().toStdString();
    return v;
}

void CRuleItemDlg::finish(const ruleedit::EditResult& r) {
    if (!r.applied) {
        QString why = qs(r.reason);
        if (!why.isEmpty()) why[0] = why[0].toUpper();
        m_message->setText(why + QLatin1Char('.'));
        m_message->show();
        return;
    }
    m_result = r;
    accept();
}

void CRuleItemDlg::insert() {
    finish(ruleedit::insertItem(m_app, m_context.treeNode, values()));
}

void CRuleItemDlg::modify() {
    finish(ruleedit::modifyItem(m_app, m_context.treeNode, m_context.itemNode, values()));
}

void CRuleItemDlg::remove() {
    const xml::Node item = m_context.itemNode;
    if (!item || !ruleedit::sameNode(item.parent(), m_context.treeNode)) {
        finish(ruleedit::deleteItem(m_context.treeNode, item));
        return;
    }
    if (m_context.aboutToRemove) m_context.aboutToRemove(item);
    m_context.itemNode = {};
    finish(ruleedit::deleteItem(m_context.treeNode, item));
}

void CRuleItemDlg::select() {
    if (!m_list || !m_context.document) return;
    CSelectDlg chooser(m_app, ruleedit::selectChoices(*m_context.document, *m_list), this);
    const QString key = qs(std::string(m_list->naming));
    chooser.choose(m_properties->text(key));
    if (execDialog(chooser) != QDialog::Accepted) return;
    const QString chosen = chooser.chosen();
    if (!chosen.isEmpty()) m_properties->setText(key, chosen);
}

void CRuleItemDlg::readFolder() {
    CReadFolderDlg dlg(this);
    if (execDialog(dlg) == QDialog::Accepted) {
        ruleedit::EditResult r;
        r.applied = ruleedit::appendModuleRules(m_context.treeNode, dlg.rows()) > 0;
        if (r.applied) {
            r.created = m_context.treeNode.last_child();
            m_result = r;
            accept();
            return;
        }
    }
    reject();
}

// ---- read-only views -------------------------------------------------------------------

void CRuleItemDlg::buildConfigView() {
    for (QPushButton* b : {m_select, m_readFolder, m_insert, m_modify, m_delete, m_cancel}) b->hide();
    m_text->hide();
    const xml::Node item = m_context.itemNode;
    m_properties->addCategory(label("condition"), kRootDescription);
    for (const pugi::xml_attribute& a : item.attributes())
        m_properties->addValue(label(a.name()), qs(a.value()));
    bool fields = false;
    for (xml::Node c : xml::childElements(item)) {
        if (hasChildElements(c)) continue;
        m_properties->addValue(label(c.name()), qs(xml::text(c)));
        fields = true;
    }
    if (!fields && !hasChildElements(item)) m_properties->addValue(label(item.name()), qs(xml::text(item)));

    // The rules that concern the item, judged against it, and the same item on other servers.
    const xml::Node rules = m_app.ruleBase().documentNode();
    std::vector<std::pair<const RuleKindInfo*, xml::Node>> concerned;
    const RuleKindInfo* itemKind = nullptr;
    std::string key;
    for (const auto& kind : analysis::kRuleKinds) {
        for (const auto& sel : kind.items) {
            const auto k = keyOfItem(sel, item);
            if (!k || k->empty()) continue;
            if (!itemKind) {
                itemKind = &kind;
                key = *k;
            }
            xml::forEachElementBelow(rules, [&](xml::Node rule) {
                if (kind.item == rule.name() && xml::field(rule, kind.naming) == *k)
                    concerned.emplace_back(&kind, rule);
                return true;
            });
            break;
        }
    }
    if (!concerned.empty()) {
        m_properties->addCategory(label("rules"),
                                  QStringLiteral("The rules of the rule base about this item"));
        for (const auto& [kind, rule] : concerned)
            m_properties->addValue(qs(ownerName(rule)), qs(ruleCondition(*kind, rule)),
                                   analysis::evaluateRule(rule, item));
    }
    if (!itemKind || m_context.others.empty()) return;
    xml::Document probe;
    xml::Node rule = probe.createRoot(itemKind->item);
    xml::addField(rule, itemKind->naming, key);
    const auto others = ruleedit::ruleCompare(m_context.others, *itemKind, rule, nullptr);
    if (others.empty()) return;
    m_properties->addCategory(label("compare"), QStringLiteral("The same item on the other open servers"));
    for (const auto& m : others) m_properties->addValue(qs(m.label), qs(m.value));
}

void CRuleItemDlg::buildReportView() {
    for (QPushButton* b : {m_select, m_readFolder, m_insert, m_modify, m_delete, m_cancel}) b->hide();
    m_text->hide();
    const xml::Node item = m_context.itemNode;
    m_properties->addCategory(label("properties"), kRootDescription);
    for (const pugi::xml_attribute& a : item.attributes())
        m_properties->addValue(label(a.name()), qs(a.value()));
    // Records keep most of their data in fields.
    for (xml::Node c : xml::childElements(item))
        if (!hasChildElements(c)) m_properties->addValue(label(c.name()), qs(xml::text(c)));
}

}  // namespace qx::gui
