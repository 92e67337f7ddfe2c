#include "cli/cli_common.hpp"

#include "platform/file_system.hpp"
#include "ruleedit/module_scanner.hpp"

#include <filesystem>
#include <iostream>

namespace qx::cli {

namespace {

/// A cell on one line of tab-separated output.
std::string cell(std::string s) {
    for (char& c : s) {
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    }
    return s;
}

void printRows(const std::vector<ruleedit::ScanRow>& rows) {
    const auto& h = ruleedit::kScanColumns;
    std::cout << h[0] << '\t' << h[1] << '\t' << h[2] << '\t' << h[3] << '\n';
    for (const auto& r : rows) {
        std::cout << cell(r.name) << '\t' << cell(r.version) << '\t' << cell(r.date) << '\t'
                  << cell(r.fullName) << '\n';
    }
}

/// Appends the rows' module rules to the one `modules` list the pattern selects, and
/// saves the rule base atomically. Returns false after saying why on stderr.
bool writeInto(const std::string& rulesPath, const std::string& pattern,
               const std::vector<ruleedit::ScanRow>& rows) {
    xml::Document rules;
    auto load = rules.loadFile(rulesPath);
    if (!load.ok()) {
        std::cerr << "qxconfig-cli: cannot load the rule base " << rulesPath << ": " << load.description
                  << "\n";
        return false;
    }
    auto found = xml::select(rules.documentNode(), pattern);
    if (found.size() != 1) {
        std::cerr << "qxconfig-cli: --into '" << pattern << "' selects " << found.size() << " nodes of "
                  << rulesPath
                  << "; it must select exactly one modules list, e.g. product[@ID='1']/modules\n";
        return false;
    }
    if (std::string_view(found[0].name()) != "modules") {
        std::cerr << "qxconfig-cli: --into '" << pattern << "' selects a " << found[0].name()
                  << " element; module rules belong in a modules list\n";
        return false;
    }
    ruleedit::appendModuleRules(found[0], rows);
    auto saved = rules.saveFile(rulesPath);
    if (!saved.ok()) {
        std::cerr << "qxconfig-cli: " << saved.error << "\n";
        return false;
    }
    std::cerr << "qxconfig-cli: " << rows.size() << " module rules added to " << rulesPath << "\n";
    return true;
}

}  // namespace

void addScanModulesCommand(CLI::App& app, int& exitCode) {
    struct Options {
        std::string folder, rules, into;
    };
    auto opts = std::make_shared<Options>();
    auto* cmd = app.add_subcommand(
        "scan-modules",
        "Read the versions and dates of the module files and executables in FOLDER (subfolders "
        "included) and print them tab-separated, last file met first; with --into, add them as "
        "module rules to the rule base");
    cmd->add_option("FOLDER", opts->folder, "Folder of module files")->required();
    cmd->add_option("--rules", opts->rules, "Rule base to add to (default: rules.xml of the data folder)");
    cmd->add_option("--into", opts->into,
                    "Pattern that selects the one modules list of the rule base that receives the rules, "
                    "e.g. \"product[@ID='1']/modules\"");
    cmd->callback([opts, &exitCode] {
        std::error_code ec;
        if (!std::filesystem::is_directory(opts->folder, ec)) {
            std::cerr << "qxconfig-cli: " << opts->folder << " is not a folder that can be read\n";
            exitCode = kExitFailure;
            return;
        }
        auto rows = ruleedit::scanModuleFolder(opts->folder);
        printRows(rows);
        if (opts->into.empty()) {
            if (!opts->rules.empty()) std::cerr << "qxconfig-cli: --rules has no effect without --into\n";
            return;
        }
        std::string rulesPath =
            opts->rules.empty() ? platform::joinPath(platform::programDirectory(), "rules.xml") : opts->rules;
        if (!writeInto(rulesPath, opts->into, rows)) exitCode = kExitFailure;
    });
}

}  // namespace qx::cli
