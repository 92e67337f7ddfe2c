#include "commandfile/command_file.hpp"

#include "analysis/rule_base.hpp"
#include "util/text.hpp"

#include <array>
#include <vector>

namespace qx::commandfile {

namespace {

bool keepsLabelUnchanged(xml::Node parent) {
    if (parent.type() != pugi::node_element) return true;  // the document node ("#document")
    const std::string_view n = parent.name();
    return n.starts_with("#") || n == "device" || n == "volume" || n == "lan";
}

bool takesItemName(std::string_view parentName) {
    static constexpr std::array<std::string_view, 6> kNamed{"volumes", "lans",    "filegroup",
                                                            "files",   "devices", "set-category"};
    for (auto n : kNamed) {
        if (n == parentName) return true;
    }
    return false;
}

struct Item {
    std::string name, value, type, location;
};

// One command per line: a line break inside a text becomes a blank.
std::string oneLine(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return out;
}

void neutralise(Item& item, std::vector<std::string>& warnings) {
    const std::string shownName = text::printable(item.name);
    for (auto [field, what] :
         {std::pair{&item.name, "name"}, {&item.value, "value"}, {&item.location, "location"}}) {
        if (!text::hasLineBreak(*field)) continue;
        *field = oneLine(*field);
        warnings.push_back("SET parameter rule \"" + shownName + "\": the line break in its " + what +
                           " is written as a blank");
    }
}

}  // namespace

std::string locationLabel(xml::Node node, const Application& app) {
    // Walked top-down instead of recursively, so a deep tree cannot exhaust the stack.
    if (!node) return {};
    std::vector<xml::Node> chain;
    for (xml::Node n = node; n; n = n.parent()) chain.push_back(n);
    std::string label;  // label of the topmost node: it has no parent
    for (std::size_t i = chain.size() - 1; i-- > 0;) {
        const xml::Node parent = chain[i + 1];
        std::string next(text::trimLeftBlanks(label));
        if (!keepsLabelUnchanged(parent)) {
            const std::string_view parentName = parent.name();
            if (parentName != "config") next += " -> ";
            next += takesItemName(parentName) ? xml::attribute(chain[i], "name") : app.label(parentName);
        }
        label = std::move(next);
    }
    return label;
}

std::string commandFileTitle(const CQXConfigDoc2& doc) {
    return doc.serverParameter("Server name") + doc.serverParameter("Server Name") + ".qxs";
}

CommandFile buildCommandFile(const CQXConfigDoc2& doc, const Application& app,
                             const CommandFileOptions& options, const RuleActiveFn& isRuleActive) {
    CommandFile out;
    out.title = commandFileTitle(doc);
    std::vector<Item> items;
    for (xml::Node rule : xml::select(app.ruleBase().documentNode(), "set-param")) {
        if (isRuleActive && !isRuleActive(rule)) continue;
        items.push_back({xml::childText(rule, "name"), xml::childText(rule, "value"),
                         xml::childText(rule, "type"), locationLabel(rule, app)});
    }
    struct Pass {
        bool enabled;
        const char* heading;
        bool (*takes)(const std::string&);
    };
    const std::array<Pass, 3> passes{{
        {options.notRequired, "# RPK \r\n\r\n", [](const std::string& t) { return t == "3" || t.empty(); }},
        {options.recommended, "\r\n# beta \r\n\r\n", [](const std::string& t) { return t == "1"; }},
        {options.required, "\r\n# public \r\n\r\n", [](const std::string& t) { return t == "2"; }},
    }};
    for (const Pass& pass : passes) {
        if (!pass.enabled) continue;
        bool headed = false;
        std::string lastLocation;
        for (const Item& listed : items) {
            if (!pass.takes(listed.type)) continue;
            Item item = listed;
            neutralise(item, out.warnings);
            if (!headed) {
                out.text += pass.heading;
                headed = true;
            }
            if (item.location != lastLocation) {
                out.text += "\r\n# " + item.location + " \r\n\r\n";
                lastLocation = item.location;
            }
            out.text += "SET " + item.name + " = " + item.value + " \r\n";
        }
    }
    return out;
}

CommandFile buildCommandFile(const CQXConfigDoc2& doc, const Application& app,
                             const CommandFileOptions& options) {
    // The document's product records indexed once for the whole rule base.
    const analysis::ProductRecords records(doc);
    return buildCommandFile(doc, app, options,
                            [&records](xml::Node item) { return records.isRuleActive(item); });
}

}  // namespace qx::commandfile
