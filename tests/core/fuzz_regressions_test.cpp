// Inputs the fuzz targets once broke: each is run through the same steps as its target.
#include "test_support.hpp"

#include <gtest/gtest.h>

using namespace qx;

namespace {

void expectStableRoundTrip(const xml::Document& doc, const std::string& what) {
    if (doc.empty()) return;
    std::string saved = doc.saveString();
    xml::Document again;
    ASSERT_TRUE(again.loadString(saved).ok()) << what;
    EXPECT_EQ(again.saveString(), saved) << what;
}

}  // namespace

TEST(FuzzRegressions, EveryStoredInputEndsInAStableTree) {
    const std::filesystem::path dir = std::filesystem::path(QX_TEST_DATA) / "fuzz-regressions";
    int seen = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        auto bytes = platform::readFile(entry.path().string());
        ASSERT_TRUE(bytes);
        const std::string name = entry.path().filename().string();
        ++seen;
        // As a tree: rule base, localisation table, saved configuration.
        xml::Document d;
        if (d.loadString(*bytes).ok()) expectStableRoundTrip(d, name);
        auto app = test::makeApp(*bytes);
        CQXConfigDoc2 doc;
        doc.config().loadString(*bytes);
        import::completeDocument(doc, *app);
        expectStableRoundTrip(doc.config(), name);
        expectStableRoundTrip(doc.report(), name);
        // As report text, with and without a header.
        for (const std::string& text : {*bytes, test::report(*bytes)}) {
            auto r = test::importAndComplete(text, *app);
            expectStableRoundTrip(r->config(), name);
            expectStableRoundTrip(r->report(), name);
        }
    }
    EXPECT_GT(seen, 0);
}
