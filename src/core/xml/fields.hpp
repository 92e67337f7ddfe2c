#pragma once
// Fields: the child elements whose texts hold the data of rule items and of configuration
// and report records.

#include "xml/xml_document.hpp"

#include <string>
#include <string_view>

namespace qx::xml {

/// Text of the first child element whose name equals `name` without regard to case;
/// empty when there is none.
std::string field(Node node, std::string_view name);
/// Appends a field holding a text, made storable (typed text may hold anything).
Node addField(Node parent, std::string_view name, std::string_view text);
/// Replaces the text of every field of that name (exact), or adds the field when there is none.
void setField(Node item, std::string_view name, std::string_view text);

}  // namespace qx::xml
