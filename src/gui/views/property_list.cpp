#include "views/property_list.hpp"

#include "app/icons.hpp"

#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace qx::gui {
namespace {

constexpr int kDescriptionRole = Qt::UserRole + 1;
constexpr int kMarkRole = Qt::UserRole + 2;
// A blank date is the editor's minimum, shown as nothing.
const QDate kNoDate(1900, 1, 1);

}  // namespace

CPropertyList::CPropertyList(QWidget* parent)
    : QWidget(parent), m_tree(new QTreeWidget(this)), m_description(new QLabel(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tree, 1);
    layout->addWidget(m_description);
    m_tree->setColumnCount(2);
    m_tree->setHeaderHidden(true);
    m_tree->setRootIsDecorated(true);
    m_tree->setAlternatingRowColors(true);
    m_tree->header()->setSectionResizeMode(0, QHeaderView::Interactive);
    m_tree->header()->setStretchLastSection(true);
    m_description->setWordWrap(true);
    m_description->setFrameShape(QFrame::StyledPanel);
    m_description->setMinimumHeight(2 * m_description->fontMetrics().height() + 8);
    m_description->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_description->setTextInteractionFlags(Qt::TextSelectableByMouse);
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        m_description->setText(item ? item->data(0, kDescriptionRole).toString() : QString());
    });
}

QTreeWidgetItem* CPropertyList::addCategory(const QString& label, const QString& description) {
    auto* item = new QTreeWidgetItem(m_tree, QStringList{label});
    QFont bold = item->font(0);
    bold.setBold(true);
    item->setFont(0, bold);
    item->setFirstColumnSpanned(true);
    item->setData(0, kDescriptionRole, description);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    m_category = item;
    return item;
}

QTreeWidgetItem* CPropertyList::addRow(const QString& label, const QString& description) {
    if (!m_category) addCategory(QString());
    auto* item = new QTreeWidgetItem(m_category, QStringList{label});
    item->setData(0, kDescriptionRole, description.isEmpty() ? label : description);
    item->setToolTip(0, label);
    return item;
}

void CPropertyList::addText(const QString& key, const QString& label, const QString& description,
                            const QString& value, int maxLength) {
    QTreeWidgetItem* item = addRow(label, description);
    auto* edit = new QLineEdit(value.left(maxLength));
    edit->setMaxLength(maxLength);
    edit->setObjectName(key);
    m_tree->setItemWidget(item, 1, edit);
    // Focus in an editor shows its property's description.
    connect(edit, &QLineEdit::cursorPositionChanged, this, [this, item] { m_tree->setCurrentItem(item); });
    m_properties.push_back({key, item, edit});
}

void CPropertyList::addChoice(const QString& key, const QString& label, const QString& description,
                              const std::vector<Choice>& choices, int current) {
    QTreeWidgetItem* item = addRow(label, description);
    auto* box = new QComboBox;
    box->setObjectName(key);
    for (const auto& [text, value] : choices) box->addItem(text, value);
    box->setCurrentIndex(current >= 0 && current < box->count() ? current : -1);
    m_tree->setItemWidget(item, 1, box);
    connect(box, &QComboBox::activated, this, [this, item] { m_tree->setCurrentItem(item); });
    m_properties.push_back({key, item, box});
}

void CPropertyList::addDate(const QString& key, const QString& label, const QString& description,
                            std::optional<QDate> value) {
    QTreeWidgetItem* item = addRow(label, description);
    auto* edit = new QDateEdit;
    edit->setObjectName(key);
    // Month abbreviations as the rule base writes them, whatever the desktop's language.
    edit->setLocale(QLocale::c());
    edit->setDisplayFormat(QStringLiteral("MMM dd yyyy"));
    edit->setCalendarPopup(true);
    edit->setMinimumDate(kNoDate);
    edit->setSpecialValueText(QStringLiteral(" "));
    edit->setDate(value && value->isValid() ? *value : kNoDate);
    m_tree->setItemWidget(item, 1, edit);
    connect(edit, &QDateEdit::dateChanged, this, [this, item] { m_tree->setCurrentItem(item); });
    m_properties.push_back({key, item, edit});
}

