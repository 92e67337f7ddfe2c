#pragma once
// The one typed reading of an analysis. The report tree's records (and the marks on the
// configuration's modules) are the stored format; everything that shows or exports findings
// reads them through findings(), never by hand.

#include "analysis/rule_kinds.hpp"
#include "analysis/trail.hpp"
#include "xml/xml_document.hpp"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qx {
class CQXConfigDoc2;
}

namespace qx::analysis {

/// The verdict shown beside a finding. The numbers are the outcome codes the records store
/// (as decimal text) and the indices of the marks in the details list's icons.
enum class Mark {
    Information = 0,  // nothing compared (an operator the analysis does not know)
    NotChecked = 1,   // no rule looked at it
    Bad = 2,          // a rule is broken
    Good = 3,         // the rules hold
    Remark = 4,       // list marks only; the analysis never writes them
    Command = 5,
    Error = 6,  // a date that cannot be read
};

/// Every mark, in code order.
inline constexpr std::array<Mark, 7> kMarks = {Mark::Information, Mark::NotChecked, Mark::Bad,  Mark::Good,
                                               Mark::Remark,      Mark::Command,    Mark::Error};

/// The outcome code of a mark, as records store it.
constexpr int markCode(Mark m) {
    return static_cast<int>(m);
}
/// The mark of an outcome code; nothing for codes no mark has.
std::optional<Mark> markOfCode(long long code);
/// The mark a record's `image` text (or a module's `image` attribute) stores; text that is
/// no known code reads as Information.
Mark markOfText(std::string_view text);
/// "Information", "Not Checked", "Bad", "Good", "Remark", "Command", "Error".
std::string_view markName(Mark m);
/// How much a mark asks for attention when several findings meet in one place:
/// Bad, then Error, then Good, then the rest.
int markWeight(Mark m);

/// The mark the module check left on a configuration module (Not Checked when none).
Mark moduleMark(xml::Node module);

/// The kinds in the order the Report page's summary lists them.
inline constexpr std::array<FindingKindNames, 7> kFindingKinds = {
    namesOf(FindingKind::Module), namesOf(FindingKind::SetParameter), namesOf(FindingKind::ServerParameter),
    namesOf(FindingKind::Lan),    namesOf(FindingKind::Device),       namesOf(FindingKind::Volume),
    namesOf(FindingKind::Product)};
/// The kind whose records carry this `type`; nothing for an unknown one.
constexpr std::optional<FindingKind> kindOfType(std::string_view type) {
    for (const auto& k : kFindingKinds) {
        if (k.type == type) return k.kind;
    }
    return std::nullopt;
}

/// One finding of the analysis.
struct Finding {
    FindingKind kind = FindingKind::ServerParameter;
    Mark mark = Mark::Information;
    /// Configuration path of the item ("Config->Volume Statistics->SYS"); product findings:
    /// empty.
    std::string path;
    /// The item's name (a product finding: the product's name).
    std::string name;
    /// The configuration's value(s) and the rule's condition, as the record words them.
    std::string value, condition;
    /// The rule that decided, when the analysis recorded it (a module no rule names has none).
    std::shared_ptr<const RuleRef> rule;
    /// The rule path the record stores (also where `rule` is unknown).
    std::string rulePath;
    /// The product that owns the rule, where there is one.
    std::string productId, productName;
    /// SET parameters: the rule's requirement ("0" not required, "1" recommended,
    /// "2" required) and address, as the record stores them.
    std::string requirement, url;
    /// Products: present on the server (`checked` "good").
    bool present = false;
    /// The report file and the 1-based line that created the item; 0 when unknown (a tree
    /// loaded from ".XML" has no report lines).
    std::string file;
    std::uint32_t line = 0;
    /// The record behind the finding (a `details` or `check` record), empty for a module mark
    /// without one; `recordIndex` is its position among the records of its container.
    xml::Node record;
    std::size_t recordIndex = 0;
    /// The configuration item, where the analysis linked it (modules).
    xml::Node item;
};

/// Every finding of a document: products (in check order), modules (loaded, then found on
/// the search paths, in tree order), then the other records in the order the analysis wrote
/// them. `record` and `item` are nodes of the document's trees.
std::vector<Finding> findings(const CQXConfigDoc2& doc);

/// The report line behind a node a list shows: a configuration item's own line, or for an
/// analysis record the line of the item it judged; 0 when unknown.
std::uint32_t sourceLine(const CQXConfigDoc2& doc, xml::Node node);

}  // namespace qx::analysis
