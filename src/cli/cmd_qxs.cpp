#include "cli/cli_common.hpp"

#include "commandfile/command_file.hpp"
#include "platform/file_system.hpp"

#include <iostream>
#include <unordered_map>

namespace qx::cli {

namespace {

bool isContainer(xml::Node n) {
    const std::string_view name = n.name();
    return name == "product" || name == "productgroup" || name == "rules";
}

// Whether a rule item takes part for the document: by its nearest product or product group
// and the product check's verdict. Check records are indexed once.
commandfile::RuleActiveFn ruleActivity(const CQXConfigDoc2& doc) {
    auto present = std::make_shared<std::unordered_map<std::string, bool>>();
    for (xml::Node p : xml::select(doc.report().documentNode(), "check/product")) {
        present->emplace(xml::attribute(p, "ID"), xml::attribute(p, "checked") != "bad");
    }
    return [present](xml::Node item) {
        auto next = [](xml::Node n) { return isContainer(n) ? n : n.parent(); };
        const xml::Node second = next(next(item));
        if (std::string_view(second.name()) == "productgroup") return true;
        const xml::Node third = next(second);
        if (std::string_view(third.name()) != "product") return false;
        auto it = present->find(xml::attribute(third, "ID"));
        return it != present->end() && it->second;
    };
}

}  // namespace

void addQxsCommand(CLI::App& app, int& exitCode) {
    struct Options {
        EnvironmentOptions env;
        std::string report;
        bool notRequired = false;
        bool recommended = false;
        bool required = false;
        std::string out;
    };
    auto opts = std::make_shared<Options>();
    auto* cmd = app.add_subcommand("qxs",
                                   "Write the SET-parameter command file (.qxs) of REPORT: the SET commands the rule "
                                   "base recommends for it; the window title goes to stderr");
    cmd->add_option("REPORT", opts->report, "Server configuration report, or a saved .xml tree")->required();
    cmd->add_flag("--not-required", opts->notRequired, "Include the not-required category (# RPK)");
    cmd->add_flag("--recommended", opts->recommended, "Include the recommended category (# beta)");
    cmd->add_flag("--required", opts->required, "Include the required category (# public); no flag: all three");
    cmd->add_option("-o,--output", opts->out, "Write to FILE (replaced atomically) instead of stdout");
    opts->env.addTo(*cmd);
    cmd->callback([opts, &exitCode] {
        auto application = opts->env.createApplication();
        if (!application) {
            exitCode = kExitRefused;
            return;
        }
        auto doc = openReport(*application, opts->report);
        if (!doc) {
            exitCode = kExitRefused;
            return;
        }
        commandfile::CommandFileOptions choice;
        if (opts->notRequired || opts->recommended || opts->required) {
            choice = {opts->notRequired, opts->recommended, opts->required};
        }
        const auto file = commandfile::buildCommandFile(*doc, *application, choice, ruleActivity(*doc));
        std::cerr << file.title << "\n";
        if (opts->out.empty()) {
            std::cout.write(file.text.data(), static_cast<std::streamsize>(file.text.size()));
            std::cout.flush();
            exitCode = std::cout ? kExitOk : kExitFailure;
            return;
        }
        const std::string error = platform::writeFileAtomically(opts->out, file.text);
        if (!error.empty()) std::cerr << "qxconfig-cli: cannot write " << opts->out << ": " << error << "\n";
        exitCode = error.empty() ? kExitOk : kExitFailure;
    });
}

}  // namespace qx::cli
