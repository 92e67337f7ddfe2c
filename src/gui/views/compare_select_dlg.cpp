#include "views/compare_select_dlg.hpp"

#include "app/message.hpp"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <iterator>

namespace qx::gui {
namespace {

QString labelOf(const Application& app, const char* key) {
    return QString::fromStdString(app.label(key));
}

}  // namespace

CCompareSelectDlg::CCompareSelectDlg(const Application& app, const QStringList& titles, int active,
                                     const std::vector<bool>& selected, const compare::CompareOptions& types,
                                     QWidget* parent)
    : QDialog(parent), m_app(app), m_base(new QComboBox(this)), m_servers(new QListWidget(this)) {
    setWindowTitle(labelOf(app, "compare"));

    auto* based = new QGroupBox(labelOf(app, "based"), this);
    auto* basedLayout = new QVBoxLayout(based);
    basedLayout->addWidget(m_base);
    m_base->addItems(titles);
    m_base->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_base->setMinimumContentsLength(32);

    auto* servers = new QGroupBox(labelOf(app, "servers"), this);
    auto* serversLayout = new QVBoxLayout(servers);
    serversLayout->addWidget(m_servers);
    for (int i = 0; i < titles.size(); ++i) {
        auto* item = new QListWidgetItem(titles[i], m_servers);
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
        const bool on = i < static_cast<int>(selected.size()) ? selected[static_cast<std::size_t>(i)] : true;
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    // Many open servers: one click for all or none.
    auto* allNone = new QHBoxLayout;
    auto* all = new QPushButton(QStringLiteral("All"), servers);
    auto* none = new QPushButton(QStringLiteral("None"), servers);
    for (QPushButton* b : {all, none}) {
        b->setAutoDefault(false);
        allNone->addWidget(b);
    }
    allNone->addStretch(1);
    serversLayout->addLayout(allNone);
    auto tickAll = [this](Qt::CheckState state) {
        for (int i = 0; i < m_servers->count(); ++i) m_servers->item(i)->setCheckState(state);
    };
    connect(all, &QPushButton::clicked, this, [tickAll] { tickAll(Qt::Checked); });
    connect(none, &QPushButton::clicked, this, [tickAll] { tickAll(Qt::Unchecked); });
    m_servers->setMinimumHeight(std::min(10, std::max(3, static_cast<int>(titles.size()))) *
                                (m_servers->fontMetrics().height() + 6));

    auto* typesBox = new QGroupBox(labelOf(app, "types"), this);
    auto* typesLayout = new QGridLayout(typesBox);
    const std::size_t count = std::size(compare::kOptionNames);
    for (std::size_t i = 0; i < count; ++i) {
        const char* name = compare::kOptionNames[i];
        auto* box = new QCheckBox(labelOf(app, name), typesBox);
        box->setObjectName(QString::fromLatin1(name));
        box->setChecked(types.has(name));
        typesLayout->addWidget(box, static_cast<int>(i % 4), static_cast<int>(i / 4));
        connect(box, &QCheckBox::toggled, this, &CCompareSelectDlg::updateOk);
        m_types.push_back(box);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &CCompareSelectDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CCompareSelectDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(based);
    layout->addWidget(servers, 1);
    layout->addWidget(typesBox);
    layout->addWidget(buttons);

    connect(m_base, &QComboBox::currentIndexChanged, this, &CCompareSelectDlg::onBaseChanged);
    m_base->setCurrentIndex(active >= 0 && active < titles.size() ? active : (titles.isEmpty() ? -1 : 0));
    onBaseChanged(m_base->currentIndex());
    updateOk();
}

QCheckBox* CCompareSelectDlg::typeBox(std::string_view name) const {
    for (QCheckBox* b : m_types)
        if (b->objectName() == QLatin1String(name.data(), static_cast<qsizetype>(name.size()))) return b;
    return nullptr;
}

int CCompareSelectDlg::baseIndex() const {
    return m_base->currentIndex();
}

std::vector<bool> CCompareSelectDlg::selected() const {
    std::vector<bool> out;
    for (int i = 0; i < m_servers->count(); ++i)
        out.push_back(m_servers->item(i)->checkState() == Qt::Checked);
    return out;
}

compare::CompareOptions CCompareSelectDlg::options() const {
    compare::CompareOptions o;
    for (QCheckBox* b : m_types)
        if (b->isChecked()) o.set(b->objectName().toStdString());
    return o;
}

void CCompareSelectDlg::onBaseChanged(int index) {
    // The base is never compared with itself: its own check box is out of play.
    for (int i = 0; i < m_servers->count(); ++i) {
        QListWidgetItem* item = m_servers->item(i);
        item->setFlags(i == index ? Qt::ItemIsUserCheckable : Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
        item->setToolTip(i == index ? labelOf(m_app, "baseserver") : QString());
    }
}

void CCompareSelectDlg::updateOk() {
    // Without a kind of value there is nothing to compare.
    bool any = false;
    for (QCheckBox* b : m_types) any = any || b->isChecked();
    m_ok->setEnabled(any);
}

void CCompareSelectDlg::accept() {
    if (baseIndex() < 0) {
        showMessage(this, MessageKind::Information, QStringLiteral("Please, select base server!"),
                    labelOf(m_app, "informations"));
        return;
    }
    QDialog::accept();
}

}  // namespace qx::gui
