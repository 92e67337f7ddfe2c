#include "update/live_update.hpp"

#include "platform/file_system.hpp"
#include "xml/xml_document.hpp"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
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

/// Server name of an FTP address; empty when the address is not one.
std::string ftpServer(const std::string& url) {
    std::unique_ptr<CURLU, UrlDeleter> u(curl_url());
    if (!u || curl_url_set(u.get(), CURLUPART_URL, url.c_str(), CURLU_NON_SUPPORT_SCHEME) != CURLUE_OK) {
        return {};
    }
    std::string server;
    char* part = nullptr;
    if (curl_url_get(u.get(), CURLUPART_SCHEME, &part, 0) == CURLUE_OK) {
        std::string scheme = part;
        curl_free(part);
        std::transform(scheme.begin(), scheme.end(), scheme.begin(),
                       [](unsigned char c) { return std::tolower(c); });
        if (scheme != "ftp") return {};
    }
    if (curl_url_get(u.get(), CURLUPART_HOST, &part, 0) == CURLUE_OK) {
        server = part;
        curl_free(part);
    }
    return server;
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

class LiveUpdate {
public:
    LiveUpdate(Application& app, const UpdateObserver& obs, const UpdateOptions& opt)
        : m_app(app),
          m_obs(obs),
          m_opt(opt),
          m_fs(platform::fileSystem()),
          m_rules(platform::joinPath(app.programDir(), kRulesFile)),
          m_new(platform::joinPath(app.programDir(), kNewRulesFile)),
          m_old(platform::joinPath(app.programDir(), kOldRulesFile)),
          m_corrupt(platform::joinPath(app.programDir(), kCorruptRulesFile)) {}

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
    void setCommonOptions(const std::string& url);
    CURLcode perform();
    UpdateResult download();
    UpdateResult replace();
    static std::size_t onData(char* data, std::size_t size, std::size_t n, void* self);
    bool flushBlock();

    Application& m_app;
    const UpdateObserver& m_obs;
    UpdateOptions m_opt;
    platform::FileSystem& m_fs;
    std::string m_rules, m_new, m_old, m_corrupt;
    std::unique_ptr<CURL, CurlDeleter> m_curl;
    char m_error[CURL_ERROR_SIZE] = {};
    std::string m_detail;
    std::int64_t m_length = -1;
    // Download state.
    int m_fd = -1;
    std::string m_block;
    std::int64_t m_received = 0;
    bool m_writeFailed = false;
};

void LiveUpdate::setCommonOptions(const std::string& url) {
    CURL* c = m_curl.get();
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, m_error);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, m_opt.connectTimeoutSeconds);
    curl_easy_setopt(c, CURLOPT_SERVER_RESPONSE_TIMEOUT, m_opt.idleTimeoutSeconds);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, m_opt.idleTimeoutSeconds);
    curl_easy_setopt(c, CURLOPT_FTP_USE_EPSV, 1L);  // passive (EPSV, then PASV)
    curl_easy_setopt(c, CURLOPT_FTPPORT, nullptr);
    curl_easy_setopt(c, CURLOPT_TRANSFERTEXT, 0L);  // binary
    curl_easy_setopt(c, CURLOPT_BUFFERSIZE, static_cast<long>(kBlockSize));
    // The size and time request reports them as header lines; we read them as values.
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, &discard);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &discard);
}

CURLcode LiveUpdate::perform() {
    m_error[0] = '\0';
    CURLcode rc = curl_easy_perform(m_curl.get());
    if (rc != CURLE_OK) m_detail = m_error[0] ? m_error : curl_easy_strerror(rc);
    return rc;
}

