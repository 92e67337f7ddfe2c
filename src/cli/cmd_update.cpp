#include "cli/cli_common.hpp"

#include "platform/file_system.hpp"
#include "update/live_update.hpp"
#include "util/text.hpp"

#include <algorithm>
#include <iostream>

namespace qx::cli {

void addUpdateCommand(CLI::App& app, int& exitCode) {
    struct Options {
        std::string url, programDir;
        long timeout = update::UpdateOptions{}.deadlineSeconds;
    };
    auto opts = std::make_shared<Options>();
    auto* cmd = app.add_subcommand(
        "update",
        "Live update: fetch the newest rules.xml over FTP into the data folder, keeping the "
        "previous one as rules.old.xml; exit 0 when updated or already current, 2 otherwise");
    auto* urlOption =
        cmd->add_option("--url", opts->url, "FTP address of the rule base (default: the Rules Update URL)");
    cmd->add_option("--program-dir", opts->programDir,
                    "Folder whose rules.xml is updated (default: the data folder)");
    cmd->add_option("--timeout", opts->timeout,
                    "Seconds the whole update may take, waiting for another update included (default: 300)")
        ->check(CLI::Range(1L, 86400L));
    cmd->callback([opts, urlOption, &exitCode] {
        if (urlOption->count() > 0 && opts->url.empty()) {
            std::cerr
                << "qxconfig-cli: --url needs an address, e.g. ftp://ftp.example.com/allupdates/rules.xml\n";
            exitCode = kExitError;
            return;
        }
        if (!opts->programDir.empty()) platform::setProgramDirectory(opts->programDir);
        Application application(platform::programDirectory());
        application.loadRuleBase();  // a missing or broken rule base is what an update repairs
        const std::string url = opts->url.empty() ? application.settings.rulesUpdateUrl : opts->url;
        update::UpdateOptions limits;
        limits.deadlineSeconds = opts->timeout;
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
        auto result = update::runLiveUpdate(application, url, observer, limits);
        if (terminal) std::cerr << "\r\033[K" << std::flush;
        if (!result.detail.empty() && !update::succeeded(result.outcome)) {
            // One reason per line, each marked as ours.
            std::size_t start = 0;
            while (start <= result.detail.size()) {
                const std::size_t end = std::min(result.detail.find('\n', start), result.detail.size());
                std::cerr << "qxconfig-cli: " << text::printable(result.detail.substr(start, end - start))
                          << "\n";
                start = end + 1;
            }
        }
        exitCode = update::succeeded(result.outcome) ? kExitOk : kExitError;
    });
}

}  // namespace qx::cli
