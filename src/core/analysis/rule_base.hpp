#pragma once
// Questions the analysis asks of the rule base: which container a rule belongs to, which
// product owns it, whether it takes part for a document, and the product records that
// answer the last question.

#include "document/config_doc.hpp"
#include "xml/xml_document.hpp"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace qx::analysis {

/// True for `product`, `productgroup` and `rules`, where the container climb stops.
bool isContainer(xml::Node node);
/// The container that decides whether a rule item (or a `modules` list) takes part: the
/// product group whose lists hold it (always active), the product whose lists or
/// `requireds` hold it (active when present), or an empty node (never active).
xml::Node decidingContainer(xml::Node start);
/// `ID` of the product that owns a rule item (climbing at most three levels), nothing when
/// the item belongs to no product.
std::optional<std::string> owningProductId(xml::Node ruleItem);

/// The first product record per `ID` in a document's report tree, for fast look-ups.
/// Records are only read and their `status` changed while an index lives.
class ProductRecords {
public:
    explicit ProductRecords(const CQXConfigDoc2& doc);
    /// True when there is no record with this `ID` or the first one has `checked` "bad".
    [[nodiscard]] bool isProductBad(const std::string& id) const;
    /// Sets `status` "bad" on the first record with this `ID`; nothing without one.
    void markBad(const std::string& id) const;
    /// Whether a rule item or `modules` list takes part.
    [[nodiscard]] bool isRuleActive(xml::Node node) const;

private:
    std::unordered_map<std::string, xml::Node> m_first;
};

}  // namespace qx::analysis
