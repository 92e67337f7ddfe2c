#pragma once
// The small routines that fill the report tree: the field reader, the configuration path
// and rule path writers, and the child writer.

#include "app/application.hpp"
#include "xml/xml_document.hpp"

#include <string>
#include <string_view>

namespace qx::analysis {

/// Text of the first child element whose name equals `name` without regard to case,
/// empty when there is none; for `date` every "." and "," becomes a blank.
std::string readField(xml::Node node, std::string_view name);
/// Appends a child element holding a text.
xml::Node addField(xml::Node parent, std::string_view name, std::string_view text);

/// Display path of a configuration node up to `config`, outermost first, joined by "->":
/// labels of element names, `name` attributes of devices, volumes, LANs, file groups,
/// files and SET categories; records (`property`, `set-param`, `serverparam`, `module`)
/// add nothing.
std::string configurationPath(xml::Node node, const Application& app);
/// Display path of a rule-base node from the root: " -> " and `name` attributes, product
/// and group versions; area lists of parameters, devices, volumes, LANs and modules join
/// without a separator.
std::string rulePath(xml::Node node);

}  // namespace qx::analysis
