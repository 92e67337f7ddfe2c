#pragma once
// "Show in report": the report file a finding came from, read-only, in a monospace view
// with line numbers, scrolled to the finding's line and highlighting it.

#include <QPlainTextEdit>
#include <QString>
#include <QWidget>

namespace qx::gui {

/// The text view: line numbers in a margin, one line highlighted.
class CReportSourceView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit CReportSourceView(QWidget* parent = nullptr);

    /// Moves to a 1-based line, centres it and highlights it.
    void showLine(int line);
    /// The highlighted line (0 when none).
    [[nodiscard]] int shownLine() const { return m_line; }
    /// Text of a 1-based line.
    [[nodiscard]] QString lineText(int line) const;

    /// Width of the line-number margin.
    [[nodiscard]] int marginWidth() const;
    /// Paints the margin (called by the margin widget).
    void paintMargin(QPaintEvent* event);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void highlight();

    QWidget* m_margin;
    int m_line = 0;
};

/// Opens a window showing `path` at `line`; says why on failure and returns nullptr.
/// Report files are 8-bit text and are read as Latin-1.
CReportSourceView* openReportSource(QWidget* parent, const QString& path, int line);

}  // namespace qx::gui
