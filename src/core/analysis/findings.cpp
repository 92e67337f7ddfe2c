#include "analysis/findings.hpp"

#include "analysis/records.hpp"
#include "document/config_doc.hpp"
#include "util/text.hpp"

#include <cstring>
#include <unordered_map>

namespace qx::analysis {

namespace {

struct MarkTraits {
    std::string_view name;
    std::string_view key;
    int weight;
};
// By outcome code.
constexpr std::array<MarkTraits, kMarks.size()> kMarkTraits = {{{"Information", "information", 0},
                                                                {"Not Checked", "not_checked", 0},
                                                                {"Bad", "bad", 3},
                                                                {"Good", "good", 1},
                                                                {"Remark", "remark", 0},
                                                                {"Command", "command", 0},
                                                                {"Error", "error", 2}}};

// The first child element of that name, where the passes write their records.
xml::Node firstSection(const CQXConfigDoc2& doc, const char* name) {
    const xml::Node root = doc.report().root();
    return root ? root.child(name) : xml::Node();
}

std::vector<xml::Node> recordsOf(xml::Node section, const char* element) {
    std::vector<xml::Node> out;
    for (xml::Node c = section.first_child(); c; c = c.next_sibling()) {
        if (c.type() == pugi::node_element && std::strcmp(c.name(), element) == 0) out.push_back(c);
    }
    return out;
}

class Reader {
public:
    explicit Reader(const CQXConfigDoc2& doc) : m_doc(doc), m_trail(doc.trail) {}

    std::vector<Finding> read() {
        std::vector<Finding> out;
        products(out);
        const std::vector<xml::Node> details = recordsOf(firstSection(m_doc, "details"), "property");
        // The trail describes these records only when it has one entry per record.
        const bool traced = m_trail.detailCount() == details.size();
        std::vector<bool> linked(details.size(), false);
        modules(out, details, traced, linked);
        for (std::size_t k = 0; k < details.size(); ++k) {
            if (linked[k]) continue;
            const auto kind = kindOfType(xml::attribute(details[k], "type"));
            if (!kind) continue;
            Finding f = fromRecord(*kind, details[k], k, traced);
            out.push_back(std::move(f));
        }
        return out;
    }

private:
    std::shared_ptr<const RuleRef> rule(std::uint32_t index) const { return m_trail.rule(index); }

    void products(std::vector<Finding>& out) const {
        const std::vector<xml::Node> records = recordsOf(firstSection(m_doc, "check"), "product");
        const bool traced = m_trail.products().size() == records.size();
        for (std::size_t k = 0; k < records.size(); ++k) {
            const xml::Node rec = records[k];
            Finding f;
            f.kind = FindingKind::Product;
            f.present = xml::attribute(rec, "checked") == "good";
            f.mark = !f.present                                ? Mark::NotChecked
                     : xml::attribute(rec, "status") == "good" ? Mark::Good
                                                               : Mark::Bad;
            f.name = xml::childText(rec, "name");
            f.productId = xml::attribute(rec, "ID");
            f.productName = f.name;
            f.value = f.present ? "present" : "absent";
            f.file = m_doc.path;
            f.record = rec;
            f.recordIndex = k;
            if (traced) f.rule = rule(m_trail.products()[k]);
            if (f.rule) f.rulePath = f.rule->path;
            out.push_back(std::move(f));
        }
    }

    Finding fromRecord(FindingKind kind, xml::Node rec, std::size_t k, bool traced) const {
        Finding f;
        f.kind = kind;
        f.mark = markOfText(readField(rec, "image"));
        f.path = readField(rec, "type");
        f.rulePath = readField(rec, "rules");
        f.name = readField(rec, "name");
        f.condition = readField(rec, "condition");
        f.value = readField(rec, "value");
        if (kind == FindingKind::SetParameter) {
            f.requirement = readField(rec, "icon");
            f.url = readField(rec, "url");
        }
        f.file = m_doc.path;
        f.record = rec;
        f.recordIndex = k;
        if (traced) {
            f.line = m_trail.detailLine(k);
            f.rule = rule(m_trail.detailRule(k));
        }
        f.productId = xml::attribute(rec, "ID");
        if (f.rule) {
            if (f.productId.empty()) f.productId = f.rule->productId;
            f.productName = f.rule->productName;
        }
        return f;
    }

