// Module rules of the active lists against the loaded modules and the modules found on the
// search paths: a mark on every configuration module, a record for every broken rule.
#include "analysis/analysis.hpp"
#include "analysis/evaluate_rule.hpp"
#include "analysis/records.hpp"
#include "analysis/rule_base.hpp"
#include "util/text.hpp"
#include "xml/tree_builder.hpp"

#include <algorithm>
#include <new>
#include <unordered_map>
#include <vector>

namespace qx::analysis {

namespace {

struct ModuleRule {
    std::string name, version, date, versionOp, dateOp, productId, path;
    xml::Node node;
};

// Name first, then the remaining fields, all without regard to case.
bool ruleOrder(const ModuleRule& a, const ModuleRule& b) {
    const std::string* fa[] = {&a.name, &a.version, &a.date, &a.versionOp, &a.dateOp, &a.productId, &a.path};
    const std::string* fb[] = {&b.name, &b.version, &b.date, &b.versionOp, &b.dateOp, &b.productId, &b.path};
    for (std::size_t i = 0; i < 7; ++i) {
        const int c = text::compareNoCase(*fa[i], *fb[i]);
        if (c != 0) return c < 0;
    }
    return false;
}

const RuleKindInfo& kModuleKind = info(RuleKind::Module);

std::vector<ModuleRule> collectActiveRules(const xml::Document& rules) {
    std::vector<ModuleRule> out;
    const std::string active =
        std::string(kModuleKind.list) + "[@vetoed=\"false\"]/" + std::string(kModuleKind.item);
    for (xml::Node r : xml::select(rules.documentNode(), active)) {
        out.push_back({readField(r, "name"), readField(r, "version"), readField(r, "date"),
                       readField(r, "version_condition"), readField(r, "date_condition"),
                       xml::attribute(r.parent().parent(), "ID"), rulePath(r), r});
    }
    std::stable_sort(out.begin(), out.end(), ruleOrder);
    return out;
}

struct ModulePass {
    CQXConfigDoc2& doc;
    const Application& app;
    xml::Node details;
    const ProductRecords& products;
    std::vector<ModuleRule> rules;
    std::unordered_map<std::string, std::pair<std::size_t, std::size_t>> byName;  // upper-cased name
    xml::TreeBuilder records{doc.report(), xml::TreeBuilder::Texts::Shared};
    xml::TreeBuilder marks{doc.config()};

    void indexRules() {
        for (std::size_t i = 0; i < rules.size();) {
            std::size_t j = i + 1;
            while (j < rules.size() && text::equalsNoCase(rules[j].name, rules[i].name)) ++j;
            byName.emplace(text::toUpper(rules[i].name), std::make_pair(i, j));
            i = j;
        }
    }

    // The path of a list's modules, written once per list.
    const std::string& pathOf(xml::Node module) {
        auto it = listPaths.find(module.parent().internal_object());
        if (it == listPaths.end()) {
            it = listPaths.emplace(module.parent().internal_object(), configurationPath(module, app)).first;
            doc.trail.setModulePath(module.parent(), it->second);
        }
        return it->second;
    }

    // Returns the record's position among the records of `details`.
    std::uint32_t writeRecord(xml::Node module, const ModuleRule& r, const std::string& version,
                              const std::string& date) {
        xml::Node rec = records.append(details, "property");
        records.setAttribute(rec, "type", namesOf(FindingKind::Module).type);
        records.setAttribute(rec, "ID", r.productId);
        records.append(rec, "image", std::to_string(markCode(Mark::Bad)));
        records.append(rec, "type", pathOf(module));
        records.append(rec, "rules", r.path);
        records.append(rec, "name", readField(module, "name"));
        records.append(rec, "condition",
                       app.valueLabel("version_condition", r.versionOp) + " " + r.version + " " +
                           app.valueLabel("date_condition", r.dateOp) + " " + r.date);
        records.append(rec, "value", version + " " + date);
        const auto index = static_cast<std::uint32_t>(doc.trail.detailCount());
        doc.trail.addDetail(doc.provenance.lineOf(module), doc.trail.ruleIndex(r.node));
        return index;
    }

    void judge(xml::Node module) {
        int mark = markCode(Mark::NotChecked);
        const ModuleRule* decided = nullptr;
        std::uint32_t record = Trail::kNone;
        pathOf(module);
        auto range = byName.find(text::toUpper(readField(module, "name")));
        if (range != byName.end()) {
            const std::string version = readField(module, "version");
            const std::string date = readField(module, "date");
            for (std::size_t i = range->second.first; i < range->second.second && mark != markCode(Mark::Bad);
                 ++i) {
                const ModuleRule& r = rules[i];
                decided = &r;
                mark = compareModule({r.version, r.date, r.versionOp, r.dateOp, version, date}, false);
                if (mark == markCode(Mark::Bad)) {
                    products.markBad(r.productId);
                    record = writeRecord(module, r, version, date);
                }
            }
        }
        marks.setAttribute(module, "image", std::to_string(mark));
        if (decided) doc.trail.addModule(module, doc.trail.ruleIndex(decided->node), record);
    }

    std::unordered_map<const void*, std::string> listPaths{};
};

// The loaded modules and the modules on the search paths (the module kind's two
// selections), from one walk.
void collectModules(xml::Node top, std::vector<xml::Node>& loaded, std::vector<xml::Node>& searchPath) {
    const ItemSelection& first = kModuleKind.items[0];
    const ItemSelection& second = kModuleKind.items[1];
    xml::forEachElementBelow(top, [&](xml::Node n) {
        if (first.element != n.name()) return true;
        const xml::Node list = n.parent();
        if (list.type() == pugi::node_element) {
            if (first.parent == list.name())
                loaded.push_back(n);
            else if (second.parent == list.name())
                searchPath.push_back(n);
        }
        return true;
    });
}

}  // namespace

void markModuleLists(CQXConfigDoc2& doc, Application& app) {
    markModuleLists(doc, app, ProductRecords(doc));
}

void markModuleLists(CQXConfigDoc2&, Application& app, const ProductRecords& products) {
    markModuleLists(app.ruleBase(), products);
}

void markModuleLists(xml::Document& ruleBase, const ProductRecords& products) {
    for (xml::Node list : xml::select(ruleBase.documentNode(), kModuleKind.list)) {
        xml::setAttribute(list, "vetoed", products.isRuleActive(list) ? "false" : "true");
    }
}

bool checkModules(CQXConfigDoc2& doc, Application& app) {
    try {
        const ProductRecords products(doc);
        return checkModules(doc, app, products);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool checkModules(CQXConfigDoc2& doc, Application& app, const ProductRecords& products) {
    xml::Node details = xml::selectFirst(doc.report().documentNode(), "details");
    if (!details) return true;
    try {
        doc.trail.beginPass(app.ruleBase());
        doc.trail.clearModules();
        ModulePass pass{doc, app, details, products, collectActiveRules(app.ruleBase()), {}};
        pass.indexRules();
        std::vector<xml::Node> loaded;
        std::vector<xml::Node> searchPath;
        collectModules(doc.config().documentNode(), loaded, searchPath);
        for (xml::Node m : loaded) pass.judge(m);
        doc.moduleMarksSet = true;
        for (xml::Node m : searchPath) pass.judge(m);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

}  // namespace qx::analysis
