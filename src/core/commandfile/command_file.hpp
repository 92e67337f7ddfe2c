#pragma once
// The SET-parameter command file (".qxs"): SET commands with the values the rule base gives
// for the SET parameters of the rules that take part for one configuration.

#include "app/application.hpp"
#include "document/config_doc.hpp"

#include <functional>
#include <string>
#include <vector>

namespace qx::commandfile {

/// The three categories of the "Create QXS file" dialog (all checked by default).
struct CommandFileOptions {
    bool notRequired = true;  // type "3" or empty: "# RPK "
    bool recommended = true;  // type "1": "# beta "
    bool required = true;     // type "2": "# public "
};

/// Window title and text of a command file, and what had to be changed to write it.
struct CommandFile {
    std::string title;
    std::string text;
    /// One line per text that held a line break: each is written as a blank, since a break
    /// would start a command line of its own (a value "8000\r\nLOAD X.QXK" loads X).
    std::vector<std::string> warnings;
};

/// Whether a rule item takes part in the analysis of the configuration.
using RuleActiveFn = std::function<bool(xml::Node)>;

/// Builds the command file of a configuration from the application's rule base.
CommandFile buildCommandFile(const CQXConfigDoc2& doc, const Application& app,
                             const CommandFileOptions& options, const RuleActiveFn& isRuleActive);

/// Builds the command file with the analysis's own test of which rules take part.
CommandFile buildCommandFile(const CQXConfigDoc2& doc, const Application& app,
                             const CommandFileOptions& options);

/// Location label of a node: the localised labels of its containers joined by " -> ".
std::string locationLabel(xml::Node node, const Application& app);

/// Title of a command file window: "Server name" and "Server Name" values + ".qxs".
std::string commandFileTitle(const CQXConfigDoc2& doc);

}  // namespace qx::commandfile
