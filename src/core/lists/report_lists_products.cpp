// Report-page lists about products, updates, the summary and the filters.
#include "lists/report_keys.hpp"
#include "lists/report_lists.hpp"
#include "util/text.hpp"

#include <unordered_map>

namespace qx::lists::detail {

namespace {

// Rule-base products by ID, first of each, indexed once per list.
std::unordered_map<std::string, xml::Node> productsById(const Application& app) {
    std::unordered_map<std::string, xml::Node> byId;
    for (xml::Node p : xml::select(app.ruleBase().documentNode(), "product")) {
        byId.emplace(xml::attribute(p, "ID"), p);
    }
    return byId;
}

ListModel withColumns(const Application& app, std::initializer_list<std::string_view> keys) {
    ListModel m;
    for (auto k : keys) m.addColumn(app.label(k));
    return m;
}

}  // namespace

ListModel productList(const CQXConfigDoc2& doc, const Application& app, std::string_view kind) {
    ListModel m = kind == "check"        ? withColumns(app, {"product", "update", "productgroup"})
                  : kind == "suggestion" ? withColumns(app, {"product", "description", "kdn", "update"})
                                         : withColumns(app, {"patches", "kdn", "description", "type"});
    const auto byId = productsById(app);
    for (xml::Node rec : xml::select(doc.report().documentNode(), "check/product")) {
        auto found = byId.find(xml::attribute(rec, "ID"));
        xml::Node rule = found == byId.end() ? xml::Node() : found->second;
        const std::string name = xml::childText(rec, "name");
        const bool present = xml::attribute(rec, "checked") == "good";
        const bool statusGood = xml::attribute(rec, "status") == "good";
        if (kind == "check") {
            m.addRow(present ? icon::kGood : icon::kBad, {name, rule ? rulePath(rule) : "", ""}, rec);
        } else if (!present) {
            continue;
        } else if (kind == "suggestion") {
            m.addRow(statusGood ? icon::kGood : icon::kBad,
                     {name, xml::attribute(rule, "description"), xml::attribute(rule, "kdn"), ""}, rec);
        } else if (!statusGood && xml::attribute(rule, "update") == "true") {
            m.addRow(icon::kBad,
                     {name, xml::attribute(rule, "kdn"), xml::attribute(rule, "description"),
                      app.valueLabel("type", xml::attribute(rule, "type"))},
                     rec);
        }
    }
    return m;
}

ListModel moduleUpdateList(const CQXConfigDoc2& doc, const Application& app) {
    ListModel m = withColumns(app, {"name", "patches", "kdn", "description", "type"});
    const auto byId = productsById(app);
    for (const auto& f : recordedFindings(doc, analysis::FindingKind::Module)) {
        if (f.mark != analysis::Mark::Bad) continue;
        std::vector<std::string> cells{f.name, "", "", "", ""};
        auto found = byId.find(f.productId);
        if (found != byId.end()) {
            xml::Node p = found->second;
            cells[1] = xml::attribute(p, "name");
            cells[2] = xml::attribute(p, "kdn");
            cells[3] = xml::attribute(p, "description");
            cells[4] = app.valueLabel("type", xml::attribute(p, "type"));
        }
        m.addRow(markIcon(f.mark), std::move(cells), f.record);
    }
    return m;
}

// Good and Bad findings per kind. Modules count by their marks: a module that keeps its
// rules has no record of its own.
ListModel summaryList(const CQXConfigDoc2& doc, const Application& app) {
    using analysis::FindingKind;
    ListModel m = withColumns(app, {"types", "good", "bad"});
    static constexpr FindingKind kKinds[]{FindingKind::Module, FindingKind::SetParameter,
                                          FindingKind::ServerParameter, FindingKind::Lan,
                                          FindingKind::Device};
    std::unordered_map<int, std::pair<int, int>> counts;
    for (const auto& f : analysis::findings(doc)) {
        auto& c = counts[static_cast<int>(f.kind)];
        if (f.mark == analysis::Mark::Good) ++c.first;
        if (f.mark == analysis::Mark::Bad) ++c.second;
    }
    for (FindingKind kind : kKinds) {
        const auto c = counts[static_cast<int>(kind)];
        const std::string_view list = analysis::namesOf(kind).list;
        m.addRow(iconOfKey(list), {app.label(list), std::to_string(c.first), std::to_string(c.second)});
    }
    return m;
}

ListModel filterList(const CQXConfigDoc2& doc, const Application& app, xml::Node filter,
                     const std::vector<const CQXConfigDoc2*>& docs) {
    ListModel m;
    m.addColumn(app.label("name"), 400);
    m.addColumn(doc.title);
    std::vector<const CQXConfigDoc2*> others;
    for (const CQXConfigDoc2* d : docs) {
        if (d && d != &doc && d->state == CQXConfigDoc2::kStateCompleted) {
            others.push_back(d);
            m.addColumn(d->title);
        }
    }
    for (xml::Node item : xml::childElements(filter)) {
        const std::string kind = item.name();
        const std::string key = xml::text(item);
        const std::string own = doc.valueByName(kind, key);
        std::vector<std::string> cells{key, own};
        int iconIndex = icon::kEqual;
        for (const CQXConfigDoc2* d : others) {
            std::string value = d->valueByName(kind, key);
            if (value.empty()) {
                iconIndex = icon::kInformation;
            } else if (value != own) {
                iconIndex = icon::kNotEqual;
            }
            cells.push_back(std::move(value));
        }
        m.addRow(iconIndex, std::move(cells), item);
    }
    return m;
}

}  // namespace qx::lists::detail
