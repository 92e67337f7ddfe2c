// Running out of memory during an import ends in "Exception occurred" and a partial tree,
// never a crash: the DOM's allocator is made to fail after a number of pages.
#include "test_support.hpp"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace qx;

namespace {

int g_allocationsLeft = 0;

void* failingAllocate(size_t size) {
    if (g_allocationsLeft-- <= 0) return nullptr;
    return std::malloc(size);
}

struct FailingDomMemory {
    explicit FailingDomMemory(int allowed) {
        g_allocationsLeft = allowed;
        pugi::set_memory_management_functions(failingAllocate, std::free);
    }
    ~FailingDomMemory() { pugi::set_memory_management_functions(std::malloc, std::free); }
};

}  // namespace

TEST(OutOfMemory, ImportStopsWithExceptionOccurredAndKeepsWhatWasBuilt) {
    test::TempDir dir;
    std::string body;
    for (int i = 0; i < 5000; ++i)
        body += "Parameter " + std::to_string(i) + ": value " + std::to_string(i) + "\n";
    auto path = dir.write("big.txt", test::report(body));
    auto app = test::makeApp();
    for (int allowed : {0, 1, 3, 10}) {
        CQXConfigDoc2 doc;
        import::LoadResult r;
        {
            FailingDomMemory failing(allowed);
            r = import::loadDocument(doc, *app, path);
        }
        EXPECT_EQ(r.outcome, import::LoadOutcome::OutOfMemory) << allowed;
        EXPECT_EQ(r.message, "Exception occurred");
        EXPECT_TRUE(r.documentRemains());
        EXPECT_NE(doc.state, CQXConfigDoc2::kStateCompleted);
        EXPECT_TRUE(doc.title.empty());
    }
    // With memory back, the same file opens completely.
    CQXConfigDoc2 doc;
    EXPECT_EQ(import::loadDocument(doc, *app, path).outcome, import::LoadOutcome::Completed);
    EXPECT_EQ(doc.state, CQXConfigDoc2::kStateCompleted);
}
