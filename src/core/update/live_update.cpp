#include "update/live_update.hpp"

#include "analysis/rule_base_check.hpp"
#include "platform/file_system.hpp"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>

namespace qx::update {

namespace {

constexpr std::size_t kBlockSize = 8192;

struct CurlDeleter {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct UrlDeleter {
    void operator()(CURLU* u) const { curl_url_cleanup(u); }
};

// An FTP address split into server and path; `ftp` false when it is no FTP address.
struct Address {
    bool ftp = false;
    std::string server, path;
};

// The host part of "scheme://[user@]host[:port]/...", as written.
std::string writtenHost(const std::string& url) {
    const auto scheme = url.find("://");
    if (scheme == std::string::npos) return {};
    std::string authority = url.substr(scheme + 3);
    authority = authority.substr(0, authority.find_first_of("/?#"));
    if (const auto at = authority.rfind('@'); at != std::string::npos) authority.erase(0, at + 1);
    if (!authority.empty() && authority.front() == '[') return authority;  // an IPv6 address
    return authority.substr(0, authority.find(':'));
}

Address splitFtpAddress(const std::string& url) {
    Address a;
    std::unique_ptr<CURLU, UrlDeleter> u(curl_url());
    // Without a host curl refuses the address; a scheme and "//" alone still make it FTP.
    if (!u) return a;
    const CURLUcode parsed = curl_url_set(u.get(), CURLUPART_URL, url.c_str(), CURLU_NON_SUPPORT_SCHEME);
    std::string lower = url;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    if (parsed != CURLUE_OK) {
        a.ftp = lower.rfind("ftp://", 0) == 0;
        return a;
    }
    char* part = nullptr;
    if (curl_url_get(u.get(), CURLUPART_SCHEME, &part, 0) == CURLUE_OK) {
        std::string scheme = part;
        curl_free(part);
        std::transform(scheme.begin(), scheme.end(), scheme.begin(),
                       [](unsigned char c) { return std::tolower(c); });
        a.ftp = scheme == "ftp";
    }
    // curl reads "ftp:///dir/file" as the host "dir"; an address without a host has none.
    if (!writtenHost(url).empty() && curl_url_get(u.get(), CURLUPART_HOST, &part, 0) == CURLUE_OK) {
        a.server = part;
        curl_free(part);
    }
    if (curl_url_get(u.get(), CURLUPART_PATH, &part, 0) == CURLUE_OK) {
        a.path = part;
        curl_free(part);
    }
    return a;
}

bool isConnectionFailure(CURLcode rc, long responseCode) {
    switch (rc) {
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
        case CURLE_COULDNT_CONNECT:
        case CURLE_LOGIN_DENIED:
        case CURLE_FTP_WEIRD_SERVER_REPLY:
            return true;
        default:
            // No reply at all from the server: we never got past the greeting.
            return rc != CURLE_OK && responseCode == 0;
    }
}

/// Failures of the transfer's start (before any byte of the file arrived).
bool isOpenFailure(CURLcode rc) {
    switch (rc) {
        case CURLE_FTP_COULDNT_RETR_FILE:
        case CURLE_REMOTE_FILE_NOT_FOUND:
        case CURLE_REMOTE_ACCESS_DENIED:
        case CURLE_FTP_WEIRD_PASV_REPLY:
        case CURLE_FTP_WEIRD_227_FORMAT:
        case CURLE_FTP_CANT_GET_HOST:
        case CURLE_FTP_ACCEPT_FAILED:
        case CURLE_FTP_PORT_FAILED:
        case CURLE_COULDNT_CONNECT:
        case CURLE_FTP_COULDNT_SET_TYPE:
            return true;
        default:
            return false;
    }
}

std::size_t discard(char*, std::size_t size, std::size_t n, void*) {
    return size * n;
}

std::string trimLineEnd(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
    return s;
}

// "213 20261208134914": the time of an MDTM reply (UTC), -1 when it is none.
std::int64_t mdtmTime(const std::string& reply) {
    std::tm tm{};
    if (reply.size() < 18 || reply.compare(0, 4, "213 ") != 0) return -1;
    if (std::sscanf(reply.c_str() + 4, "%4d%2d%2d%2d%2d%2d", &tm.tm_year, &tm.tm_mon, &tm.tm_mday,
                    &tm.tm_hour, &tm.tm_min, &tm.tm_sec) != 6)
        return -1;
    tm.tm_year -= 1900;
    tm.tm_mon -= 1;
    return static_cast<std::int64_t>(timegm(&tm));
}

std::string seconds(long s) {
    return std::to_string(s) + (s == 1 ? " second" : " seconds");
}

using Clock = std::chrono::steady_clock;

class LiveUpdate {
public:
    LiveUpdate(Application& app, const UpdateObserver& obs, const UpdateOptions& opt)
        : m_app(app),
          m_obs(obs),
          m_opt(opt),
          m_fs(platform::fileSystem()),
          m_rules(platform::joinPath(app.programDir(), kRulesFile)),
          m_old(platform::joinPath(app.programDir(), kOldRulesFile)),
          m_corrupt(platform::joinPath(app.programDir(), kCorruptRulesFile)),
          m_deadline(Clock::now() + std::chrono::seconds(opt.deadlineSeconds)) {}
    ~LiveUpdate() {
        if (m_fd >= 0) m_fs.closeFile(m_fd);
    }

