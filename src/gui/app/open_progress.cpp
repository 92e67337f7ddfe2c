#include "app/open_progress.hpp"

#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace qx::gui {

COpenProgressDlg::COpenProgressDlg(QWidget* parent)
    : QDialog(parent),
      m_label(new QLabel(this)),
      m_list(new QListWidget(this)),
      m_bar(new QProgressBar(this)) {
    setWindowTitle(QStringLiteral("Please wait"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    m_label->setText(QStringLiteral("Looking for configuration reports..."));
    layout->addWidget(m_label);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_bar);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &COpenProgressDlg::reject);
    layout->addWidget(buttons);
    m_bar->setRange(0, 0);
    m_bar->setTextVisible(true);
    resize(520, 320);
}

void COpenProgressDlg::setFiles(const QStringList& files) {
    m_list->clear();
    for (const QString& f : files) m_list->addItem(QDir::toNativeSeparators(f));
    m_bar->setRange(0, static_cast<int>(files.size()));
    m_bar->setValue(0);
    m_label->setText(files.size() == 1 ? QStringLiteral("1 configuration file found.")
                                       : QStringLiteral("%1 configuration files found.").arg(files.size()));
}

void COpenProgressDlg::showIndex(int index) {
    m_bar->setValue(index);
    if (index >= 0 && index < m_list->count()) {
        m_list->setCurrentRow(index);
        m_list->scrollToItem(m_list->item(index));
        m_label->setText(QStringLiteral("Opening %1 of %2").arg(index + 1).arg(m_list->count()));
    }
}

void COpenProgressDlg::reject() {
    emit cancelRequested();
    QDialog::reject();
}

}  // namespace qx::gui
