// A saved configuration tree from arbitrary bytes, followed by the analysis.
#include "fuzz_support.hpp"

#include "analysis/analysis.hpp"
#include "document/config_doc.hpp"
#include "import/report_reader.hpp"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qx::CQXConfigDoc2 doc;
    doc.config().loadString(std::string_view(reinterpret_cast<const char*>(data), size));
    doc.newFormat = true;
    qx::import::completeDocument(doc, qx::fuzz::application());
    std::vector<qx::CQXConfigDoc2*> docs{&doc};
    qx::analysis::runChecker(docs, qx::fuzz::application(), {});
    qx::fuzz::checkRoundTrip(doc.config());
    return 0;
}
