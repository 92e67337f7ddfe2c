#include "ruleedit/rule_edit.hpp"

#include "ruleedit/module_scanner.hpp"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace qx::ruleedit {

namespace {

constexpr std::size_t kMaxMultiLineChars = 2000;

struct KindName {
    const char* element;
    TreeNodeKind kind;
};

constexpr KindName kKinds[] = {
    {"rules", TreeNodeKind::Rules},
    {"productgroup", TreeNodeKind::ProductGroup},
    {"product", TreeNodeKind::Product},
    {"update", TreeNodeKind::Product},
    {"requireds", TreeNodeKind::Requireds},
    {"dependencies", TreeNodeKind::Dependencies},
    {"informations", TreeNodeKind::Informations},
    {"serverparams", TreeNodeKind::ServerParams},
    {"setparams", TreeNodeKind::SetParams},
    {"lans", TreeNodeKind::Lans},
    {"devices", TreeNodeKind::Devices},
    {"volumes", TreeNodeKind::Volumes},
    {"boot-drives", TreeNodeKind::BootDrives},
    {"files", TreeNodeKind::Files},
    {"search-paths", TreeNodeKind::SearchPaths},
    {"modules", TreeNodeKind::Modules},
    {"products", TreeNodeKind::Products},
    {"file-groups", TreeNodeKind::FileGroups},
    {"partitions", TreeNodeKind::Partitions},
};

/// Text of at most `max` characters (UTF-8 code points), cut on a character boundary.
std::string limitChars(std::string_view s, std::size_t max) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80 && chars++ == max)
            return std::string(s.substr(0, i));
    }
    return std::string(s);
}

EditResult refused(std::string why) {
    EditResult r;
    r.reason = std::move(why);
    return r;
}

/// Attribute text typed by the user, made storable so the saved rule base loads again.
void setAttr(xml::Node n, std::string_view name, std::string_view value) {
    xml::setAttribute(n, name, xml::sanitize(value));
}

bool isContainer(xml::Node n) {
    std::string_view name = n.name();
    return name == "productgroup" || name == "product";
}

/// Writes a field: appended on Insert, replaced in place on Modify.
using FieldWriter = void (*)(xml::Node, std::string_view, std::string_view);

void appendField(xml::Node item, std::string_view name, std::string_view text) {
    addField(item, name, text);
}

/// Where a field's text comes from.
enum class Source {
    Name,
    Value,
    Comparison,
    Containment,
    Url,
    Description,
    ItemType,
    Version,
    VersionComparison,
    Date,
    DateComparison,
    Id,
    Pattern,
    Count,
    Server,
    Equals
};

struct FieldSpec {
    const char* field;
    Source source;
};

/// The fields of a rule item of each list, in the order Insert writes them.
const std::vector<FieldSpec>& fieldsOf(TreeNodeKind list) {
    using S = Source;
    static const std::vector<FieldSpec> kProperty = {
        {"name", S::Name}, {"value", S::Value}, {"condition", S::Comparison}};
    static const std::vector<FieldSpec> kContains = {
        {"name", S::Name}, {"value", S::Value}, {"condition", S::Containment}};
    static const std::vector<FieldSpec> kSetParam = {{"name", S::Name},
                                                     {"value", S::Value},
                                                     {"condition", S::Comparison},
                                                     {"url", S::Url},
                                                     {"description", S::Description},
                                                     {"type", S::ItemType}};
    static const std::vector<FieldSpec> kModule = {{"name", S::Name},
                                                   {"version", S::Version},
                                                   {"version_condition", S::VersionComparison},
                                                   {"date", S::Date},
                                                   {"date_condition", S::DateComparison}};
    static const std::vector<FieldSpec> kProductRule = {{"id", S::Id},
                                                        {"version", S::Version},
                                                        {"version_condition", S::VersionComparison},
                                                        {"condition", S::Equals}};
    static const std::vector<FieldSpec> kFileGroup = {
        {"pattern", S::Pattern}, {"count", S::Count}, {"condition", S::Comparison}};
    static const std::vector<FieldSpec> kPartition = {{"server", S::Server},           {"value", S::Value},
                                                      {"condition", S::Comparison},    {"url", S::Url},
                                                      {"description", S::Description}, {"type", S::ItemType}};
    static const std::vector<FieldSpec> kNone;
    switch (list) {
        case TreeNodeKind::ServerParams:
        case TreeNodeKind::Devices:
        case TreeNodeKind::Volumes:
        case TreeNodeKind::BootDrives:
        case TreeNodeKind::Lans:
            return kProperty;
        case TreeNodeKind::Files:
        case TreeNodeKind::SearchPaths:
            return kContains;
        case TreeNodeKind::SetParams:
            return kSetParam;
        case TreeNodeKind::Modules:
            return kModule;
        case TreeNodeKind::Products:
            return kProductRule;
        case TreeNodeKind::FileGroups:
            return kFileGroup;
        case TreeNodeKind::Partitions:
            return kPartition;
        default:
            return kNone;
    }
}

