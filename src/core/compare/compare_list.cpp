#include "compare/compare_list.hpp"

namespace qx::compare {

namespace {

void addServerColumns(lists::ListModel& m, const CompareResult& r) {
    m.addColumn(r.baseName);
    for (const auto& n : r.serverNames) m.addColumn(n);
}

}  // namespace

std::string nodePath(const CompareResult& result, int node) {
    if (node < 0 || static_cast<std::size_t>(node) >= result.tree.size()) return {};
    return result.tree[static_cast<std::size_t>(node)].path;
}

bool showsUptime(const CompareResult& result, int node, const Application& app) {
    if (node < 0 || static_cast<std::size_t>(node) >= result.tree.size()) return false;
    const auto& n = result.tree[static_cast<std::size_t>(node)];
    const std::string label = app.label("allocatedmemory");
    if (n.text == label) return true;
    return n.parent >= 0 && result.tree[static_cast<std::size_t>(n.parent)].text == label;
}

lists::ListModel compareList(const CompareResult& result, const Application& app, const std::string& path) {
    lists::ListModel m;
    m.addColumn(app.label("name"));
    addServerColumns(m, result);
    for (const auto& line : result.lines) {
        // The node's own path or one below it: "SYS" must not list the lines of "SYS2".
        const bool below = line.path.compare(0, path.size(), path) == 0 &&
                           (line.path.size() == path.size() || line.path.compare(path.size(), 2, "->") == 0);
        if (!below) continue;
        std::vector<std::string> cells{line.name};
        cells.insert(cells.end(), line.values.begin(), line.values.end());
        m.addRow(line.status, std::move(cells));
    }
    return m;
}

lists::ListModel fullCompareList(const CompareResult& result, const Application& app) {
    lists::ListModel m;
    m.addColumn(app.label("types"));
    m.addColumn(app.label("name"));
    addServerColumns(m, result);
    for (const auto& line : result.lines) {
        std::vector<std::string> cells{line.path, line.name};
        cells.insert(cells.end(), line.values.begin(), line.values.end());
        m.addRow(line.status, std::move(cells));
    }
    return m;
}

}  // namespace qx::compare
