// The executable version-resource reader on arbitrary bytes.
#include "ruleedit/pe_version.hpp"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string out;
    qx::ruleedit::readPeFileVersion(std::string_view(reinterpret_cast<const char*>(data), size), out);
    return 0;
}
