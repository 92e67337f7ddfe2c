#pragma once
// What a details list shows, computed without any widget: columns, then rows that carry
// an icon index, their cell texts, the message keys attached to them and the node behind.

#include "lists/list_icons.hpp"
#include "xml/xml_document.hpp"

#include <string>
#include <vector>

namespace qx::lists {

/// One column: header text and width in pixels.
struct ListColumn {
    std::string header;
    int width = 200;
};

/// One row of a list.
struct ListRow {
    int icon = lists::icon::kInformation;
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
