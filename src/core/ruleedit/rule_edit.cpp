#include "ruleedit/rule_edit.hpp"

#include "analysis/date_reader.hpp"
#include "analysis/rule_base.hpp"
#include "ruleedit/module_scanner.hpp"
#include "util/text.hpp"
#include "xml/fields.hpp"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace qx::ruleedit {

namespace {

using analysis::FieldInput;
using analysis::RuleKind;
using analysis::RuleKindInfo;

EditResult refused(std::string why) {
    EditResult r;
    r.reason = std::move(why);
    return r;
}

/// Attribute text typed by the user, made storable so the saved rule base loads again.
void setAttr(xml::Node n, std::string_view name, std::string_view value) {
    xml::setAttribute(n, name, xml::sanitize(value));
}

/// Writes a field: appended on Insert, replaced in place on Modify.
using FieldWriter = void (*)(xml::Node, std::string_view, std::string_view);

void appendField(xml::Node item, std::string_view name, std::string_view text) {
    xml::addField(item, name, text);
}

// Where the editor's properties keep the texts and choices of rule item fields, by field.
struct TextProperty {
    std::string_view field;
    std::string RuleItemValues::*text;
};
constexpr TextProperty kTextProperties[] = {
    {"name", &RuleItemValues::name},       {"value", &RuleItemValues::value},
    {"url", &RuleItemValues::url},         {"description", &RuleItemValues::description},
    {"version", &RuleItemValues::version}, {"id", &RuleItemValues::id},
    {"pattern", &RuleItemValues::pattern}, {"count", &RuleItemValues::count},
    {"server", &RuleItemValues::server},
};
struct ChoiceProperty {
    std::string_view field;
    int RuleItemValues::*choice;
};
constexpr ChoiceProperty kChoiceProperties[] = {
    {"condition", &RuleItemValues::conditionChoice},
    {"version_condition", &RuleItemValues::versionConditionChoice},
    {"date_condition", &RuleItemValues::dateConditionChoice},
};

template <typename Table>
auto propertyOf(const Table& table, std::string_view field) -> decltype(&table[0]) {
    for (const auto& p : table) {
        if (p.field == field) return &p;
    }
    return nullptr;
}

int choiceOf(const analysis::RuleField& f, const RuleItemValues& v) {
    const auto* p = propertyOf(kChoiceProperties, f.name);
    return p ? v.*(p->choice) : 0;
}

std::string fieldText(const analysis::RuleField& f, const RuleItemValues& v) {
    switch (f.input) {
        case FieldInput::Text: {
            const auto* p = propertyOf(kTextProperties, f.name);
            return p ? v.*(p->text) : std::string();
        }
        case FieldInput::Comparison:
            return comparisonOperator(choiceOf(f, v));
        case FieldInput::Containment:
            return containmentOperator(choiceOf(f, v));
        case FieldInput::Equals:
            return "=";
        case FieldInput::ItemType:
            return typeValue(v.typeChoice, 3);
        case FieldInput::Date:
            return v.date ? formatPickedDate(*v.date) : std::string();
    }
    return {};
}

void writeRuleFields(const RuleKindInfo& kind, xml::Node item, const RuleItemValues& v, FieldWriter write) {
    for (const auto& f : kind.fields) write(item, f.name, fieldText(f, v));
}

// The calendar date of a day counted from 1 January 1900.
PickedDate calendarDate(std::int64_t days1900) {
    // Civil date from days since 1 March 0000 (the era arithmetic of the proleptic calendar).
    const std::int64_t z = days1900 - 25567 + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const auto day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const auto month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const auto year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
    return {year, month, day};
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

EditResult insertAreaList(Application& app, xml::Node tree, const RuleItemValues& v) {
    const AreaListChoice* choice = areaListChoice(tree, v.insertChoice);
    if (!choice) return refused("choose the kind of list to insert");
    xml::Node list = xml::appendElement(tree, choice->element);
    std::string label = app.label(std::string(choice->labelKey));
    setAttr(list, "name", label);
    return created(list, true, label);
}

}  // namespace

TreeNodeKind treeNodeKind(xml::Node node) {
    if (!node || node.type() != pugi::node_element) return TreeNodeKind::Unknown;
    const std::string_view name = node.name();
    if (name == "rules") return TreeNodeKind::Rules;
    if (name == "productgroup") return TreeNodeKind::ProductGroup;
    if (name == "product" || name == "update") return TreeNodeKind::Product;
    return analysis::kindOfList(name) ? TreeNodeKind::AreaList : TreeNodeKind::Unknown;
}

const analysis::RuleKindInfo* listKind(xml::Node node) {
    if (!node || node.type() != pugi::node_element) return nullptr;
    return analysis::kindOfList(node.name());
}

const std::vector<AreaListChoice>& areaListChoices() {
    static const std::vector<AreaListChoice> kChoices = [] {
        std::vector<AreaListChoice> out;
        for (const auto& k : analysis::kRuleKinds) out.push_back({k.insertChoice, k.list, k.labelKey});
        std::sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.number < b.number; });
        return out;
    }();
    return kChoices;
}