    // Every marked module in tree order; a broken rule's record speaks for its module.
    void modules(std::vector<Finding>& out, const std::vector<xml::Node>& details, bool traced,
                 std::vector<bool>& linked) const {
        std::unordered_map<const void*, const Trail::Module*> verdicts;
        for (const auto& v : m_trail.modules()) verdicts.emplace(v.module.internal_object(), &v);
        std::vector<xml::Node> loaded, searchPath;
        xml::forEachElementBelow(m_doc.config().documentNode(), [&](xml::Node n) {
            if (std::strcmp(n.name(), "module") != 0 || !xml::hasAttribute(n, "image")) return true;
            const char* list = n.parent().name();
            if (std::strcmp(list, "loaded-modules") == 0) loaded.push_back(n);
            if (std::strcmp(list, "search-path-modules") == 0) searchPath.push_back(n);
            return true;
        });
        for (const auto* list : {&loaded, &searchPath}) {
            for (xml::Node m : *list) {
                auto v = verdicts.find(m.internal_object());
                const Trail::Module* verdict = v == verdicts.end() ? nullptr : v->second;
                Finding f;
                if (verdict && traced && verdict->record < details.size()) {
                    f = fromRecord(FindingKind::Module, details[verdict->record], verdict->record, true);
                    linked[verdict->record] = true;
                } else {
                    f.kind = FindingKind::Module;
                    f.path = m_trail.modulePath(m.parent());
                    f.name = readField(m, "name");
                    f.value = readField(m, "version") + " " + readField(m, "date");
                    f.file = m_doc.path;
                    if (verdict) f.rule = rule(verdict->rule);
                    if (f.rule) {
                        f.rulePath = f.rule->path;
                        f.productId = f.rule->productId;
                        f.productName = f.rule->productName;
                    }
                }
                f.mark = moduleMark(m);
                f.item = m;
                f.line = m_doc.provenance.lineOf(m);
                out.push_back(std::move(f));
            }
        }
    }

    const CQXConfigDoc2& m_doc;
    const Trail& m_trail;
};

}  // namespace

std::optional<Mark> markOfCode(long long code) {
    for (Mark m : kMarks) {
        if (markCode(m) == code) return m;
    }
    return std::nullopt;
}

Mark markOfText(std::string_view t) {
    return markOfCode(text::leadingInteger(t)).value_or(Mark::Information);
}

std::string_view markName(Mark m) {
    return kMarkTraits[static_cast<std::size_t>(markCode(m))].name;
}

std::string_view markKey(Mark m) {
    return kMarkTraits[static_cast<std::size_t>(markCode(m))].key;
}

std::optional<Mark> markOfKey(std::string_view key) {
    for (Mark m : kMarks) {
        if (markKey(m) == key) return m;
    }
    return std::nullopt;
}

int markWeight(Mark m) {
    return kMarkTraits[static_cast<std::size_t>(markCode(m))].weight;
}

Mark moduleMark(xml::Node module) {
    const pugi::xml_attribute a = module.attribute("image");
    return a ? markOfText(a.value()) : Mark::NotChecked;
}

const Requirement* requirementOf(const Finding& f) {
    if (f.kind != FindingKind::SetParameter) return nullptr;
    const long long code = text::leadingInteger(f.requirement);
    for (const Requirement& r : kRequirements) {
        if (text::leadingInteger(r.code) == code) return &r;
    }
    return nullptr;
}

std::vector<Finding> findings(const CQXConfigDoc2& doc) {
    return Reader(doc).read();
}

std::uint32_t sourceLine(const CQXConfigDoc2& doc, xml::Node node) {
    if (!node) return 0;
    const xml::Node top = node.root();
    if (top == doc.config().documentNode()) return doc.provenance.lineOf(node);
    if (top != doc.report().documentNode()) return 0;
    xml::Node rec = node;
    while (rec && rec.parent() && std::string_view(rec.parent().name()) != "details") rec = rec.parent();
    if (!rec || rec.parent() != firstSection(doc, "details")) return 0;
    std::size_t k = 0;
    for (xml::Node c = rec.previous_sibling(); c; c = c.previous_sibling()) {
        if (c.type() == pugi::node_element && std::strcmp(c.name(), "property") == 0) ++k;
    }
    if (doc.trail.detailCount() != recordsOf(rec.parent(), "property").size()) return 0;
    return doc.trail.detailLine(k);
}

}  // namespace qx::analysis
