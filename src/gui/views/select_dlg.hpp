#pragma once
// "Select": the names a configuration holds for the area of a rule (SET parameters by their
// category), one of which becomes the rule's naming property.

#include "ruleedit/rule_edit.hpp"

#include <QDialog>

#include <vector>

class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace qx::gui {

class CSelectDlg : public QDialog {
    Q_OBJECT
public:
    CSelectDlg(const Application& app, const std::vector<ruleedit::SelectChoice>& choices,
               QWidget* parent = nullptr);

    /// The chosen name, at most 2000 characters; empty when none is chosen.
    [[nodiscard]] QString chosen() const;
    /// Chooses the first entry whose name equals `text`; false when there is none.
    bool choose(const QString& text);

    [[nodiscard]] QTreeWidget* list() const { return m_list; }
    [[nodiscard]] QLineEdit* filterField() const { return m_filter; }
    [[nodiscard]] QPushButton* okButton() const { return m_ok; }

private:
    void applyFilter(const QString& text);
    void updateOk();

    QLineEdit* m_filter;
    QTreeWidget* m_list;
    QPushButton* m_ok;
};

}  // namespace qx::gui
