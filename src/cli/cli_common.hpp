#pragma once
// What every command of qxconfig-cli shares: the options that set up the application
// (rule base, localisation table, language) and opening reports as the desktop does.

#include "app/application.hpp"
#include "document/config_doc.hpp"
#include "outputs/analysed_report.hpp"

#include <CLI/CLI.hpp>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qx::cli {

/// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;           // --fail-on matched
inline constexpr int kExitError = 2;             // usage, unreadable input, unwritable output
inline constexpr int kExitRefused = kExitError;  // a report could not be opened

/// --rules, --menu, --language and --program-dir.
struct EnvironmentOptions {
    std::string rules;
    std::string menu;
    std::string language = "english";
    std::string programDir;

    /// Adds the options to a subcommand.
    void addTo(CLI::App& cmd);
    /// Builds the application: program directory, localisation table, rule base.
    /// Prints a message and returns nullptr when the rule base cannot be loaded
    /// (every opening needs it).
    [[nodiscard]] std::unique_ptr<Application> createApplication() const;
};

/// A message about one file of a batch, naming the file unless it already does, fit for a
/// terminal (text::printable).
std::string messageAbout(const std::string& file, const std::string& message);

/// Opens a report or saved tree as the desktop Open does. On refusal prints the reason
/// on stderr and returns nullptr.
std::unique_ptr<CQXConfigDoc2> openReport(Application& app, const std::string& path);

/// An application set up from the options, with one report opened in it.
struct OpenedReport {
    std::unique_ptr<Application> app;
    std::unique_ptr<CQXConfigDoc2> doc;
};
/// Sets up the application and opens `path`; on failure says why, sets `exitCode` to
/// kExitRefused and returns nothing.
std::optional<OpenedReport> openWithEnvironment(const EnvironmentOptions& env, const std::string& path,
                                                int& exitCode);

/// Expands folders into the files "Open Documents..." would open; files stay as given.
std::vector<std::string> expandInputs(const std::vector<std::string>& inputs);

/// What a command over many reports starts from.
struct BatchStart {
    outputs::FailOn failOn;
    std::unique_ptr<Application> application;
    std::vector<std::string> files;
};
/// Reads `--fail-on`, sets up the application and expands the inputs; on failure says why and
/// returns nothing (the command exits with kExitError).
std::optional<BatchStart> startBatch(const std::string& failOn, const EnvironmentOptions& env,
                                     const std::vector<std::string>& inputs);

/// Writes a command's output to stdout (PATH empty or "-") or to PATH (a regular file is
/// replaced atomically, a FIFO or device written into, a link's target replaced); says what
/// failed on stderr and returns false.
bool writeOutput(const std::string& text, const std::string& path);
/// Flushes standard output; false after saying "cannot write standard output: <reason>"
/// (once per run) when it could not be written.
bool flushStdout();

/// True when stderr is a terminal (progress lines are shown only then).
bool stderrIsTerminal();

// The commands, each adds itself as a subcommand.
void addSaveXmlCommand(CLI::App& app, int& exitCode);
void addAnalyzeCommand(CLI::App& app, int& exitCode);
void addReportCommand(CLI::App& app, int& exitCode);
void addQxsCommand(CLI::App& app, int& exitCode);
void addCompareCommand(CLI::App& app, int& exitCode);
void addScanModulesCommand(CLI::App& app, int& exitCode);
void addUpdateCommand(CLI::App& app, int& exitCode);
void addRulesCommand(CLI::App& app, int& exitCode);

}  // namespace qx::cli
