#pragma once
// Section-parser fixtures: a report fragment and the expected outline of the tree it yields.

#include "test_support.hpp"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace qx::test {

/// Compact outline of an element: tag[name-attr]{children} or tag='text'.
inline std::string outline(xml::Node n) {
    std::string out = n.name();
    if (xml::hasAttribute(n, "name")) out += "[" + xml::attribute(n, "name") + "]";
    auto kids = xml::childElements(n);
    if (kids.empty()) {
        std::string t = xml::text(n);
        if (!t.empty()) out += "='" + t + "'";
        return out;
    }
    out += "{";
    for (std::size_t i = 0; i < kids.size(); ++i) out += (i ? " " : "") + outline(kids[i]);
    return out + "}";
}

/// Outlines of every match of a pattern in the configuration tree, joined by " | ".
inline std::string outlines(const CQXConfigDoc2& doc, const std::string& pattern) {
    std::string out;
    for (auto n : xml::select(doc.config().documentNode(), pattern))
        out += (out.empty() ? "" : " | ") + outline(n);
    return out;
}

/// One fixture: report lines after the header, the pattern to outline and the expected outline.
struct SectionCase {
    const char* label;
    const char* body;
    const char* pattern;
    const char* expected;
};

inline std::ostream& operator<<(std::ostream& os, const SectionCase& c) {
    return os << c.label;
}

/// Runs a fixture through the reader.
inline void expectSectionCase(const SectionCase& c) {
    auto doc = importOnly(report(c.body));
    EXPECT_EQ(outlines(*doc, c.pattern), c.expected) << c.label;
}

/// Test-name suffix from the label.
inline std::string caseName(const testing::TestParamInfo<SectionCase>& info) {
    std::string s;
    for (const char* p = info.param.label; *p; ++p)
        s += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return s;
}

}  // namespace qx::test
