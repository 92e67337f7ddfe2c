// Pattern search on arbitrary patterns and documents, and the escaping of names.
#include "fuzz_support.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    auto nl = input.find('\n');
    std::string pattern = input.substr(0, nl);
    std::string body = nl == std::string::npos ? std::string() : input.substr(nl + 1);

    qx::xml::Document doc;
    if (!doc.loadString(body).ok()) {
        doc.loadString("<r><a name='x'><b>t</b></a><a name='y'/></r>");
    }
    auto found = qx::xml::select(doc.documentNode(), pattern);
    for (auto n : found) {
        if (n.type() != pugi::node_element) std::abort();
    }

    // Any name, escaped into a literal, finds exactly the element that carries it.
    std::string name = qx::xml::sanitize(pattern);
    name.erase(std::remove(name.begin(), name.end(), '\0'), name.end());
    qx::xml::Document d2;
    qx::xml::setAttribute(qx::xml::appendElement(d2.createRoot("r"), "a"), "name", name);
    qx::xml::appendElement(d2.root(), "a");
    auto hits = qx::xml::select(d2.documentNode(), "a[@name='" + qx::xml::escapeLiteral(name) + "']");
    if (hits.size() != 1) std::abort();

    // Stored through shared names and texts, any text reads back as given and saves as a
    // plainly built tree does.
    qx::xml::Document shared;
    shared.shareElementNames(true);
    qx::xml::Document plain;
    for (qx::xml::Document* d : {&shared, &plain}) {
        qx::xml::Node root = d->createRoot("r");
        qx::xml::appendElement(root, "v", name);
        qx::xml::appendElement(root, "v", name);
        qx::xml::appendElement(root, "v", body.substr(0, 64));
    }
    auto values = qx::xml::select(shared.documentNode(), "v");
    if (values.size() != 3 || qx::xml::text(values[0]) != name || qx::xml::text(values[1]) != name)
        std::abort();
    if (shared.saveString() != plain.saveString()) std::abort();
    return 0;
}
