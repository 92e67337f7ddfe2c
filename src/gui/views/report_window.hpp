#pragma once
// `CReportEditView`: the text window of the document type "Report". It shows a command
// file (".qxs") or a text report; the user may edit, print and save it.

#include <QPlainTextEdit>

#include <functional>
#include <string>

namespace qx::gui {

class CReportEditView : public QPlainTextEdit {
    Q_OBJECT
public:
    /// What the window was opened for.
    enum class Kind { CommandFile, TextReport };

    CReportEditView(Kind kind, const QString& title, std::string text, QWidget* parent = nullptr);

    [[nodiscard]] Kind kind() const { return m_kind; }
    /// The bytes a save writes: the text exactly as built while it is unedited, else the
    /// edited text with CR LF line ends.
    [[nodiscard]] std::string bytes() const;
    /// The name the save dialog proposes: the title, ending in ".qxs".
    [[nodiscard]] QString proposedFileName() const;
    /// Writes bytes() to a file, replacing it atomically. Empty text on success.
    [[nodiscard]] QString saveTo(const QString& path);

    /// What saves the window when its edits would be lost (returns whether it saved).
    void setSaver(std::function<bool(CReportEditView&)> saver) { m_saver = std::move(saver); }
    /// Whether closing an edited window asks to save it first ("Close All" does not ask).
    void setAskOnClose(bool ask) { m_askOnClose = ask; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Kind m_kind;
    std::string m_built;
    std::function<bool(CReportEditView&)> m_saver;
    bool m_askOnClose = true;
};

}  // namespace qx::gui