    UpdateResult run(const std::string& url);

private:
    UpdateResult end(UpdateOutcome o, const char* text) {
        say(text);
        return {o, text, m_detail};
    }
    void say(const std::string& text) const {
        if (m_obs.status) m_obs.status(text);
    }
    void progress(std::int64_t pos, std::int64_t range) const {
        if (m_obs.progress) m_obs.progress(pos, range);
    }
    [[nodiscard]] long remainingMs() const {
        return static_cast<long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(m_deadline - Clock::now()).count());
    }
    void setCommonOptions(const std::string& url);
    CURLcode perform();
    [[nodiscard]] std::string timeoutDetail(bool transfer) const;
    UpdateResult download();
    UpdateResult validateAndReplace();
    UpdateResult replace();
    static std::size_t onData(char* data, std::size_t size, std::size_t n, void* self);
    static int onDebug(CURL*, curl_infotype type, char* data, std::size_t size, void* self);
    bool flushBlock();

    Application& m_app;
    const UpdateObserver& m_obs;
    UpdateOptions m_opt;
    platform::FileSystem& m_fs;
    std::string m_rules, m_old, m_corrupt;
    std::string m_server, m_path;
    Clock::time_point m_deadline;
    long m_budgetMs = 0;  // what was left of the deadline when the last request began
    std::unique_ptr<CURL, CurlDeleter> m_curl;
    char m_error[CURL_ERROR_SIZE] = {};
    std::string m_detail;
    std::int64_t m_length = -1;
    // What the server was last asked and said, to name the step that failed.
    std::string m_lastCommand, m_lastReply;
    bool m_greeted = false;
    std::int64_t m_mdtmTime = -1;
    // Download state.
    int m_fd = -1;
    std::string m_block;
    std::string m_content;
    std::int64_t m_received = 0;
    bool m_writeFailed = false;
    std::string m_writeError;
};

void LiveUpdate::setCommonOptions(const std::string& url) {
    CURL* c = m_curl.get();
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, m_error);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, m_opt.idleTimeoutSeconds);
    curl_easy_setopt(c, CURLOPT_FTP_USE_EPSV, 1L);  // passive (EPSV, then PASV)
    curl_easy_setopt(c, CURLOPT_FTPPORT, nullptr);
    curl_easy_setopt(c, CURLOPT_TRANSFERTEXT, 0L);  // binary
    curl_easy_setopt(c, CURLOPT_BUFFERSIZE, static_cast<long>(kBlockSize));
    // The size and time request reports them as header lines; we read them as values.
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, &discard);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &discard);
    // The control connection's lines, to say which step a failure happened in.
    curl_easy_setopt(c, CURLOPT_DEBUGFUNCTION, &LiveUpdate::onDebug);
    curl_easy_setopt(c, CURLOPT_DEBUGDATA, this);
    curl_easy_setopt(c, CURLOPT_VERBOSE, 1L);
}

int LiveUpdate::onDebug(CURL*, curl_infotype type, char* data, std::size_t size, void* self) {
    auto* u = static_cast<LiveUpdate*>(self);
    if (type == CURLINFO_HEADER_OUT) {
        std::string line = trimLineEnd(std::string(data, size));
        if (line.rfind("PASS ", 0) == 0) line = "PASS";
        u->m_lastCommand = line;
        u->m_lastReply.clear();
    } else if (type == CURLINFO_HEADER_IN) {
        u->m_greeted = true;
        u->m_lastReply = trimLineEnd(std::string(data, size));
        if (u->m_lastCommand.rfind("MDTM", 0) == 0) u->m_mdtmTime = mdtmTime(u->m_lastReply);
    }
    return 0;
}

