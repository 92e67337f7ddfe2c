#pragma once
// Report keys of the Report page lists, their icons and their messages.

#include "app/application.hpp"
#include "lists/list_icons.hpp"
#include "xml/fields.hpp"
#include "xml/xml_document.hpp"

#include <string>
#include <string_view>

namespace qx::lists {

/// The `reporttext` entry of a message key (first child of that name), or an empty node.
xml::Node reportMessage(const Application& app, std::string_view key);
/// Message text of an entry in the current language (empty without one).
std::string reportMessageText(const Application& app, std::string_view key);
/// Address text of an entry (its element text).
std::string reportMessageUrl(const Application& app, std::string_view key);

/// Writes an edited message back into its entry: the text in the current language and the
/// address as the element text. False when the key has no entry.
bool setReportMessage(Application& app, std::string_view key, std::string_view text, std::string_view url);
/// Saves the localisation table as `menu.xml` in the program directory, atomically.
/// Empty text on success, else what failed.
std::string saveLocalisationTable(const Application& app);

/// The field reader, as the lists read records.
using xml::field;

}  // namespace qx::lists
