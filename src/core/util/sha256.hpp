#pragma once
// SHA-256 of files, so people can tell two rule bases apart (and check one with sha256sum).

#include <optional>
#include <string>
#include <string_view>

namespace qx::util {

/// Lower-case hex SHA-256 of the bytes.
std::string sha256Hex(std::string_view data);
/// Lower-case hex SHA-256 of a file's content; nullopt when it cannot be read.
std::optional<std::string> sha256OfFile(const std::string& path);

}  // namespace qx::util
