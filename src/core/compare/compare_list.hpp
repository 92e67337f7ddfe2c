#pragma once
// What the comparison window's list shows for a selected tree node.

#include "compare/server_compare.hpp"
#include "lists/list_model.hpp"

#include <string>
#include <string_view>

namespace qx::compare {

/// Path of a tree node as the window builds it: its text and its ancestors' joined by "->".
std::string nodePath(const CompareResult& result, int node);

/// True when the node (or its parent) is the allocated-memory node: the list then shows
/// the up-time display instead of compare lines.
bool showsUptime(const CompareResult& result, int node, const Application& app);

/// The lines whose path begins with `path`: first column `label("name")`, then the base
/// server's and each compared server's value (headers: the servers' names); icon = status.
lists::ListModel compareList(const CompareResult& result, const Application& app, const std::string& path);

/// Every line with a first column for the path (header `label("types")`).
lists::ListModel fullCompareList(const CompareResult& result, const Application& app);

/// The up-time display of an allocated-memory node: the " UpTime" row of the servers, then
/// the node's lines with the base server's value in the base server's column.
lists::ListModel uptimeList(const CompareResult& result, const UptimeDisplay& uptime,
                            const std::string& path);

/// Icon index of a tree node: the status whose image the node carries.
int nodeIcon(const CompareTreeNode& node);

/// A compare list as text: the header row, then one row per line; cells separated by a
/// tab, rows ended by `lineEnd` ("\r\n" for the clipboard, "\n" for a text file).
std::string listText(const lists::ListModel& list, std::string_view lineEnd);

}  // namespace qx::compare
