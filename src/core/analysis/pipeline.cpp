// The analysis passes as one list of steps. The run after an import and "Run Checker!" are
// two orders of the same steps; nothing else tells them apart.
#include "analysis/analysis.hpp"
#include "analysis/rule_base.hpp"
#include "import/captured_file_analysis.hpp"

#include <array>
#include <new>
#include <optional>
#include <span>

namespace qx::analysis {

namespace {

// What the steps of one run on one document share.
struct Run {
    CQXConfigDoc2& doc;
    Application& app;
    std::vector<std::string>& messages;
    std::optional<import::CapturedFiles> files;
    std::optional<ProductRecords> products;
    bool productsTried = false;

    const import::CapturedFiles& capturedFiles() {
        if (!files) files.emplace(doc);
        return *files;
    }
    // The passes after the product check add no product record, so they share one reading
    // of them; when even that cannot be had, each pass finds them itself, as on its own.
    const ProductRecords* productRecords() {
        if (!productsTried) {
            productsTried = true;
            try {
                products.emplace(doc);
            } catch (const std::bad_alloc&) {
            }
        }
        return products ? &*products : nullptr;
    }
};

enum class Step {
    Products,
    StandardContainers,
    AbendLog,
    JavaConfiguration,
    NetworkConfiguration,
    Properties,
    ModuleLists,
    Modules,
};

struct StepInfo {
    Step step;
    void (*run)(Run&);
    bool readsCapturedFiles;
};

constexpr std::array<StepInfo, 8> kSteps = {{
    {Step::Products, [](Run& r) { checkProducts(r.doc, r.app); }, false},
    {Step::StandardContainers, [](Run& r) { r.doc.ensureStandardContainers(); }, false},
    {Step::AbendLog, [](Run& r) { import::analyseAbendLog(r.doc, r.capturedFiles()); }, true},
    {Step::JavaConfiguration, [](Run& r) { import::analyseJavaConfiguration(r.doc, r.capturedFiles()); },
     true},
    {Step::NetworkConfiguration,
     [](Run& r) { import::analyseNetworkConfiguration(r.doc, r.capturedFiles()); }, true},
    {Step::Properties,
     [](Run& r) {
         if (const ProductRecords* p = r.productRecords())
             checkProperties(r.doc, r.app, *p);
         else
             checkProperties(r.doc, r.app);
     },
     false},
    {Step::ModuleLists,
     [](Run& r) {
         if (const ProductRecords* p = r.productRecords())
             markModuleLists(r.doc, r.app, *p);
         else
             markModuleLists(r.doc, r.app);
     },
     false},
    {Step::Modules,
     [](Run& r) {
         const ProductRecords* p = r.productRecords();
         if (!(p ? checkModules(r.doc, r.app, *p) : checkModules(r.doc, r.app)))
             r.messages.emplace_back(kNotEnoughMemoryMessage);
     },
     false},
}};

constexpr bool inStepOrder() {
    for (std::size_t i = 0; i < kSteps.size(); ++i) {
        if (static_cast<std::size_t>(kSteps[i].step) != i) return false;
    }
    return true;
}
static_assert(inStepOrder(), "kSteps is indexed by Step");

/// A step of a run, and whether the progress bar advances after it.
struct Planned {
    Step step;
    bool advances = true;
};

// After an import, the one time the standard containers are completed; marking the module
// lists counts as part of the module check.
constexpr Planned kAfterImport[] = {{Step::Products},
                                    {Step::StandardContainers},
                                    {Step::AbendLog},
                                    {Step::JavaConfiguration},
                                    {Step::NetworkConfiguration},
                                    {Step::Properties},
                                    {Step::ModuleLists, false},
                                    {Step::Modules}};
// "Run Checker!": seven counted steps per document.
constexpr Planned kRunChecker[] = {
    {Step::Products},   {Step::JavaConfiguration}, {Step::AbendLog}, {Step::NetworkConfiguration},
    {Step::Properties}, {Step::ModuleLists},       {Step::Modules}};

constexpr int stepCount(std::span<const Planned> plan) {
    int n = 0;
    for (const Planned& p : plan) n += p.advances ? 1 : 0;
    return n;
}

void runSteps(CQXConfigDoc2& doc, Application& app, std::span<const Planned> plan, const StepFn& step,
              std::vector<std::string>& messages) {
    const int steps = stepCount(plan);
    int done = 0;
    Run run{doc, app, messages, {}, {}};
    for (const Planned& p : plan) {
        const StepInfo& s = kSteps[static_cast<std::size_t>(p.step)];
        // The copies of the captured files go once the steps that read them are done.
        if (!s.readsCapturedFiles) run.files.reset();
        s.run(run);
        if (p.advances && step) step(++done, steps);
    }
}

}  // namespace

std::vector<std::string> runImportPipeline(CQXConfigDoc2& doc, Application& app, const StepFn& step) {
    std::vector<std::string> messages;
    runSteps(doc, app, kAfterImport, step, messages);
    return messages;
}

std::vector<std::string> runChecker(const std::vector<CQXConfigDoc2*>& docs, Application& app,
                                    const StepFn& step) {
    std::vector<std::string> messages;
    for (CQXConfigDoc2* doc : docs) {
        if (!doc || doc->state != CQXConfigDoc2::kStateCompleted) continue;
        if (step) step(0, stepCount(kRunChecker));
        try {
            runSteps(*doc, app, kRunChecker, step, messages);
        } catch (const std::bad_alloc&) {
            // One document that cannot be analysed must not stop the others.
            messages.emplace_back(kExceptionMessage);
        }
    }
    return messages;
}

}  // namespace qx::analysis
