#include "analysis/evaluate_rule.hpp"

#include "analysis/date_reader.hpp"
#include "analysis/rule_kinds.hpp"
#include "util/text.hpp"

#include <cstdio>

namespace qx::analysis {

namespace {

template <typename T>
int threeWay(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

// Rule-item fields as evaluateRule reads them: exact names, the last repeated child wins.
struct RuleFields {
    std::string value, name, op, versionOp = "0", dateOp, version = "0", date;
    bool hasValue = false;
};

struct ItemFields {
    std::string value = "0", version = "0", date;
};

RuleFields readRuleFields(xml::Node rule) {
    RuleFields f;
    for (xml::Node c = rule.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element) continue;
        std::string_view n = c.name();
        if (n == "value" || n == "id") {
            f.value = xml::text(c);
            f.hasValue = true;
        } else if (n == "name")
            f.name = xml::text(c);
        else if (n == "condition")
            f.op = xml::text(c);
        else if (n == "version_condition")
            f.versionOp = xml::text(c);
        else if (n == "date_condition")
            f.dateOp = xml::text(c);
        else if (n == "version")
            f.version = xml::text(c);
        else if (n == "date")
            f.date = xml::text(c);
    }
    return f;
}

ItemFields readItemFields(xml::Node item) {
    ItemFields f;
    for (xml::Node c = item.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element) continue;
        std::string_view n = c.name();
        if (n == "value" || n == "id")
            f.value = xml::text(c);
        else if (n == "version")
            f.version = xml::text(c);
        else if (n == "date")
            f.date = xml::text(c);
    }
    return f;
}

// Upper-cased, without one leading "V".
std::string plainVersion(std::string_view v) {
    std::string u = text::toUpper(v);
    if (!u.empty() && u.front() == 'V') u.erase(0, 1);
    return u;
}

std::optional<std::int64_t> readDate(std::string_view d) {
    std::string s(text::trimBlanks(d));
    for (auto& c : s) {
        if (c == ',' || c == '.') c = ' ';
    }
    return readUsDate(s);
}

int compareProductRule(const RuleFields& r, const ItemFields& i) {
    int outcome = applyOperator(r.op, compareTexts(i.value, r.value));
    if (outcome == markCode(Mark::Good) && isComparisonOperator(r.versionOp)) {
        outcome = applyOperator(r.versionOp, compareTexts(plainVersion(i.version), plainVersion(r.version)));
    }
    return outcome;
}

int compareParameters(const RuleFields& r, const ItemFields& i, bool textWhenBothZero) {
    const std::string a = normaliseNumberText(i.value);
    const std::string b = normaliseNumberText(r.value);
    const double x = text::leadingDouble(a);
    const double y = text::leadingDouble(b);
    if (textWhenBothZero && x == 0 && y == 0) return applyOperator(r.op, compareTexts(a, b));
    return applyOperator(r.op, threeWay(x, y));
}

}  // namespace

bool isComparisonOperator(std::string_view op) {
    return op == "=" || op == "<" || op == "<=" || op == ">" || op == ">=" || op == "!=";
}

int applyOperator(std::string_view op, int c) {
    bool holds = false;
    if (op == "=")
        holds = c == 0;
    else if (op == "<")
        holds = c < 0;
    else if (op == "<=")
        holds = c <= 0;
    else if (op == ">")
        holds = c > 0;
    else if (op == ">=")
        holds = c >= 0;
    else if (op == "!=")
        holds = c != 0;
    else
        return markCode(Mark::Information);
    return holds ? markCode(Mark::Good) : markCode(Mark::Bad);
}

int compareTexts(std::string_view a, std::string_view b) {
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

std::string normaliseNumberText(std::string_view s) {
    std::string r = text::replaceAll(s, "MBytes", "");
    r = text::replaceAll(r, "ON", "1");
    r = text::replaceAll(r, "OFF", "2");
    r = text::replaceAll(r, "MIN", "");
    return text::replaceAll(r, "SEC", "");
}

ModuleVersion normaliseModuleVersion(std::string_view version) {
    ModuleVersion v;
    v.version = plainVersion(version);
    v.base = v.version;
    if (v.version.empty()) return v;
    const char last = v.version.back();
    if (last >= '0' && last <= '9') return v;
    v.version.pop_back();
    v.base = v.version;
    // Letters count from "A"; any other trailing mark is only dropped.
    if (last >= 'A' && last <= 'Z') {
        char buf[4];
        std::snprintf(buf, sizeof buf, "%02d", last - 'A');
        v.version += buf;
    }
    return v;
}

int compareModule(const ModuleComparison& m, bool unreadableDateIsError) {
    const ModuleVersion rule = normaliseModuleVersion(m.ruleVersion);
    const ModuleVersion config = normaliseModuleVersion(m.configVersion);
    const auto ruleDate = readDate(m.ruleDate);
    const auto configDate = readDate(m.configDate);
    if (unreadableDateIsError && (!ruleDate || !configDate)) return markCode(Mark::Error);
    int outcome = applyOperator(
        m.versionOperator, threeWay(text::leadingDouble(config.version), text::leadingDouble(rule.version)));
    if (outcome == markCode(Mark::Good) && rule.base == config.base && isComparisonOperator(m.dateOperator) &&
        ruleDate && configDate) {
        outcome = applyOperator(m.dateOperator, threeWay(*configDate, *ruleDate));
    }
    return outcome;
}

int evaluateRule(xml::Node rule, xml::Node item) {
    RuleFields r = readRuleFields(rule);
    const ItemFields i = readItemFields(item);
    if (!r.hasValue) r.value = xml::text(item);
    const RuleKindInfo* kind = kindOfItem(rule.name());
    switch (kind ? kind->comparison : Comparison::Text) {
        case Comparison::ModuleVersion:
            return compareModule({r.version, r.date, r.versionOp, r.dateOp, i.version, i.date}, true);
        case Comparison::ProductVersion:
            return compareProductRule(r, i);
        case Comparison::WholeNumber: {
            const long long a = text::leadingInteger(text::replaceAll(i.value, "MBytes", ""));
            const long long b = text::leadingInteger(text::replaceAll(r.value, "MBytes", ""));
            return applyOperator(r.op, threeWay(a, b));
        }
        case Comparison::SetParameter:
            // Its values are not numbers: it is compared as text.
            if (r.name != "RVP Protocol Preferences") return compareParameters(r, i, false);
            break;
        case Comparison::ServerParameter:
            return compareParameters(r, i, true);
        case Comparison::None:
        case Comparison::Text:
        case Comparison::LineTest:
            break;
    }
    return applyOperator(r.op, compareTexts(i.value, r.value));
}

}  // namespace qx::analysis
