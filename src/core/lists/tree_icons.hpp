#pragma once
// The trees' shared icon list in one table: the index of every tree picture and the
// element names that show it. The first name of an index also names its picture.

#include <array>
#include <string_view>

namespace qx::lists {

/// An element name and the tree icon it shows.
struct TreeIcon {
    std::string_view element;
    int index;
};

/// The icon of every element the table does not name.
inline constexpr int kOtherTreeIcon = 12;
inline constexpr std::string_view kOtherTreeIconName = "other";

inline constexpr auto kTreeIcons = std::to_array<TreeIcon>({
    {"modules", 2},    {"module", 2},        {"product", 4},         {"file", 10},
    {"device", 10},    {"check", 14},        {"abend", 14},          {"details", 14},
    {"filter", 14},    {"summary", 14},      {"productgroup", 16},   {"requireds", 18},
    {"required", 18},  {"interrupts", 22},   {"serverparams", 30},   {"serverparam", 30},
    {"lan", 32},       {"devices", 34},      {"setparams", 36},      {"set-param", 36},
    {"rules", 40},     {"config", 40},       {"filters", 44},        {"filtergroup", 46},
    {"reports", 48},   {"java", 50},         {"java-processes", 50}, {"lans", 52},
    {"volumes", 54},   {"volume", 54},       {"files", 56},          {"directory", 56},
    {"update", 58},    {"informations", 60}, {"boot-drives", 62},    {"boot-drive", 62},
    {"products", 64},  {"file-groups", 66},  {"search-paths", 68},   {"zrd", 70},
    {"partition", 70}, {"partitions", 72},   {"filegroup", 76},      {"equal", 78},
    {"notequal", 80},
});

/// Tree icon index of an element name.
constexpr int treeIcon(std::string_view element) {
    for (const TreeIcon& t : kTreeIcons) {
        if (t.element == element) return t.index;
    }
    return kOtherTreeIcon;
}

/// The name of a tree icon's picture: the first element that shows it, "other" for
/// the icon of unnamed elements and for indices the table does not use.
constexpr std::string_view treeIconName(int index) {
    for (const TreeIcon& t : kTreeIcons) {
        if (t.index == index) return t.element;
    }
    return kOtherTreeIconName;
}

}  // namespace qx::lists
