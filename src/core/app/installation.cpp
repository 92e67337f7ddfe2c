#include "app/installation.hpp"

#include "platform/file_system.hpp"
#include "util/sha256.hpp"
#include "xml/xml_document.hpp"

namespace qx {

RuleBaseFileInfo inspectRuleBaseFile(const std::string& path) {
    RuleBaseFileInfo info;
    info.path = path;
    auto data = platform::readFile(path);
    if (!data) return info;
    info.found = true;
    info.sha256 = util::sha256Hex(*data);
    xml::Document doc;
    if (doc.loadString(*data).ok()) {
        info.wellFormed = true;
        info.date = xml::attribute(doc.root(), "date");
    }
    return info;
}

std::vector<InstallationFact> installationFacts(const platform::DataDirectory& dir,
                                                const RuleBaseFileInfo& rules) {
    std::vector<InstallationFact> facts;
    facts.push_back({"Data folder", dir.path + " (" + platform::describe(dir.source) + ")"});
    if (!dir.seededFrom.empty()) facts.push_back({"Seeded from", dir.seededFrom});
    if (!dir.problem.empty()) facts.push_back({"Problem", dir.problem});
    if (!rules.found) {
        facts.push_back({"Rule base", rules.path + " (not found)"});
        return facts;
    }
    facts.push_back({"Rule base", rules.path + (rules.wellFormed ? "" : " (not well-formed XML)")});
    if (rules.wellFormed) facts.push_back({"Rule base date", rules.date.empty() ? "(none)" : rules.date});
    facts.push_back({"Rule base SHA-256", rules.sha256});
    return facts;
}

std::string formatInstallationFacts(const std::vector<InstallationFact>& facts) {
    std::string out;
    for (const auto& f : facts) out += f.label + ": " + f.value + "\n";
    return out;
}

}  // namespace qx
