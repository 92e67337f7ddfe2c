#pragma once
// A property list: category rows with properties below them, each a label and a value
// edited as free text, chosen from a fixed list or picked as a date, and a description line
// under the list that explains the property in focus.

#include <QDate>
#include <QString>
#include <QVariant>
#include <QWidget>

#include <optional>
#include <utility>
#include <vector>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace qx::gui {

class CPropertyList : public QWidget {
    Q_OBJECT
public:
    /// An entry of a fixed list: the label shown and the value it stands for.
    using Choice = std::pair<QString, QVariant>;

    explicit CPropertyList(QWidget* parent = nullptr);

    /// A category row; properties added after it go below it.
    QTreeWidgetItem* addCategory(const QString& label, const QString& description = {});
    /// A property edited as free text (at most `maxLength` characters).
    void addText(const QString& key, const QString& label, const QString& description, const QString& value,
                 int maxLength = 2000);
    /// A property chosen from a fixed list; `current` is the entry's index, -1 none.
    void addChoice(const QString& key, const QString& label, const QString& description,
                   const std::vector<Choice>& choices, int current);
    /// A date picked from a calendar, shown "MMM dd yyyy"; no date leaves it blank.
    void addDate(const QString& key, const QString& label, const QString& description,
                 std::optional<QDate> value);
    /// A value that is shown and never edited, with the icon of a mark (list icon index; -1 none).
    void addValue(const QString& label, const QString& value, int mark = -1, const QString& description = {});

    /// The text of a text property (empty when there is none).
    [[nodiscard]] QString text(const QString& key) const;
    void setText(const QString& key, const QString& value);
    /// The value of the chosen entry of a choice property (invalid when none is chosen).
    [[nodiscard]] QVariant choice(const QString& key) const;
    /// Chooses the entry whose value equals `value`; false when none does.
    bool setChoice(const QString& key, const QVariant& value);
    /// The picked date, nothing when blank.
    [[nodiscard]] std::optional<QDate> date(const QString& key) const;
    void setDate(const QString& key, std::optional<QDate> value);
    [[nodiscard]] bool has(const QString& key) const;

    /// Every editor turned read-only (the Config and Report pages).
    void setReadOnly(bool readOnly);
    /// Labels and values of the rows, categories included, in order (tests, the clipboard).
    [[nodiscard]] QStringList rowTexts() const;
    /// The marks of the rows below `category`, in order (-1 for a row without one).
    [[nodiscard]] QList<int> marksOf(const QString& category) const;
    /// The description line.
    [[nodiscard]] QLabel* descriptionLine() const { return m_description; }
    [[nodiscard]] QTreeWidget* tree() const { return m_tree; }
    /// Every category open and the label column sized to its texts.
    void finish();

private:
    struct Property {
        QString key;
        QTreeWidgetItem* item;
        QWidget* editor;
    };
    QTreeWidgetItem* addRow(const QString& label, const QString& description);
    [[nodiscard]] const Property* find(const QString& key) const;

    QTreeWidget* m_tree;
    QLabel* m_description;
    QTreeWidgetItem* m_category = nullptr;
    std::vector<Property> m_properties;
};

}  // namespace qx::gui
