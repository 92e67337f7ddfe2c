#include "analysis/analysis.hpp"
#include "analysis/rule_base.hpp"
#include "import/captured_file_analysis.hpp"

#include <new>
#include <optional>

namespace qx::analysis {

namespace {

// The three passes after the product check, sharing one reading of the product records; when
// even that cannot be had, each pass finds them itself, as on its own.
void propertiesAndModules(CQXConfigDoc2& doc, Application& app, std::vector<std::string>& messages,
                          const std::function<void()>& advance, bool advanceAfterMarking) {
    std::optional<ProductRecords> products;
    try {
        products.emplace(doc);
    } catch (const std::bad_alloc&) {
    }
    if (products)
        checkProperties(doc, app, *products);
    else
        checkProperties(doc, app);
    advance();
    if (products)
        markModuleLists(doc, app, *products);
    else
        markModuleLists(doc, app);
    if (advanceAfterMarking) advance();
    if (!(products ? checkModules(doc, app, *products) : checkModules(doc, app))) {
        messages.emplace_back(kNotEnoughMemoryMessage);
    }
    advance();
}

}  // namespace

std::vector<std::string> runImportPipeline(CQXConfigDoc2& doc, Application& app, const StepFn& step) {
    constexpr int kSteps = 7;
    std::vector<std::string> messages;
    int done = 0;
    auto advance = [&] {
        if (step) step(++done, kSteps);
    };
    checkProducts(doc, app);
    advance();
    doc.ensureStandardContainers();
    advance();
    {
        const import::CapturedFiles files(doc);
        import::analyseAbendLog(doc, files);
        advance();
        import::analyseJavaConfiguration(doc, files);
        advance();
        import::analyseNetworkConfiguration(doc, files);
        advance();
    }
    propertiesAndModules(doc, app, messages, advance, false);
    return messages;
}

namespace {

void checkOne(CQXConfigDoc2& doc, Application& app, const StepFn& step, std::vector<std::string>& messages) {
    constexpr int kSteps = 7;
    int done = 0;
    auto advance = [&] {
        if (step) step(++done, kSteps);
    };
    if (step) step(0, kSteps);
    checkProducts(doc, app);
    advance();
    {
        const import::CapturedFiles files(doc);
        import::analyseJavaConfiguration(doc, files);
        advance();
        import::analyseAbendLog(doc, files);
        advance();
        import::analyseNetworkConfiguration(doc, files);
        advance();
    }
    propertiesAndModules(doc, app, messages, advance, true);
}

}  // namespace

std::vector<std::string> runChecker(const std::vector<CQXConfigDoc2*>& docs, Application& app,
                                    const StepFn& step) {
    std::vector<std::string> messages;
    for (CQXConfigDoc2* doc : docs) {
        if (!doc || doc->state != CQXConfigDoc2::kStateCompleted) continue;
        try {
            checkOne(*doc, app, step, messages);
        } catch (const std::bad_alloc&) {
            // One document that cannot be analysed must not stop the others.
            messages.emplace_back(kExceptionMessage);
        }
    }
    return messages;
}

}  // namespace qx::analysis
