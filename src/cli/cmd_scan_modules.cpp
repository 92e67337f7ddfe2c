#include "cli/cli_common.hpp"

#include "analysis/rule_base_check.hpp"
#include "platform/file_system.hpp"
#include "ruleedit/module_scanner.hpp"
#include "util/text.hpp"

#include <filesystem>
#include <iostream>

namespace qx::cli {

namespace {

void printRows(const std::vector<ruleedit::ScanRow>& rows) {
    using text::tsvCell;
    const auto& h = ruleedit::kScanColumns;
    std::cout << h[0] << '\t' << h[1] << '\t' << h[2] << '\t' << h[3] << '\n';
    for (const auto& r : rows) {
        std::cout << tsvCell(r.name) << '\t' << tsvCell(r.version) << '\t' << tsvCell(r.date) << '\t'
                  << tsvCell(r.fullName) << '\n';
    }
}

// What the scan could not read, so that a short list is never mistaken for a full one.
void reportSkipped(const ruleedit::ScanResult& r) {
    if (r.skipped() == 0) return;
    std::vector<std::string> parts;
    auto add = [&](std::size_t n, const char* one, const char* many) {
        if (n) parts.push_back(std::to_string(n) + " " + (n == 1 ? one : many));
    };
    add(r.foldersTooDeep, "folder more than 256 levels down (not scanned)",
        "folders more than 256 levels down (not scanned)");
    add(r.foldersUnreadable, "folder that could not be listed", "folders that could not be listed");
    add(r.filesUnreadable, "file that could not be read (listed by name only)",
        "files that could not be read (listed by name only)");
    add(r.notRegularFiles, "named pipe, device or socket with a module's name (left out)",
        "named pipes, devices or sockets with a module's name (left out)");
    std::cerr << "qxconfig-cli: skipped";
    for (std::size_t i = 0; i < parts.size(); ++i) std::cerr << (i ? ", " : " ") << parts[i];
    std::cerr << "\n";
}

/// Appends the rows' module rules to the one `modules` list the pattern selects, and
/// saves the rule base atomically. Returns false after saying why on stderr.
bool writeInto(const std::string& rulesPath, const std::string& pattern,
               const std::vector<ruleedit::ScanRow>& rows) {
    // No live update or other save may replace the file between our load and our save.
    platform::FileLock lock;
    if (lock.acquire(platform::ruleBaseLockFolder(rulesPath), Application::kSaveLockWait) !=
        platform::FileLock::Result::Acquired) {
        std::cerr << "qxconfig-cli: cannot change " << rulesPath << " now: "
                  << (lock.error().empty() ? "a live update or another save of it is running" : lock.error())
                  << "\n";
        return false;
    }
    xml::Document rules;
    std::string error;
    const auto content = platform::readFile(rulesPath, &error);
    if (content) error = analysis::describe(analysis::loadRuleBase(*content, rules));
    if (!error.empty()) {
        std::cerr << "qxconfig-cli: cannot load the rule base " << rulesPath << ": " << text::printable(error)
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
            exitCode = kExitError;
            return;
        }
        const auto scan = ruleedit::scanModules(opts->folder);
        const auto& rows = scan.rows;
        printRows(rows);
        reportSkipped(scan);
        if (!flushStdout()) {
            exitCode = kExitError;
            return;
        }
        if (opts->into.empty()) {
            if (!opts->rules.empty()) std::cerr << "qxconfig-cli: --rules has no effect without --into\n";
            return;
        }
        std::string rulesPath =
            opts->rules.empty() ? platform::joinPath(platform::programDirectory(), "rules.xml") : opts->rules;
        if (!writeInto(rulesPath, opts->into, rows)) exitCode = kExitError;
    });
}

}  // namespace qx::cli
