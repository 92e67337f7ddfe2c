#pragma once
// "Read Folder": reads the versions and dates of the module files below a folder into a list
// the rule item editor turns into module rules. The scan runs on a worker thread, so a folder
// of thousands of files shows its progress and can be stopped.

#include "ruleedit/module_scanner.hpp"

#include <QAbstractTableModel>
#include <QDialog>

#include <atomic>
#include <memory>
#include <vector>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QThread;
class QTreeView;

namespace qx::gui {

/// The scan rows as a table: "QXK", "Version", "Date", "QXK Fullname".
class ScanRowsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    void setRows(std::vector<ruleedit::ScanRow> rows);
    [[nodiscard]] const std::vector<ruleedit::ScanRow>& rows() const { return m_rows; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<ruleedit::ScanRow> m_rows;
};

/// The dialog: folder field, "Browse", the rows, "OK" and "Cancel". The caller appends
/// rows() to its rule node when the dialog is accepted; Cancel leaves everything as it was.
class CReadFolderDlg : public QDialog {
    Q_OBJECT
public:
    explicit CReadFolderDlg(QWidget* parent = nullptr);
    ~CReadFolderDlg() override;

    /// Empties the list and scans a folder (subfolders included) off the user-interface thread.
    void scanFolder(const QString& folder);
    /// Stops a running scan; the rows met so far stay in the list.
    void stopScan();
    [[nodiscard]] bool scanning() const { return m_thread != nullptr; }
    /// The rows as the list shows them: the last file met first.
    [[nodiscard]] const std::vector<ruleedit::ScanRow>& rows() const { return m_model.rows(); }

    [[nodiscard]] QLineEdit* folderField() const { return m_folder; }
    [[nodiscard]] QPushButton* browseButton() const { return m_browse; }
    [[nodiscard]] QPushButton* okButton() const { return m_ok; }
    [[nodiscard]] QTreeView* rowList() const { return m_list; }
    [[nodiscard]] QLabel* statusLine() const { return m_status; }

signals:
    /// A scan ended (finished or stopped); rows() holds its rows.
    void scanFinished();

public slots:
    void reject() override;

private:
    struct Job;
    void browse();
    void onProgress(quint64 filesSeen, const QString& folder);
    void onDone(std::shared_ptr<Job> job);
    void setScanning(bool on);

    ScanRowsModel m_model;
    QLineEdit* m_folder;
    QPushButton* m_browse;
    QTreeView* m_list;
    QLabel* m_status;
    QProgressBar* m_progress;
    QPushButton* m_stop;
    QPushButton* m_ok;
    QThread* m_thread = nullptr;
    std::shared_ptr<Job> m_job;
};

}  // namespace qx::gui
