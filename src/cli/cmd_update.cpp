#include "cli/cli_common.hpp"

#include "platform/file_system.hpp"
#include "update/live_update.hpp"

#include <iostream>

namespace qx::cli {

void addUpdateCommand(CLI::App& app, int& exitCode) {
    struct Options {
        std::string url, programDir;
    };
    auto opts = std::make_shared<Options>();
    auto* cmd = app.add_subcommand(
        "update",
        "Live update: fetch the newest rules.xml over FTP into the data folder, keeping the "
        "previous one as rules.old.xml; exit 0 when updated or already current, 1 otherwise");
    cmd->add_option("--url", opts->url, "FTP address of the rule base (default: the Rules Update URL)");
    cmd->add_option("--program-dir", opts->programDir,
                    "Folder whose rules.xml is updated (default: the data folder)");
    cmd->callback([opts, &exitCode] {
        if (!opts->programDir.empty()) platform::setProgramDirectory(opts->programDir);
        Application application(platform::programDirectory());
        application.loadRuleBase();  // a missing or broken rule base is what an update repairs
        const std::string url = opts->url.empty() ? application.settings.rulesUpdateUrl : opts->url;
        const bool terminal = stderrIsTerminal();
        update::UpdateObserver observer;
        observer.status = [terminal](const std::string& s) {
            if (terminal) std::cerr << "\r\033[K" << std::flush;  // clear the progress line
            std::cout << s << std::endl;
        };
        if (terminal) {
            observer.progress = [](std::int64_t pos, std::int64_t range) {
                std::cerr << "\r" << pos << " / " << range << " bytes" << std::flush;
            };
        }
        auto result = update::runLiveUpdate(application, url, observer);
        if (terminal) std::cerr << "\r\033[K" << std::flush;
        if (!result.detail.empty() && !update::succeeded(result.outcome)) {
            std::cerr << "qxconfig-cli: " << result.detail << "\n";
        }
        exitCode = update::succeeded(result.outcome) ? kExitOk : kExitFailure;
    });
}

}  // namespace qx::cli
