#include "outputs/ci_formats.hpp"
#include "outputs/mark_looks.hpp"

#include "xml/xml_document.hpp"

namespace qx::outputs {

namespace {

// Texts from reports and paths may hold bytes XML cannot carry.
void attr(xml::Node n, std::string_view name, std::string_view value) {
    xml::setAttribute(n, name, xml::sanitize(value));
}

void property(xml::Node properties, std::string_view name, std::string_view value) {
    xml::Node p = xml::appendElement(properties, "property");
    attr(p, "name", name);
    attr(p, "value", value);
}

// What a failing case tells beyond its message: the rule, its explanation and where the
// value stands in the report.
std::string details(const analysis::Finding& f, const RunInfo& run) {
    std::string d;
    if (f.rule) {
        std::string where;
        for (const auto& s : f.rule->segments) where += (where.empty() ? "" : " > ") + s;
        d += "Rule: " + f.rule->key + " (" + where + ")\n";
        if (!f.rule->description.empty()) d += "Description: " + f.rule->description + "\n";
        const std::string help = helpAddress(*f.rule, run.kdnFinderUrl);
        if (!help.empty()) d += "Help: " + help + "\n";
    } else if (!f.rulePath.empty()) {
        d += "Rule: " + f.rulePath + "\n";
    }
    d += "Condition: " + f.condition + "\nValue: " + f.value + "\n";
    if (f.line) d += "Source: " + f.file + ":" + std::to_string(f.line) + "\n";
    return d;
}

struct SuiteCounts {
    int tests = 0, failures = 0, errors = 0, skipped = 0;
    void into(xml::Node n) const {
        xml::setAttribute(n, "tests", std::to_string(tests));
        xml::setAttribute(n, "failures", std::to_string(failures));
        xml::setAttribute(n, "errors", std::to_string(errors));
        xml::setAttribute(n, "skipped", std::to_string(skipped));
    }
    void add(const SuiteCounts& o) {
        tests += o.tests;
        failures += o.failures;
        errors += o.errors;
        skipped += o.skipped;
    }
};

SuiteCounts failedSuite(xml::Node suites, const AnalysedReport& r) {
    xml::Node suite = xml::appendElement(suites, "testsuite");
    attr(suite, "name", fileName(r.file));
    attr(suite, "file", r.file);
    xml::Node tc = xml::appendElement(suite, "testcase");
    attr(tc, "classname", fileName(r.file));
    attr(tc, "name", "open the report");
    xml::Node e = xml::appendElement(tc, "error");
    attr(e, "message", r.error);
    attr(e, "type", "unreadable");
    SuiteCounts c{1, 0, 1, 0};
    c.into(suite);
    return c;
}

SuiteCounts reportSuite(xml::Node suites, const AnalysedReport& r, const RunInfo& run) {
    const std::string name = r.server.empty() ? std::string(fileName(r.file)) : r.server;
    xml::Node suite = xml::appendElement(suites, "testsuite");
    attr(suite, "name", name);
    attr(suite, "file", r.file);
    xml::Node props = xml::appendElement(suite, "properties");
    property(props, "file", r.file);
    property(props, "title", r.title);
    property(props, "rule_base_date", run.ruleBaseDate);
    property(props, "rule_base_sha256", run.ruleBaseSha256);
    for (const auto& p : r.products) {
        if (p.present)
            property(props, "product",
                     p.name + " (ID " + p.productId + ")" +
                         (p.mark == analysis::Mark::Bad ? ": a rule is broken" : ""));
    }
    SuiteCounts c;
    for (const auto& f : r.findings) {
        // A module no rule names was not tested.
        if (f.mark == analysis::Mark::NotChecked) continue;
        ++c.tests;
        xml::Node tc = xml::appendElement(suite, "testcase");
        attr(tc, "classname", name + "." + std::string(analysis::namesOf(f.kind).key));
        attr(tc, "name", f.path.empty() ? f.name : f.name + " [" + f.path + "]");
        attr(tc, "file", f.file);
        if (f.line) xml::setAttribute(tc, "line", std::to_string(f.line));
        const std::string_view outcome = lookOf(f.mark).junitOutcome;
        if (outcome.empty()) continue;
        xml::Node o = xml::appendElement(tc, outcome);
        attr(o, "message", findingMessage(f, r.server));
        if (f.mark != analysis::Mark::Information) {
            attr(o, "type", analysis::markKey(f.mark));
            xml::setText(o, xml::sanitize(details(f, run)));
        }
        c.failures += f.mark == analysis::Mark::Bad;
        c.errors += f.mark == analysis::Mark::Error;
        c.skipped += f.mark == analysis::Mark::Information;
    }
    if (!r.warnings.empty()) {
        std::string text;
        for (const auto& w : r.warnings) text += w + "\n";
        xml::appendElement(suite, "system-err", xml::sanitize(text));
    }
    c.into(suite);
    return c;
}

}  // namespace

std::string renderJunit(const std::vector<AnalysedReport>& reports, const RunInfo& run) {
    xml::Document doc;
    xml::Node suites = doc.createRoot("testsuites");
    attr(suites, "name", run.tool);
    SuiteCounts total;
    for (const auto& r : reports) total.add(r.opened ? reportSuite(suites, r, run) : failedSuite(suites, r));
    total.into(suites);
    return doc.saveString();
}

}  // namespace qx::outputs