CURLcode LiveUpdate::perform() {
    m_error[0] = '\0';
    const long left = remainingMs();
    m_budgetMs = left;
    if (left <= 0) return CURLE_OPERATION_TIMEDOUT;
    // Every limit is cut to what is left of the deadline.
    CURL* c = m_curl.get();
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, left);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, std::min(left, m_opt.connectTimeoutSeconds * 1000));
    curl_easy_setopt(c, CURLOPT_SERVER_RESPONSE_TIMEOUT,
                     std::max(1L, std::min((left + 999) / 1000, m_opt.replyTimeoutSeconds)));
    CURLcode rc = curl_easy_perform(c);
    if (rc != CURLE_OK) m_detail = m_error[0] ? m_error : curl_easy_strerror(rc);
    return rc;
}

std::string LiveUpdate::timeoutDetail(bool transfer) const {
    // What was going on, then which limit ran out.
    curl_off_t connectTime = 0;
    curl_easy_getinfo(m_curl.get(), CURLINFO_CONNECT_TIME_T, &connectTime);
    std::string what;
    long limit = m_opt.replyTimeoutSeconds;
    bool idle = false;
    if (connectTime == 0 && !m_greeted) {
        what = "could not connect to " + m_server;
        limit = m_opt.connectTimeoutSeconds;
    } else if (!m_greeted) {
        what = m_server + " accepted the connection but sent no greeting";
    } else if (transfer && (m_received > 0 || m_lastCommand.rfind("RETR", 0) == 0)) {
        what = "the transfer did not finish (" + std::to_string(m_received) + " of " +
               (m_length >= 0 ? std::to_string(m_length) : std::string("an unknown number of")) +
               " bytes arrived)";
        limit = m_opt.idleTimeoutSeconds;
        idle = true;
    } else {
        what = m_server + " did not answer " +
               (m_lastCommand.empty() ? std::string("the login") : m_lastCommand);
    }
    // A limit that was cut to the deadline is the deadline, even when curl's clock stopped a
    // moment before ours.
    if (remainingMs() <= 0 || m_budgetMs <= limit * 1000)
        return what + " within the update's deadline of " + seconds(m_opt.deadlineSeconds);
    if (idle) return what + ": nothing arrived for " + seconds(limit);
    return what + " within " + seconds(limit);
}

