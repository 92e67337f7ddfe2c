#pragma once
// How each output shows a mark. One row per mark, in code order, so that a new output
// or a new mark is one column or one row here rather than another switch.

#include "analysis/findings.hpp"

#include <array>
#include <cstddef>
#include <string_view>

namespace qx::outputs {

struct MarkLook {
    analysis::Mark mark;
    std::string_view labelKey;  // localisation key of the mark's name
    std::string_view symbol;    // HTML badge text
    std::string_view cssClass;
    std::string_view ansiColour;    // empty: printed plain
    std::string_view sarifLevel;    // empty: no SARIF result
    std::string_view junitOutcome;  // empty: a passed test case
};

inline constexpr std::array<MarkLook, 7> kMarkLooks = {{
    {analysis::Mark::Information, "information", "i", "info", "\033[34m", "note", "skipped"},
    {analysis::Mark::NotChecked, "notchecked", "?", "unchecked", "\033[33m", "", ""},
    {analysis::Mark::Bad, "bad", "&#x2717;", "bad", "\033[1;31m", "error", "failure"},
    {analysis::Mark::Good, "good", "&#x2713;", "good", "\033[32m", "", ""},
    {analysis::Mark::Remark, "remark", "R", "remark", "", "", ""},
    {analysis::Mark::Command, "command", "&gt;", "command", "", "", ""},
    {analysis::Mark::Error, "error", "!", "error", "\033[1;35m", "warning", "error"},
}};

constexpr const MarkLook& lookOf(analysis::Mark m) {
    return kMarkLooks[static_cast<std::size_t>(analysis::markCode(m))];
}

static_assert(
    [] {
        for (std::size_t i = 0; i < kMarkLooks.size(); ++i) {
            if (static_cast<std::size_t>(analysis::markCode(kMarkLooks[i].mark)) != i) return false;
        }
        return kMarkLooks.size() == analysis::kMarks.size();
    }(),
    "kMarkLooks rows must follow the mark codes");

}  // namespace qx::outputs