std::string fieldText(Source s, const RuleItemValues& v) {
    switch (s) {
        case Source::Name:
            return v.name;
        case Source::Value:
            return v.value;
        case Source::Comparison:
            return comparisonOperator(v.conditionChoice);
        case Source::Containment:
            return containmentOperator(v.conditionChoice);
        case Source::Url:
            return v.url;
        case Source::Description:
            return v.description;
        case Source::ItemType:
            return typeValue(v.typeChoice, 3);
        case Source::Version:
            return v.version;
        case Source::VersionComparison:
            return comparisonOperator(v.versionConditionChoice);
        case Source::Date:
            return v.date ? formatPickedDate(*v.date) : std::string();
        case Source::DateComparison:
            return comparisonOperator(v.dateConditionChoice);
        case Source::Id:
            return v.id;
        case Source::Pattern:
            return v.pattern;
        case Source::Count:
            return v.count;
        case Source::Server:
            return v.server;
        case Source::Equals:
            return "=";
    }
    return {};
}

void writeRuleFields(TreeNodeKind list, xml::Node item, const RuleItemValues& v, FieldWriter write) {
    for (const auto& f : fieldsOf(list)) write(item, f.field, fieldText(f.source, v));
}

const char* ruleItemElement(TreeNodeKind list) {
    switch (list) {
        case TreeNodeKind::ServerParams:
            return "serverparam";
        case TreeNodeKind::SetParams:
            return "set-param";
        case TreeNodeKind::Lans:
            return "lan";
        case TreeNodeKind::Devices:
            return "device";
        case TreeNodeKind::Volumes:
            return "volume";
        case TreeNodeKind::BootDrives:
            return "boot-drive";
        case TreeNodeKind::Files:
            return "file";
        case TreeNodeKind::SearchPaths:
            return "search-path";
        case TreeNodeKind::Modules:
            return "module";
        case TreeNodeKind::Products:
            return "product-rule";
        case TreeNodeKind::FileGroups:
            return "file-group";
        case TreeNodeKind::Partitions:
            return "partition";
        default:
            return nullptr;
    }
}

EditResult created(xml::Node node, bool inTree, std::string label = {}) {
    EditResult r;
    r.applied = true;
    r.created = node;
    r.inTree = inTree;
    r.treeLabel = std::move(label);
    return r;
}

EditResult insertUnderRules(xml::Node tree, const RuleItemValues& v) {
    xml::Node g = xml::appendElement(tree, "productgroup");
    setAttr(g, "name", v.name);
    setAttr(g, "version", v.version);
    setAttr(g, "description", v.description);
    setAttr(g, "kdn", v.kdn);
    // The type is offered here too; keeping it is what the user asked for.
    if (auto type = typeValue(v.typeChoice, 4); !type.empty()) setAttr(g, "type", type);
    return created(g, true, v.name + " " + v.version);
}

