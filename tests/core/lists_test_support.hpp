#pragma once
// Documents and a localisation table written by hand for the list tests.

#include "test_support.hpp"

#include "lists/list_model.hpp"

#include <gtest/gtest.h>

namespace qx::test {

/// A document whose configuration and report trees are the given XML texts.
inline std::unique_ptr<CQXConfigDoc2> docFromXml(const std::string& config, const std::string& report = "") {
    auto doc = std::make_unique<CQXConfigDoc2>();
    EXPECT_TRUE(doc->config().loadString(config).ok());
    if (report.empty()) {
        doc->resetReport();
    } else {
        EXPECT_TRUE(doc->report().loadString(report).ok());
    }
    doc->state = CQXConfigDoc2::kStateCompleted;
    doc->title = doc->serverName();
    return doc;
}

/// Replaces the table's `reporttext` group by one with just the given message keys.
inline void addMessages(Application& app, std::initializer_list<const char*> keys) {
    xml::Node root = app.localisation().document().root();
    while (xml::Node old = root.child("reporttext")) root.remove_child(old);
    xml::Node group = xml::appendElement(root, "reporttext");
    xml::setAttribute(group, "english", "Report texts");
    for (const char* k : keys) {
        xml::Node e = xml::appendElement(group, k, std::string("http://help/") + k);
        xml::setAttribute(e, "english", std::string("Message ") + k);
    }
    app.localisation().reindex();
}

/// The first row whose first cell equals `caption`, or nullptr.
inline const lists::ListRow* rowWithCaption(const lists::ListModel& m, const std::string& caption) {
    for (const auto& r : m.rows) {
        if (!r.cells.empty() && r.cells[0] == caption) return &r;
    }
    return nullptr;
}

}  // namespace qx::test
