#pragma once
// Rule-base live update: fetch rules.xml over passive anonymous FTP, check that it is
// well-formed, and put it in place so that at every moment rules.xml is a whole file.

#include "app/application.hpp"

#include <cstdint>
#include <functional>
#include <string>

namespace qx::update {

/// The status texts of the update, exactly as the dialog shows them.
namespace message {
inline constexpr const char* kSessionCreateError = "Session create error";
inline constexpr const char* kUnsupportedProtocol = " Unsupported protocol, use FTP instead";
inline constexpr const char* kConnecting = " Connecting ";  // + server + kConnectingEnd
inline constexpr const char* kConnectingEnd = " ...";
inline constexpr const char* kConnectionFailed = " Connection failed";
inline constexpr const char* kSearching = " Searching for updates ...";
inline constexpr const char* kNoUpdates = " No updates were found";
inline constexpr const char* kRetrievingVersion = " Retrieving version ...";
inline constexpr const char* kAlreadyLatest = " You already have the latest version";
inline constexpr const char* kDownloading = " Downloading file ...";
inline constexpr const char* kErrorCreatingFile = "Error creating file";
inline constexpr const char* kOpenFailed = " Failed to open an FTP connection";
inline constexpr const char* kTransferException = " Exception during file transfer";
inline constexpr const char* kValidationFailed = " XML validation failed, will keep the old rules";
inline constexpr const char* kReplaceFailed = " Cannot replace Rules.xml, will keep the old rules";
inline constexpr const char* kUpdated = " Rules.xml updated";
inline constexpr const char* kCannotReload = " Cannot reload, restart needed";
inline constexpr const char* kNoServer = " The update address names no server";
inline constexpr const char* kWaiting = " Waiting for another update to finish ...";
inline constexpr const char* kBusy = " Another update is running, try again later";
}  // namespace message

/// How a run ended.
enum class UpdateOutcome {
    SessionFailed,
    UnsupportedProtocol,
    NoServer,
    Busy,
    ConnectionFailed,
    NoUpdates,
    AlreadyLatest,
    CreateFailed,
    OpenFailed,
    TransferFailed,
    ValidationFailed,
    ReplaceFailed,
    Updated,
    ReloadRefused
};

/// True for the endings after which the program has the newest rule base on disk.
bool succeeded(UpdateOutcome o);

/// Where the status line and the progress bar go.
struct UpdateObserver {
    std::function<void(const std::string&)> status;
    /// Position within 0 .. range (range in bytes while downloading).
    std::function<void(std::int64_t position, std::int64_t range)> progress;
};

/// Limits of a run; the defaults suit a real server. No run lasts longer than its deadline,
/// however slowly or silently the server behaves, and the detail names the step that took
/// too long.
struct UpdateOptions {
    /// The whole run: waiting for another update, connecting, every reply and the transfer.
    long deadlineSeconds = 300;
    long connectTimeoutSeconds = 30;
    /// Each reply of the server.
    long replyTimeoutSeconds = 30;
    /// A transfer during which nothing arrives for this long fails.
    long idleTimeoutSeconds = 60;
    /// A download larger than this is not a rule base.
    std::int64_t maxBytes = std::int64_t(256) << 20;
};

/// End of a run: the outcome, its status text, and curl's description of a network error.
struct UpdateResult {
    UpdateOutcome outcome = UpdateOutcome::SessionFailed;
    std::string message;
    std::string detail;
};

/// File names in the program directory. The download itself has no name until it is put in
/// place (older versions wrote it to rules.new.xml, which no run leaves behind any more).
inline constexpr const char* kRulesFile = "rules.xml";
inline constexpr const char* kNewRulesFile = "rules.new.xml";
inline constexpr const char* kOldRulesFile = "rules.old.xml";
inline constexpr const char* kCorruptRulesFile = "rules.corrupt.xml";

/// Runs the update once against `url` for the rule base in the application's program
/// directory, and reloads the rule base after a replacement. The whole run holds the rule
/// base's lock (platform::ruleBaseLockFolder), so a second run waits for the first and then
/// finds its rule base; a download is validated with the checks of analysis::checkRuleBase
/// before anything is replaced.
UpdateResult runLiveUpdate(Application& app, const std::string& url, const UpdateObserver& observer,
                           const UpdateOptions& options = {});

/// The "Live Update" command: the update with the configured address, then the time of the
/// attempt (`now`, seconds since 1970) stored as the last reminder, whatever the outcome.
UpdateResult runLiveUpdateCommand(Application& app, std::int64_t now, const UpdateObserver& observer,
                                  const UpdateOptions& options = {});

}  // namespace qx::update
