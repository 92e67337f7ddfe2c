// The path tree of a comparison and the up-time display of its allocated-memory nodes.
#include "compare/server_compare.hpp"
#include "lists/list_model.hpp"
#include "util/text.hpp"

#include <cstdio>
#include <ctime>
#include <unordered_map>

namespace qx::compare {

namespace {

constexpr const char* kInformations = "informations";
constexpr const char* kEqual = "equal";
constexpr const char* kNotEqual = "notequal";

void fold(std::string& image, int status) {
    if (status == kStatusNotEqual) {
        image = kNotEqual;
    } else if (status == kStatusEqual) {
        if (image != kNotEqual) image = kEqual;
    } else if (image != kEqual && image != kNotEqual) {
        image = kInformations;
    }
}

// A node's final image goes up to every ancestor that is not already "notequal".
void passUp(std::vector<CompareTreeNode>& tree, int node) {
    const std::string image = tree[static_cast<std::size_t>(node)].image;
    if (image == kInformations) return;
    for (int p = tree[static_cast<std::size_t>(node)].parent; p >= 0;
         p = tree[static_cast<std::size_t>(p)].parent) {
        auto& a = tree[static_cast<std::size_t>(p)];
        if (a.image != kNotEqual) a.image = image;
    }
}

int nodeFor(std::vector<CompareTreeNode>& tree, std::unordered_map<std::string, int>& index,
            const std::string& path) {
    if (auto it = index.find(path); it != index.end()) return it->second;
    int parent = -1;
    std::size_t start = 0;
    // Ancestors first: every prefix that ends before a "->".
    for (std::size_t at = path.find("->"); at != std::string::npos; at = path.find("->", at + 2)) {
        const std::string prefix = path.substr(0, at);
        auto it = index.find(prefix);
        if (it == index.end()) {
            const int depth = parent < 0 ? 0 : tree[static_cast<std::size_t>(parent)].depth + 1;
            tree.push_back({prefix, path.substr(start, at - start), depth, kInformations, parent});
            it = index.emplace(prefix, static_cast<int>(tree.size() - 1)).first;
        }
        parent = it->second;
        start = at + 2;
    }
    const int depth = parent < 0 ? 0 : tree[static_cast<std::size_t>(parent)].depth + 1;
    tree.push_back({path, path.substr(start), depth, kInformations, parent});
    index.emplace(path, static_cast<int>(tree.size() - 1));
    return static_cast<int>(tree.size() - 1);
}

}  // namespace

std::vector<CompareTreeNode> buildTree(const std::vector<CompareLine>& lines) {
    std::vector<CompareTreeNode> tree;
    std::unordered_map<std::string, int> index;
    int current = -1;
    const std::string* lastPath = nullptr;
    for (const auto& line : lines) {
        if (!lastPath || line.path != *lastPath) {
            if (current >= 0) passUp(tree, current);
            current = nodeFor(tree, index, line.path);
            lastPath = &line.path;
        }
        fold(tree[static_cast<std::size_t>(current)].image, line.status);
    }
    if (current >= 0) passUp(tree, current);
    return tree;
}

std::string creationTimeText(const CQXConfigDoc2& doc) {
    const std::string created = xml::childText(doc.config().root(), "created");
    std::string tail = created.size() > 4 ? created.substr(4) : std::string();
    int mon = 0, day = 0, year = 0, hour = 0, min = 0, sec = 0;
    char ampm[3] = {};
    const int n =
        std::sscanf(tail.c_str(), " %d/%d/%d %d:%d:%d %2s", &mon, &day, &year, &hour, &min, &sec, ampm);
    if (n < 5 || mon < 1 || mon > 12 || day < 1 || day > 31 || hour > 23 || min > 59) return tail;
    const std::string suffix = text::toUpper(ampm);
    if (suffix == "PM" && hour < 12) hour += 12;
    if (suffix == "AM" && hour == 12) hour = 0;
    std::tm t{};
    t.tm_year = (year < 100 ? year + 2000 : year) - 1900;
    t.tm_mon = mon - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = min;
    t.tm_isdst = -1;
    std::tm norm = t;
    if (timegm(&norm) == -1) return tail;  // fills the weekday
    char buf[128];
    if (std::strftime(buf, sizeof buf, "%H:%M %A, %B %d, %Y", &norm) == 0) return tail;
    return buf;
}

UptimeDisplay buildUptimeDisplay(const std::vector<const CQXConfigDoc2*>& servers, const Application& app) {
    UptimeDisplay d;
    d.headers.push_back(app.label("name"));
    UptimeDisplay::Row uptime{lists::icon::kGood, {" UpTime"}};
    std::vector<long long> days;
    for (const CQXConfigDoc2* s : servers) {
        d.headers.push_back(creationTimeText(*s));
        std::string v = s->serverParameter("Server Up Time");
        if (v.empty()) v = s->serverParameter("Server Up Time(D:H:M:Sec)");
        uptime.cells.push_back(v);
        days.push_back(text::leadingInteger(v));
    }
    // A base server that has run for less time than another was restarted since: Bad.
    for (std::size_t i = 1; i < days.size(); ++i) {
        if (!days.empty() && days[0] < days[i]) uptime.icon = lists::icon::kBad;
    }
    d.rows.push_back(std::move(uptime));
    return d;
}

}  // namespace qx::compare
