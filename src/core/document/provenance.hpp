#pragma once
// Where each configuration item came from: the report line that created it. Kept beside
// the tree, never in it, so saved trees stay as they are; a tree loaded from an ".XML" file
// has no report lines and an empty table.

#include "xml/xml_document.hpp"

#include <cstdint>
#include <vector>

namespace qx {

class Provenance {
public:
    /// Notes the 1-based report line of an item while the import runs.
    void add(xml::Node item, std::uint32_t line) { m_pending.push_back({item.internal_object(), line}); }
    /// Ends the import: the table becomes compact and searchable.
    void seal();
    /// Line of a node, or of the nearest ancestor the import noted; 0 when there is none.
    [[nodiscard]] std::uint32_t lineOf(xml::Node node) const;
    /// Forgets every line (the tree was replaced).
    void clear();
    /// Number of items noted.
    [[nodiscard]] std::size_t size() const { return m_count + m_pending.size(); }

private:
    struct Pending {
        const void* node;
        std::uint32_t line;
    };
    [[nodiscard]] std::uint32_t find(std::uintptr_t key) const;

    std::vector<Pending> m_pending;
    // Sealed: entries sorted by node address, in blocks; a block starts with a whole entry
    // and goes on with variable-length differences to the entry before (nodes sit close
    // together and so do their lines: about two bytes an entry instead of sixteen).
    std::vector<std::uintptr_t> m_blockNode;
    std::vector<std::uint32_t> m_blockLine;
    std::vector<std::uint32_t> m_blockOffset;
    std::vector<std::uint8_t> m_bytes;
    std::size_t m_count = 0;
};

}  // namespace qx