void CPropertyList::addValue(const QString& label, const QString& value, int mark,
                             const QString& description) {
    QTreeWidgetItem* item = addRow(label, description);
    item->setText(1, value);
    item->setToolTip(1, value);
    item->setData(1, kMarkRole, mark);
    if (mark >= 0) item->setIcon(1, icons::list(mark));
}

const CPropertyList::Property* CPropertyList::find(const QString& key) const {
    for (const auto& p : m_properties)
        if (p.key == key) return &p;
    return nullptr;
}

bool CPropertyList::has(const QString& key) const {
    return find(key) != nullptr;
}

QString CPropertyList::text(const QString& key) const {
    const Property* p = find(key);
    auto* edit = p ? qobject_cast<QLineEdit*>(p->editor) : nullptr;
    return edit ? edit->text() : QString();
}

void CPropertyList::setText(const QString& key, const QString& value) {
    const Property* p = find(key);
    if (auto* edit = p ? qobject_cast<QLineEdit*>(p->editor) : nullptr) edit->setText(value);
}

QVariant CPropertyList::choice(const QString& key) const {
    const Property* p = find(key);
    auto* box = p ? qobject_cast<QComboBox*>(p->editor) : nullptr;
    return box && box->currentIndex() >= 0 ? box->currentData() : QVariant();
}

bool CPropertyList::setChoice(const QString& key, const QVariant& value) {
    const Property* p = find(key);
    auto* box = p ? qobject_cast<QComboBox*>(p->editor) : nullptr;
    if (!box) return false;
    const int at = box->findData(value);
    box->setCurrentIndex(at);
    return at >= 0;
}

std::optional<QDate> CPropertyList::date(const QString& key) const {
    const Property* p = find(key);
    auto* edit = p ? qobject_cast<QDateEdit*>(p->editor) : nullptr;
    if (!edit || edit->date() == kNoDate) return std::nullopt;
    return edit->date();
}

void CPropertyList::setDate(const QString& key, std::optional<QDate> value) {
    const Property* p = find(key);
    if (auto* edit = p ? qobject_cast<QDateEdit*>(p->editor) : nullptr)
        edit->setDate(value && value->isValid() ? *value : kNoDate);
}

void CPropertyList::setReadOnly(bool readOnly) {
    for (const auto& p : m_properties) {
        if (auto* edit = qobject_cast<QLineEdit*>(p.editor))
            edit->setReadOnly(readOnly);
        else if (auto* date = qobject_cast<QDateEdit*>(p.editor))
            date->setReadOnly(readOnly);
        else
            p.editor->setEnabled(!readOnly);
    }
}

QStringList CPropertyList::rowTexts() const {
    QStringList out;
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        QString value = (*it)->text(1);
        if (QWidget* w = m_tree->itemWidget(*it, 1)) {
            if (auto* edit = qobject_cast<QLineEdit*>(w))
                value = edit->text();
            else if (auto* box = qobject_cast<QComboBox*>(w))
                value = box->currentText();
            else if (auto* date = qobject_cast<QDateEdit*>(w))
                value = date->date() == kNoDate ? QString() : date->text();
        }
        out << (value.isEmpty() ? (*it)->text(0) : (*it)->text(0) + QLatin1Char('\t') + value);
    }
    return out;
}

QList<int> CPropertyList::marksOf(const QString& category) const {
    QList<int> out;
    for (int c = 0; c < m_tree->topLevelItemCount(); ++c) {
        QTreeWidgetItem* cat = m_tree->topLevelItem(c);
        if (cat->text(0) != category) continue;
        for (int i = 0; i < cat->childCount(); ++i) {
            const QVariant mark = cat->child(i)->data(1, kMarkRole);
            out << (mark.isValid() ? mark.toInt() : -1);
        }
    }
    return out;
}

void CPropertyList::finish() {
    m_tree->expandAll();
    m_tree->resizeColumnToContents(0);
    m_tree->setColumnWidth(0, std::min(m_tree->columnWidth(0) + 16, 260));
    if (m_tree->topLevelItemCount() > 0) m_tree->setCurrentItem(m_tree->topLevelItem(0));
}

}  // namespace qx::gui
