#pragma once
// The small routines that fill the report tree: the analysis's field reader and the
// configuration path and rule path writers.

#include "app/application.hpp"
#include "xml/xml_document.hpp"

#include <string>
#include <string_view>

namespace qx::analysis {

/// The field reader (xml::field) as the analysis reads rules and items: for `date` every
/// "." and "," becomes a blank, so that the date reader meets one separator.
std::string readField(xml::Node node, std::string_view name);

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
