// Server report rows about the directory service, hardware, modules, volumes and LANs.
#include "lists/report_keys.hpp"
#include "lists/server_report.hpp"
#include "lists/server_report_builder.hpp"
#include "util/text.hpp"

#include <array>
#include <unordered_map>
#include <unordered_set>

namespace qx::lists::detail {

namespace {

constexpr long long kMegabyte = 1048576;

bool oneOf(std::string_view s, std::initializer_list<std::string_view> list) {
    for (auto x : list) {
        if (s == x) return true;
    }
    return false;
}

// Partition types in the order of their count rows, with the rows' keys.
constexpr std::array<std::pair<std::string_view, std::string_view>, 7> kPartitionTypes{{
    {"Master", "masterreplica"},
    {"Read/Write", "rwreplica"},
    {"Read-Only", "roreplica"},
    {"Subordinate Reference", "subordinate"},
    {"Filtered Read/Write", "filteredrw"},
    {"Filtered Read-Only", "filteredro"},
    {"Unknown Type (28)", "unknown"},
}};

void writePartitionRows(RowWriter& w, const CQXConfigDoc2& doc) {
    std::array<int, kPartitionTypes.size()> counts{};
    for (xml::Node part : xml::select(doc.config().documentNode(), "partitions/partition")) {
        const std::string type = field(part, "type");
        for (std::size_t i = 0; i < kPartitionTypes.size(); ++i) {
            if (type == kPartitionTypes[i].first) ++counts[i];
        }
        int replicas = 0;
        bool allOn = true;
        bool master = false;
        for (xml::Node c = part.first_child(); c; c = c.next_sibling()) {
            if (c.type() != pugi::node_element || !text::equalsNoCase(c.name(), "replica")) continue;
            ++replicas;
            if (field(c, "state") != "On") allOn = false;
            if (field(c, "type") == "Master") master = true;
        }
        std::string caption = w.label("replicacount") + " " + std::to_string(replicas);
        std::vector<std::string> messages;
        if (!allOn) {
            caption += " No On ";
            messages.emplace_back("errorreplicanoon");
        }
        if (!master) {
            caption += " No Master ";
            messages.emplace_back("errornomaster");
        }
        if (replicas < 3) messages.emplace_back("errorreplica");
        const bool bad = !allOn || !master || replicas < 3;
        auto& r = bad ? w.row("partitionbad", {caption, field(part, "name"), type}, part)
                      : w.rowIcon(icon::kGood, {caption, field(part, "name"), type}, part);
        for (const auto& m : messages) w.message(r, m);
    }
    for (std::size_t i = 0; i < kPartitionTypes.size(); ++i) {
        w.row(kPartitionTypes[i].second, {std::string(kPartitionTypes[i].first), std::to_string(counts[i])});
    }
}

void writeDatabaseRows(RowWriter& w, const CQXConfigDoc2& doc) {
    const auto groups = xml::select(doc.config().documentNode(), "file-groups/file-group");
    if (groups.empty()) return;
    long long size = 0;
    long long oldSize = 0;
    bool leftovers = false;
    for (xml::Node g : groups) {
        const std::string pattern = field(g, "pattern");
        std::string sizeText = text::replaceAll(field(g, "size"), "bytes", "");
        sizeText = text::removeChar(text::removeChar(sizeText, '('), ')');
        const long long bytes = text::leadingInteger(sizeText);
        if (!oneOf(pattern, {"*.OLD", "*.DOB", "NDO.*", "*.DOD"})) size += bytes;
        if (oneOf(pattern, {"*.OLD", "*.DOB", "*.DOD"})) oldSize += bytes;
        if (bytes > 0 && oneOf(pattern, {"*.41X", "*.OLD", "*.__D", "*.__B", "*.DOB", "*.DOD", "*.PTB",
                                         "*.DSD", "*.DSB"})) {
            leftovers = true;
        }
    }
    w.rowIcon(leftovers ? icon::kBad : icon::kGood,
              {"DIB size", std::to_string(size / kMegabyte) + " MByte"});
    w.row("dibsizeold", {"Old DIB size", std::to_string(oldSize / kMegabyte) + " MByte"});
}

// The board module lookup with the network configuration's LOAD lines collected once, so
// that a report with many LAN boards does not search the tree per board.
class BoardModules {
public:
    explicit BoardModules(const CQXConfigDoc2& doc) {
        for (xml::Node l :
             xml::select(doc.config().documentNode(),
                         "file[@name='" + xml::escapeLiteral("SYS:ETC\\NETINFO.CFG") + "']/line")) {
            const std::string line = xml::text(l);
            const std::string t = " " + line;
            std::string u = text::toUpper(t);
            if (text::isFirstColumnCommentLine(line) || xml::attribute(l, "remark") == "true" ||
                !text::containsAfterStart(u, "LOAD") || text::containsAfterStart(u, "BIND")) {
                continue;
            }
            const auto words = text::splitWords(t);
            m_loads.emplace_back(std::move(u), words.size() > 1 ? std::string(words[1]) : std::string());
        }
    }
    /// Second word of the first LOAD line naming the board (in capitals), else the board.
    [[nodiscard]] std::string module(const std::string& board) const {
        if (board.empty()) return board;
        for (const auto& [upper, module] : m_loads) {
            if (text::containsAfterStart(upper, board)) return module;
        }
        return board;
    }

private:
    std::vector<std::pair<std::string, std::string>> m_loads;
};

}  // namespace

std::string firstModuleVersion(const CQXConfigDoc2& doc, std::string_view name) {
    xml::Node m = xml::selectFirst(doc.config().documentNode(),
                                   "loaded-modules/module[name='" + xml::escapeLiteral(name) + "']");
    return xml::childText(m, "version");
}

long long megabytes(std::string_view valueText) {
    std::string t = text::replaceAll(valueText, "MBytes", "");
    t = text::replaceAll(t, "MByte", "");
    return text::leadingInteger(t);
}

std::string propertyValue(xml::Node item, std::string_view name) {
    for (xml::Node p = item.child("property"); p; p = p.next_sibling("property")) {
        if (xml::childText(p, "name") == name) return xml::childText(p, "value");
    }
    return {};
}

std::vector<xml::Node> shownVolumes(const CQXConfigDoc2& doc) {
    std::vector<xml::Node> out;
    for (xml::Node v : xml::select(doc.config().documentNode(), "volumes/volume")) {
        const std::string name = xml::attribute(v, "name");
        if (name != "KFS_ADMIN" && name != "_ADMIN") out.push_back(v);
    }
    return out;
}

void writeDirectoryRows(RowWriter& w, const CQXConfigDoc2& doc) {
    std::string version = doc.valueByName("product", "TRLM");
    if (version.empty()) version = "DIRCORE.QXK " + firstModuleVersion(doc, "DIRCORE.QXK");
    xml::Node tree = xml::selectFirst(doc.config().documentNode(), "tree-name");
    auto& r = w.row("zrd", {w.label("treename"), xml::text(tree), version});
    w.message(r, "errorzrd");
    writePartitionRows(w, doc);
    writeDatabaseRows(w, doc);
}

std::vector<InterruptEntry> interruptEntries(const CQXConfigDoc2& doc) {
    std::vector<InterruptEntry> out;
    auto valueOr = [](const std::string& v) { return v.empty() ? std::string("Not used") : v; };
    for (xml::Node d : xml::select(doc.config().documentNode(), "device")) {
        std::string driver = propertyValue(d, "Driver name");
        if (driver.empty()) driver = propertyValue(d, "Driver Name");
        if (driver.empty()) continue;  // only adapters carry a driver and interrupts
        out.push_back({driver,
                       {valueOr(propertyValue(d, "Interrupt 0")), valueOr(propertyValue(d, "Interrupt 1")),
                        valueOr(propertyValue(d, "Slot"))},
                       d});
    }
    for (xml::Node l : xml::select(doc.config().documentNode(), "lans/lan")) {
        InterruptEntry e{xml::attribute(l, "name"), {}, l};
        for (const char* p :
             {"IRQ", "Slot", "Node Address", "Media Type", "Board Number", "Board Instance"}) {
            e.values.push_back(propertyValue(l, p));
        }
        out.push_back(std::move(e));
    }
    return out;
}

void writeInterruptRows(RowWriter& w, const CQXConfigDoc2& doc) {
    std::unordered_map<std::string, std::vector<std::pair<std::size_t, std::string>>> byInterrupt;
    // Loaded modules indexed once, not searched per row.
    std::unordered_map<std::string, std::string> versions;
    for (xml::Node m : xml::select(doc.config().documentNode(), "loaded-modules/module")) {
        versions.emplace(xml::childText(m, "name"), xml::childText(m, "version"));
    }
    const BoardModules boardModules(doc);
    for (const auto& e : interruptEntries(doc)) {
        const bool lan = std::string_view(e.node.name()) == "lan";
        const std::string module = lan ? boardModules.module(text::toUpper(e.name)) : e.name;
        const std::string upper = text::toUpper(module);
        std::string moduleInfo;
        if (text::endsWith(upper, ".LAN") || text::endsWith(upper, ".QXK")) {
            auto v = versions.find(module);
            moduleInfo =
                std::string(text::trimRightBlanks(module + " " + (v == versions.end() ? "" : v->second)));
        }
        std::string joined;
        for (const auto& v : e.values) joined += (joined.empty() ? "" : ",") + v;
        const std::string interrupt = e.values.empty() ? std::string() : e.values.front();
        w.row("intnumber", {interrupt, e.name, joined, moduleInfo}, e.node);
        // A row without an interrupt shares none with another.
        if (!interrupt.empty() && interrupt != "Not used") {
            // Frame types of one LAN board (same slot and node address) are one driver.
            std::string board = lan ? "lan:" + e.values[1] + "|" + e.values[2]
                                    : "dev:" + std::to_string(w.model().rows.size());
            byInterrupt[interrupt].push_back({w.model().rows.size() - 1, std::move(board)});
        }
    }
    for (const auto& [interrupt, rows] : byInterrupt) {
        std::unordered_set<std::string> boards;
        for (const auto& r : rows) boards.insert(r.second);
        if (boards.size() < 2) continue;
        for (const auto& r : rows) w.model().rows[r.first].icon = iconOfKey("bad2");
    }
}

void writeModuleMemoryRows(RowWriter& w, const CQXConfigDoc2& doc) {
    w.row("modules", {w.label("allocatedmemory")});
    for (xml::Node m : xml::select(doc.config().documentNode(), "loaded-modules/module")) {
        w.row("modules", {xml::childText(m, "name"), xml::childText(m, "allocated-memory")}, m);
    }
}

VolumeFigures volumeFigures(xml::Node volume) {
    VolumeFigures f;
    f.name = xml::attribute(volume, "name");
    f.node = volume;
    for (xml::Node p = volume.child("property"); p; p = p.next_sibling("property")) {
        const std::string name = xml::childText(p, "name");
        const std::string value = xml::childText(p, "value");
        if (name == "Name Space Loaded") {
            f.nameSpaces += (f.nameSpaces.empty() ? "" : " ") + value;
            continue;
        }
        std::string* slot = name == "Volume Size"           ? &f.size
                            : name == "Free Disk Space"     ? &f.free
                            : name == "Total Blocks"        ? &f.totalBlocks
                            : name == "Free Blocks"         ? &f.freeBlocks
                            : name == "Purgable Blocks"     ? &f.purgableBlocks
                            : name == "Purgable Disk Space" ? &f.purgableSpace
                                                            : nullptr;
        if (slot && slot->empty()) *slot = value;
    }
    const long long size = megabytes(f.size);
    const long long blocks = megabytes(f.totalBlocks);
    f.freePercent = percentText(megabytes(f.free), size);
    f.purgablePercent = percentText(megabytes(f.purgableSpace), size);
    f.freeBlocksPercent = percentText(megabytes(f.freeBlocks), blocks);
    f.purgableBlocksPercent = percentText(megabytes(f.purgableBlocks), blocks);
    f.icon = iconOfKey("volume");
    // An empty percentage (size 0) changes no icon.
    if (!f.freePercent.empty() && text::leadingInteger(f.freePercent) <= 10) f.icon = icon::kBad;
    if (!f.purgablePercent.empty() && text::leadingInteger(f.purgablePercent) >= 10)
        f.icon = icon::kInformation;
    return f;
}

void writeVolumeRows(RowWriter& w, const CQXConfigDoc2& doc) {
    for (xml::Node v : shownVolumes(doc)) {
        VolumeFigures f = volumeFigures(v);
        w.rowIcon(f.icon,
                  {f.name, f.size, f.free, f.freePercent, f.purgablePercent, f.freeBlocksPercent,
                   f.purgableBlocksPercent, f.nameSpaces},
                  v);
    }
}

void writeLanRows(RowWriter& w, const CQXConfigDoc2& doc) {
    const BoardModules boards(doc);
    for (xml::Node b : xml::select(doc.report().documentNode(), "lans/property")) {
        const std::string board = field(b, "lan");
        std::string module = field(b, "qxk");
        if (module.empty() && !board.empty()) module = boards.module(text::toUpper(board));
        w.row("lans",
              {board, module, field(b, "protocol"), field(b, "address"), field(b, "mask"), field(b, "gate"),
               field(b, "hostname"), field(b, "hostalias")},
              b);
    }
}

}  // namespace qx::lists::detail
