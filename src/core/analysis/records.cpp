#include "analysis/records.hpp"

#include "util/text.hpp"
#include "xml/fields.hpp"

#include <vector>

namespace qx::analysis {

std::string readField(xml::Node node, std::string_view name) {
    std::string t = xml::field(node, name);
    if (text::equalsNoCase(name, "date")) {
        for (auto& ch : t) {
            if (ch == '.' || ch == ',') ch = ' ';
        }
    }
    return t;
}

namespace {

bool contributesNothing(std::string_view n) {
    return n == "property" || n == "set-param" || n == "serverparam" || n == "module";
}

bool contributesNameAttribute(std::string_view n) {
    return n == "device" || n == "volume" || n == "lan" || n == "filegroup" || n == "files" ||
           n == "set-category";
}

bool joinsWithoutSeparator(std::string_view n) {
    return n == "module" || n == "rules" || n == "serverparams" || n == "setparams" || n == "devices" ||
           n == "volumes" || n == "lans";
}

}  // namespace

std::string configurationPath(xml::Node node, const Application& app) {
    std::vector<xml::Node> chain;
    for (xml::Node n = node; n && n.type() == pugi::node_element; n = n.parent()) {
        chain.push_back(n);
        if (std::string_view(n.name()) == "config") break;
    }
    std::string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        std::string_view name = it->name();
        if (contributesNothing(name)) continue;
        if (name != "config") path += "->";
        path += contributesNameAttribute(name) ? xml::attribute(*it, "name") : app.label(name);
    }
    return path;
}

std::string rulePath(xml::Node node) {
    std::vector<xml::Node> chain;
    for (xml::Node n = node; n && n.type() == pugi::node_element; n = n.parent()) chain.push_back(n);
    std::string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        std::string_view name = it->name();
        if (!joinsWithoutSeparator(name)) path += " -> ";
        path += name == "files" ? xml::childText(*it, "name") : xml::attribute(*it, "name");
        if (name == "product" || name == "productgroup") {
            path += ' ';
            path += xml::attribute(*it, "version");
            path.erase(text::trimRightBlanks(path).size());
        }
    }
    return path;
}

}  // namespace qx::analysis
