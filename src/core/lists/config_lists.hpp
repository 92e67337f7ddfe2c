#pragma once
// What the configuration window shows: the three trees, the details list of a
// configuration node (mode 1) and of a rule-base node (mode 4), the comparison of one
// section across servers, the show/hide filter and the column sort orders.

#include "app/application.hpp"
#include "document/config_doc.hpp"
#include "lists/list_model.hpp"
#include "lists/tree_icons.hpp"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace qx::lists {

/// Number of show flags, one per list icon index below it.
inline constexpr int kShowFlagCount = 50;
using ShowFlags = std::array<bool, kShowFlagCount>;

/// All flags set except Remark: the state of a new configuration window.
ShowFlags defaultShowFlags();
/// Removes the rows whose icon index has its show flag cleared.
void applyShowFlags(ListModel& model, const ShowFlags& flags);

/// One item of a tree: text, tree icon index, the node it stands for, children.
struct TreeItem {
    std::string text;
    int icon = kOtherTreeIcon;
    xml::Node node;
    std::vector<TreeItem> children;
};

/// The Rules page's icon of a rule-base node: a product that is an update shows the update icon.
int ruleTreeIcon(xml::Node node);

/// Config page: root `label("config")`, then the listed sections of the configuration.
TreeItem buildConfigTree(const CQXConfigDoc2& doc, const Application& app);
/// Rules page: root `label("rules")`, then the rule base's containers and area lists.
TreeItem buildRulesTree(const xml::Document& rules, const Application& app);
/// Report page: root `label("reports")`, then the report tree's sections and filters.
TreeItem buildReportTree(const CQXConfigDoc2& doc, const Application& app);

/// Details list of a configuration node (list mode 1), unfiltered.
ListModel buildConfigList(xml::Node node, const Application& app);
/// Details list of a rule-base node (list mode 4) beside the configuration's values.
ListModel buildRuleList(xml::Node node, const CQXConfigDoc2& doc, const Application& app);

/// True when a Config-page node offers the comparison menu.
bool isComparableSection(std::string_view elementName);
/// Compare X: one row per item of the section, one column per document (`docs[0]` is
/// the window's own document).
ListModel buildCompareX(xml::Node section, const std::vector<const CQXConfigDoc2*>& docs,
                        const Application& app);
/// Compare Y: the same comparison turned round, one row per document.
ListModel buildCompareY(xml::Node section, const std::vector<const CQXConfigDoc2*>& docs,
                        const Application& app);

/// How a column sorts, chosen by its header.
enum class SortOrder { Date, NumberDescending, Text };
SortOrder sortOrderFor(std::string_view header, const Application& app);
/// Sorts the rows by one column (stable); out-of-range columns leave the order.
void sortRows(ListModel& model, int column, const Application& app);
/// Days since year 0 of a report date ("Mar 1, 2004", "Mar1,2004", "03.01.2004"); 0 if none.
long dateKey(std::string_view text);
/// The number a cell holds ("1,048,576 bytes" reads 1048576); 0 when none.
double numberKey(std::string_view text);

}  // namespace qx::lists
