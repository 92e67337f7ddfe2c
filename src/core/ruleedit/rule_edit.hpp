#pragma once
// Rule edit operations behind the rule item editor: Insert, Modify and Delete on the rule
// base held in memory, by the kind of the selected rules-tree node. The dialog hands in the
// property values; the result says what was created, changed or removed so that every open
// rules tree can follow. Nothing is written to disk here.

#include "analysis/rule_kinds.hpp"
#include "app/application.hpp"
#include "document/config_doc.hpp"
#include "xml/xml_document.hpp"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qx::ruleedit {

/// What the editor distinguishes by the tree node's element name. Area lists (`requireds`
/// among them) are told apart by their row of the rule-kind table (listKind).
enum class TreeNodeKind { Unknown, Rules, ProductGroup, Product, AreaList };

/// The kind of a rules-tree node (`update` counts as a product).
TreeNodeKind treeNodeKind(xml::Node node);
/// The rule kind of an area-list node; nothing for any other node.
const analysis::RuleKindInfo* listKind(xml::Node node);

/// Texts the editor takes from a multi-line field or the "Select" chooser are cut to this
/// many characters.
inline constexpr std::size_t kMaxTextChars = 2000;

/// An area list the editor can insert under a product, an update or `requireds`.
struct AreaListChoice {
    int number;
    std::string_view element;
    std::string_view labelKey;
};
/// The fifteen choices in their numbering (7 only under `requireds`, 8 only elsewhere).
const std::vector<AreaListChoice>& areaListChoices();
/// The choice with this number, when it is offered under this tree node.
const AreaListChoice* areaListChoice(xml::Node under, int number);

/// A date picked in the editor (calendar values).
struct PickedDate {
    int year = 0, month = 0, day = 0;
};
/// The editor's date text, "%b %d, %Y": Jan 12, 2004.
std::string formatPickedDate(const PickedDate& d);

/// Comparison choice 1..6 ("<", "<=", "=", ">", ">=", "!="); empty for no choice.
std::string comparisonOperator(int choice);
/// Containment choice 1..2 ("in", "!in"); empty for no choice.
std::string containmentOperator(int choice);
/// The choice number of an operator in its list (1-based); 0 when it is not in it.
int operatorChoice(analysis::FieldInput input, std::string_view op);
/// Container or item type choice 1..4 as stored ("1".."4"); empty for no choice.
std::string typeValue(int choice, int entries);

/// The property values of the editor, as the user left them.
struct RuleItemValues {
    /// Insert choice: under a product group 0 productgroup, 1 product, 2 update;
    /// under a product, update or `requireds` the area-list number; -1 none.
    int insertChoice = -1;
    std::string name, version, description, kdn;
    int typeChoice = 0;  // container type 1..4 or SET item type 1..3; 0 none
    std::string value;
    int conditionChoice = 0;  // comparison 1..6, or containment 1..2 for files/search paths
    int versionConditionChoice = 0;
    int dateConditionChoice = 0;
    std::optional<PickedDate> date;
    std::string url;
    std::string id;         // product rule
    std::string pattern;    // file group
    std::string count;      // file group
    std::string server;     // partition
    std::string text;       // informations (multi-line field)
    std::string productId;  // dependencies: the chosen product's ID
};

/// What an edit did, for the windows that show the rule base.
struct EditResult {
    bool applied = false;
    /// Why nothing changed (the dialog stays open).
    std::string reason;
    /// The new node (Insert); rules trees add an item for it when `inTree`.
    xml::Node created;
    /// The changed node (Modify); rules trees relabel its items when `inTree`.
    xml::Node changed;
    /// The parent of the removed node, and the removed node's identity (Delete).
    xml::Node parent;
    const void* removedIdentity = nullptr;
    /// True when the node is a container or area list, i.e. shown in rules trees.
    bool inTree = false;
    /// The tree label of a created or changed container or list.
    std::string treeLabel;
};

/// Identity of a DOM node, equal for two references to the same node.
const void* nodeIdentity(xml::Node node);
/// True when both references denote the same node.
bool sameNode(xml::Node a, xml::Node b);

/// The property values of a rule item as it stands, for Modify: its fields by the kind's
/// field list (operators as choice numbers, the date as picked when it reads as one).
RuleItemValues readRuleItem(const analysis::RuleKindInfo& kind, xml::Node item);

/// Takes the next product identifier and advances the counter; never one that a product of
/// the rule base already carries.
int takeProductId(Application& app);

/// Insert under the tree node.
EditResult insertItem(Application& app, xml::Node treeNode, const RuleItemValues& v);
/// Modify the selected row `item` of the tree node.
EditResult modifyItem(Application& app, xml::Node treeNode, xml::Node item, const RuleItemValues& v);
/// Delete the selected row `item` (with its subtree) from the tree node.
EditResult deleteItem(xml::Node treeNode, xml::Node item);

/// Outcome of a rule against one configuration item (the analysis's `evaluateRule`).
using RuleEvaluator = std::function<int(xml::Node rule, xml::Node configItem)>;

/// One property of the "values" or "compare" categories.
struct RuleMatch {
    std::string label;  // owner name (device, volume, LAN) or item name; document title in "compare"
    std::string value;  // configuration value (version and date; count)
    int outcome = 0;    // the mark
    xml::Node node;     // the configuration item
};

/// Configuration items a rule of this kind is about, in document order per selection.
std::vector<xml::Node> matchingConfigItems(const CQXConfigDoc2& doc, const analysis::RuleKindInfo& kind,
                                           xml::Node rule);
/// The "values" category: matches in this window's configuration.
std::vector<RuleMatch> ruleValues(const CQXConfigDoc2& doc, const analysis::RuleKindInfo& kind,
                                  xml::Node rule, const RuleEvaluator& evaluate);
/// The "compare" category: matches in every other open document, labelled by its title.
std::vector<RuleMatch> ruleCompare(const std::vector<const CQXConfigDoc2*>& others,
                                   const analysis::RuleKindInfo& kind, xml::Node rule,
                                   const RuleEvaluator& evaluate);

/// One entry of the "Select" chooser.
struct SelectChoice {
    std::string group;   // the SET parameter category, where the kind groups by one
    std::string text;    // what becomes the rule's naming field
    std::string detail;  // the item's value beside it
};
/// What "Select" offers for a rule of this kind in a configuration: the keys of the kind's
/// configuration items, each once, in document order. Empty when the kind offers none.
std::vector<SelectChoice> selectChoices(const CQXConfigDoc2& doc, const analysis::RuleKindInfo& kind);

}  // namespace qx::ruleedit