EditResult insertUnderGroup(Application& app, xml::Node tree, const RuleItemValues& v) {
    if (v.insertChoice < 0 || v.insertChoice > 2) return refused("choose productgroup, product or update");
    xml::Node n = xml::appendElement(tree, v.insertChoice == 0 ? "productgroup" : "product");
    if (auto type = typeValue(v.typeChoice, 4); !type.empty()) setAttr(n, "type", type);
    if (v.insertChoice > 0) {
        setAttr(n, "update", v.insertChoice == 2 ? "true" : "false");
        setAttr(n, "ID", std::to_string(takeProductId(app)));
    }
    setAttr(n, "name", v.name);
    setAttr(n, "description", v.description);
    setAttr(n, "kdn", v.kdn);
    return created(n, true, v.name);
}

EditResult insertAreaList(Application& app, TreeNodeKind kind, xml::Node tree, const RuleItemValues& v) {
    const AreaListChoice* choice = areaListChoice(kind, v.insertChoice);
    if (!choice) return refused("choose the kind of list to insert");
    xml::Node list = xml::appendElement(tree, choice->element);
    std::string label = app.label(choice->labelKey);
    setAttr(list, "name", label);
    return created(list, true, label);
}

}  // namespace

TreeNodeKind treeNodeKind(xml::Node node) {
    if (!node || node.type() != pugi::node_element) return TreeNodeKind::Unknown;
    for (const auto& k : kKinds) {
        if (std::strcmp(node.name(), k.element) == 0) return k.kind;
    }
    return TreeNodeKind::Unknown;
}

const std::vector<AreaListChoice>& areaListChoices() {
    static const std::vector<AreaListChoice> kChoices = {
        {1, "lans", "lans"},
        {2, "devices", "devices"},
        {3, "serverparams", "serverparams"},
        {4, "files", "files"},
        {5, "volumes", "volumes"},
        {6, "modules", "modules"},
        {7, "dependencies", "dependencies"},
        {8, "requireds", "requireds"},
        {9, "informations", "informations"},
        {10, "setparams", "setparams"},
        {11, "boot-drives", "boot-drives"},
        {12, "file-groups", "file-groups"},
        {13, "partitions", "partition"},
        {14, "products", "products"},
        {15, "search-paths", "searchpaths"},
    };
    return kChoices;
}

const AreaListChoice* areaListChoice(TreeNodeKind under, int number) {
    if (under != TreeNodeKind::Product && under != TreeNodeKind::Requireds) return nullptr;
    if (number == 7 && under != TreeNodeKind::Requireds) return nullptr;
    if (number == 8 && under != TreeNodeKind::Product) return nullptr;
    for (const auto& c : areaListChoices()) {
        if (c.number == number) return &c;
    }
    return nullptr;
}

std::string formatPickedDate(const PickedDate& d) {
    std::string month(monthAbbreviation(d.month));
    if (month.empty()) return {};
    char buf[32];
    std::snprintf(buf, sizeof buf, " %02d, %04d", d.day, d.year);
    return month + buf;
}

std::string comparisonOperator(int choice) {
    static constexpr const char* kOps[] = {"<", "<=", "=", ">", ">=", "!="};
    return (choice >= 1 && choice <= 6) ? kOps[choice - 1] : "";
}

std::string containmentOperator(int choice) {
    return choice == 1 ? "in" : choice == 2 ? "!in" : "";
}

std::string typeValue(int choice, int entries) {
    return (choice >= 1 && choice <= entries) ? std::to_string(choice) : std::string();
}

const void* nodeIdentity(xml::Node node) {
    return node.internal_object();
}

bool sameNode(xml::Node a, xml::Node b) {
    return a && nodeIdentity(a) == nodeIdentity(b);
}

xml::Node addField(xml::Node item, std::string_view name, std::string_view text) {
    return xml::appendElement(item, name, xml::sanitize(text));
}

