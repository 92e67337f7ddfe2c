#include "lists/config_lists.hpp"

#include "analysis/product_check.hpp"
#include "analysis/rule_base.hpp"
#include "analysis/rule_kinds.hpp"
#include "util/text.hpp"
#include "xml/fields.hpp"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <set>
#include <unordered_map>

namespace qx::lists {
namespace {

using xml::Node;

bool isElement(Node n) {
    return n.type() == pugi::node_element;
}
std::string nameOf(Node n) {
    return n.name();
}

std::string trimRight(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

std::string trim(std::string s) {
    s = trimRight(std::move(s));
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    return s.substr(i);
}

using xml::field;

bool isAdminVolume(Node n) {
    if (nameOf(n) != "volume") return false;
    const std::string v = xml::attribute(n, "name");
    return v == "KFS_ADMIN" || v == "_ADMIN";
}

bool inList(std::string_view name, std::initializer_list<std::string_view> list) {
    return std::find(list.begin(), list.end(), name) != list.end();
}

// ---- trees ----------------------------------------------------------------------------

const std::initializer_list<std::string_view> kConfigTreeNames = {"serverparams",
                                                                  "setparams",
                                                                  "set-category",
                                                                  "bios-info",
                                                                  "bios-structure",
                                                                  "loaded-modules",
                                                                  "loaded-patches",
                                                                  "search-path-modules",
                                                                  "search-paths",
                                                                  "boot-drive",
                                                                  "partitions",
                                                                  "partition",
                                                                  "zrd",
                                                                  "kfs-stat-files",
                                                                  "kfs-stat-file",
                                                                  "files",
                                                                  "directories",
                                                                  "java-processes",
                                                                  "directory",
                                                                  "filegroup",
                                                                  "file-groups",
                                                                  "file",
                                                                  "lans",
                                                                  "lan",
                                                                  "devices",
                                                                  "device",
                                                                  "patchs",
                                                                  "volumes",
                                                                  "products",
                                                                  "volume",
                                                                  "modules",
                                                                  "client-executable-files",
                                                                  "cluster",
                                                                  "cluster-parameters",
                                                                  "cluster-nodes",
                                                                  "cluster-resources",
                                                                  "cluster-resource",
                                                                  "preferred-nodes",
                                                                  "load-script",
                                                                  "unload-script"};
const std::initializer_list<std::string_view> kConfigItemNames = {
    "lan",       "volume", "device",    "bios-structure", "cluster-resource", "filegroup",
    "partition", "file",   "directory", "kfs-stat-file",  "set-category"};

void walkConfig(Node parent, std::vector<TreeItem>& out, const Application& app) {
    for (Node c : parent.children()) {
        if (!isElement(c) || isAdminVolume(c)) continue;
        const std::string n = nameOf(c);
        if (!inList(n, kConfigTreeNames)) {
            walkConfig(c, out, app);  // a container of listed sections still shows them
            continue;
        }
        TreeItem item;
        item.text = inList(n, kConfigItemNames) ? xml::attribute(c, "name") : app.label(n);
        item.icon = treeIcon(n);
        item.node = c;
        walkConfig(c, item.children, app);
        out.push_back(std::move(item));
    }
}

// Naming shared by the Rules and Report pages.
std::string ruleItemText(Node n, const Application& app) {
    const std::string e = nameOf(n);
    if (e == "productgroup" || e == "product") {
        if (!xml::hasAttribute(n, "name")) return field(n, "name");  // report records keep it as a child
        return trimRight(xml::attribute(n, "name") + " " + xml::attribute(n, "version"));
    }
    if (inList(e, {"filtergroup", "filter", "lan", "volume", "device", "files", "file", "set-param"})) {
        std::string v = xml::attribute(n, "name");
        return v.empty() ? field(n, "name") : v;
    }
    return app.label(e);
}

// Containers and every area list of the rule base are tree items; rule items are rows.
bool isRulesTreeNode(Node n) {
    return analysis::isContainer(n) || analysis::kindOfList(n.name());
}

void walkRules(Node parent, std::vector<TreeItem>& out, const Application& app) {
    for (Node c : parent.children()) {
        if (!isElement(c)) continue;
        if (!isRulesTreeNode(c)) continue;
        TreeItem item;
        item.text = ruleItemText(c, app);
        item.icon = ruleTreeIcon(c);
        item.node = c;
        walkRules(c, item.children, app);
        out.push_back(std::move(item));
    }
}

}  // namespace

ShowFlags defaultShowFlags() {
    ShowFlags f;
    f.fill(true);
    f[icon::kRemark] = false;
    return f;
}

void applyShowFlags(ListModel& model, const ShowFlags& flags) {
    std::erase_if(model.rows, [&](const ListRow& r) {
        return r.icon >= 0 && r.icon < kShowFlagCount && !flags[static_cast<std::size_t>(r.icon)];
    });
}

int ruleTreeIcon(xml::Node node) {
    const std::string_view name = node.name();
    if (name == "product" && xml::attribute(node, "update") == "true") return treeIcon("update");
    return treeIcon(name);
}

TreeItem buildConfigTree(const CQXConfigDoc2& doc, const Application& app) {
    TreeItem root{app.label("config"), treeIcon("config"), doc.config().root(), {}};
    if (root.node) walkConfig(root.node, root.children, app);
    return root;
}

TreeItem buildRulesTree(const xml::Document& rules, const Application& app) {
    TreeItem root{app.label("rules"), treeIcon("rules"), rules.root(), {}};
    walkRules(rules.documentNode(), root.children, app);
    return root;
}

TreeItem buildReportTree(const CQXConfigDoc2& doc, const Application& app) {
    const Node report = doc.report().root();
    TreeItem root{app.label("reports"), treeIcon("reports"), report, {}};
    if (!report) return root;
    TreeItem top{app.label(nameOf(report)), treeIcon(nameOf(report)), report, {}};
    for (Node section : report.children()) {
        if (!isElement(section)) continue;
        TreeItem s{ruleItemText(section, app), treeIcon(nameOf(section)), section, {}};
        if (nameOf(section) == "filtergroup") {
            for (Node f : section.children("filter"))
                s.children.push_back({ruleItemText(f, app), treeIcon("filter"), f, {}});
        }
        top.children.push_back(std::move(s));
    }
    root.children.push_back(std::move(top));
    return root;
}

// ---- list mode 1: configuration nodes -------------------------------------------------

namespace {

void addHeaders(ListModel& m, std::initializer_list<std::string_view> keys, const Application& app) {
    for (auto k : keys) m.addColumn(app.label(k));
}

// One row per child record, cells read by field name.
void fieldRows(ListModel& m, Node node, std::string_view record,
               std::initializer_list<std::string_view> fields, int iconIndex) {
    for (Node c : node.children()) {
        if (!isElement(c) || (!record.empty() && nameOf(c) != record)) continue;
        std::vector<std::string> cells;
        for (auto f : fields) cells.push_back(field(c, f));
        m.addRow(iconIndex, std::move(cells), c);
    }
}

int moduleIcon(Node module) {
    return markIcon(analysis::moduleMark(module));
}

std::string propertyValue(Node owner, std::string_view name) {
    for (Node p : owner.children("property"))
        if (field(p, "name") == name) return field(p, "value");
    return {};
}

bool partitionBad(Node partition) {
    bool allOn = true, master = false;
    for (Node r : partition.children()) {
        if (!isElement(r) || text::toLower(nameOf(r)) != "replica") continue;
        if (field(r, "state") != "On") allOn = false;
        if (field(r, "type") == "Master") master = true;
    }
    return !allOn || !master;
}

const std::initializer_list<std::string_view> kLeftoverPatterns = {
    "*.41X", "*.OLD", "*.__D", "*.__B", "*.PTB", "*.DOB", "*.DOD", "*.DSD", "*.DSB"};

int fileGroupIcon(Node group) {
    std::string size = field(group, "size");
    const bool leftover = inList(trim(field(group, "pattern")), kLeftoverPatterns);
    return leftover && numberKey(size) > 0 ? icon::kBad : icon::kGood;
}

void volumeRows(ListModel& m, Node volumes, const Application& app) {
    addHeaders(m,
               {"volume", "VolumeSize", "FreeDiskSpace", "PurgableDiskSpace", "TotalBlocks", "FreeBlocks",
                "PurgableBlocks", "Namespace"},
               app);
    for (Node v : volumes.children("volume")) {
        if (isAdminVolume(v)) continue;
        m.addRow(iconOfKey("volume"),
                 {xml::attribute(v, "name"), propertyValue(v, "Volume Size"),
                  propertyValue(v, "Free Disk Space"), propertyValue(v, "Purgable Disk Space"),
                  propertyValue(v, "Total Blocks"), propertyValue(v, "Free Blocks"),
                  propertyValue(v, "Purgable Blocks"), propertyValue(v, "Name Space Loaded")},
                 v);
    }
}

void propertyRows(ListModel& m, Node node, const Application& app) {
    addHeaders(m, {"name", "value"}, app);
    // A category's rows are SET parameters: they take that key's picture.
    const int iconIndex = iconOfKey(nameOf(node) == "set-category" ? "setparams" : nameOf(node));
    for (Node c : node.children()) {
        if (!isElement(c) || !c.child("name")) continue;  // nested devices are tree items of their own
        m.addRow(iconIndex, {field(c, "name"), field(c, "value")}, c);
    }
}

}  // namespace

ListModel buildConfigList(xml::Node node, const Application& app) {
    ListModel m;
    if (!node) return m;
    const std::string e = nameOf(node);
    if (inList(e, {"serverparams", "bios-structure", "set-category", "search-paths", "kfs-stat-file",
                   "boot-drive", "device", "volume", "cluster-parameters", "cluster-resource", "lan"})) {
        propertyRows(m, node, app);
    } else if (e == "patchs" || e == "loaded-patches") {
        addHeaders(m, {"name", "version", "date", "type", "status"}, app);
        fieldRows(m, node, "", {"name", "version", "date", "type", "status"}, iconOfKey("update"));
    } else if (e == "products") {
        addHeaders(m, {"name", "version", "description"}, app);
        fieldRows(m, node, "product", {"id", "version", "description"}, iconOfKey("product"));
    } else if (e == "cluster-nodes") {
        addHeaders(m, {"name", "number", "address"}, app);
        fieldRows(m, node, "", {"name", "number", "address"}, iconOfKey("server"));
    } else if (e == "cluster-resources") {
        addHeaders(m, {"name", "online", "preferred-nodes"}, app);
        for (Node r : node.children("cluster-resource")) {
            std::string nodes;
            for (Node p : r.child("preferred-nodes").children())
                if (isElement(p)) nodes += (nodes.empty() ? "" : ", ") + xml::text(p);
            m.addRow(iconOfKey("cluster-resource"), {xml::attribute(r, "name"), field(r, "online"), nodes},
                     r);
        }
    } else if (e == "file-groups") {
        addHeaders(m, {"pattern", "count", "size"}, app);
        for (Node g : node.children("file-group"))
            m.addRow(fileGroupIcon(g), {field(g, "pattern"), field(g, "count"), field(g, "size")}, g);
    } else if (e == "java-processes") {
        addHeaders(m, {"name", "state"}, app);
        for (Node p : node.children("java-process")) {
            const std::string state = field(p, "state");
            m.addRow(trim(state) == "Running" ? icon::kGood : icon::kBad, {field(p, "name"), state}, p);
        }
    } else if (e == "partitions") {
        addHeaders(m, {"name", "type", "state"}, app);
        for (Node p : node.children("partition"))
            m.addRow(partitionBad(p) ? icon::kBad : iconOfKey("partition"),
                     {field(p, "name"), field(p, "type"), field(p, "state")}, p);
    } else if (e == "partition") {
        addHeaders(m, {"server", "type", "state", "number"}, app);
        fieldRows(m, node, "replica", {"server", "type", "state", "number"}, iconOfKey("partition"));
    } else if (e == "directory") {
        addHeaders(m, {"name", "type", "date", "time", "attrib"}, app);
        fieldRows(m, node, "directory-line", {"name", "type", "date", "time", "attrib"},
                  iconOfKey("directory"));
    } else if (e == "volumes") {
        volumeRows(m, node, app);
    } else if (e == "loaded-modules") {
        addHeaders(m, {"name", "version", "date", "description", "allocatedmemory"}, app);
        for (Node mod : node.children("module"))
            m.addRow(moduleIcon(mod),
                     {field(mod, "name"), field(mod, "version"), field(mod, "date"),
                      field(mod, "description"), field(mod, "allocated-memory")},
                     mod);
    } else if (e == "search-path-modules") {
        addHeaders(m, {"name", "version", "date", "directory", "size", "filedate", "filetime", "description"},
                   app);
        for (Node mod : node.children("module"))
            m.addRow(moduleIcon(mod),
                     {field(mod, "name"), field(mod, "version"), field(mod, "date"), field(mod, "dir"),
                      field(mod, "size"), field(mod, "file-date"), field(mod, "file-time"),
                      field(mod, "description")},
                     mod);
    } else if (e == "client-executable-files") {
        addHeaders(m, {"name", "size", "filedate", "filetime", "versioninfo"}, app);
        fieldRows(m, node, "module", {"name", "size", "file-date", "file-time", "versioninfo"},
                  iconOfKey("files"));
    } else if (e == "file" || e == "load-script" || e == "unload-script") {
        addHeaders(m, {"line"}, app);
        fieldRows(m, node, "", {}, iconOfKey("files"));
        for (auto& r : m.rows) r.cells = {xml::text(r.node)};
    }
    return m;
}

// ---- list mode 4: rule-base nodes ----------------------------------------------------

namespace {

using analysis::RuleKind;
using analysis::RuleKindInfo;

// Worst mark of the findings per (kind, item name): a rule row shows how its item fared.
class FindingIndex {
public:
    explicit FindingIndex(const CQXConfigDoc2& doc) {
        for (const auto& f : analysis::findings(doc)) {
            if (!f.record || f.kind == analysis::FindingKind::Product) continue;
            auto [it, fresh] = m_marks.emplace(key(analysis::namesOf(f.kind).type, f.name), f.mark);
            if (!fresh && analysis::markWeight(f.mark) > analysis::markWeight(it->second))
                it->second = f.mark;
        }
    }
    int outcome(std::string_view kind, const std::string& name) const {
        auto it = m_marks.find(key(kind, name));
        return markIcon(it == m_marks.end() ? analysis::Mark::NotChecked : it->second);
    }

private:
    static std::string key(std::string_view kind, const std::string& name) {
        return std::string(kind) + '\n' + trim(name);
    }
    std::unordered_map<std::string, analysis::Mark> m_marks;
};

std::string conditionText(const Application& app, std::string_view group, const std::string& op,
                          const std::string& value) {
    if (op.empty()) return value;
    return trimRight(app.valueLabel(group, op) + " " + value);
}

std::string configValue(const CQXConfigDoc2& doc, std::string_view kind, const std::string& name) {
    std::string v = doc.valueByName(kind, name);
    if (v.empty() && trim(name) != name) v = doc.valueByName(kind, trim(name));
    return v;
}

void containerRows(ListModel& m, Node node, const Application& app) {
    addHeaders(m, {"name", "type", "kdn", "description"}, app);
    auto row = [&](Node c) {
        const std::string e = nameOf(c);
        const int ic = e == "productgroup"                     ? iconOfKey("productgroup")
                       : xml::attribute(c, "update") == "true" ? iconOfKey("update")
                                                               : iconOfKey("product");
        m.addRow(ic,
                 {ruleItemText(c, app), app.valueLabel("type", xml::attribute(c, "type")),
                  xml::attribute(c, "kdn"), xml::attribute(c, "description")},
                 c);
    };
    if (nameOf(node) == "product") return row(node);
    for (Node c : node.children())
        if (nameOf(c) == "productgroup" || nameOf(c) == "product") row(c);
}

// The rule items of the kind in a list, in order.
std::vector<Node> ruleItems(Node list, const RuleKindInfo& kind) {
    std::vector<Node> out;
    for (Node c : list.children()) {
        if (isElement(c) && kind.item == c.name()) out.push_back(c);
    }
    return out;
}

// Named-value rules: name, the configuration's value, the condition.
void propertyRuleRows(ListModel& m, const RuleKindInfo& kind, Node list, const CQXConfigDoc2& doc,
                      const Application& app) {
    const FindingIndex findings(doc);
    addHeaders(m, {"name", "value", "condition"}, app);
    for (Node r : list.children()) {
        if (!isElement(r)) continue;
        const std::string name = field(r, kind.naming);
        m.addRow(findings.outcome(kind.item, name),
                 {name, configValue(doc, kind.item, name),
                  conditionText(app, "condition", field(r, "condition"), field(r, "value"))},
                 r);
    }
}

void setParamRuleRows(ListModel& m, const RuleKindInfo& kind, Node list, const CQXConfigDoc2& doc,
                      const Application& app) {
    const FindingIndex findings(doc);
    addHeaders(m, {"name", "value", "condition", "kdn", "description", "type"}, app);
    for (Node r : ruleItems(list, kind)) {
        const std::string name = field(r, kind.naming);
        m.addRow(findings.outcome(kind.item, name),
                 {name, configValue(doc, kind.item, name),
                  conditionText(app, "condition", field(r, "condition"), field(r, "value")), field(r, "url"),
                  field(r, "description"), field(r, "type")},
                 r);
    }
}

void moduleRuleRows(ListModel& m, const RuleKindInfo& kind, Node list, const CQXConfigDoc2& doc,
                    const Application& app) {
    addHeaders(m, {"name", "version", "version_condition", "date", "date_condition"}, app);
    // The loaded module of each name, whose mark tells how the module check judged it.
    const analysis::ItemSelection& loaded = kind.items.front();
    std::unordered_map<std::string, Node> modules;
    for (Node mod :
         xml::select(doc.config().root(), std::string(loaded.parent) + "/" + std::string(loaded.element)))
        modules.emplace(text::toUpper(trim(field(mod, kind.naming))), mod);
    for (Node r : ruleItems(list, kind)) {
        const std::string name = field(r, kind.naming);
        auto it = modules.find(text::toUpper(trim(name)));
        const Node mod = it == modules.end() ? Node() : it->second;
        m.addRow(moduleIcon(mod),
                 {name, field(mod, "version"),
                  conditionText(app, "version_condition", field(r, "version_condition"), field(r, "version")),
                  field(mod, "date"),
                  conditionText(app, "date_condition", field(r, "date_condition"), field(r, "date"))},
                 r);
    }
}

// "in"/"!in" rules over the lines of a file or the search paths, judged as the analysis
// judges them; the line that holds the text is shown.
void lineRuleRows(ListModel& m, const RuleKindInfo& kind, Node list, const CQXConfigDoc2& doc,
                  const Application& app) {
    const bool files = kind.kind == RuleKind::File;
    if (files) addHeaders(m, {"file"}, app);
    addHeaders(m, {"value", "condition"}, app);
    analysis::ConfigIndex index(doc.config().documentNode());
    for (Node r : ruleItems(list, kind)) {
        const std::string op = field(r, "condition");
        const std::string wanted = field(r, "value");
        const auto verdict = analysis::judgeLines(op, wanted, analysis::ruleLines(index, kind, r));
        std::vector<std::string> cells;
        if (files) cells.push_back(field(r, kind.naming));
        cells.push_back(verdict.line);
        cells.push_back(conditionText(app, "condition", op, wanted));
        m.addRow(markIcon(analysis::markOfCode(verdict.outcome).value_or(analysis::Mark::Information)),
                 std::move(cells), r);
    }
}

void fileGroupRuleRows(ListModel& m, const RuleKindInfo& kind, Node list, const CQXConfigDoc2& doc,
                       const Application& app) {
    addHeaders(m, {"pattern", "count", "condition"}, app);
    analysis::ConfigIndex index(doc.config().documentNode());
    for (Node r : ruleItems(list, kind)) {
        const auto groups = analysis::itemsOfRule(index, kind, r);
        m.addRow(iconOfKey(kind.list),
                 {field(r, kind.naming), groups.empty() ? std::string() : field(groups.front(), "count"),
                  conditionText(app, "condition", field(r, "condition"), field(r, "count"))},
                 r);
    }
}

void productRuleRows(ListModel& m, const RuleKindInfo& kind, Node list, const CQXConfigDoc2& doc,
                     const Application& app) {
    addHeaders(m, {"id", "version_condition"}, app);
    for (Node r : ruleItems(list, kind)) {
        const std::string id = field(r, kind.naming);
        const std::string installed = doc.valueByName(kind.items.front().element, id);
        std::string cond =
            conditionText(app, "version_condition", field(r, "version_condition"), field(r, "version"));
        if (!installed.empty()) cond += " (" + installed + ")";
        m.addRow(installed.empty() ? icon::kBad : iconOfKey(kind.list), {id, cond}, r);
    }
}

void namedRows(ListModel& m, Node list, const xml::Document& rules, const Application& app) {
    addHeaders(m, {"name"}, app);
    std::unordered_map<std::string, Node> byId;
    for (Node p : xml::select(rules.root(), "product")) byId.emplace(xml::attribute(p, "ID"), p);
    for (Node c : list.children()) {
        if (!isElement(c)) continue;
        auto it = byId.find(trim(xml::text(c)));
        if (it != byId.end())
            m.addRow(iconOfKey(nameOf(it->second)), {ruleItemText(it->second, app)}, it->second);
        else
            m.addRow(iconOfKey(nameOf(list)), {xml::text(c)}, c);
    }
}

// A kind without a layout of its own shows its fields as Insert writes them.
void fieldRuleRows(ListModel& m, const RuleKindInfo& kind, Node list, const Application& app) {
    for (const auto& f : kind.fields) m.addColumn(app.label(f.labelKey.empty() ? f.name : f.labelKey));
    for (Node r : ruleItems(list, kind)) {
        std::vector<std::string> cells;
        for (const auto& f : kind.fields) {
            const std::string v = field(r, f.name);
            cells.push_back(f.input == analysis::FieldInput::Text ? v
                                                                  : conditionText(app, "condition", v, {}));
        }
        m.addRow(iconOfKey(kind.list), std::move(cells), r);
    }
}

void ruleRows(ListModel& m, const RuleKindInfo& kind, Node list, const CQXConfigDoc2& doc,
              const Application& app) {
    using analysis::RulesLayout;
    switch (kind.layout) {
        case RulesLayout::AreaLists:
            addHeaders(m, {"name"}, app);
            for (Node c : list.children())
                if (isElement(c)) m.addRow(iconOfKey(nameOf(c)), {ruleItemText(c, app)}, c);
            return;
        case RulesLayout::NamedValue:
            return propertyRuleRows(m, kind, list, doc, app);
        case RulesLayout::SetParameter:
            return setParamRuleRows(m, kind, list, doc, app);
        case RulesLayout::Module:
            return moduleRuleRows(m, kind, list, doc, app);
        case RulesLayout::ProductRule:
            return productRuleRows(m, kind, list, doc, app);
        case RulesLayout::FileGroup:
            return fileGroupRuleRows(m, kind, list, doc, app);
        case RulesLayout::Lines:
            return lineRuleRows(m, kind, list, doc, app);
        case RulesLayout::ProductNames:
            return namedRows(m, list, app.ruleBase(), app);
        case RulesLayout::Fields:
            return fieldRuleRows(m, kind, list, app);
    }
}

}  // namespace

ListModel buildRuleList(xml::Node node, const CQXConfigDoc2& doc, const Application& app) {
    ListModel m;
    if (!node) return m;
    const std::string e = nameOf(node);
    if (analysis::isContainer(node)) {
        containerRows(m, node, app);
    } else if (const RuleKindInfo* kind = analysis::kindOfList(e)) {
        ruleRows(m, *kind, node, doc, app);
    } else if (e == "search-path-modules") {
        // Module rules listed under the name of the configuration's list show the same.
        ruleRows(m, analysis::info(RuleKind::Module), node, doc, app);
    }
    return m;
}

// ---- comparison across servers ---------------------------------------------------------

namespace {

// The items of one section as (name, value) pairs, in document order.
using Items = std::vector<std::pair<std::string, std::string>>;

Items sectionItems(Node section) {
    Items items;
    if (!section) return items;
    const std::string e = nameOf(section);
    if (e == "zrd") {
        items.emplace_back("tree-name", field(section, "tree-name"));
        items.emplace_back("version", field(section, "version"));
        return items;
    }
    for (Node c : section.children()) {
        if (!isElement(c)) continue;
        const std::string k = nameOf(c);
        if (e == "products") {
            if (k == "product") items.emplace_back(field(c, "id"), field(c, "version"));
        } else if (e == "loaded-modules" || e == "search-path-modules") {
            if (k == "module")
                items.emplace_back(field(c, "name"), trim(field(c, "version") + " " + field(c, "date")));
        } else if (e == "client-executable-files") {
            if (k == "module")
                items.emplace_back(field(c, "name"), trim(field(c, "size") + " " + field(c, "file-date") +
                                                          " " + field(c, "file-time")));
        } else if (c.child("name")) {
            items.emplace_back(field(c, "name"), field(c, "value"));
        }
    }
    return items;
}

// The section of another document that matches this one: same element name and, for
// named items (volumes, devices, LANs, categories), the same `name` attribute.
Node matchingSection(const CQXConfigDoc2& doc, Node section) {
    const std::string e = nameOf(section);
    const bool named = inList(e, {"lan", "volume", "device", "set-category"});
    std::string pattern = e;
    if (named) pattern += "[@name='" + xml::escapeLiteral(xml::attribute(section, "name")) + "']";
    return xml::selectFirst(doc.config().root(), pattern);
}

std::vector<std::unordered_map<std::string, std::string>> valuesPerDocument(
    Node section, const std::vector<const CQXConfigDoc2*>& docs) {
    std::vector<std::unordered_map<std::string, std::string>> values;
    for (std::size_t i = 0; i < docs.size(); ++i) {
        std::unordered_map<std::string, std::string> map;
        for (auto& [name, value] : sectionItems(i == 0 ? section : matchingSection(*docs[i], section)))
            map.emplace(name, value);
        values.push_back(std::move(map));
    }
    return values;
}

std::string lookup(const std::unordered_map<std::string, std::string>& map, const std::string& key) {
    auto it = map.find(key);
    return it == map.end() ? std::string() : it->second;
}

}  // namespace

bool isComparableSection(std::string_view e) {
    return inList(e, {"serverparams", "lan", "loaded-modules", "search-paths", "products",
                      "search-path-modules", "device", "zrd", "volume", "boot-drive", "kfs-stat-file",
                      "client-executable-files", "set-category"});
}

ListModel buildCompareX(xml::Node section, const std::vector<const CQXConfigDoc2*>& docs,
                        const Application& app) {
    ListModel m;
    if (!section || docs.empty()) return m;
    m.addColumn(app.label("name"), 500);
    for (const auto* d : docs) m.addColumn(d->title, 400);
    const auto values = valuesPerDocument(section, docs);
    std::set<std::string> seen;
    for (auto& [name, value] : sectionItems(section)) {
        if (!seen.insert(name).second) continue;
        std::vector<std::string> cells{name};
        bool equal = true;
        for (const auto& map : values) {
            cells.push_back(lookup(map, name));
            equal = equal && cells.back() == value;
        }
        m.addRow(equal ? icon::kEqual : icon::kNotEqual, std::move(cells));
    }
    return m;
}

ListModel buildCompareY(xml::Node section, const std::vector<const CQXConfigDoc2*>& docs,
                        const Application& app) {
    ListModel m;
    if (!section || docs.empty()) return m;
    m.addColumn(app.label("server"), 500);
    std::vector<std::string> names;
    std::set<std::string> seen;
    for (auto& item : sectionItems(section))
        if (seen.insert(item.first).second) names.push_back(item.first);
    for (const auto& n : names) m.addColumn(n, 400);
    const auto values = valuesPerDocument(section, docs);
    for (std::size_t i = 0; i < docs.size(); ++i) {
        std::vector<std::string> cells{docs[i]->title};
        bool equal = true;
        for (const auto& n : names) {
            cells.push_back(lookup(values[i], n));
            equal = equal && cells.back() == lookup(values[0], n);
        }
        m.addRow(equal ? icon::kEqual : icon::kNotEqual, std::move(cells));
    }
    return m;
}

// ---- sorting ---------------------------------------------------------------------------

SortOrder sortOrderFor(std::string_view header, const Application& app) {
    // The table keys are lower case: without an entry, label("Date") falls back to "Date".
    if (header == app.label("Date") || header == app.label("date")) return SortOrder::Date;
    if (header == app.label("allocatedmemory") || header == app.label("size"))
        return SortOrder::NumberDescending;
    return SortOrder::Text;
}

long dateKey(std::string_view s) {
    static constexpr std::string_view kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                                   "jul", "aug", "sep", "oct", "nov", "dec"};
    std::vector<long> numbers;
    int month = 0;
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (std::isdigit(c)) {
            long v = 0;
            while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && v < 100000)
                v = v * 10 + (s[i++] - '0');
            numbers.push_back(v);
        } else if (std::isalpha(c)) {
            std::string word;
            while (i < s.size() && std::isalpha(static_cast<unsigned char>(s[i])))
                word += static_cast<char>(std::tolower(static_cast<unsigned char>(s[i++])));
            for (int m = 0; m < 12 && month == 0 && word.size() >= 3; ++m)
                if (word.compare(0, 3, kMonths[m]) == 0) month = m + 1;
        } else {
            ++i;
        }
    }
    long year = 0, day = 0;
    if (month != 0 && numbers.size() >= 2) {
        day = numbers[0], year = numbers[1];
    } else if (numbers.size() >= 3) {
        if (numbers[0] > 31)
            year = numbers[0], month = static_cast<int>(numbers[1]), day = numbers[2];
        else
            month = static_cast<int>(numbers[0]), day = numbers[1], year = numbers[2];
    } else {
        return 0;
    }
    if (year < 100) year += year < 70 ? 2000 : 1900;
    return year * 372 + static_cast<long>(month) * 31 + day;
}

