// The date reader on arbitrary text: it answers or refuses, the same way every time.
#include "analysis/date_reader.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    auto when = qx::analysis::readUsDate(text);
    if (when != qx::analysis::readUsDate(text)) std::abort();
    return 0;
}
