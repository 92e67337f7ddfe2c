// The report reader on arbitrary bytes, through the whole completion and analysis.
#include "fuzz_support.hpp"

#include "document/config_doc.hpp"
#include "import/report_reader.hpp"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    // Most inputs get a header so that the parsers, not the header test, are exercised.
    if (size > 0 && (data[0] & 1)) {
        text = "Orvane File Server Configuration Report For Server: FS1\n" + text;
    }
    qx::CQXConfigDoc2 doc;
    if (!qx::import::importReportText(doc, text)) return 0;
    qx::import::completeDocument(doc, qx::fuzz::application());
    qx::fuzz::checkRoundTrip(doc.config());
    qx::fuzz::checkRoundTrip(doc.report());
    return 0;
}