const AreaListChoice* areaListChoice(xml::Node under, int number) {
    const analysis::RuleKindInfo* list = listKind(under);
    const bool inRequireds = list && list->kind == RuleKind::Requireds;
    if (!inRequireds && treeNodeKind(under) != TreeNodeKind::Product) return nullptr;
    // Dependencies belong in `requireds`; a `requireds` holds no second one.
    const analysis::RuleKindInfo* chosen = analysis::kindOfChoice(number);
    if (!chosen) return nullptr;
    if (chosen->kind == RuleKind::Depend && !inRequireds) return nullptr;
    if (chosen->kind == RuleKind::Requireds && inRequireds) return nullptr;
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
    const auto& ops = analysis::kComparisonOperators;
    return (choice >= 1 && choice <= static_cast<int>(ops.size())) ? std::string(ops[choice - 1])
                                                                   : std::string();
}

std::string containmentOperator(int choice) {
    const auto& ops = analysis::kContainmentOperators;
    return (choice >= 1 && choice <= static_cast<int>(ops.size())) ? std::string(ops[choice - 1])
                                                                   : std::string();
}

int operatorChoice(analysis::FieldInput input, std::string_view op) {
    auto find = [&](const auto& ops) {
        for (std::size_t i = 0; i < ops.size(); ++i) {
            if (ops[i] == op) return static_cast<int>(i) + 1;
        }
        return 0;
    };
    if (input == FieldInput::Comparison) return find(analysis::kComparisonOperators);
    if (input == FieldInput::Containment) return find(analysis::kContainmentOperators);
    return 0;
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

RuleItemValues readRuleItem(const analysis::RuleKindInfo& kind, xml::Node item) {
    RuleItemValues v;
    for (const auto& f : kind.fields) {
        const std::string text = xml::field(item, f.name);
        switch (f.input) {
            case FieldInput::Text:
                if (const auto* p = propertyOf(kTextProperties, f.name)) v.*(p->text) = text;
                break;
            case FieldInput::Comparison:
            case FieldInput::Containment:
                if (const auto* p = propertyOf(kChoiceProperties, f.name))
                    v.*(p->choice) = operatorChoice(f.input, text);
                break;
            case FieldInput::ItemType: {
                const auto n = static_cast<int>(text::leadingInteger(text));
                v.typeChoice = typeValue(n, 3) == text ? n : 0;
                break;
            }
            case FieldInput::Date:
                if (!text::trimBlanks(text).empty()) {
                    if (auto seconds = analysis::readUsDate(text)) v.date = calendarDate(*seconds / 86400);
                }
                break;
            case FieldInput::Equals:
                break;
        }
    }
    return v;
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
    switch (treeNodeKind(treeNode)) {
        case TreeNodeKind::Unknown:
            return refused("nothing can be inserted here");
        case TreeNodeKind::Rules:
            return insertUnderRules(treeNode, v);
        case TreeNodeKind::ProductGroup:
            return insertUnderGroup(app, treeNode, v);
        case TreeNodeKind::Product:
            return insertAreaList(app, treeNode, v);
        case TreeNodeKind::AreaList:
            break;
    }
    const RuleKindInfo& list = *listKind(treeNode);
    switch (list.kind) {
        case RuleKind::Requireds:
            return insertAreaList(app, treeNode, v);
        case RuleKind::Depend:
            if (v.productId.empty()) return refused("choose a product");
            return created(xml::addField(treeNode, list.item, v.productId), false);
        case RuleKind::Information:
            return created(xml::addField(treeNode, list.item, text::cutUtf8(v.text, kMaxTextChars)), false);
        default: {
            xml::Node item = xml::appendElement(treeNode, list.item);
            writeRuleFields(list, item, v, appendField);
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
    if (analysis::isContainer(item)) {
        setAttr(item, "name", v.name);
        if (kind == TreeNodeKind::Rules) setAttr(item, "version", v.version);
        setAttr(item, "description", v.description);
        setAttr(item, "type", typeValue(v.typeChoice, 4));
        setAttr(item, "kdn", v.kdn);
        r.inTree = true;
        r.treeLabel = kind == TreeNodeKind::Rules ? v.name + " " + v.version : v.name;
        return r;
    }
    const RuleKindInfo* list = listKind(treeNode);
    switch (list ? list->kind : RuleKind::Requireds) {
        case RuleKind::Information:
            xml::setText(item, xml::sanitize(text::cutUtf8(v.text, kMaxTextChars)));
            return r;
        case RuleKind::Depend:
            if (v.productId.empty()) return refused("choose a product");
            xml::setText(item, xml::sanitize(v.productId));
            return r;
        case RuleKind::Requireds:
            return refused("this row cannot be modified");
        default:
            writeRuleFields(*list, item, v, xml::setField);
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
    r.inTree = analysis::isContainer(item) || treeNodeKind(item) != TreeNodeKind::Unknown;
    treeNode.remove_child(item);
    return r;
}

}  // namespace qx::ruleedit
