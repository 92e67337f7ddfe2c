#include "document/provenance.hpp"

#include <algorithm>

namespace qx {

namespace {

constexpr std::size_t kBlock = 64;

void putVarint(std::vector<std::uint8_t>& out, std::uint64_t v) {
    while (v >= 0x80) {
        out.push_back(static_cast<std::uint8_t>(v | 0x80));
        v >>= 7;
    }
    out.push_back(static_cast<std::uint8_t>(v));
}

std::uint64_t getVarint(const std::uint8_t*& p) {
    std::uint64_t v = 0;
    for (int shift = 0;; shift += 7) {
        const std::uint8_t b = *p++;
        v |= static_cast<std::uint64_t>(b & 0x7F) << shift;
        if (!(b & 0x80)) return v;
    }
}

// Line differences may be negative: zig-zag keeps small ones short.
std::uint64_t zigzag(std::int64_t v) {
    return (static_cast<std::uint64_t>(v) << 1) ^ static_cast<std::uint64_t>(v >> 63);
}
std::int64_t unzigzag(std::uint64_t v) {
    return static_cast<std::int64_t>(v >> 1) ^ -static_cast<std::int64_t>(v & 1);
}

}  // namespace

void Provenance::seal() {
    if (m_pending.empty()) return;
    std::vector<Pending> all;
    all.reserve(m_count + m_pending.size());
    // Entries sealed before come first: an item noted twice keeps its first line.
    for (std::size_t b = 0; b < m_blockNode.size(); ++b) {
        std::uintptr_t node = m_blockNode[b];
        std::uint32_t line = m_blockLine[b];
        const std::uint8_t* p = m_bytes.data() + m_blockOffset[b];
        const std::size_t n = std::min(kBlock, m_count - b * kBlock);
        for (std::size_t i = 0; i < n; ++i) {
            if (i > 0) {
                node += getVarint(p);
                line = static_cast<std::uint32_t>(line + unzigzag(getVarint(p)));
            }
            all.push_back({reinterpret_cast<const void*>(node), line});
        }
    }
    all.insert(all.end(), m_pending.begin(), m_pending.end());
    std::vector<Pending>().swap(m_pending);
    auto key = [](const Pending& e) { return reinterpret_cast<std::uintptr_t>(e.node); };
    std::stable_sort(all.begin(), all.end(),
                     [&](const Pending& a, const Pending& b) { return key(a) < key(b); });
    all.erase(std::unique(all.begin(), all.end(),
                          [&](const Pending& a, const Pending& b) { return key(a) == key(b); }),
              all.end());

    m_blockNode.clear();
    m_blockLine.clear();
    m_blockOffset.clear();
    m_bytes.clear();
    m_bytes.reserve(all.size() * 3);
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (i % kBlock == 0) {
            m_blockNode.push_back(key(all[i]));
            m_blockLine.push_back(all[i].line);
            m_blockOffset.push_back(static_cast<std::uint32_t>(m_bytes.size()));
            continue;
        }
        putVarint(m_bytes, key(all[i]) - key(all[i - 1]));
        putVarint(m_bytes, zigzag(static_cast<std::int64_t>(all[i].line) - all[i - 1].line));
    }
    m_count = all.size();
    m_blockNode.shrink_to_fit();
    m_blockLine.shrink_to_fit();
    m_blockOffset.shrink_to_fit();
    m_bytes.shrink_to_fit();
}

std::uint32_t Provenance::find(std::uintptr_t key) const {
    auto it = std::upper_bound(m_blockNode.begin(), m_blockNode.end(), key);
    if (it == m_blockNode.begin()) return 0;
    const auto b = static_cast<std::size_t>(it - m_blockNode.begin()) - 1;
    std::uintptr_t node = m_blockNode[b];
    std::uint32_t line = m_blockLine[b];
    const std::uint8_t* p = m_bytes.data() + m_blockOffset[b];
    const std::size_t n = std::min(kBlock, m_count - b * kBlock);
    for (std::size_t i = 0; node <= key; ++i) {
        if (node == key) return line;
        if (i + 1 >= n) break;
        node += getVarint(p);
        line = static_cast<std::uint32_t>(line + unzigzag(getVarint(p)));
    }
    return 0;
}

std::uint32_t Provenance::lineOf(xml::Node node) const {
    for (xml::Node n = node; n && n.type() == pugi::node_element; n = n.parent()) {
        if (const std::uint32_t line = find(reinterpret_cast<std::uintptr_t>(n.internal_object())))
            return line;
    }
    return 0;
}

void Provenance::clear() {
    std::vector<Pending>().swap(m_pending);
    std::vector<std::uintptr_t>().swap(m_blockNode);
    std::vector<std::uint32_t>().swap(m_blockLine);
    std::vector<std::uint32_t>().swap(m_blockOffset);
    std::vector<std::uint8_t>().swap(m_bytes);
    m_count = 0;
}

}  // namespace qx
