#include "compare/server_compare.hpp"

#include "analysis/records.hpp"
#include "lists/report_keys.hpp"
#include "util/text.hpp"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

namespace qx::compare {

namespace {

std::size_t charCount(std::string_view s) {
    std::size_t n = 0;
    for (unsigned char c : s) n += (c & 0xC0) != 0x80;
    return n;
}

// Cuts the entry as its 500-byte slot would: the whole text to 499 characters.
CompareEntry cutEntry(std::string_view path, std::string_view name, std::string_view value) {
    std::size_t budget = kEntryLimit;
    CompareEntry e;
    e.path = text::cutUtf8(path, budget);
    budget -= charCount(e.path);
    if (budget == 0) return e;
    --budget;  // separator
    e.name = text::cutUtf8(name, budget);
    budget -= charCount(e.name);
    if (budget == 0) return e;
    --budget;
    e.value = text::cutUtf8(value, budget);
    return e;
}

// Sort and look-up key of path and name; the separator keeps "ab"+"c" apart from "a"+"bc".
std::string keyOf(const CompareEntry& e) {
    return text::toLower(e.path) + kSeparator + text::toLower(e.name) + kSeparator;
}

void collect(std::vector<CompareEntry>& out, const std::vector<xml::Node>& nodes, const Application& app,
             const char* valueChild) {
    std::unordered_map<const void*, std::string> pathOfParent;  // siblings share their path
    for (xml::Node n : nodes) {
        auto [it, inserted] = pathOfParent.try_emplace(n.parent().internal_object());
        if (inserted) it->second = configurationPath(n, app);
        std::string value = xml::childText(n, valueChild);
        if (std::string_view(valueChild) == "version") value += " " + xml::childText(n, "date");
        out.push_back(cutEntry(it->second, xml::childText(n, "name"), std::move(value)));
    }
}

}  // namespace

namespace {

template <class Options>
auto* optionFlag(Options& o, std::string_view name) {
    return name == "serverparams"       ? &o.serverparams
           : name == "modules"          ? &o.modules
           : name == "allocationmemory" ? &o.allocationmemory
           : name == "lans"             ? &o.lans
           : name == "devices"          ? &o.devices
           : name == "volumes"          ? &o.volumes
           : name == "setparams"        ? &o.setparams
                                        : nullptr;
}

}  // namespace

bool CompareOptions::set(std::string_view name) {
    bool* flag = optionFlag(*this, name);
    if (flag) *flag = true;
    return flag != nullptr;
}

bool CompareOptions::has(std::string_view name) const {
    const bool* flag = optionFlag(*this, name);
    return flag && *flag;
}

CompareOptions CompareOptions::all() {
    return {true, true, true, true, true, true, true};
}

std::string configurationPath(xml::Node node, const Application& app) {
    return analysis::configurationPath(node, app);
}

std::vector<CompareEntry> collectEntries(const CQXConfigDoc2& doc, const Application& app,
                                         const CompareOptions& options) {
    std::vector<CompareEntry> out;
    const xml::Node top = doc.config().documentNode();
    if (options.serverparams) collect(out, xml::select(top, "serverparam"), app, "value");
    if (options.modules) collect(out, xml::select(top, "module"), app, "version");
    if (options.allocationmemory) {
        const std::string path =
            app.label("config") + "->" + app.label("allocatedmemory") + "->" + doc.serverName();
        for (xml::Node m : xml::select(top, "loaded-modules/module")) {
            out.push_back(cutEntry(path, xml::childText(m, "name"), xml::childText(m, "allocated-memory")));
        }
    }
    if (options.lans) collect(out, xml::select(top, "lan/property"), app, "value");
    if (options.devices) collect(out, xml::select(top, "device/property"), app, "value");
    if (options.volumes) collect(out, xml::select(top, "volume/property"), app, "value");
    if (options.setparams) collect(out, xml::select(top, "set-param"), app, "value");
    struct SortKey {
        std::string key, value;
        std::size_t index;
    };
    std::vector<SortKey> keys;
    keys.reserve(out.size());
    for (std::size_t i = 0; i < out.size(); ++i)
        keys.push_back({keyOf(out[i]), text::toLower(out[i].value), i});
    // Path and name first, then value: the whole text's order, and the order the merge relies on.
    std::stable_sort(keys.begin(), keys.end(), [](const SortKey& a, const SortKey& b) {
        return a.key != b.key ? a.key < b.key : a.value < b.value;
    });
    std::vector<CompareEntry> sorted;
    sorted.reserve(out.size());
    for (const auto& k : keys) sorted.push_back(std::move(out[k.index]));
    return sorted;
}

std::string entryText(const CompareEntry& e) {
    return e.path + kSeparator + e.name + kSeparator + e.value;
}

std::string lineText(const CompareLine& line) {
    char status[16];
    std::snprintf(status, sizeof status, "%3d", line.status);
    std::string out = status;
    out += kSeparator + line.path + kSeparator + line.name + kSeparator;
    for (std::size_t i = 0; i < line.values.size(); ++i) {
        if (i == 0 || line.present[i]) out += line.values[i];
        out += kSeparator;
    }
    return out;
}

CompareResult compareServers(const CQXConfigDoc2& base, const std::vector<const CQXConfigDoc2*>& others,
                             const Application& app, const CompareOptions& options,
                             const CompareProgress& progress) {
    CompareResult r;
    r.baseTitle = base.title;
    r.baseName = base.serverName();
    std::vector<const CQXConfigDoc2*> compared;
    for (const CQXConfigDoc2* d : others) {
        if (!d || d == &base) continue;  // a server is never compared with itself
        compared.push_back(d);
        r.serverTitles.push_back(d->title);
        r.serverNames.push_back(d->serverName());
    }
    const int steps = static_cast<int>(compared.size()) + 2;
    auto step = [&progress, steps](int done) {
        if (progress) progress(done, steps);
    };
    step(0);
    const auto baseEntries = collectEntries(base, app, options);
    step(1);
    struct Cursor {
        std::vector<CompareEntry> entries;
        std::vector<std::string> keys;
        std::size_t at = 0;
    };
    std::vector<Cursor> cursors(compared.size());
    for (std::size_t s = 0; s < compared.size(); ++s) {
        cursors[s].entries = collectEntries(*compared[s], app, options);
        for (const auto& e : cursors[s].entries) cursors[s].keys.push_back(keyOf(e));
        step(static_cast<int>(s) + 2);
    }
    r.lines.reserve(baseEntries.size());
    for (const auto& e : baseEntries) {
        CompareLine line{kStatusNone, e.path, e.name, {e.value}, {true}};
        const std::string key = keyOf(e);
        for (auto& c : cursors) {
            // Both lists are sorted by key: advance, never search.
            while (c.at < c.keys.size() && c.keys[c.at] < key) ++c.at;
            const bool found = c.at < c.keys.size() && c.keys[c.at] == key;
            const std::string value = found ? c.entries[c.at].value : std::string();
            line.values.push_back(value);
            line.present.push_back(found);
            if (!found) continue;
            if (value.empty()) {
                line.status = kStatusNone;
            } else if (value != e.value) {
                line.status = kStatusNotEqual;
            } else if (line.status != kStatusNotEqual) {
                line.status = kStatusEqual;
            }
        }
        r.lines.push_back(std::move(line));
    }
    r.tree = buildTree(r.lines);
    step(steps);
    return r;
}

std::string compareListText(const CompareResult& result, const Application& app, std::string_view lineEnd) {
    std::string out = app.label("types") + "\t" + app.label("name") + "\t" + result.baseName;
    for (const auto& n : result.serverNames) out += "\t" + n;
    out += lineEnd;
    for (const auto& line : result.lines) {
        out += line.path + "\t" + line.name;
        for (const auto& v : line.values) out += "\t" + v;
        out += lineEnd;
    }
    return out;
}

}  // namespace qx::compare
