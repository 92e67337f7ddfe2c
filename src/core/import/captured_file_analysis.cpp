// Analyses of captured server files: abends, Java archives and the network bindings, written
// into the report tree. A failure inside one analysis ends only that analysis.
#include "import/captured_file_analysis.hpp"

#include "util/text.hpp"
#include "xml/tree_builder.hpp"

#include <cstring>
#include <exception>
#include <unordered_map>
#include <vector>

namespace qx::import {

namespace {

// The report tree's element, emptied; an empty node when the layout has none.
xml::Node resultElement(CQXConfigDoc2& doc, std::string_view name) {
    xml::Node n = xml::selectFirst(doc.report().documentNode(), name);
    if (n) xml::removeChildren(n);
    return n;
}

std::string from(std::string_view s, std::size_t index) {
    return index < s.size() ? std::string(s.substr(index)) : std::string();
}

template <typename Fn>
void guarded(Fn&& fn) {
    try {
        fn();
    } catch (const std::exception&) {
        // What was written so far stays; the import goes on with its next step.
    }
}

void addAbendDetails(xml::TreeBuilder& b, xml::Node record, std::string_view t) {
    if (text::containsAfterStart(t, "Thread Owned by QXK:"))
        b.append(record, "ThreadOwnedbyQXK", from(t, 22));
    if (text::containsAfterStart(t, "EIP in")) {
        const std::string eip = from(t, 8);
        const auto at = eip.find("at code start");
        if (at == std::string::npos) {
            b.append(record, "EIP", eip);
        } else {
            b.append(record, "EIP", eip.substr(0, at > 0 ? at - 1 : 0));
            b.append(record, "atcodestart", eip.substr(at + 13));
        }
    }
    if (text::containsAfterStart(t, "Running process:")) b.append(record, "Runningprocess", from(t, 18));
}

// Second word of the LOAD lines that name a board (board given in capitals).
struct LoadLines {
    std::vector<std::pair<std::string, std::string>> upperAndModule;

    explicit LoadLines(const std::vector<CapturedLine>& lines) {
        for (const auto& l : lines) {
            const std::string t = " " + l.text;
            std::string u = text::toUpper(t);
            if (l.remark || text::isFirstColumnCommentLine(l.text) || !text::containsAfterStart(u, "LOAD") ||
                text::containsAfterStart(u, "BIND")) {
                continue;
            }
            const auto words = text::splitWords(t);
            upperAndModule.emplace_back(std::move(u),
                                        words.size() > 1 ? std::string(words[1]) : std::string());
        }
    }
    template <typename Fn>
    void forBoard(std::string_view board, Fn&& fn) const {
        if (board.empty()) return;
        for (const auto& [u, module] : upperAndModule) {
            if (text::containsAfterStart(u, board)) fn(module);
        }
    }
};

// Fills one `property` from the words of a BIND line; returns the board name and address.
std::pair<std::string, std::string> addBindWords(xml::TreeBuilder& b, xml::Node record, std::string_view t) {
    std::string board, address;
    int counter = 1;
    for (std::string_view word : text::splitWords(t)) {
        std::string w = text::toUpper(text::trimBlanks(word));
        if (w == "IP" || w == "IPX") b.append(record, "protocol", w);
        if (text::startsWith(w, "NET")) b.append(record, "net", from(w, 4));
        if (text::startsWith(w, "ARP")) b.append(record, "arp", from(text::removeChar(w, ';'), 4));
        if (text::startsWith(w, "MASK")) b.append(record, "mask", from(w, 5));
        if (text::startsWith(w, "GATE")) b.append(record, "gate", from(text::removeChar(w, ';'), 5));
        if (text::startsWith(w, "ADDRESS")) {
            address = from(w, 8);
            b.append(record, "address", address);
        }
        if (counter == 3 && w != "TO") {
            board = w;
            b.append(record, "lan", w);
        }
        if (w != "TO") ++counter;
    }
    return {board, address};
}

using HostWords = std::vector<std::string>;

// Hosts lines by their first word (the address), each address's lines in file order.
std::unordered_map<std::string, std::vector<HostWords>> hostsByAddress(
    const std::vector<CapturedLine>& hosts) {
    std::unordered_map<std::string, std::vector<HostWords>> out;
    for (const auto& h : hosts) {
        if (h.text.empty() || text::isFirstColumnCommentLine(h.text)) continue;
        const auto words = text::splitWords(h.text);
        if (words.empty()) continue;
        out[std::string(words[0])].emplace_back(words.begin(), words.end());
    }
    return out;
}

}  // namespace

CapturedFiles::CapturedFiles(const CQXConfigDoc2& doc) {
    // Like a failure inside one analysis, running out of memory here leaves the analyses
    // without lines rather than stopping the import.
    try {
        collect(doc);
    } catch (const std::exception&) {
        m_byPath.clear();
    }
}

void CapturedFiles::collect(const CQXConfigDoc2& doc) {
    // What "file[@name='PATH']/line" selects, for every PATH at once.
    xml::forEachElementBelow(doc.config().documentNode(), [&](xml::Node n) {
        if (std::strcmp(n.name(), "line") != 0) return true;
        const xml::Node file = n.parent();
        if (file.type() == pugi::node_element && std::strcmp(file.name(), "file") == 0) {
            if (pugi::xml_attribute name = file.attribute("name")) {
                m_byPath[name.value()].push_back({xml::text(n), xml::attribute(n, "remark") == "true"});
            }
        }
        return true;
    });
}

const std::vector<CapturedLine>& CapturedFiles::lines(std::string_view path) const {
    auto it = m_byPath.find(std::string(path));
    return it == m_byPath.end() ? m_none : it->second;
}

void analyseAbendLog(CQXConfigDoc2& doc, const CapturedFiles& files) {
    guarded([&] {
        xml::Node abend = resultElement(doc, "abend");
        if (!abend) return;
        xml::TreeBuilder b(doc.report(), xml::TreeBuilder::Texts::Shared);
        const auto& lines = files.lines("SYS:SYSTEM\\ABEND.LOG");
        xml::Node record;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            std::string t = " " + lines[i].text;
            if (text::containsAfterStart(t, "Server") && text::containsAfterStart(t, "halted")) {
                record = b.append(abend, "property");
                b.append(record, "date", from(t, t.find("halted") + 6));
                // A halt line as the last line has no abend text after it.
                if (++i >= lines.size()) break;
                t = " " + lines[i].text;
                b.append(record, "abend", t);
            }
            if (record) addAbendDetails(b, record, t);
        }
    });
}

