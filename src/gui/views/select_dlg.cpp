#include "views/select_dlg.hpp"

#include "util/text.hpp"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace qx::gui {
namespace {

constexpr int kNameRole = Qt::UserRole + 1;

QString labelOf(const Application& app, const char* key) {
    return QString::fromStdString(app.label(key));
}

}  // namespace

CSelectDlg::CSelectDlg(const Application& app, const std::vector<ruleedit::SelectChoice>& choices,
                       QWidget* parent)
    : QDialog(parent), m_filter(new QLineEdit(this)), m_list(new QTreeWidget(this)) {
    setWindowTitle(QStringLiteral("Select"));
    auto* layout = new QVBoxLayout(this);
    m_filter->setPlaceholderText(QStringLiteral("Type to narrow the list"));
    m_filter->setClearButtonEnabled(true);
    layout->addWidget(m_filter);
    layout->addWidget(m_list, 1);
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({labelOf(app, "name"), labelOf(app, "value")});
    m_list->setUniformRowHeights(true);
    m_list->setAlternatingRowColors(true);

    QTreeWidgetItem* group = nullptr;
    QString groupName;
    bool grouped = false;
    for (const auto& c : choices) {
        const QString name = QString::fromStdString(c.text);
        QTreeWidgetItem* parentItem = nullptr;
        if (!c.group.empty()) {
            grouped = true;
            const QString g = QString::fromStdString(c.group);
            if (!group || g != groupName) {
                // Categories come in document order; a category met again reuses its row.
                const auto found = m_list->findItems(g, Qt::MatchExactly, 0);
                group = found.isEmpty() ? new QTreeWidgetItem(m_list, QStringList{g}) : found.first();
                group->setFlags(Qt::ItemIsEnabled);
                groupName = g;
            }
            parentItem = group;
        }
        auto* item = parentItem ? new QTreeWidgetItem(parentItem) : new QTreeWidgetItem(m_list);
        item->setText(0, name);
        item->setText(1, QString::fromStdString(c.detail));
        item->setToolTip(1, item->text(1));
        item->setData(0, kNameRole, name);
    }
    m_list->setRootIsDecorated(grouped);
    m_list->expandAll();
    m_list->resizeColumnToContents(0);
    m_list->setColumnWidth(0, std::min(m_list->columnWidth(0) + 16, 360));
    if (choices.empty()) {
        auto* none = new QLabel(
            QStringLiteral("The configuration of this window holds no names for this list."), this);
        none->setWordWrap(true);
        layout->addWidget(none);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_filter, &QLineEdit::textChanged, this, &CSelectDlg::applyFilter);
    connect(m_list, &QTreeWidget::currentItemChanged, this, &CSelectDlg::updateOk);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (item && item->data(0, kNameRole).isValid()) accept();
    });
    updateOk();
    resize(560, 480);
}

void CSelectDlg::applyFilter(const QString& text) {
    for (QTreeWidgetItemIterator it(m_list); *it; ++it) {
        QTreeWidgetItem* item = *it;
        if (!item->data(0, kNameRole).isValid()) continue;  // a category row
        item->setHidden(!text.isEmpty() && !item->text(0).contains(text, Qt::CaseInsensitive));
    }
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* top = m_list->topLevelItem(i);
        if (top->data(0, kNameRole).isValid()) continue;
        bool any = false;
        for (int c = 0; c < top->childCount(); ++c) any = any || !top->child(c)->isHidden();
        top->setHidden(!any);
    }
}

void CSelectDlg::updateOk() {
    m_ok->setEnabled(!chosen().isEmpty());
}

QString CSelectDlg::chosen() const {
    QTreeWidgetItem* item = m_list->currentItem();
    if (!item || item->isHidden()) return {};
    const std::string name = item->data(0, kNameRole).toString().toStdString();
    return QString::fromStdString(text::cutUtf8(name, ruleedit::kMaxTextChars));
}

bool CSelectDlg::choose(const QString& text) {
    for (QTreeWidgetItemIterator it(m_list); *it; ++it) {
        if ((*it)->data(0, kNameRole).toString() == text) {
            m_list->setCurrentItem(*it);
            return true;
        }
    }
    return false;
}

}  // namespace qx::gui
