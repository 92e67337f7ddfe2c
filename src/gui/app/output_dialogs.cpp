#include "app/output_dialogs.hpp"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace qx::gui {
namespace {

QDialogButtonBox* okCancel(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

}  // namespace

// ---- Information ---------------------------------------------------------------------------

CInformationDlg::CInformationDlg(const QString& about, const QString& note, const QString& url,
                                 QWidget* parent)
    : QDialog(parent),
      m_note(new QPlainTextEdit(this)),
      m_url(new QLineEdit(this)),
      m_save(new QCheckBox(QStringLiteral("Save (file)"), this)) {
    setWindowTitle(QStringLiteral("Information"));
    auto* layout = new QVBoxLayout(this);
    if (!about.isEmpty()) {
        auto* heading = new QLabel(about, this);
        heading->setTextFormat(Qt::PlainText);
        QFont f = heading->font();
        f.setBold(true);
        heading->setFont(f);
        layout->addWidget(heading);
    }
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("note:"), m_note);
    form->addRow(QStringLiteral("url:"), m_url);
    layout->addLayout(form);
    layout->addWidget(m_save);
    layout->addWidget(okCancel(this));
    m_note->setPlainText(note);
    m_note->setTabChangesFocus(true);
    m_url->setText(url);
    m_save->setChecked(true);
    m_save->setToolTip(QStringLiteral("Keep the changed text in menu.xml for the next start"));
    setMinimumWidth(460);
}

QString CInformationDlg::note() const {
    return m_note->toPlainText();
}
QString CInformationDlg::url() const {
    return m_url->text();
}
bool CInformationDlg::saveToFile() const {
    return m_save->isChecked();
}

// ---- Create QXS file -------------------------------------------------------------------------

CCreateQxsDlg::CCreateQxsDlg(const Application& app, QWidget* parent) : QDialog(parent) {
    auto text = [&](const char* key) { return QString::fromStdString(app.label(key)); };
    m_notRequired = new QCheckBox(text("notrequired"), this);
    m_recommended = new QCheckBox(text("recommended"), this);
    m_required = new QCheckBox(text("required"), this);
    setWindowTitle(QStringLiteral("Create QXS file"));
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("Include categories:"), this);
    auto* boxes = new QVBoxLayout(group);
    for (QCheckBox* box : {m_notRequired, m_recommended, m_required}) {
        box->setChecked(true);
        boxes->addWidget(box);
    }
    layout->addWidget(group);
    layout->addWidget(okCancel(this));
    setMinimumWidth(300);
}

commandfile::CommandFileOptions CCreateQxsDlg::options() const {
    return {m_notRequired->isChecked(), m_recommended->isChecked(), m_required->isChecked()};
}

}  // namespace qx::gui
