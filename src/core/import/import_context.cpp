#include "import/import_context.hpp"

#include "util/text.hpp"

namespace qx::import {

xml::Node ImportContext::createContainer(std::string_view element, std::string_view kind,
                                         const char* nameAttribute) {
    xml::Node c = add(config, element);
    if (nameAttribute) builder.setAttribute(c, "name", nameAttribute);
    state.currentContainer = c;
    state.containerKind = std::string(kind);
    state.blockMarker = std::string(kind);
    return c;
}

xml::Node ImportContext::blockContainer(std::string_view element, const char* nameAttribute) {
    if (state.blockMarker.empty() || !state.currentContainer) {
        return createContainer(element, element, nameAttribute);
    }
    return state.currentContainer;
}

xml::Node ImportContext::runContainer(std::string_view element, std::string_view kind,
                                      const char* nameAttribute) {
    if (state.containerKind != kind || !state.currentContainer) {
        return createContainer(element, kind, nameAttribute);
    }
    return state.currentContainer;
}

xml::Node ImportContext::add(xml::Node parent, std::string_view element, int firstLine) {
    xml::Node n = builder.append(parent, element);
    doc.provenance.add(n, static_cast<std::uint32_t>(firstLine > 0 ? firstLine : state.lineNumber));
    return n;
}

xml::Node ImportContext::addItemText(xml::Node parent, std::string_view element,
                                     std::string_view reportBytes) {
    xml::Node n = addText(parent, element, reportBytes);
    doc.provenance.add(n, static_cast<std::uint32_t>(state.lineNumber));
    return n;
}

xml::Node ImportContext::addProperty(xml::Node parent, std::string_view name, std::string_view value) {
    xml::Node p = add(parent, "property");
    addText(p, "name", name);
    addText(p, "value", value);
    return p;
}

bool ImportContext::splitNameValue(std::string_view line, std::string& name, std::string& value) {
    auto pos = line.find(": ");
    if (pos == std::string_view::npos) return false;
    // Every ".." goes (left to right, as a find-and-replace would), then one closing dot.
    const std::string_view raw = text::trimLeftBlanks(line.substr(0, pos));
    std::string n(raw.size(), '\0');
    std::size_t kept = 0;
    for (std::size_t i = 0; i < raw.size();) {
        if (raw[i] == '.' && i + 1 < raw.size() && raw[i + 1] == '.') {
            i += 2;
        } else {
            n[kept++] = raw[i++];
        }
    }
    if (kept > 0 && n[kept - 1] == '.') --kept;
    n.resize(kept);
    value = std::string(text::trimLeftBlanks(line.substr(pos + 1)));
    name = std::move(n);
    return pos > 0;
}

bool ImportContext::splitNameValue() {
    return splitNameValue(state.line, state.name, state.value);
}

}  // namespace qx::import
