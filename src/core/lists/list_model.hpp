#pragma once
// What a details list shows, computed without any widget: columns, then rows that carry
// an icon index, their cell texts, the message keys attached to them and the node behind.

#include "xml/xml_document.hpp"

#include <string>
#include <vector>

namespace qx::lists {

/// Icon indices of the details-list icon strip that the code names directly.
namespace icon {
inline constexpr int kInformation = 0;
inline constexpr int kNotChecked = 1;
inline constexpr int kBad = 2;
inline constexpr int kGood = 3;
inline constexpr int kRemark = 4;
inline constexpr int kCommand = 5;
inline constexpr int kError = 6;
inline constexpr int kEqual = 9;
inline constexpr int kNotEqual = 10;
inline constexpr int kExclamationGrey = 32;  // 32..35: grey, blue, teal, red
}  // namespace icon

/// One column: header text and width in pixels.
struct ListColumn {
    std::string header;
    int width = 200;
};

/// One row of a list.
struct ListRow {
    int icon = 0;
    std::vector<std::string> cells;
    /// Keys of `reporttext` entries of the localisation table (may be empty).
    std::vector<std::string> messages;
    /// The configuration, report or rule-base node the row stands for (may be empty).
    xml::Node node;
};

/// A whole list: columns and rows in display order.
struct ListModel {
    std::vector<ListColumn> columns;
    std::vector<ListRow> rows;

    /// Appends a column.
    void addColumn(std::string header, int width = 200) { columns.push_back({std::move(header), width}); }
    /// Appends a row and returns it for further filling.
    ListRow& addRow(int iconIndex, std::vector<std::string> cells, xml::Node node = {}) {
        rows.push_back({iconIndex, std::move(cells), {}, node});
        return rows.back();
    }
};

}  // namespace qx::lists
