#include "util/sha256.hpp"

#include "platform/file_system.hpp"

#include <openssl/evp.h>

#include <array>
#include <stdexcept>

namespace qx::util {

std::string sha256Hex(std::string_view data) {
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int size = 0;
    if (EVP_Digest(data.data(), data.size(), digest.data(), &size, EVP_sha256(), nullptr) != 1) {
        throw std::runtime_error("SHA-256 is not available");
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(std::size_t{size} * 2);
    for (unsigned int i = 0; i < size; ++i) {
        out += kHex[digest[i] >> 4];
        out += kHex[digest[i] & 0x0f];
    }
    return out;
}

std::optional<std::string> sha256OfFile(const std::string& path) {
    auto data = platform::readFile(path);
    if (!data) return std::nullopt;
    return sha256Hex(*data);
}

}  // namespace qx::util
