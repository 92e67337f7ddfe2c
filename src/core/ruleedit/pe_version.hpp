#pragma once
// "FileVersion" of an executable's version resource, read by a bounded PE reader of our own:
// it touches only the headers and the slices of the resource section it needs, never the
// whole file, and never reads outside the bytes it was given.

#include <cstdint>
#include <string>
#include <string_view>

namespace qx::ruleedit {

/// Outcome of looking for a version resource.
enum class PeVersionStatus { NoFile, NoVersionResource, Found };

/// Reads the "FileVersion" of the first translation from a whole PE image held in memory.
/// Returns true when the image has a version resource; `out` is then the string (empty when
/// the translation or the string is absent), converted to UTF-8. Safe on any input.
bool readPeFileVersion(std::string_view bytes, std::string& out);

/// The same for a file, read in small capped slices (headers, directory entries, the
/// version block of at most 64 KiB).
PeVersionStatus readPeFileVersionFromFile(const std::string& path, std::string& out);

}  // namespace qx::ruleedit
