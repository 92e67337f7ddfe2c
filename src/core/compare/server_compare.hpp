#pragma once
// Server comparison: the values of a base server side by side with those of other servers,
// each line marked equal, not equal or not compared, and a tree of the paths.

#include "app/application.hpp"
#include "document/config_doc.hpp"
#include "lists/list_icons.hpp"

#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace qx::compare {

/// Status codes of a compare line (also the icon indices of the compare list).
inline constexpr int kStatusNone = lists::icon::kInformation;
inline constexpr int kStatusEqual = lists::icon::kEqual;
inline constexpr int kStatusNotEqual = lists::icon::kNotEqual;

/// The option names in the order of the selection dialog's type check boxes; each is also
/// the localisation key of its label.
inline constexpr const char* kOptionNames[] = {
    "serverparams", "modules", "lans", "devices", "volumes", "setparams", "allocationmemory"};

/// The kinds of values to compare (the dialog's type check boxes).
struct CompareOptions {
    bool serverparams = false;
    bool modules = false;
    bool allocationmemory = false;
    bool lans = false;
    bool devices = false;
    bool volumes = false;
    bool setparams = false;

    /// Sets an option by its name ("serverparams", ...); false for an unknown name.
    bool set(std::string_view name);
    /// Whether the named option is set (false for an unknown name).
    [[nodiscard]] bool has(std::string_view name) const;
    /// Every option set.
    static CompareOptions all();
};

/// The separator of the entries' text form.
inline constexpr char kSeparator = '\xF0';
/// Entries are cut to this many characters, as in their fixed slots.
inline constexpr std::size_t kEntryLimit = 499;

/// One collected configuration item: path, name and value (UTF-8).
struct CompareEntry {
    std::string path;
    std::string name;
    std::string value;
};

/// The entries of one document for the options, cut to the slot size and sorted once,
/// ascending without regard to case.
std::vector<CompareEntry> collectEntries(const CQXConfigDoc2& doc, const Application& app,
                                         const CompareOptions& options);
/// The text form of an entry: path, separator, name, separator, value.
std::string entryText(const CompareEntry& e);

/// One line per base entry: status, path, name, the base value and one value per compared
/// server ("" where the server has no such entry; `present` tells them apart).
struct CompareLine {
    int status = kStatusNone;
    std::string path;
    std::string name;
    std::vector<std::string> values;
    std::vector<bool> present;
};
/// The line's text form: "%3d" status, separator, path, name, value and each server's value
/// (or nothing), each followed by the separator.
std::string lineText(const CompareLine& line);

/// A node of the path tree, in creation order (parents before children).
struct CompareTreeNode {
    std::string path;  // the path up to and including this node, joined by "->"
    std::string text;  // this node's own part
    int depth = 0;
    std::string image;  // "informations", "equal" or "notequal"
    int parent = -1;
};

/// The whole comparison.
struct CompareResult {
    std::string baseTitle;
    std::vector<std::string> serverTitles;  // the compared servers, in document order
    std::string baseName;                   // server names ("Server name"/"Server Name")
    std::vector<std::string> serverNames;
    std::vector<CompareLine> lines;
    std::vector<CompareTreeNode> tree;
};

/// Progress of a comparison: steps done of all steps (one per document plus one).
using CompareProgress = std::function<void(int done, int steps)>;

/// Compares the base document with the others (the base itself is never compared).
CompareResult compareServers(const CQXConfigDoc2& base, const std::vector<const CQXConfigDoc2*>& others,
                             const Application& app, const CompareOptions& options,
                             const CompareProgress& progress = {});

/// The tree of the lines' paths with their folded images.
std::vector<CompareTreeNode> buildTree(const std::vector<CompareLine>& lines);

/// The full list as text: a header row (label "types", label "name", the servers' names),
/// then path, name and values per line; columns separated by a tab, rows ended by `lineEnd`.
std::string compareListText(const CompareResult& result, const Application& app, std::string_view lineEnd);

/// Configuration path of a configuration node ("Config->Volume Statistics->SYS").
std::string configurationPath(xml::Node node, const Application& app);

/// The up-time display of the allocated-memory nodes: headers and rows of texts.
struct UptimeDisplay {
    std::vector<std::string> headers;
    struct Row {
        int icon = lists::icon::kInformation;
        std::vector<std::string> cells;
    };
    std::vector<Row> rows;
};
/// Builds the up-time display for the given servers (the window's document first).
UptimeDisplay buildUptimeDisplay(const std::vector<const CQXConfigDoc2*>& servers, const Application& app);
/// Report creation time (`config/created` from its fifth character) as "%H:%M %A, %B %d, %Y";
/// the text unchanged when it is not a date and time in the United States convention.
std::string creationTimeText(const CQXConfigDoc2& doc);

}  // namespace qx::compare
