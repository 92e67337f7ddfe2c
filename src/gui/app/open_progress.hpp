#pragma once
// The "Please wait" window of "Open Documents...": the files found, a progress bar and
// Cancel. The main frame drives it one file at a time.

#include <QDialog>

class QListWidget;
class QProgressBar;
class QLabel;

namespace qx::gui {

class COpenProgressDlg : public QDialog {
    Q_OBJECT
public:
    explicit COpenProgressDlg(QWidget* parent = nullptr);

    /// Lists the files found and sets the bar's range.
    void setFiles(const QStringList& files);
    /// Marks the file about to be opened.
    void showIndex(int index);
    [[nodiscard]] QListWidget* fileList() const { return m_list; }
    [[nodiscard]] QProgressBar* progressBar() const { return m_bar; }

signals:
    void cancelRequested();

protected:
    void reject() override;

private:
    QLabel* m_label;
    QListWidget* m_list;
    QProgressBar* m_bar;
};

}  // namespace qx::gui