void setField(xml::Node item, std::string_view name, std::string_view text) {
    bool found = false;
    for (xml::Node c : xml::childElements(item)) {
        if (name == c.name()) {
            xml::setText(c, xml::sanitize(text));
            found = true;
        }
    }
    if (!found) addField(item, name, text);
}

int takeProductId(Application& app) {
    // The counter is only set by an analysis run; before one, the rule base decides.
    long largest = 0;
    for (xml::Node p : xml::select(app.ruleBase().documentNode(), "product")) {
        std::string id = xml::attribute(p, "ID");
        char* end = nullptr;
        long v = std::strtol(id.c_str(), &end, 10);
        if (end != id.c_str() && v > largest && v < 1000000000) largest = v;
    }
    int id = std::max(app.nextProductNumber, static_cast<int>(largest) + 1);
    app.nextProductNumber = id + 1;
    return id;
}

EditResult insertItem(Application& app, xml::Node treeNode, const RuleItemValues& v) {
    TreeNodeKind kind = treeNodeKind(treeNode);
    switch (kind) {
        case TreeNodeKind::Unknown:
            return refused("nothing can be inserted here");
        case TreeNodeKind::Rules:
            return insertUnderRules(treeNode, v);
        case TreeNodeKind::ProductGroup:
            return insertUnderGroup(app, treeNode, v);
        case TreeNodeKind::Product:
        case TreeNodeKind::Requireds:
            return insertAreaList(app, kind, treeNode, v);
        case TreeNodeKind::Dependencies:
            if (v.productId.empty()) return refused("choose a product");
            return created(addField(treeNode, "depend", v.productId), false);
        case TreeNodeKind::Informations:
            return created(addField(treeNode, "information", limitChars(v.text, kMaxMultiLineChars)), false);
        default: {
            xml::Node item = xml::appendElement(treeNode, ruleItemElement(kind));
            writeRuleFields(kind, item, v, appendField);
            return created(item, false);
        }
    }
}

EditResult modifyItem(Application& /*app*/, xml::Node treeNode, xml::Node item, const RuleItemValues& v) {
    TreeNodeKind kind = treeNodeKind(treeNode);
    if (kind == TreeNodeKind::Unknown || !item || !sameNode(item.parent(), treeNode)) {
        return refused("select a row to modify");
    }
    EditResult r;
    r.applied = true;
    r.changed = item;
    if (isContainer(item)) {
        setAttr(item, "name", v.name);
        if (kind == TreeNodeKind::Rules) setAttr(item, "version", v.version);
        setAttr(item, "description", v.description);
        setAttr(item, "type", typeValue(v.typeChoice, 4));
        setAttr(item, "kdn", v.kdn);
        r.inTree = true;
        r.treeLabel = kind == TreeNodeKind::Rules ? v.name + " " + v.version : v.name;
        return r;
    }
    switch (kind) {
        case TreeNodeKind::Informations:
            xml::setText(item, xml::sanitize(limitChars(v.text, kMaxMultiLineChars)));
            return r;
        case TreeNodeKind::Dependencies:
            if (v.productId.empty()) return refused("choose a product");
            xml::setText(item, xml::sanitize(v.productId));
            return r;
        default:
            if (!ruleItemElement(kind)) return refused("this row cannot be modified");
            writeRuleFields(kind, item, v, setField);
            return r;
    }
}

EditResult deleteItem(xml::Node treeNode, xml::Node item) {
    TreeNodeKind kind = treeNodeKind(treeNode);
    if (kind == TreeNodeKind::Unknown || !item || !sameNode(item.parent(), treeNode)) {
        return refused("select a row to delete");
    }
    EditResult r;
    r.applied = true;
    r.parent = treeNode;
    r.removedIdentity = nodeIdentity(item);
    r.inTree = isContainer(item) || treeNodeKind(item) != TreeNodeKind::Unknown;
    treeNode.remove_child(item);
    return r;
}

}  // namespace qx::ruleedit
