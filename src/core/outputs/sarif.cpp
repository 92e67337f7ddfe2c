#include "outputs/ci_formats.hpp"
#include "outputs/json_contract.hpp"
#include "outputs/mark_looks.hpp"

#include <map>

namespace qx::outputs {

namespace {

constexpr const char* kSarifSchema =
    "https://docs.oasis-open.org/sarif/sarif/v2.1.0/os/schemas/sarif-schema-2.1.0.json";

Json ruleDescriptor(const analysis::RuleRef& r, const RunInfo& run) {
    Json j;
    j["id"] = r.key;
    j["name"] = r.name.empty() ? r.element : r.name;
    std::string where;
    for (const auto& s : r.segments) where += (where.empty() ? "" : " > ") + s;
    const std::string summary =
        r.element + " rule \"" + r.name + "\"" + (where.empty() ? "" : " in " + where);
    j["shortDescription"]["text"] = r.description.empty() ? summary : r.description;
    j["fullDescription"]["text"] = r.description.empty() ? summary : r.description + " (" + summary + ")";
    const std::string help = helpAddress(r, run.kdnFinderUrl);
    if (!help.empty()) j["helpUri"] = help;
    Json props;
    props["element"] = r.element;
    props["path"] = r.segments;
    if (!r.productId.empty()) props["product_id"] = r.productId;
    if (!r.kdn.empty()) props["kdn"] = r.kdn;
    j["properties"] = props;
    return j;
}

Json fileLocation(const std::string& file) {
    Json loc;
    loc["physicalLocation"]["artifactLocation"]["uri"] = fileUri(file);
    return loc;
}

Json notification(const char* level, const std::string& text, const std::string& file) {
    Json n;
    n["level"] = level;
    n["message"]["text"] = text;
    n["locations"] = Json::array();
    n["locations"].push_back(fileLocation(file));
    return n;
}

}  // namespace

std::string renderSarif(const std::vector<AnalysedReport>& reports, const RunInfo& run) {
    std::map<std::string, std::size_t> ruleIndex;  // by key
    Json rules = Json::array();
    Json results = Json::array();
    Json notifications = Json::array();
    for (const auto& r : reports) {
        if (!r.opened) {
            notifications.push_back(notification("error", r.error, r.file));
            continue;
        }
        for (const auto& w : r.warnings) notifications.push_back(notification("warning", w, r.file));
        for (const auto& f : r.findings) {
            const std::string_view level = lookOf(f.mark).sarifLevel;
            if (level.empty()) continue;
            Json result;
            if (f.rule) {
                auto [it, fresh] = ruleIndex.emplace(f.rule->key, rules.size());
                if (fresh) rules.push_back(ruleDescriptor(*f.rule, run));
                result["ruleId"] = f.rule->key;
                result["ruleIndex"] = it->second;
            } else {
                result["ruleId"] = std::string(analysis::namesOf(f.kind).key);
            }
            result["level"] = std::string(level);
            result["message"]["text"] = findingMessage(f, r.server);
            Json location = fileLocation(f.file);
            if (f.line) location["physicalLocation"]["region"]["startLine"] = f.line;
            if (!f.path.empty()) {
                Json logical;
                logical["fullyQualifiedName"] = r.server + ":" + f.path + "->" + f.name;
                logical["kind"] = "member";
                location["logicalLocations"] = Json::array();
                location["logicalLocations"].push_back(std::move(logical));
            }
            result["locations"] = Json::array();
            result["locations"].push_back(std::move(location));
            result["properties"] = {{"server", r.server},
                                    {"kind", analysis::namesOf(f.kind).key},
                                    {"mark", analysis::markKey(f.mark)},
                                    {"value", f.value},
                                    {"condition", f.condition}};
            results.push_back(std::move(result));
        }
    }
    Json driver;
    driver["name"] = run.tool;
    driver["version"] = run.version;
    driver["semanticVersion"] = run.version;
    driver["rules"] = std::move(rules);
    Json invocation;
    invocation["executionSuccessful"] = true;
    for (const auto& n : notifications) {
        if (n["level"] == "error") invocation["executionSuccessful"] = false;
    }
    if (!notifications.empty()) invocation["toolExecutionNotifications"] = std::move(notifications);
    Json runJson;
    runJson["tool"] = {{"driver", std::move(driver)}};
    runJson["invocations"] = Json::array({std::move(invocation)});
    runJson["results"] = std::move(results);
    runJson["properties"] = {{"rule_base", {{"date", run.ruleBaseDate}, {"sha256", run.ruleBaseSha256}}},
                             {"language", run.language}};
    Json log;
    log["$schema"] = kSarifSchema;
    log["version"] = "2.1.0";
    log["runs"] = Json::array({std::move(runJson)});
    return dumpJson(log, false) + "\n";
}

std::string fileUri(std::string_view path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out = path.substr(0, 1) == "/" ? "file://" : "";
    for (char c : path) {
        const auto b = static_cast<unsigned char>(c);
        const bool keep = (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') ||
                          c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
        if (keep) {
            out += c;
        } else {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 15];
        }
    }
    return out;
}

std::string findingMessage(const analysis::Finding& f, std::string_view server) {
    std::string m;
    if (!server.empty()) m += std::string(server) + ": ";
    m += f.name.empty() ? std::string(analysis::namesOf(f.kind).key) : f.name;
    if (!f.path.empty()) m += " [" + f.path + "]";
    m += " is \"" + f.value + "\"";
    if (!f.condition.empty()) m += "; the rule asks: " + f.condition;
    if (f.mark == analysis::Mark::Error) m += " (a date could not be read)";
    if (f.mark == analysis::Mark::Information) m += " (nothing compared)";
    if (f.rule && !f.rule->description.empty()) m += ". " + f.rule->description;
    return m;
}

}  // namespace qx::outputs