UpdateResult LiveUpdate::run(const std::string& url) {
    m_curl.reset(curl_easy_init());
    if (!m_curl) return end(UpdateOutcome::SessionFailed, message::kSessionCreateError);
    std::string server = ftpServer(url);
    if (server.empty()) return end(UpdateOutcome::UnsupportedProtocol, message::kUnsupportedProtocol);
    say(message::kConnecting + server + message::kConnectingEnd);

    // Size and time are asked of the server itself; nothing is cached between runs.
    setCommonOptions(url);
    curl_easy_setopt(m_curl.get(), CURLOPT_NOBODY, 1L);
    curl_easy_setopt(m_curl.get(), CURLOPT_FILETIME, 1L);
    CURLcode rc = perform();
    long code = 0;
    curl_easy_getinfo(m_curl.get(), CURLINFO_RESPONSE_CODE, &code);
    if (isConnectionFailure(rc, code))
        return end(UpdateOutcome::ConnectionFailed, message::kConnectionFailed);
    say(message::kSearching);
    curl_off_t length = -1;
    curl_easy_getinfo(m_curl.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    if (rc != CURLE_OK || length == 0) return end(UpdateOutcome::NoUpdates, message::kNoUpdates);
    m_length = length;

    say(message::kRetrievingVersion);
    curl_off_t remoteTime = -1;
    curl_easy_getinfo(m_curl.get(), CURLINFO_FILETIME_T, &remoteTime);
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
    if (u->m_received + static_cast<std::int64_t>(bytes) > u->m_opt.maxBytes) return 0;
    u->m_received += static_cast<std::int64_t>(bytes);
    u->m_block.append(data, bytes);
    while (u->m_block.size() >= kBlockSize) {
        if (!u->flushBlock()) return 0;
    }
    return bytes;
}

bool LiveUpdate::flushBlock() {
    std::size_t take = std::min(kBlockSize, m_block.size());
    if (!m_fs.writeBlock(m_fd, std::string_view(m_block).substr(0, take))) {
        m_writeFailed = true;
        return false;
    }
    m_block.erase(0, take);
    progress(m_received - static_cast<std::int64_t>(m_block.size()), std::max<std::int64_t>(m_length, 0));
    return true;
}

UpdateResult LiveUpdate::download() {
    say(message::kDownloading);
    m_fd = m_fs.createFile(m_new);
    if (m_fd < 0) return end(UpdateOutcome::CreateFailed, message::kErrorCreatingFile);
    curl_easy_setopt(m_curl.get(), CURLOPT_NOBODY, 0L);
    curl_easy_setopt(m_curl.get(), CURLOPT_WRITEFUNCTION, &LiveUpdate::onData);
    curl_easy_setopt(m_curl.get(), CURLOPT_WRITEDATA, this);
    CURLcode rc = perform();
    bool complete = rc == CURLE_OK && !m_writeFailed && (m_block.empty() || flushBlock()) &&
                    (m_length < 0 || m_received == m_length);
    bool closed = m_fs.closeFile(m_fd);
    m_fd = -1;
    if (!complete || !closed) {
        m_fs.remove(m_new);
        bool notOpened = rc != CURLE_OK && m_received == 0 && isOpenFailure(rc);
        if (notOpened) return end(UpdateOutcome::OpenFailed, message::kOpenFailed);
        if (rc == CURLE_OK && !closed) m_detail = "cannot write " + m_new;
        return end(UpdateOutcome::TransferFailed, message::kTransferException);
    }
    xml::Document fresh;
    if (!fresh.loadFile(m_new).ok()) {
        // Never over an earlier corrupt download; then the download stays as rules.new.xml.
        m_fs.renameNoReplace(m_new, m_corrupt);
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
            m_fs.remove(m_new);
            m_detail = "cannot keep the previous rule base as " + m_old;
            return end(UpdateOutcome::ReplaceFailed, message::kReplaceFailed);
        }
    }
    if (!m_fs.rename(m_new, m_rules)) {
        m_fs.remove(m_new);
        m_detail = "cannot rename " + m_new + " to " + m_rules;
        return end(UpdateOutcome::ReplaceFailed, message::kReplaceFailed);
    }
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
