#pragma once
// The analysis passes over one configuration document, and the pipelines that run them.

#include "app/application.hpp"
#include "document/config_doc.hpp"

#include <functional>
#include <string>
#include <vector>

namespace qx::analysis {

/// What the module check says when its rule list cannot be built.
inline constexpr const char* kNotEnoughMemoryMessage = "Not enough memory to complete the operation";
/// What an analysis that ran out of memory elsewhere says.
inline constexpr const char* kExceptionMessage = "Exception occurred";

class ProductRecords;

/// Products of the rule base judged present or absent: `check` and `summary`.
void checkProducts(CQXConfigDoc2& doc, Application& app);
/// Server, SET, LAN, device and volume rules: `details` records.
void checkProperties(CQXConfigDoc2& doc, Application& app);
/// Sets `vetoed` on every `modules` list of the rule base.
void markModuleLists(CQXConfigDoc2& doc, Application& app);
/// Module rules: module marks and records of broken rules. False when memory ran out
/// (the front end shows kNotEnoughMemoryMessage).
bool checkModules(CQXConfigDoc2& doc, Application& app);

// The same passes with the product records of `checkProducts` found once by the caller:
// the passes after it add no product record, and finding them walks the report tree.
void checkProperties(CQXConfigDoc2& doc, Application& app, const ProductRecords& products);
void markModuleLists(CQXConfigDoc2& doc, Application& app, const ProductRecords& products);
/// The marks of markModuleLists on any copy of the rule base.
void markModuleLists(xml::Document& ruleBase, const ProductRecords& products);
bool checkModules(CQXConfigDoc2& doc, Application& app, const ProductRecords& products);

/// Called after each step: (steps done, steps in all).
using StepFn = std::function<void(int, int)>;

/// The analysis run after an import, in its fixed order (product check, standard
/// containers, captured-file analyses, property check, module check). Returns the
/// messages the front end must show (empty when none).
std::vector<std::string> runImportPipeline(CQXConfigDoc2& doc, Application& app, const StepFn& step);
/// "Run Checker!": the seven steps on every completed document, in order; `step` gets
/// (0, 7) before each document. Returns the messages the front end must show.
std::vector<std::string> runChecker(const std::vector<CQXConfigDoc2*>& docs, Application& app,
                                    const StepFn& step);

}  // namespace qx::analysis
