#include "document/config_doc.hpp"

#include "qx_embedded_resources.hpp"
#include "util/text.hpp"

namespace qx {

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
    for (xml::Node found : xml::select(m_config.documentNode(), pattern)) {
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
    return std::string(text::trimRightBlanks(result));
}

std::string CQXConfigDoc2::serverName() const {
    return serverParameter("Server name") + serverParameter("Server Name");
}

std::string CQXConfigDoc2::buildTitle() const {
    const char* version = newFormat ? "Product Version" : "OS Version";
    const char* revisionLower = newFormat ? "Product revision number" : "OS revision number";
    const char* revisionUpper = newFormat ? "Product Revision Number" : "OS Revision Number";
    std::string t = serverName();
    t += ' ';
    t += serverParameter(version);
    t += '.';
    t += serverParameter(revisionLower) + serverParameter(revisionUpper);
    t += ' ';
    t += serverParameter("Orvane File Server Configuration Report Created");
    return t;
}

void CQXConfigDoc2::ensureStandardContainers() {
    xml::Node root = m_config.root();
    if (!root) return;
    auto missing = [&](const char* name) { return !xml::selectFirst(m_config.documentNode(), name); };
    if (missing("zrd")) {
        xml::Node zrd = xml::appendElement(root, "zrd");
        xml::appendElement(zrd, "file-groups");
        xml::appendElement(zrd, "partitions");
    }
    for (const char* name : {"products", "boot-drive", "kfs-stat-files", "search-paths"}) {
        if (missing(name)) xml::appendElement(root, name);
    }
}

void CQXConfigDoc2::resetReport() { m_report.loadString(resources::report_layout()); }

}  // namespace qx