void analyseJavaConfiguration(CQXConfigDoc2& doc, const CapturedFiles& files) {
    guarded([&] {
        xml::Node java = resultElement(doc, "java");
        if (!java) return;
        xml::TreeBuilder b(doc.report(), xml::TreeBuilder::Texts::Shared);
        for (const auto& line : files.lines("SYS:ETC\\JAVA.CFG")) {
            const std::string t = " " + line.text;
            const std::string u = text::toUpper(t);
            if (!text::containsAfterStart(t, "=")) continue;
            if (!text::containsAfterStart(u, ".JAR") && !text::containsAfterStart(u, ".ZIP")) continue;
            std::string_view rest = t;
            while (!rest.empty()) {
                const auto semi = rest.find(';');
                const std::string_view item = rest.substr(0, semi);
                rest = semi == std::string_view::npos ? std::string_view() : rest.substr(semi + 1);
                const std::string key = text::toUpper(text::trimBlanks(item));
                if (!text::containsAfterStart(key, "JAR") && !text::containsAfterStart(key, "ZIP")) continue;
                std::string jar = " " + std::string(item);
                for (auto bs = jar.find('\\'); bs != std::string::npos && bs > 0; bs = jar.find('\\'))
                    jar.erase(0, bs + 1);
                xml::Node record = b.append(java, "property");
                b.append(record, "line", item);
                b.append(record, "jar", jar);
            }
        }
    });
}

void analyseNetworkConfiguration(CQXConfigDoc2& doc, const CapturedFiles& files) {
    guarded([&] {
        xml::Node lans = resultElement(doc, "lans");
        if (!lans) return;
        xml::TreeBuilder b(doc.report(), xml::TreeBuilder::Texts::Shared);
        const auto& lines = files.lines("SYS:ETC\\NETINFO.CFG");
        const LoadLines loads(lines);
        const auto hosts = hostsByAddress(files.lines("SYS:ETC\\HOSTS"));
        for (const auto& line : lines) {
            const std::string t = " " + line.text;
            const std::string u = text::toUpper(t);
            if (text::isFirstColumnCommentLine(line.text) || line.remark ||
                !text::containsAfterStart(u, "BIND"))
                continue;
            xml::Node record = b.append(lans, "property");
            const auto [board, address] = addBindWords(b, record, t);
            loads.forBoard(board, [&](const std::string& module) { b.append(record, "qxk", module); });
            const auto match = hosts.find(address);
            if (address.empty() || match == hosts.end()) continue;
            for (const HostWords& words : match->second) {
                if (words.size() > 1) b.append(record, "hostname", words[1]);
                if (words.size() > 2) b.append(record, "hostalias", words[2]);
            }
        }
    });
}

std::string boardModule(const CQXConfigDoc2& doc, std::string_view board) {
    std::string module;
    bool found = false;
    LoadLines(CapturedFiles(doc).lines("SYS:ETC\\NETINFO.CFG")).forBoard(board, [&](const std::string& m) {
        if (!found) module = m;
        found = true;
    });
    return found ? module : std::string(board);
}

}  // namespace qx::import
