#pragma once
// What each kind of rule item means, in one table: where it stands in the rule base, how the
// rule editor inserts it, which configuration items it is about and how the analysis judges
// it. The analysis, the rule edit operations, the editor's "values" and "Select", and the
// Rules page all take these facts from here.
//
// Adding a kind:
//  1. an enumerator in RuleKind and a row in kRuleKinds (with a field list in `kinds` when
//     no existing one fits; `insertChoice` is the next free number). The analysis, the rule
//     edit operations, the editor's "values", "compare" and "Select", `rules check` and the
//     Rules page (layout Fields unless one below fits) all take it from there;
//  2. the labels of its list and of its fields in menu.xml (rule_kinds_test checks them).
// Only what is really new goes elsewhere: a Comparison or a RulesLayout of its own
// (evaluate_rule.cpp, config_lists.cpp; the switches there name every value), a finding
// kind when the property check judges it (FindingKind; kFindingKinds in findings.hpp orders
// the Report page's summary), and a picture of its own (list_icons.hpp).

#include <array>
#include <optional>
#include <span>
#include <string_view>

namespace qx::analysis {

/// What was judged: the kinds of finding the analysis records.
enum class FindingKind { Module, SetParameter, ServerParameter, Lan, Device, Volume, Product };

/// The kinds of rule item, and `requireds`, the area list that holds area lists.
enum class RuleKind {
    ServerParameter,
    SetParameter,
    Lan,
    Device,
    Volume,
    BootDrive,
    File,
    SearchPath,
    Module,
    ProductRule,
    FileGroup,
    Partition,
    Information,
    Depend,
    Requireds,
};

/// How the editor takes a field's text, and so which operators the field offers.
enum class FieldInput {
    Text,
    Comparison,   // one of kComparisonOperators, chosen by number 1..6
    Containment,  // "in" or "!in", chosen by number 1..2
    Equals,       // always "="
    ItemType,     // "1".."3", the requirement of a SET parameter
    Date,         // a picked date, written "%b %d, %Y"
};

/// The operators of comparison fields, in the order of their choice numbers.
inline constexpr std::array<std::string_view, 6> kComparisonOperators = {"<", "<=", "=", ">", ">=", "!="};
/// The operators of containment fields ("contain", "not contain").
inline constexpr std::array<std::string_view, 2> kContainmentOperators = {"in", "!in"};

/// A field of a rule item: the child element, how it is entered, the localisation key of
/// its property in the editor (empty: the field's name).
struct RuleField {
    std::string_view name;
    FieldInput input = FieldInput::Text;
    std::string_view labelKey = {};
};

/// Configuration items of a kind: `element`s (below a `parent` of that name, or anywhere
/// when empty) keyed by the text of their `key` child, or of an attribute written "@name".
struct ItemSelection {
    std::string_view parent;
    std::string_view element;
    std::string_view key;
};

/// How evaluateRule compares a rule item with a configuration item.
enum class Comparison {
    None,             // not a condition: never judged (notes, dependencies)
    Text,             // byte-wise texts
    ServerParameter,  // numbers after the parameter normalisation, texts when both read 0
    SetParameter,     // numbers after the parameter normalisation
    WholeNumber,      // whole numbers, "MBytes" removed
    ModuleVersion,    // module version, then build date
    ProductVersion,   // product identifier, then version
    LineTest,         // "in"/"!in" over the lines of a file or the search paths
};

/// What the editor's "Select" offers for the rule's naming field.
enum class Chooser {
    None,
    Keys,            // the keys of the kind's configuration items
    KeysByCategory,  // the same, grouped by the `name` of the items' parent
};

/// How the Rules page shows a list of the kind.
enum class RulesLayout {
    Fields,        // the fields, as Insert writes them
    NamedValue,    // name, the configuration's value, the condition, the finding's mark
    SetParameter,  // the same with the SET parameter's link, description and type
    Module,        // name, version and date of the loaded module with the conditions
    ProductRule,   // the product and its installed version
    FileGroup,     // pattern, the configuration's count, the condition
    Lines,         // the line that decides an "in"/"!in" rule
    ProductNames,  // the products the items name (other texts as they stand)
    AreaLists,     // the area lists it holds
};

/// One row of the table. A kind the analysis never judges leaves everything from `fields` on
/// empty.
struct RuleKindInfo {
    RuleKind kind;
    std::string_view item = {};              // element of the rule item ("set-param"); empty for `requireds`
    std::string_view list;                   // the area list that holds it ("setparams")
    int insertChoice;                        // number of the editor's insert choice of the list
    std::string_view labelKey;               // localisation key of that choice and of the list's name
    std::span<const RuleField> fields = {};  // in the order Insert writes them
    std::string_view naming = {};            // the field compared with the items' key
    std::span<const ItemSelection> items = {};     // the first is what a requirement looks up
    std::span<const std::string_view> shown = {};  // item fields that make an item's value
    Comparison comparison = Comparison::None;
    Chooser chooser = Chooser::None;
    std::optional<FindingKind> finding = {};  // the records its pass writes
    bool propertyCheck = false;               // judged by the property check, in table order
    RulesLayout layout = RulesLayout::Fields;
};

namespace kinds {

inline constexpr RuleField kNamedValue[] = {{"name"}, {"value"}, {"condition", FieldInput::Comparison}};
inline constexpr RuleField kContained[] = {{"name"}, {"value"}, {"condition", FieldInput::Containment}};
inline constexpr RuleField kSetParameter[] = {{"name"},
                                              {"value"},
                                              {"condition", FieldInput::Comparison},
                                              {"url", FieldInput::Text, "kdn"},
                                              {"description"},
                                              {"type", FieldInput::ItemType}};
inline constexpr RuleField kModule[] = {{"name"},
                                        {"version"},
                                        {"version_condition", FieldInput::Comparison},
                                        {"date", FieldInput::Date},
                                        {"date_condition", FieldInput::Comparison}};
inline constexpr RuleField kProductRule[] = {
    {"id"}, {"version"}, {"version_condition", FieldInput::Comparison}, {"condition", FieldInput::Equals}};
inline constexpr RuleField kFileGroup[] = {{"pattern"}, {"count"}, {"condition", FieldInput::Comparison}};
inline constexpr RuleField kPartition[] = {{"server"}, {"value"},       {"condition", FieldInput::Comparison},
                                           {"url"},    {"description"}, {"type", FieldInput::ItemType}};

inline constexpr ItemSelection kServerParameters[] = {{"", "serverparam", "name"}};
inline constexpr ItemSelection kSetParameters[] = {{"", "set-param", "name"}};
inline constexpr ItemSelection kLanProperties[] = {{"lan", "property", "name"}};
inline constexpr ItemSelection kDeviceProperties[] = {{"device", "property", "name"}};
inline constexpr ItemSelection kVolumeProperties[] = {{"volume", "property", "name"}};
inline constexpr ItemSelection kBootDriveProperties[] = {{"boot-drive", "property", "name"}};
inline constexpr ItemSelection kFiles[] = {{"", "file", "@name"}};
inline constexpr ItemSelection kSearchPaths[] = {{"", "search-path", "name"}};
// A product is present by its loaded modules; a module file on a search path does not
// count for a requirement, but the module check and the editor show both.
inline constexpr ItemSelection kModules[] = {{"loaded-modules", "module", "name"},
                                             {"search-path-modules", "module", "name"}};
inline constexpr ItemSelection kProducts[] = {{"", "product", "id"}};
inline constexpr ItemSelection kFileGroups[] = {{"", "file-group", "pattern"}};
inline constexpr ItemSelection kPartitions[] = {{"", "partition", "name"}};

inline constexpr std::string_view kValue[] = {"value"};
inline constexpr std::string_view kLines[] = {"line"};
inline constexpr std::string_view kVersionAndDate[] = {"version", "date"};
inline constexpr std::string_view kVersion[] = {"version"};
inline constexpr std::string_view kCount[] = {"count"};
inline constexpr std::string_view kState[] = {"state"};

}  // namespace kinds

/// The table. The property check judges its kinds in this order.
inline constexpr std::array<RuleKindInfo, 15> kRuleKinds = {{
    {.kind = RuleKind::ServerParameter,
     .item = "serverparam",
     .list = "serverparams",
     .insertChoice = 3,
     .labelKey = "serverparams",
     .fields = kinds::kNamedValue,
     .naming = "name",
     .items = kinds::kServerParameters,
     .shown = kinds::kValue,
     .comparison = Comparison::ServerParameter,
     .chooser = Chooser::Keys,
     .finding = FindingKind::ServerParameter,
     .propertyCheck = true,
     .layout = RulesLayout::NamedValue},
    {.kind = RuleKind::SetParameter,
     .item = "set-param",
     .list = "setparams",
     .insertChoice = 10,
     .labelKey = "setparams",
     .fields = kinds::kSetParameter,
     .naming = "name",
     .items = kinds::kSetParameters,
     .shown = kinds::kValue,
     .comparison = Comparison::SetParameter,
     .chooser = Chooser::KeysByCategory,
     .finding = FindingKind::SetParameter,
     .propertyCheck = true,
     .layout = RulesLayout::SetParameter},
    {.kind = RuleKind::Lan,
     .item = "lan",
     .list = "lans",
     .insertChoice = 1,
     .labelKey = "lans",
     .fields = kinds::kNamedValue,
     .naming = "name",
     .items = kinds::kLanProperties,
     .shown = kinds::kValue,
     .comparison = Comparison::Text,
     .chooser = Chooser::Keys,
     .finding = FindingKind::Lan,
     .propertyCheck = true,
     .layout = RulesLayout::NamedValue},
    {.kind = RuleKind::Device,
     .item = "device",
     .list = "devices",
     .insertChoice = 2,
     .labelKey = "devices",
     .fields = kinds::kNamedValue,
     .naming = "name",
     .items = kinds::kDeviceProperties,
     .shown = kinds::kValue,
     .comparison = Comparison::Text,
     .chooser = Chooser::Keys,
     .finding = FindingKind::Device,
     .propertyCheck = true,
     .layout = RulesLayout::NamedValue},
    {.kind = RuleKind::Volume,
     .item = "volume",
     .list = "volumes",
     .insertChoice = 5,
     .labelKey = "volumes",
     .fields = kinds::kNamedValue,
     .naming = "name",
     .items = kinds::kVolumeProperties,
     .shown = kinds::kValue,
     .comparison = Comparison::WholeNumber,
     .chooser = Chooser::Keys,
     .finding = FindingKind::Volume,
     .propertyCheck = true,
     .layout = RulesLayout::NamedValue},
    {.kind = RuleKind::BootDrive,
     .item = "boot-drive",
     .list = "boot-drives",
     .insertChoice = 11,
     .labelKey = "boot-drives",
     .fields = kinds::kNamedValue,
     .naming = "name",
     .items = kinds::kBootDriveProperties,
     .shown = kinds::kValue,
     .comparison = Comparison::Text,
     .chooser = Chooser::Keys,
     .layout = RulesLayout::NamedValue},
    {.kind = RuleKind::File,
     .item = "file",
     .list = "files",
     .insertChoice = 4,
     .labelKey = "files",
     .fields = kinds::kContained,
     .naming = "name",
     .items = kinds::kFiles,
     .shown = kinds::kLines,
     .comparison = Comparison::LineTest,
     .chooser = Chooser::Keys,
     .layout = RulesLayout::Lines},
    {.kind = RuleKind::SearchPath,
     .item = "search-path",
     .list = "search-paths",
     .insertChoice = 15,
     .labelKey = "searchpaths",
     .fields = kinds::kContained,
     .naming = "name",
     .items = kinds::kSearchPaths,
     .shown = kinds::kValue,
     .comparison = Comparison::LineTest,
     .chooser = Chooser::Keys,
     .layout = RulesLayout::Lines},
    {.kind = RuleKind::Module,
     .item = "module",
     .list = "modules",
     .insertChoice = 6,
     .labelKey = "modules",
     .fields = kinds::kModule,
     .naming = "name",
     .items = kinds::kModules,
     .shown = kinds::kVersionAndDate,
     .comparison = Comparison::ModuleVersion,
     .chooser = Chooser::Keys,
     .finding = FindingKind::Module,
     .layout = RulesLayout::Module},
    {.kind = RuleKind::ProductRule,
     .item = "product-rule",
     .list = "products",
     .insertChoice = 14,
     .labelKey = "products",
     .fields = kinds::kProductRule,
     .naming = "id",
     .items = kinds::kProducts,
     .shown = kinds::kVersion,
     .comparison = Comparison::ProductVersion,
     .chooser = Chooser::Keys,
     .layout = RulesLayout::ProductRule},
    {.kind = RuleKind::FileGroup,
     .item = "file-group",
     .list = "file-groups",
     .insertChoice = 12,
     .labelKey = "file-groups",
     .fields = kinds::kFileGroup,
     .naming = "pattern",
     .items = kinds::kFileGroups,
     .shown = kinds::kCount,
     .comparison = Comparison::Text,
     .chooser = Chooser::Keys,
     .layout = RulesLayout::FileGroup},
    // The editor writes `server`; a requirement looks partitions up by `name`, and "Select" offers none.
    {.kind = RuleKind::Partition,
     .item = "partition",
     .list = "partitions",
     .insertChoice = 13,
     .labelKey = "partition",
     .fields = kinds::kPartition,
     .naming = "name",
     .items = kinds::kPartitions,
     .shown = kinds::kState,
     .comparison = Comparison::Text},
    // A note: the item's own text.
    {.kind = RuleKind::Information,
     .item = "information",
     .list = "informations",
     .insertChoice = 9,
     .labelKey = "informations",
     .layout = RulesLayout::ProductNames},
    // The item's text is the `ID` of the product depended on.
    {.kind = RuleKind::Depend,
     .item = "depend",
     .list = "dependencies",
     .insertChoice = 7,
     .labelKey = "dependencies",
     .layout = RulesLayout::ProductNames},
    // Holds area lists; its items are theirs.
    {.kind = RuleKind::Requireds,
     .list = "requireds",
     .insertChoice = 8,
     .labelKey = "requireds",
     .layout = RulesLayout::AreaLists},
}};

/// The row of a kind.
constexpr const RuleKindInfo& info(RuleKind kind) {
    for (const auto& k : kRuleKinds) {
        if (k.kind == kind) return k;
    }
    return kRuleKinds.front();
}
/// The row of a rule item's element name; nothing for an unknown one.
constexpr const RuleKindInfo* kindOfItem(std::string_view element) {
    for (const auto& k : kRuleKinds) {
        if (!k.item.empty() && k.item == element) return &k;
    }
    return nullptr;
}
/// The row of an area list's element name; nothing for an unknown one.
constexpr const RuleKindInfo* kindOfList(std::string_view list) {
    for (const auto& k : kRuleKinds) {
        if (k.list == list) return &k;
    }
    return nullptr;
}
/// The row of an insert choice number; nothing for an unknown one.
constexpr const RuleKindInfo* kindOfChoice(int number) {
    for (const auto& k : kRuleKinds) {
        if (k.insertChoice == number) return &k;
    }
    return nullptr;
}
/// True for the element names of rule items.
constexpr bool isRuleItem(std::string_view element) {
    return kindOfItem(element) != nullptr;
}

/// A kind's names: the `type` its records carry and the localisation key of its list.
struct FindingKindNames {
    FindingKind kind;
    std::string_view type;  // "set-param"
    std::string_view list;  // "setparams"
};
/// The names of a finding kind: those of the rule kind that yields it; product findings
/// are the product check's verdicts on `product` containers.
constexpr FindingKindNames namesOf(FindingKind kind) {
    if (kind == FindingKind::Product) return {kind, "product", "products"};
    for (const auto& k : kRuleKinds) {
        if (k.finding == kind) return {kind, k.item, k.list};
    }
    return {kind, {}, {}};
}

}  // namespace qx::analysis
