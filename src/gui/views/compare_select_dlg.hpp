#pragma once
// Dialog 185: the base server, the servers to compare with it and the kinds of values.

#include "app/application.hpp"
#include "compare/server_compare.hpp"

#include <QDialog>
#include <QStringList>

#include <vector>

class QCheckBox;
class QComboBox;
class QListWidget;
class QPushButton;

namespace qx::gui {

class CCompareSelectDlg : public QDialog {
    Q_OBJECT
public:
    /// `titles`: the completed configuration documents in window order; `active` is preselected
    /// as the base; `selected` and `types` are the check states to start with.
    CCompareSelectDlg(const Application& app, const QStringList& titles, int active,
                      const std::vector<bool>& selected, const compare::CompareOptions& types,
                      QWidget* parent = nullptr);

    /// The base's index, or -1.
    [[nodiscard]] int baseIndex() const;
    /// Each document's check box as the user left it (the comparison skips the base).
    [[nodiscard]] std::vector<bool> selected() const;
    /// The ticked kinds of values.
    [[nodiscard]] compare::CompareOptions options() const;

    [[nodiscard]] QComboBox* baseBox() const { return m_base; }
    [[nodiscard]] QListWidget* serverList() const { return m_servers; }
    /// The type check box of an option name ("serverparams", ...).
    [[nodiscard]] QCheckBox* typeBox(std::string_view name) const;
    [[nodiscard]] QPushButton* okButton() const { return m_ok; }

public slots:
    void accept() override;

private:
    void onBaseChanged(int index);
    void updateOk();

    const Application& m_app;
    QComboBox* m_base;
    QListWidget* m_servers;
    std::vector<QCheckBox*> m_types;
    QPushButton* m_ok;
};

}  // namespace qx::gui
