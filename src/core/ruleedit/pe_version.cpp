#include "ruleedit/pe_version.hpp"

#include "platform/file_system.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <vector>

namespace qx::ruleedit {

namespace {

constexpr std::uint16_t kRtVersion = 16;
constexpr std::size_t kMaxSections = 96;         // the loader's own limit
constexpr std::size_t kMaxDirEntries = 4096;     // per resource directory
constexpr std::size_t kMaxVersionBlock = 65535;  // wLength is 16 bits
constexpr std::size_t kMaxFileBytesRead = 1 << 20;

/// Random access to the image; every read is exact or fails.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual bool read(std::uint64_t offset, std::size_t size, std::string& out) = 0;
};

class MemorySource : public ByteSource {
public:
    explicit MemorySource(std::string_view bytes) : m_bytes(bytes) {}
    bool read(std::uint64_t offset, std::size_t size, std::string& out) override {
        if (offset > m_bytes.size() || size > m_bytes.size() - offset) return false;
        out.assign(m_bytes.substr(static_cast<std::size_t>(offset), size));
        return true;
    }

private:
    std::string_view m_bytes;
};

class FileSource : public ByteSource {
public:
    explicit FileSource(int fd) : m_fd(fd) {}
    bool read(std::uint64_t offset, std::size_t size, std::string& out) override {
        // A hostile file cannot make us read more than a bounded total.
        if (size > kMaxFileBytesRead - m_total) return false;
        m_total += size;
        out.resize(size);
        std::size_t done = 0;
        while (done < size) {
            ssize_t n = ::pread(m_fd, out.data() + done, size - done, static_cast<off_t>(offset + done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            done += static_cast<std::size_t>(n);
        }
        return true;
    }

private:
    int m_fd;
    std::size_t m_total = 0;
};

std::uint16_t u16(std::string_view b, std::size_t at) {
    if (at + 2 > b.size()) return 0;
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                      (static_cast<unsigned char>(b[at + 1]) << 8));
}

std::uint32_t u32(std::string_view b, std::size_t at) {
    return static_cast<std::uint32_t>(u16(b, at)) | (static_cast<std::uint32_t>(u16(b, at + 2)) << 16);
}

struct Section {
    std::uint32_t va, rawSize, rawPtr;
};

/// The image as the resource walk needs it: RVA to file offset, bounded reads.
class Image {
public:
    Image(ByteSource& src, std::vector<Section> sections) : m_src(src), m_sections(std::move(sections)) {}
    /// Reads `size` bytes at an RVA that lie inside one section's raw data.
    bool readRva(std::uint32_t rva, std::size_t size, std::string& out) {
        for (const auto& s : m_sections) {
            if (rva < s.va || rva - s.va >= s.rawSize) continue;
            std::uint32_t into = rva - s.va;
            if (size > s.rawSize - into) return false;
            return m_src.read(static_cast<std::uint64_t>(s.rawPtr) + into, size, out);
        }
        return false;
    }
    /// Bytes available in the section from an RVA on (0 when unmapped).
    std::size_t availableAt(std::uint32_t rva) const {
        for (const auto& s : m_sections) {
            if (rva >= s.va && rva - s.va < s.rawSize) return s.rawSize - (rva - s.va);
        }
        return 0;
    }

private:
    ByteSource& m_src;
    std::vector<Section> m_sections;
};

/// One entry of a resource directory: id (or a name offset) and where it points.
struct DirEntry {
    std::uint32_t name, target;
};

std::optional<std::vector<DirEntry>> readDirectory(Image& img, std::uint32_t rva) {
    std::string b;
    if (!img.readRva(rva, 16, b)) return std::nullopt;
    std::size_t count = std::size_t(u16(b, 12)) + u16(b, 14);
    if (count > kMaxDirEntries) count = kMaxDirEntries;
    if (count == 0 || !img.readRva(rva + 16, count * 8, b)) return std::nullopt;
    std::vector<DirEntry> out;
    for (std::size_t i = 0; i < count; ++i) out.push_back({u32(b, i * 8), u32(b, i * 8 + 4)});
    return out;
}

/// Follows type RT_VERSION, its first name and first language to the data entry.
std::optional<std::string> versionResource(Image& img, std::uint32_t resRva) {
    auto types = readDirectory(img, resRva);
    if (!types) return std::nullopt;
    std::optional<std::uint32_t> next;
    for (const auto& e : *types) {
        if (!(e.name & 0x80000000u) && e.name == kRtVersion && (e.target & 0x80000000u)) {
            next = e.target & 0x7fffffffu;
            break;
        }
    }
    for (int level = 0; level < 2 && next; ++level) {
        auto entries = readDirectory(img, resRva + *next);
        if (!entries) return std::nullopt;
        const DirEntry& first = entries->front();
        bool wantDir = (level == 0);
        if (bool(first.target & 0x80000000u) != wantDir) return std::nullopt;
        next = first.target & 0x7fffffffu;
    }
    if (!next) return std::nullopt;
    std::string entry;
    if (!img.readRva(resRva + *next, 16, entry)) return std::nullopt;
    std::uint32_t dataRva = u32(entry, 0);
    std::size_t size = u32(entry, 4);
    size = std::min({size, kMaxVersionBlock, img.availableAt(dataRva)});
    std::string data;
    if (size < 6 || !img.readRva(dataRva, size, data)) return std::nullopt;
    return data;
}

/// Headers to section table and the resource directory's RVA.
std::optional<std::string> findVersionData(ByteSource& src) {
    std::string b;
    if (!src.read(0, 64, b) || b[0] != 'M' || b[1] != 'Z') return std::nullopt;
    std::uint32_t peOff = u32(b, 0x3c);
    if (!src.read(peOff, 24, b) || b.compare(0, 4, std::string_view("PE\0\0", 4)) != 0) return std::nullopt;
    std::size_t sections = std::min<std::size_t>(u16(b, 6), kMaxSections);
    std::uint16_t optSize = u16(b, 20);
    std::string opt;
    if (optSize < 2 || !src.read(std::uint64_t(peOff) + 24, std::min<std::size_t>(optSize, 240), opt)) {
        return std::nullopt;
    }
    std::uint16_t magic = u16(opt, 0);
    std::size_t dirs = (magic == 0x10b) ? 96 : (magic == 0x20b) ? 112 : 0;
    if (dirs == 0 || u32(opt, dirs - 4) < 3 || opt.size() < dirs + 24) return std::nullopt;
    std::uint32_t resRva = u32(opt, dirs + 16);
    if (resRva == 0 || sections == 0) return std::nullopt;
    if (!src.read(std::uint64_t(peOff) + 24 + optSize, sections * 40, b)) return std::nullopt;
    std::vector<Section> table;
    for (std::size_t i = 0; i < sections; ++i) {
        table.push_back({u32(b, i * 40 + 12), u32(b, i * 40 + 16), u32(b, i * 40 + 20)});
    }
    Image img(src, std::move(table));
    return versionResource(img, resRva);
}

// --- VS_VERSIONINFO -----------------------------------------------------------------

/// One block of the version tree: length, value, key, children.
struct Block {
    std::size_t end = 0, valueStart = 0, valueEnd = 0, childrenStart = 0;
    std::u16string key;
};

std::size_t align4(std::size_t p) {
    return (p + 3) & ~std::size_t(3);
}

bool readBlock(std::string_view d, std::size_t pos, std::size_t limit, Block& b) {
    if (pos + 6 > limit) return false;
    std::size_t len = u16(d, pos);
    if (len < 6 || len > limit - pos) return false;
    b.end = pos + len;
    std::size_t valueLength = u16(d, pos + 2);
    bool isText = u16(d, pos + 4) == 1;
    b.key.clear();
    std::size_t p = pos + 6;
    for (; p + 2 <= b.end; p += 2) {
        char16_t c = u16(d, p);
        if (c == 0) {
            p += 2;
            break;
        }
        b.key.push_back(c);
    }
    b.valueStart = std::min(align4(p), b.end);
    b.valueEnd = std::min(b.valueStart + (isText ? valueLength * 2 : valueLength), b.end);
    b.childrenStart = std::min(align4(b.valueEnd), b.end);
    return true;
}

bool keyIs(const std::u16string& key, std::string_view ascii) {
    if (key.size() != ascii.size()) return false;
    for (std::size_t i = 0; i < key.size(); ++i) {
        char16_t a = key[i], b = static_cast<unsigned char>(ascii[i]);
        if (a >= 'A' && a <= 'Z') a = char16_t(a + 32);
        if (b >= 'A' && b <= 'Z') b = char16_t(b + 32);
        if (a != b) return false;
    }
    return true;
}

/// Children of a block in order; stops at the first malformed one.
std::vector<Block> children(std::string_view d, const Block& parent) {
    std::vector<Block> out;
    std::size_t pos = parent.childrenStart;
    Block b;
    while (readBlock(d, pos, parent.end, b)) {
        out.push_back(b);
        pos = align4(b.end);
    }
    return out;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

/// UTF-16LE text up to the first NUL; lone surrogates become U+FFFD.
std::string utf16ToUtf8(std::string_view d, std::size_t from, std::size_t to) {
    std::string out;
    for (std::size_t p = from; p + 2 <= to; p += 2) {
        char32_t c = u16(d, p);
        if (c == 0) break;
        if (c >= 0xD800 && c <= 0xDBFF && p + 4 <= to) {
            char32_t lo = u16(d, p + 2);
            if (lo >= 0xDC00 && lo <= 0xDFFF) {
                appendUtf8(out, 0x10000 + ((c - 0xD800) << 10) + (lo - 0xDC00));
                p += 2;
                continue;
            }
        }
        appendUtf8(out, (c >= 0xD800 && c <= 0xDFFF) ? 0xFFFD : c);
    }
    return out;
}

/// The first translation as eight hex digits (language, then code page).
std::string firstTranslation(std::string_view d, const std::vector<Block>& top) {
    for (const auto& var : top) {
        if (!keyIs(var.key, "VarFileInfo")) continue;
        for (const auto& t : children(d, var)) {
            if (!keyIs(t.key, "Translation") || t.valueEnd - t.valueStart < 4) continue;
            char buf[16];
            std::snprintf(buf, sizeof buf, "%04x%04x", u16(d, t.valueStart), u16(d, t.valueStart + 2));
            return buf;
        }
    }
    return {};
}

bool parseVersionInfo(std::string_view d, std::string& out) {
    Block root;
    if (!readBlock(d, 0, d.size(), root) || !keyIs(root.key, "VS_VERSION_INFO")) return false;
    out.clear();
    auto top = children(d, root);
    std::string lang = firstTranslation(d, top);
    if (lang.empty()) return true;
    for (const auto& sfi : top) {
        if (!keyIs(sfi.key, "StringFileInfo")) continue;
        for (const auto& table : children(d, sfi)) {
            if (!keyIs(table.key, lang)) continue;
            for (const auto& s : children(d, table)) {
                if (keyIs(s.key, "FileVersion")) {
                    out = utf16ToUtf8(d, s.valueStart, s.end);
                    return true;
                }
            }
        }
    }
    return true;
}

}  // namespace

bool readPeFileVersion(std::string_view bytes, std::string& out) {
    out.clear();
    MemorySource src(bytes);
    auto data = findVersionData(src);
    return data && parseVersionInfo(*data, out);
}

PeVersionStatus readPeFileVersionFromFile(const std::string& path, std::string& out) {
    out.clear();
    int fd = platform::openRegularFile(path);
    if (fd < 0) return PeVersionStatus::NoFile;
    FileSource src(fd);
    auto data = findVersionData(src);
    ::close(fd);
    // The version block is parsed by the same code as the in-memory entry point.
    if (data && parseVersionInfo(*data, out)) return PeVersionStatus::Found;
    return PeVersionStatus::NoVersionResource;
}

}  // namespace qx::ruleedit