UpdateResult LiveUpdate::run(const std::string& url) {
    m_curl.reset(curl_easy_init());
    if (!m_curl) return end(UpdateOutcome::SessionFailed, message::kSessionCreateError);
    const Address address = splitFtpAddress(url);
    if (!address.ftp) return end(UpdateOutcome::UnsupportedProtocol, message::kUnsupportedProtocol);
    if (address.server.empty()) {
        m_detail =
            "the address " + url + " has no server name, e.g. ftp://ftp.example.com/allupdates/rules.xml";
        return end(UpdateOutcome::NoServer, message::kNoServer);
    }
    m_server = address.server;
    m_path = address.path;

    // One update (or save) of this rule base at a time, for the whole run.
    platform::FileLock lock;
    const auto wait = std::chrono::milliseconds(std::max(0L, remainingMs()));
    switch (lock.acquire(platform::ruleBaseLockFolder(m_rules), wait, [this] { say(message::kWaiting); })) {
        case platform::FileLock::Result::Acquired:
            break;
        case platform::FileLock::Result::Busy:
            m_detail = "another update or save of " + m_rules + " did not finish within " +
                       seconds(m_opt.deadlineSeconds);
            return end(UpdateOutcome::Busy, message::kBusy);
        case platform::FileLock::Result::Failed:
            m_detail = lock.error();
            return end(UpdateOutcome::CreateFailed, message::kErrorCreatingFile);
    }
    say(message::kConnecting + m_server + message::kConnectingEnd);

    // Size and time are asked of the server itself; nothing is cached between runs.
    setCommonOptions(url);
    curl_easy_setopt(m_curl.get(), CURLOPT_NOBODY, 1L);
    curl_easy_setopt(m_curl.get(), CURLOPT_FILETIME, 1L);
    CURLcode rc = perform();
    long code = 0;
    curl_easy_getinfo(m_curl.get(), CURLINFO_RESPONSE_CODE, &code);
    if (rc == CURLE_OPERATION_TIMEDOUT) {
        m_detail = timeoutDetail(false);
        return end(UpdateOutcome::ConnectionFailed, message::kConnectionFailed);
    }
    if (isConnectionFailure(rc, code))
        return end(UpdateOutcome::ConnectionFailed, message::kConnectionFailed);
    say(message::kSearching);
    curl_off_t length = -1;
    curl_easy_getinfo(m_curl.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    curl_off_t remoteTime = -1;
    curl_easy_getinfo(m_curl.get(), CURLINFO_FILETIME_T, &remoteTime);
    if (remoteTime < 0) remoteTime = m_mdtmTime;
    if (rc == CURLE_REMOTE_FILE_NOT_FOUND && m_lastCommand.rfind("SIZE", 0) == 0 && remoteTime >= 0) {
        // The server gave the file's time but refuses its size: fetch it without.
        m_detail.clear();
        length = -1;
    } else if (rc != CURLE_OK) {
        if (rc == CURLE_REMOTE_FILE_NOT_FOUND)
            m_detail =
                m_server + " has no file " + m_path + (m_lastReply.empty() ? "" : " (" + m_lastReply + ")");
        return end(UpdateOutcome::NoUpdates, message::kNoUpdates);
    } else if (length == 0) {
        m_detail = "the file " + m_path + " on " + m_server + " is empty";
        return end(UpdateOutcome::NoUpdates, message::kNoUpdates);
    }
    m_length = length;

    say(message::kRetrievingVersion);
    progress(0, std::max<std::int64_t>(m_length, 0));
    auto localTime = m_fs.modificationTime(m_rules);
    // Without the server's time we cannot say ours is current: fetch.
    if (localTime && remoteTime >= 0 && *localTime >= remoteTime) {
        progress(100, 100);
        return end(UpdateOutcome::AlreadyLatest, message::kAlreadyLatest);
    }
    return download();
}

std::size_t LiveUpdate::onData(char* data, std::size_t size, std::size_t n, void* self) {
    auto* u = static_cast<LiveUpdate*>(self);
    std::size_t bytes = size * n;
    if (u->m_received + static_cast<std::int64_t>(bytes) > u->m_opt.maxBytes) {
        u->m_writeFailed = true;
        u->m_writeError = "the file on the server is larger than " + std::to_string(u->m_opt.maxBytes >> 20) +
                          " MiB; that is no rule base";
        return 0;
    }
    u->m_received += static_cast<std::int64_t>(bytes);
    u->m_block.append(data, bytes);
    u->m_content.append(data, bytes);
    while (u->m_block.size() >= kBlockSize) {
        if (!u->flushBlock()) return 0;
    }
    return bytes;
}

bool LiveUpdate::flushBlock() {
    std::size_t take = std::min(kBlockSize, m_block.size());
    if (!m_fs.writeBlock(m_fd, std::string_view(m_block).substr(0, take))) {
        m_writeFailed = true;
        m_writeError = "cannot write the download in " + m_app.programDir() + ": " + std::strerror(errno);
        return false;
    }
    m_block.erase(0, take);
    progress(m_received - static_cast<std::int64_t>(m_block.size()), std::max<std::int64_t>(m_length, 0));
    return true;
}

UpdateResult LiveUpdate::download() {
    say(message::kDownloading);
    // A file of this run's own, without a name until it is put in place: nothing is left
    // behind however the run ends, and no other run writes into it.
    m_fd = m_fs.createUnnamed(m_app.programDir());
    if (m_fd < 0) {
        m_detail = "cannot create a file in " + m_app.programDir() + ": " + std::strerror(errno);
        return end(UpdateOutcome::CreateFailed, message::kErrorCreatingFile);
    }
    curl_easy_setopt(m_curl.get(), CURLOPT_NOBODY, 0L);
    // A server that refused SIZE would refuse it again before RETR: do without.
    if (m_length < 0) curl_easy_setopt(m_curl.get(), CURLOPT_IGNORE_CONTENT_LENGTH, 1L);
    curl_easy_setopt(m_curl.get(), CURLOPT_WRITEFUNCTION, &LiveUpdate::onData);
    curl_easy_setopt(m_curl.get(), CURLOPT_WRITEDATA, this);
    CURLcode rc = perform();
    bool complete = rc == CURLE_OK && !m_writeFailed && (m_block.empty() || flushBlock()) &&
                    (m_length < 0 || m_received == m_length);
    if (complete && !m_fs.syncFile(m_fd)) {
        m_detail = "cannot write the download in " + m_app.programDir() + ": " + std::strerror(errno);
        complete = false;
    }
    if (!complete) {
        m_fs.closeFile(m_fd);
        m_fd = -1;
        if (rc == CURLE_OPERATION_TIMEDOUT) m_detail = timeoutDetail(true);
        if (m_writeFailed) m_detail = m_writeError;
        if (rc == CURLE_OK && !m_writeFailed && m_length >= 0 && m_received != m_length)
            m_detail = "the server sent " + std::to_string(m_received) + " of " + std::to_string(m_length) +
                       " bytes";
        bool notOpened = rc != CURLE_OK && m_received == 0 && isOpenFailure(rc);
        if (notOpened && rc == CURLE_REMOTE_FILE_NOT_FOUND && m_length < 0) {
            // Neither SIZE nor RETR found it: there is no file.
            m_detail =
                m_server + " has no file " + m_path + (m_lastReply.empty() ? "" : " (" + m_lastReply + ")");
            return end(UpdateOutcome::NoUpdates, message::kNoUpdates);
        }
        if (notOpened) return end(UpdateOutcome::OpenFailed, message::kOpenFailed);
        return end(UpdateOutcome::TransferFailed, message::kTransferException);
    }
    return validateAndReplace();
}

UpdateResult LiveUpdate::validateAndReplace() {
    const auto problems = analysis::checkRuleBase(m_content);
    if (!analysis::usable(problems)) {
        // The newest rejected download is the one worth looking at.
        m_detail = "the download is not a rule base the program can use:\n" + analysis::describe(problems);
        if (m_fs.nameFile(m_fd, m_corrupt)) m_detail += "\nit is kept as " + m_corrupt;
        m_fs.closeFile(m_fd);
        m_fd = -1;
        return end(UpdateOutcome::ValidationFailed, message::kValidationFailed);
    }
    return replace();
}

UpdateResult LiveUpdate::replace() {
    // rules.old.xml gets a second name of the current rule base first, so that rules.xml
    // itself is only ever replaced by one rename of a complete, validated file.
    if (m_fs.exists(m_rules)) {
        std::string tmp = m_fs.createTemp(m_old);
        bool kept =
            !tmp.empty() && m_fs.remove(tmp) && m_fs.linkOrCopy(m_rules, tmp) && m_fs.rename(tmp, m_old);
        if (!kept) {
            if (!tmp.empty()) m_fs.remove(tmp);
            m_detail = "cannot keep the previous rule base as " + m_old;
            return end(UpdateOutcome::ReplaceFailed, message::kReplaceFailed);
        }
    }
    if (!m_fs.nameFile(m_fd, m_rules)) {
        m_detail = "cannot put the download in place of " + m_rules + ": " + std::strerror(errno);
        return end(UpdateOutcome::ReplaceFailed, message::kReplaceFailed);
    }
    m_fs.closeFile(m_fd);
    m_fd = -1;
    if (!m_app.reloadRuleBase()) return end(UpdateOutcome::ReloadRefused, message::kCannotReload);
    return end(UpdateOutcome::Updated, message::kUpdated);
}

}  // namespace

bool succeeded(UpdateOutcome o) {
    return o == UpdateOutcome::Updated || o == UpdateOutcome::AlreadyLatest ||
           o == UpdateOutcome::ReloadRefused;
}

UpdateResult runLiveUpdate(Application& app, const std::string& url, const UpdateObserver& observer,
                           const UpdateOptions& options) {
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    (void)initialised;
    LiveUpdate update(app, observer, options);
    return update.run(url);
}

UpdateResult runLiveUpdateCommand(Application& app, std::int64_t now, const UpdateObserver& observer,
                                  const UpdateOptions& options) {
    UpdateResult r = runLiveUpdate(app, app.settings.rulesUpdateUrl, observer, options);
    app.settings.lastReminder = now;
    return r;
}

}  // namespace qx::update
