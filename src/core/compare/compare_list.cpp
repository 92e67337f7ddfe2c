#include "compare/compare_list.hpp"

namespace qx::compare {

namespace {

void addServerColumns(lists::ListModel& m, const CompareResult& r) {
    m.addColumn(r.baseName);
    for (const auto& n : r.serverNames) m.addColumn(n);
}

// The node's own path or one below it: "SYS" must not list the lines of "SYS2".
bool isBelow(const std::string& linePath, const std::string& path) {
    return linePath.compare(0, path.size(), path) == 0 &&
           (linePath.size() == path.size() || linePath.compare(path.size(), 2, "->") == 0);
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
        if (!isBelow(line.path, path)) continue;
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

lists::ListModel uptimeList(const CompareResult& result, const UptimeDisplay& uptime,
                            const std::string& path) {
    lists::ListModel m;
    for (std::size_t c = 0; c < uptime.headers.size(); ++c)
        m.addColumn(uptime.headers[c], c == 0 ? 150 : 200);
    for (const auto& row : uptime.rows) m.addRow(row.icon, row.cells);
    for (const auto& line : result.lines) {
        if (!isBelow(line.path, path)) continue;
        std::vector<std::string> cells(m.columns.size());
        cells[0] = line.name;
        if (cells.size() > 1 && !line.values.empty()) cells[1] = line.values[0];
        m.addRow(line.status, std::move(cells));
    }
    return m;
}

int nodeIcon(const CompareTreeNode& node) {
    if (node.image == "equal") return kStatusEqual;
    if (node.image == "notequal") return kStatusNotEqual;
    return kStatusNone;
}

std::string listText(const lists::ListModel& list, std::string_view lineEnd) {
    std::string out;
    auto row = [&](auto cellAt, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            if (i > 0) out += '\t';
            out += cellAt(i);
        }
        out += lineEnd;
    };
    const std::size_t columns = list.columns.size();
    row([&](std::size_t i) -> const std::string& { return list.columns[i].header; }, columns);
    static const std::string empty;
    for (const auto& r : list.rows)
        row([&](std::size_t i) -> const std::string& { return i < r.cells.size() ? r.cells[i] : empty; },
            columns);
    return out;
}

}  // namespace qx::compare
