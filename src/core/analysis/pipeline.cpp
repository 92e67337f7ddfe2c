#include "analysis/analysis.hpp"
#include "import/captured_file_analysis.hpp"

namespace qx::analysis {

void runImportPipeline(CQXConfigDoc2& doc, Application& app, const StepFn& step) {
    constexpr int kSteps = 7;
    int done = 0;
    auto advance = [&] {
        if (step) step(++done, kSteps);
    };
    checkProducts(doc, app);
    advance();
    doc.ensureStandardContainers();
    advance();
    import::analyseAbendLog(doc);
    advance();
    import::analyseJavaConfiguration(doc);
    advance();
    import::analyseNetworkConfiguration(doc);
    advance();
    checkProperties(doc, app);
    advance();
    markModuleLists(doc, app);
    checkModules(doc, app);
    advance();
}

void runChecker(const std::vector<CQXConfigDoc2*>& docs, Application& app, const StepFn& step) {
    constexpr int kSteps = 7;
    for (CQXConfigDoc2* doc : docs) {
        if (!doc || doc->state != CQXConfigDoc2::kStateCompleted) continue;
        int done = 0;
        auto advance = [&] {
            if (step) step(++done, kSteps);
        };
        if (step) step(0, kSteps);
        checkProducts(*doc, app);
        advance();
        import::analyseJavaConfiguration(*doc);
        advance();
        import::analyseAbendLog(*doc);
        advance();
        import::analyseNetworkConfiguration(*doc);
        advance();
        checkProperties(*doc, app);
        advance();
        markModuleLists(*doc, app);
        advance();
        checkModules(*doc, app);
        advance();
    }
}

}  // namespace qx::analysis
