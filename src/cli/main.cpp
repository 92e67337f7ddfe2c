// qxconfig-cli: the desktop program's commands for shells and scripts.
#include "app/installation.hpp"
#include "cli/cli_common.hpp"
#include "cli/cli_outputs.hpp"
#include "cli/completion.hpp"
#include "platform/data_dir.hpp"
#include "platform/file_system.hpp"
#include "util/text.hpp"

#include <algorithm>
#include <iostream>

namespace {
// The version, and which data folder and rule base a command would use.
std::string versionText() {
    const auto& dir = qx::platform::dataDirectory();
    auto rules = qx::inspectRuleBaseFile(qx::platform::joinPath(dir.path, "rules.xml"));
    std::string text =
        "qxconfig-cli " QX_VERSION "\n" + qx::formatInstallationFacts(qx::installationFacts(dir, rules));
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

constexpr const char* kExitStatusTable =
    "Exit status:\n"
    "  0  the command ran; no report has findings at the --fail-on level\n"
    "  1  a report has findings at the --fail-on level (analyze, fleet)\n"
    "  2  an error: a usage error, an input that cannot be read or is not a report,\n"
    "     an output that cannot be written, an update that did not complete";

// The usage line of a command, as its --help starts.
class UsageFormatter : public CLI::Formatter {
public:
    using CLI::Formatter::make_usage;
};

std::string usageOf(const CLI::App& command, const std::string& name) {
    std::string usage = UsageFormatter().make_usage(&command, name);
    while (!usage.empty() && usage.back() == '\n') usage.pop_back();
    return usage;
}

// Edits that turn one word into the other (letters compared without regard to case).
std::size_t editDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t up = row[j];
            const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                              std::tolower(static_cast<unsigned char>(b[j - 1]));
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = up;
        }
    }
    return row[b.size()];
}

// The first word that is no option names the command; one that names none gets the
// nearest command suggested. Returns false after saying so.
bool commandKnown(const CLI::App& app, int argc, char** argv) {
    std::vector<std::string> names;
    for (const CLI::App* sub : app.get_subcommands([](const CLI::App*) { return true; })) {
        names.push_back(sub->get_name());
        for (const auto& alias : sub->get_aliases()) names.push_back(alias);
    }
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word.empty() || word[0] == '-') continue;
        if (std::find(names.begin(), names.end(), word) != names.end()) return true;
        std::string nearest;
        std::size_t best = std::max<std::size_t>(2, word.size() / 3) + 1;
        for (const auto& n : names) {
            const std::size_t d = editDistance(word, n);
            if (d < best) {
                best = d;
                nearest = n;
            }
        }
        std::cerr << "qxconfig-cli: unknown command \"" << qx::text::printable(word) << "\"";
        if (!nearest.empty()) std::cerr << "; did you mean \"" << nearest << "\"?";
        std::cerr << "\n" << usageOf(app, "qxconfig-cli") << "\nqxconfig-cli --help lists the commands.\n";
        return false;
    }
    return true;
}

// A usage error: what is wrong, and the usage line of the command it concerns.
int usageError(const CLI::App& app, const CLI::ParseError& e) {
    const CLI::App* command = &app;
    std::string name = "qxconfig-cli";
    for (const CLI::App* sub : app.get_subcommands()) {
        command = sub;
        name += " " + sub->get_name();
    }
    std::cerr << "qxconfig-cli: " << qx::text::printable(e.what()) << "\n"
              << usageOf(*command, name) << "\n"
              << name << " --help tells more.\n";
    return qx::cli::kExitError;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"QXConfig command line: analyse Quarrix file server configuration reports"};
    app.set_version_flag("--version", versionText,
                         "Show the version, the data folder and the rule base in use, and exit");
    app.set_help_all_flag("--help-all", "Show the help of every subcommand, and exit");
    app.require_subcommand(1);
    app.footer(kExitStatusTable);
    int exitCode = qx::cli::kExitOk;
    qx::cli::addSaveXmlCommand(app, exitCode);
    qx::cli::addAnalyzeCommand(app, exitCode);
    qx::cli::addReportCommand(app, exitCode);
    qx::cli::addQxsCommand(app, exitCode);
    qx::cli::addCompareCommand(app, exitCode);
    qx::cli::addScanModulesCommand(app, exitCode);
    qx::cli::addUpdateCommand(app, exitCode);
    qx::cli::addFleetCommand(app, exitCode);
    qx::cli::addCompletionCommand(app, exitCode);
    qx::cli::addRulesCommand(app, exitCode);
    if (!commandKnown(app, argc, argv)) return qx::cli::kExitError;
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // --help and --version end the run as successes.
        if (e.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) return app.exit(e);
        return usageError(app, e);
    } catch (const std::exception& e) {
        std::cerr << "qxconfig-cli: " << e.what() << "\n";
        return qx::cli::kExitError;
    }
    // Output that did not reach its reader is no success, whatever the command found.
    if (!qx::cli::flushStdout()) return qx::cli::kExitError;
    return exitCode;
}
