#pragma once
// Texts that take a list out of the program: clipboard, "Save As text", support-site look-ups.

#include "app/application.hpp"
#include "document/config_doc.hpp"
#include "lists/list_model.hpp"

#include <array>
#include <string>
#include <string_view>

namespace qx::lists {

/// "Copy to Clipboard": headers and cells each followed by a tab, rows ended by "\r\n";
/// cells under the `label("kdn")` column start with the KDN Finder address.
std::string clipboardText(const ListModel& model, const Application& app);
/// "Save As text": like the clipboard text with "\n" line ends and no addresses.
std::string saveAsText(const ListModel& model);
/// Tab-separated rows with a chosen line end, one cell per column.
std::string tabSeparated(const ListModel& model, std::string_view lineEnd);

/// Percent-encodes everything but the unreserved characters, so that an appended text can
/// neither leave the address's query or path nor carry quotes or blanks to a shell.
std::string percentEncode(std::string_view text);

/// "Find" on a module or abend row: File Finder address + the row's `url` and `name` fields
/// (the address alone without a row node).
std::string fileFinderAddress(const Settings& settings, xml::Node rowNode);
/// "Find"/"Look up KDN": KDN Finder address + the text of the row's second column.
std::string kdnAddress(const Settings& settings, const ListRow* row);
/// Look-up by the `kdn` field of the row's node.
std::string kdnFieldAddress(const Settings& settings, xml::Node rowNode);

/// The files "Save As xml" writes for a chosen name: the configuration tree under the name,
/// the rule base under name + ".xml", the report tree under name + ".xmlr.xml".
std::array<std::string, 3> xmlSetPaths(const std::string& path);
/// "Save As xml": writes the three trees; all three files are replaced or none. The rule base
/// is written as the document's analysis leaves it (its module lists marked for the document),
/// so the three agree whichever document was analysed last. Empty text on success.
std::string saveXmlSet(const CQXConfigDoc2& doc, const Application& app, const std::string& path);

/// Proposed file name of the save dialogs: the server name + extension (".txt", ".xml"); the
/// report's file name where the report names no server; never a path.
std::string proposedFileName(const CQXConfigDoc2& doc, std::string_view extension);

}  // namespace qx::lists
