#include "document/config_doc.hpp"

#include "qx_embedded_resources.hpp"
#include "util/text.hpp"

#include <array>
#include <cstring>

namespace qx {

namespace {

// Joins the value, version and date texts of one found record onto `result`.
void joinValues(xml::Node found, std::string_view kind, bool propertyKind, std::string& result) {
    for (xml::Node c = found.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element) continue;
        std::string_view name = c.name();
        if (name == "value") {
            if (propertyKind) {
                result += xml::attribute(found.parent(), "name");
                result += ':';
            }
            result += xml::text(c);
            result += ' ';
        } else if (name == "version") {
            if (kind == "module") result.clear();
            result += xml::text(c);
            result += ' ';
        } else if (name == "date") {
            result += xml::text(c);
            result += ' ';
        }
    }
}

// True when a child element `name` has exactly this text (the [name='...'] test).
bool hasNamedChild(xml::Node n, std::string_view key) {
    for (xml::Node c = n.first_child(); c; c = c.next_sibling()) {
        if (c.type() == pugi::node_element && std::string_view(c.name()) == "name" && xml::text(c) == key) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string CQXConfigDoc2::valueByName(std::string_view kind, std::string_view key) const {
    std::string pattern(kind);
    const bool propertyKind = kind == "lan" || kind == "volume" || kind == "device";
    if (propertyKind || kind == "boot-drive") pattern += "/property";
    if (kind == "product") {
        pattern += "[id='" + xml::escapeLiteral(key) + "']";
    } else if (kind != "zrd") {
        pattern += "[name='" + xml::escapeLiteral(key) + "']";
    }
    std::string result;
    for (xml::Node found : xml::select(m_config.documentNode(), pattern))
        joinValues(found, kind, propertyKind, result);
    return std::string(text::trimRightBlanks(result));
}

std::string CQXConfigDoc2::serverName() const {
    return serverParameter("Server name") + serverParameter("Server Name");
}

std::string CQXConfigDoc2::buildTitle() const {
    // The title needs eight server parameters: find the records once, not once per name.
    const std::vector<xml::Node> params = xml::select(m_config.documentNode(), "serverparam");
    auto param = [&](std::string_view name) {
        std::string result;
        for (xml::Node p : params) {
            if (hasNamedChild(p, name)) joinValues(p, "serverparam", false, result);
        }
        return std::string(text::trimRightBlanks(result));
    };
    const char* version = newFormat ? "Product Version" : "OS Version";
    const char* revisionLower = newFormat ? "Product revision number" : "OS revision number";
    const char* revisionUpper = newFormat ? "Product Revision Number" : "OS Revision Number";
    std::string t = param("Server name") + param("Server Name");
    t += ' ';
    t += param(version);
    t += '.';
    t += param(revisionLower) + param(revisionUpper);
    t += ' ';
    t += param("Orvane File Server Configuration Report Created");
    return t;
}

namespace {

constexpr std::array<const char*, 5> kStandardContainers = {"zrd", "products", "boot-drive", "kfs-stat-files",
                                                            "search-paths"};

// Which standard containers occur anywhere in the tree, from one walk.
std::array<bool, 5> presentContainers(xml::Node top) {
    std::array<bool, 5> present{};
    std::size_t found = 0;
    xml::forEachElementBelow(top, [&](xml::Node n) {
        const char* name = n.name();
        for (std::size_t i = 0; i < present.size(); ++i) {
            if (!present[i] && std::strcmp(name, kStandardContainers[i]) == 0) {
                present[i] = true;
                ++found;
            }
        }
        return found < present.size();
    });
    return present;
}

}  // namespace

void CQXConfigDoc2::ensureStandardContainers() {
    xml::Node root = m_config.root();
    if (!root) return;
    auto present = presentContainers(root);
    for (std::size_t i = 0; i < present.size(); ++i)
        present[i] = present[i] || std::strcmp(root.name(), kStandardContainers[i]) == 0;
    if (!present[0]) {
        xml::Node zrd = xml::appendElement(root, "zrd");
        xml::appendElement(zrd, "file-groups");
        xml::appendElement(zrd, "partitions");
    }
    for (std::size_t i = 1; i < kStandardContainers.size(); ++i) {
        if (!present[i]) xml::appendElement(root, kStandardContainers[i]);
    }
}

void CQXConfigDoc2::resetReport() {
    trail.clear();
    m_report.loadString(resources::report_layout());
}

}  // namespace qx
