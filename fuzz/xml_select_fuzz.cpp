// Pattern search on arbitrary patterns and documents, and the escaping of names.
#include "fuzz_support.hpp"
#include "xml/tree_builder.hpp"

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

    // Stored through a builder's shared names, texts and attribute values, any text reads
    // back as given and saves as a plainly built tree does.
    qx::xml::Document shared;
    qx::xml::Document plain;
    qx::xml::Node sharedRoot = shared.createRoot("r");
    qx::xml::Node plainRoot = plain.createRoot("r");
    {
        qx::xml::TreeBuilder b(shared, qx::xml::TreeBuilder::Texts::Shared);
        for (int i = 0; i < 2; ++i) {
            b.setAttribute(b.append(sharedRoot, "v", name), "a", name);
            qx::xml::setAttribute(qx::xml::appendElement(plainRoot, "v", name), "a", name);
        }
        b.append(sharedRoot, "v", body.substr(0, 64));
        qx::xml::appendElement(plainRoot, "v", body.substr(0, 64));
        auto values = qx::xml::select(shared.root(), "v");
        if (values.size() != 3 || qx::xml::text(values[0]) != name || qx::xml::text(values[1]) != name ||
            qx::xml::attribute(values[1], "a") != name)
            std::abort();
    }
    if (shared.saveString() != plain.saveString()) std::abort();
    return 0;
}
