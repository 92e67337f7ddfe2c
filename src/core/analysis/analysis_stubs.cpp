// Placeholders until the analysis passes are written.
#include "analysis/analysis.hpp"

namespace qx::analysis {

void checkProducts(CQXConfigDoc2&, Application&) {}
void checkProperties(CQXConfigDoc2&, Application&) {}
void markModuleLists(CQXConfigDoc2&, Application&) {}
void checkModules(CQXConfigDoc2&, Application&) {}

}  // namespace qx::analysis
