#include "outputs/json_contract.hpp"

#include "lists/list_icons.hpp"
#include "lists/report_keys.hpp"

#include <unordered_map>

namespace qx::outputs {

namespace {

Json textOrNull(const std::string& s) {
    return s.empty() ? Json(nullptr) : Json(s);
}

Json header(std::string_view type) {
    Json j;
    j["schema"] = kJsonSchema;
    j["type"] = type;
    return j;
}

void runFacts(Json& j, const RunInfo& run) {
    j["tool"] = {{"name", run.tool}, {"version", run.version}};
    j["rule_base"] = {{"date", textOrNull(run.ruleBaseDate)}, {"sha256", textOrNull(run.ruleBaseSha256)}};
    j["language"] = run.language;
}

Json ruleJson(const analysis::RuleRef& r, const RunInfo& run) {
    Json j;
    j["key"] = r.key;
    j["element"] = r.element;
    j["name"] = r.name;
    j["path"] = r.segments;
    j["product_id"] = textOrNull(r.productId);
    j["product"] = textOrNull(r.productName);
    j["description"] = textOrNull(r.description);
    j["url"] = textOrNull(helpAddress(r, run.kdnFinderUrl));
    j["kdn"] = textOrNull(r.kdn);
    return j;
}

Json sourceJson(const analysis::Finding& f) {
    return {{"file", f.file}, {"line", f.line ? Json(f.line) : Json(nullptr)}};
}

Json countsJson(const MarkCounts& c) {
    Json j = Json::object();
    for (analysis::Mark m : kAnalysisMarks) j[std::string(analysis::markKey(m))] = c.of(m);
    return j;
}

Json productJson(const analysis::Finding& p, const RunInfo& run) {
    Json j;
    j["product_id"] = p.productId;
    j["name"] = p.name;
    j["present"] = p.present;
    j["mark"] = analysis::markKey(p.mark);
    j["rule"] = p.rule ? ruleJson(*p.rule, run) : Json(nullptr);
    return j;
}

}  // namespace

Json findingJson(const analysis::Finding& f, const RunInfo& run) {
    Json j;
    j["kind"] = analysis::namesOf(f.kind).key;
    j["mark"] = analysis::markKey(f.mark);
    j["name"] = f.name;
    j["config_path"] = f.path;
    j["value"] = f.value;
    j["condition"] = f.condition;
    const analysis::Requirement* req = analysis::requirementOf(f);
    j["requirement"] = req ? Json(req->key) : Json(nullptr);
    j["rule"] = f.rule ? ruleJson(*f.rule, run) : Json(nullptr);
    j["source"] = sourceJson(f);
    return j;
}

Json reportJson(const AnalysedReport& r, const RunInfo& run) {
    if (!r.opened) {
        Json j = header("error");
        j["file"] = r.file;
        j["error"] = r.error;
        return j;
    }
    Json j = header("report");
    j["file"] = r.file;
    j["server"] = r.server;
    j["title"] = r.title;
    runFacts(j, run);
    j["truncated"] = r.truncated;
    j["warnings"] = r.warnings;
    j["products"] = Json::array();
    for (const auto& p : r.products) j["products"].push_back(productJson(p, run));
    j["findings"] = Json::array();
    for (const auto& f : r.findings) j["findings"].push_back(findingJson(f, run));
    j["counts"] = countsJson(countMarks(r.findings));
    Json byKind = Json::object();
    for (const auto& kind : analysis::kFindingKinds) {
        if (kind.kind == analysis::FindingKind::Product) continue;
        byKind[std::string(kind.key)] = countsJson(countMarks(r.findings, kind.kind));
    }
    j["counts_by_kind"] = byKind;
    return j;
}

Json listJson(const CQXConfigDoc2& doc, const Application& app, std::string_view node,
              const lists::ListModel& model, const RunInfo& run) {
    Json j = header("list");
    j["file"] = doc.path;
    j["server"] = doc.serverName();
    j["title"] = doc.title;
    runFacts(j, run);
    j["node"] = node;
    j["columns"] = Json::array();
    for (const auto& c : model.columns) j["columns"].push_back(c.header);
    // Rows that stand for a record of the analysis carry its finding.
    std::unordered_map<const void*, analysis::Finding> byRecord;
    for (auto& f : analysis::findings(doc)) {
        if (f.record) byRecord.emplace(f.record.internal_object(), std::move(f));
    }
    j["rows"] = Json::array();
    for (const auto& row : model.rows) {
        Json r;
        const auto mark = lists::markOfIcon(row.icon);
        r["mark"] = mark ? Json(analysis::markKey(*mark)) : Json(nullptr);
        const std::string_view icon = lists::keyOfIcon(row.icon);
        r["icon"] = icon.empty() ? Json(nullptr) : Json(icon);
        r["cells"] = row.cells;
        r["messages"] = Json::array();
        for (const auto& key : row.messages)
            r["messages"].push_back({{"key", key}, {"text", lists::reportMessageText(app, key)}});
        auto found = row.node ? byRecord.find(row.node.internal_object()) : byRecord.end();
        if (found != byRecord.end()) r["finding"] = findingJson(found->second, run);
        j["rows"].push_back(std::move(r));
    }
    return j;
}

Json compareJson(const compare::CompareResult& result, const std::vector<std::string>& files,
                 const RunInfo& run) {
    auto status = [](int code) -> std::string_view {
        if (code == compare::kStatusEqual) return "equal";
        if (code == compare::kStatusNotEqual) return "not_equal";
        return "not_compared";
    };
    auto statusOfImage = [](const std::string& image) -> std::string_view {
        if (image == "equal") return "equal";
        if (image == "notequal") return "not_equal";
        return "not_compared";
    };
    Json j = header("compare");
    runFacts(j, run);
    j["base"] = {{"file", files.empty() ? std::string() : files[0]},
                 {"server", result.baseName},
                 {"title", result.baseTitle}};
    j["servers"] = Json::array();
    for (std::size_t i = 0; i < result.serverTitles.size(); ++i) {
        j["servers"].push_back(
            {{"file", i + 1 < files.size() ? files[i + 1] : std::string()},
             {"server", i < result.serverNames.size() ? result.serverNames[i] : std::string()},
             {"title", result.serverTitles[i]}});
    }
    j["lines"] = Json::array();
    for (const auto& l : result.lines) {
        Json values = Json::array();
        for (std::size_t i = 0; i < l.values.size(); ++i) {
            const bool present = i < l.present.size() ? l.present[i] : true;
            values.push_back(present ? Json(l.values[i]) : Json(nullptr));
        }
        j["lines"].push_back({{"status", status(l.status)},
                              {"path", l.path},
                              {"name", l.name},
                              {"values", std::move(values)}});
    }
    j["tree"] = Json::array();
    for (const auto& n : result.tree)
        j["tree"].push_back({{"path", n.path}, {"status", statusOfImage(n.image)}});
    return j;
}

std::string dumpJson(const Json& j, bool oneLine) {
    return j.dump(oneLine ? -1 : 2, ' ', false, Json::error_handler_t::replace);
}

}  // namespace qx::outputs