double numberKey(std::string_view s) {
    std::string digits;
    bool started = false;
    for (char c : s) {
        if (std::isdigit(static_cast<unsigned char>(c)) || (c == '.' && started)) {
            digits += c;
            started = true;
        } else if (started && c != ',' && c != ' ') {
            break;
        }
    }
    return digits.empty() ? 0.0 : std::strtod(digits.c_str(), nullptr);
}

void sortRows(ListModel& model, int column, const Application& app) {
    if (column < 0 || column >= static_cast<int>(model.columns.size())) return;
    const auto c = static_cast<std::size_t>(column);
    auto cell = [c](const ListRow& r) -> const std::string& {
        static const std::string empty;
        return c < r.cells.size() ? r.cells[c] : empty;
    };
    // Keys are computed once per row: parsing inside the comparison would cost n log n parses.
    auto byKey = [&](auto key, auto before) {
        using Key = decltype(key(model.rows.front()));
        std::vector<std::pair<Key, std::size_t>> keys;
        keys.reserve(model.rows.size());
        for (std::size_t i = 0; i < model.rows.size(); ++i) keys.emplace_back(key(model.rows[i]), i);
        std::stable_sort(keys.begin(), keys.end(),
                         [&](const auto& a, const auto& b) { return before(a.first, b.first); });
        std::vector<ListRow> sorted;
        sorted.reserve(keys.size());
        for (auto& k : keys) sorted.push_back(std::move(model.rows[k.second]));
        model.rows = std::move(sorted);
    };
    if (model.rows.empty()) return;
    switch (sortOrderFor(model.columns[c].header, app)) {
        case SortOrder::Date:
            byKey([&](const ListRow& r) { return dateKey(cell(r)); }, std::less<long>());
            break;
        case SortOrder::NumberDescending:
            byKey([&](const ListRow& r) { return numberKey(cell(r)); }, std::greater<double>());
            break;
        case SortOrder::Text:
            std::stable_sort(model.rows.begin(), model.rows.end(),
                             [&](const ListRow& a, const ListRow& b) { return cell(a) < cell(b); });
            break;
    }
}

}  // namespace qx::lists
