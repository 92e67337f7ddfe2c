#pragma once
// The details list's icon strip, in one table: the index of every picture, named by the
// report keys that show it. The marks come first, each at its outcome code, so that a
// finding's mark is its row's icon.

#include "analysis/findings.hpp"

#include <array>
#include <optional>
#include <string_view>

namespace qx::lists {

/// Index of a mark's picture.
constexpr int markIcon(analysis::Mark m) {
    return analysis::markCode(m);
}

/// One picture of the strip and a key that names it (several keys may share a picture).
struct ListIcon {
    std::string_view key;
    int index;
};

/// The strip. Keys that are not listed show the Information picture.
inline constexpr auto kListIcons = std::to_array<ListIcon>({
    {"info", markIcon(analysis::Mark::Information)},
    {"informations", markIcon(analysis::Mark::Information)},
    {"vetoed", markIcon(analysis::Mark::NotChecked)},
    {"bad", markIcon(analysis::Mark::Bad)},
    {"good", markIcon(analysis::Mark::Good)},
    {"rem", markIcon(analysis::Mark::Remark)},
    {"command", markIcon(analysis::Mark::Command)},
    {"error", markIcon(analysis::Mark::Error)},
    {"lans", 7},
    {"devices", 8},
    {"equal", 9},
    {"notequal", 10},
    {"productgroup", 11},
    {"product", 12},
    {"volumes", 13},
    {"files", 14},
    {"directory", 14},
    {"serverparams", 15},
    {"setparams", 16},
    {"modules", 17},
    {"filtered", 18},
    {"requireds", 18},
    {"dependencies", 19},
    {"update", 20},
    {"lan", 21},
    {"device", 22},
    {"volume", 23},
    {"boot-drive", 24},
    {"boot-drives", 24},
    {"products", 26},
    {"file-groups", 27},
    {"search-paths", 28},
    {"zrd", 29},
    {"partition", 29},
    {"partitions", 30},
    // Exclamation marks: a SET parameter's requirement (not required, recommended, required
    // follow the grey one) and the cache-buffer warning.
    {"exclamation-grey", 32},
    {"exclamation-blue", 33},
    {"exclamation-teal", 34},
    {"exclamation-red", 35},
    {"uptime", 37},
    {"memory", 38},
    {"masterreplica", 39},
    {"space", 40},
    {"rwreplica", 42},
    {"roreplica", 43},
    {"subordinate", 44},
    {"dibsize", 45},
    {"dibsizeold", 46},
    {"abend", 47},
    {"abendline", 48},
    {"productok", 49},
    {"partitionbad", 50},
    {"configqxk", 51},
    {"filteredrw", 52},
    {"filteredro", 53},
    {"search-pathsconfig", 54},
    {"bad2", 55},
});

/// Index of the picture a key names; Information for any other key.
constexpr int iconOfKey(std::string_view key) {
    for (const ListIcon& i : kListIcons) {
        if (i.key == key) return i.index;
    }
    return markIcon(analysis::Mark::Information);
}

/// The first key that names a picture; empty for an index no key names.
constexpr std::string_view keyOfIcon(int index) {
    for (const ListIcon& i : kListIcons) {
        if (i.index == index) return i.key;
    }
    return {};
}

/// Icon indices the code names directly.
namespace icon {
inline constexpr int kInformation = markIcon(analysis::Mark::Information);
inline constexpr int kNotChecked = markIcon(analysis::Mark::NotChecked);
inline constexpr int kBad = markIcon(analysis::Mark::Bad);
inline constexpr int kGood = markIcon(analysis::Mark::Good);
inline constexpr int kRemark = markIcon(analysis::Mark::Remark);
inline constexpr int kCommand = markIcon(analysis::Mark::Command);
inline constexpr int kError = markIcon(analysis::Mark::Error);
inline constexpr int kEqual = iconOfKey("equal");
inline constexpr int kNotEqual = iconOfKey("notequal");
inline constexpr int kExclamationGrey = iconOfKey("exclamation-grey");  // then blue, teal, red
inline constexpr int kExclamationBlue = iconOfKey("exclamation-blue");
}  // namespace icon

/// The mark a list icon stands for; nothing for the pictures of items.
constexpr std::optional<analysis::Mark> markOfIcon(int index) {
    for (analysis::Mark m : analysis::kMarks) {
        if (markIcon(m) == index) return m;
    }
    return std::nullopt;
}

}  // namespace qx::lists
