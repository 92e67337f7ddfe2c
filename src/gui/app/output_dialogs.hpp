#pragma once
// The dialogs of the configuration window's outputs: "Information" (a row's message) and
// "Create QXS file" (the categories of the command file).

#include "app/application.hpp"
#include "commandfile/command_file.hpp"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace qx::gui {

/// Dialog 198: the message of a Report-page row, its address, and whether OK saves menu.xml.
class CInformationDlg : public QDialog {
    Q_OBJECT
public:
    /// `about` names the row the message belongs to.
    CInformationDlg(const QString& about, const QString& note, const QString& url, QWidget* parent = nullptr);

    [[nodiscard]] QString note() const;
    [[nodiscard]] QString url() const;
    /// "Save (file)": OK writes menu.xml too (checked when the dialog opens).
    [[nodiscard]] bool saveToFile() const;

    QPlainTextEdit* noteField() const { return m_note; }
    QLineEdit* urlField() const { return m_url; }
    QCheckBox* saveBox() const { return m_save; }

private:
    QPlainTextEdit* m_note;
    QLineEdit* m_url;
    QCheckBox* m_save;
};

/// "Create QXS file": the three categories, all checked when the dialog opens.
class CCreateQxsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CCreateQxsDlg(const Application& app, QWidget* parent = nullptr);

    [[nodiscard]] commandfile::CommandFileOptions options() const;

    QCheckBox* notRequiredBox() const { return m_notRequired; }
    QCheckBox* recommendedBox() const { return m_recommended; }
    QCheckBox* requiredBox() const { return m_required; }

private:
    QCheckBox* m_notRequired;
    QCheckBox* m_recommended;
    QCheckBox* m_required;
};

}  // namespace qx::gui
