#include "cli/cli_common.hpp"

#include "import/folder_scan.hpp"
#include "import/report_reader.hpp"
#include "platform/file_system.hpp"

#include "util/text.hpp"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>

namespace qx::cli {

void EnvironmentOptions::addTo(CLI::App& cmd) {
    cmd.add_option("--rules", rules, "Rule base to use (default: rules.xml of the data folder)");
    cmd.add_option("--menu", menu,
                   "Localisation table to use (default: menu.xml of the data folder, else the built-in one)");
    cmd.add_option("--language", language, "Language of labels and messages")
        ->check(CLI::IsMember({"english", "hungarian", "portuguese"}));
    cmd.add_option("--program-dir", programDir,
                   "Data folder with rules.xml and menu.xml (default: QXCONFIG_HOME, else see --version)");
}

std::unique_ptr<Application> EnvironmentOptions::createApplication() const {
    if (!programDir.empty()) platform::setProgramDirectory(programDir);
    auto app = std::make_unique<Application>(platform::programDirectory());
    if (!menu.empty()) {
        if (!app->localisation().loadFile(menu)) {
            std::cerr << "qxconfig-cli: " << menu << " is not a readable localisation table ("
                      << app->localisation().loadError() << "); using the built-in one\n";
            app->localisation().loadEmbedded();
        }
    } else if (app->loadLocalisation() == LocalisationSource::Failed) {
        std::cerr << "qxconfig-cli: Menu XML File not found \n";
    }
    app->setLanguage(language);
    const std::string rulesPath = rules.empty() ? app->rulesPath() : rules;
    switch (app->loadRuleBaseFrom(rulesPath)) {
        case RuleBaseLoad::Loaded:
            break;
        case RuleBaseLoad::Missing:
            std::cerr << "qxconfig-cli: " << Application::kRulesNeededMessage << "\n(no rule base at "
                      << rulesPath << "; give one with --rules FILE)\n";
            return nullptr;
        case RuleBaseLoad::Malformed:
            std::cerr
                << "qxconfig-cli: " << Application::kRulesNeededMessage << "\n(" << rulesPath << ": "
                << text::printable(app->ruleBaseError())
                << "; give a valid one with --rules FILE, or check it with \"qxconfig-cli rules check\")\n";
            return nullptr;
    }
    return app;
}

std::unique_ptr<CQXConfigDoc2> openReport(Application& app, const std::string& path) {
    auto doc = std::make_unique<CQXConfigDoc2>();
    auto r = import::openDocument(*doc, app, path);
    if (!r.opened()) {
        std::cerr << "qxconfig-cli: " << messageAbout(path, r.message()) << "\n";
        return nullptr;
    }
    if (!r.load.message.empty()) std::cerr << "qxconfig-cli: " << messageAbout(path, r.load.message) << "\n";
    for (const auto& m : r.load.analysisMessages) std::cerr << "qxconfig-cli: " << path << ": " << m << "\n";
    return doc;
}

std::optional<OpenedReport> openWithEnvironment(const EnvironmentOptions& env, const std::string& path,
                                                int& exitCode) {
    OpenedReport r;
    r.app = env.createApplication();
    if (r.app) r.doc = openReport(*r.app, path);
    if (!r.doc) {
        exitCode = kExitRefused;
        return std::nullopt;
    }
    return r;
}

std::vector<std::string> expandInputs(const std::vector<std::string>& inputs) {
    std::vector<std::string> out;
    for (const auto& in : inputs) {
        std::error_code ec;
        if (std::filesystem::is_directory(in, ec)) {
            auto found = import::scanFolder(in);
            out.insert(out.end(), found.begin(), found.end());
        } else {
            out.push_back(in);
        }
    }
    return out;
}

std::optional<BatchStart> startBatch(const std::string& failOn, const EnvironmentOptions& env,
                                     const std::vector<std::string>& inputs) {
    std::string problem;
    auto marks = outputs::FailOn::parse(failOn, problem);
    if (!marks) {
        std::cerr << "qxconfig-cli: " << problem << "\n";
        return std::nullopt;
    }
    auto application = env.createApplication();
    if (!application) return std::nullopt;
    auto files = expandInputs(inputs);
    if (files.empty()) {
        std::cerr << "qxconfig-cli: no reports found (folders are scanned for .TXT reports and .XML trees)\n";
        return std::nullopt;
    }
    return BatchStart{*marks, std::move(application), std::move(files)};
}

std::string messageAbout(const std::string& file, const std::string& message) {
    // File names come from folders anyone can write to: no control characters on the terminal.
    if (message.find(file) != std::string::npos) return text::printable(message);
    return text::printable(file + ": " + message);
}

bool flushStdout() {
    static bool told = false;
    errno = 0;
    std::cout.flush();
    if (std::cout && std::fflush(stdout) == 0 && !std::ferror(stdout)) return true;
    const int err = errno;
    if (!told) {
        std::cerr << "qxconfig-cli: cannot write standard output: "
                  << (err ? std::strerror(err) : "the output was closed") << "\n";
    }
    told = true;
    return false;
}

bool writeOutput(const std::string& text, const std::string& path) {
    if (path.empty() || path == "-") {
        std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
        return flushStdout();
    }
    const std::string error = platform::writeFileAtomically(path, text);
    if (!error.empty()) std::cerr << "qxconfig-cli: cannot write " << path << ": " << error << "\n";
    return error.empty();
}

bool stderrIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

}  // namespace qx::cli
