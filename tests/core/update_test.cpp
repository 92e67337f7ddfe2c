// Live update against FTP servers on loopback: the Debian FTP server library for the normal
// paths, a scriptable server of our own for the faults, and a file system that fails each
// step of the replacement in turn.
#include "platform/file_system.hpp"
#include "support/server_process.hpp"
#include "test_support.hpp"
#include "update/live_update.hpp"

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <utime.h>

#include <thread>

using namespace qx;
using namespace qx::update;

namespace {

constexpr const char* kOld = "<?xml version=\"1.0\"?>\n<rules date=\"01 01 2020\"/>\n";
const std::string kNew =
    "<?xml version=\"1.0\"?>\n<rules date=\"12 31 2026\">" + std::string(20000, ' ') + "</rules>\n";
constexpr std::time_t kRemoteTime = 1700000000;

void setTime(const std::string& path, std::time_t t) {
    utimbuf b{t, t};
    ::utime(path.c_str(), &b);
}

bool exists(const std::string& p) {
    return platform::fileSystem().exists(p);
}
std::string contents(const std::string& p) {
    return platform::readFile(p).value_or("<missing>");
}

struct UpdateRun {
    UpdateResult result;
    std::vector<std::string> statuses;
    std::pair<std::int64_t, std::int64_t> lastProgress{-1, -1};
};

class LiveUpdateTest : public ::testing::Test {
protected:
    test::TempDir prog, serverRoot;
    std::unique_ptr<Application> app;

    void SetUp() override {
        writeRemote(kNew);
        resetLocal();
    }
    void writeRemote(const std::string& content, const std::string& name = "allupdates/rules.xml") {
        setTime(serverRoot.write(name, content), kRemoteTime);
    }
    void resetLocal() {
        for (const char* f : {kNewRulesFile, kOldRulesFile, kCorruptRulesFile})
            std::remove(prog.path(f).c_str());
        setTime(prog.write(kRulesFile, kOld), kRemoteTime - 3600);
        app = std::make_unique<Application>(prog.path());
        app->loadRuleBase();
    }
    UpdateRun update(const std::string& url) {
        UpdateRun r;
        UpdateObserver obs;
        obs.status = [&](const std::string& s) { r.statuses.push_back(s); };
        obs.progress = [&](std::int64_t p, std::int64_t n) { r.lastProgress = {p, n}; };
        UpdateOptions opt;
        opt.connectTimeoutSeconds = 5;
        opt.idleTimeoutSeconds = 5;
        r.result = runLiveUpdate(*app, url, obs, opt);
        return r;
    }
    std::string path(const char* f) const { return prog.path(f); }
};

std::vector<std::string> upTo(std::initializer_list<const char*> tail) {
    std::vector<std::string> v = {" Connecting 127.0.0.1 ...", " Searching for updates ..."};
    v.insert(v.end(), tail.begin(), tail.end());
    return v;
}

int closedPort() {
    int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(s);
    return ntohs(a.sin_port);
}

}  // namespace

TEST_F(LiveUpdateTest, OtherProtocolIsRefusedWithoutConnecting) {
    for (const char* url : {"http://127.0.0.1:1/allupdates/rules.xml", "rules.xml", "sftp://127.0.0.1/x"}) {
        auto r = update(url);
        EXPECT_EQ(r.result.outcome, UpdateOutcome::UnsupportedProtocol);
        EXPECT_EQ(r.statuses, std::vector<std::string>{" Unsupported protocol, use FTP instead"});
    }
}

TEST_F(LiveUpdateTest, ConnectionFailures) {
    auto r = update("ftp://127.0.0.1:" + std::to_string(closedPort()) + "/allupdates/rules.xml");
    EXPECT_EQ(r.statuses, (std::vector<std::string>{" Connecting 127.0.0.1 ...", " Connection failed"}));
    test::ServerProcess mute("fault_ftp_server.py",
                             {serverRoot.path("allupdates/rules.xml"), "--fault", "no-greeting"});
    ASSERT_NE(mute.port(), 0);
    EXPECT_EQ(update(mute.url("/allupdates/rules.xml")).result.outcome, UpdateOutcome::ConnectionFailed);
    EXPECT_EQ(contents(path(kRulesFile)), kOld);
}

TEST_F(LiveUpdateTest, ReplacesRuleBaseKeepsOldOneAndReloads) {
    test::ServerProcess ftp("ftp_serve.py", {serverRoot.path()});
    ASSERT_NE(ftp.port(), 0) << "python3-pyftpdlib missing?";
    prog.write(kOldRulesFile, "older still");
    auto r = update(ftp.url("/allupdates/rules.xml"));
    EXPECT_EQ(r.statuses, upTo({" Retrieving version ...", " Downloading file ...", " Rules.xml updated"}));
    EXPECT_EQ(r.result.outcome, UpdateOutcome::Updated);
    EXPECT_EQ(contents(path(kRulesFile)), kNew);
    EXPECT_EQ(contents(path(kOldRulesFile)), kOld);
    EXPECT_FALSE(exists(path(kNewRulesFile)));
    EXPECT_EQ(app->ruleBaseDate(), "12 31 2026");
    auto size = static_cast<std::int64_t>(kNew.size());
    EXPECT_EQ(r.lastProgress, std::make_pair(size, size));

    // Now the local file is newer than the remote one.
    auto again = update(ftp.url("/allupdates/rules.xml"));
    EXPECT_EQ(again.statuses, upTo({" Retrieving version ...", " You already have the latest version"}));
    EXPECT_EQ(again.lastProgress, std::make_pair(std::int64_t(100), std::int64_t(100)));
}

TEST_F(LiveUpdateTest, EqualTimeMissingFileAndEmptyFile) {
    test::ServerProcess ftp("ftp_serve.py", {serverRoot.path()});
    ASSERT_NE(ftp.port(), 0);
    setTime(path(kRulesFile), kRemoteTime);
    EXPECT_EQ(update(ftp.url("/allupdates/rules.xml")).result.outcome, UpdateOutcome::AlreadyLatest);
    setTime(path(kRulesFile), kRemoteTime - 1);
    writeRemote("", "allupdates/empty.xml");
    auto empty = update(ftp.url("/allupdates/empty.xml"));
    EXPECT_EQ(empty.statuses, upTo({" No updates were found"}));
    EXPECT_EQ(update(ftp.url("/allupdates/none.xml")).statuses, upTo({" No updates were found"}));
    EXPECT_EQ(update(ftp.url("/nowhere/rules.xml")).statuses, upTo({" No updates were found"}));
    EXPECT_EQ(contents(path(kRulesFile)), kOld);
    EXPECT_FALSE(exists(path(kNewRulesFile)));
}

TEST_F(LiveUpdateTest, FirstRuleBaseAndOpenDocuments) {
    test::ServerProcess ftp("ftp_serve.py", {serverRoot.path()});
    ASSERT_NE(ftp.port(), 0);
    std::remove(path(kRulesFile).c_str());
    EXPECT_EQ(update(ftp.url("/allupdates/rules.xml")).result.outcome, UpdateOutcome::Updated);
    EXPECT_EQ(contents(path(kRulesFile)), kNew);
    EXPECT_FALSE(exists(path(kOldRulesFile)));

    resetLocal();
    app->openDocuments = 1;
    auto r = update(ftp.url("/allupdates/rules.xml"));
    EXPECT_EQ(r.statuses.back(), " Cannot reload, restart needed");
    EXPECT_EQ(contents(path(kRulesFile)), kNew);
    EXPECT_EQ(contents(path(kOldRulesFile)), kOld);
    EXPECT_EQ(app->ruleBaseDate(), "01 01 2020");
    // Once the last document is closed the same reload succeeds.
    app->openDocuments = 0;
    EXPECT_TRUE(app->reloadRuleBase());
    EXPECT_EQ(app->ruleBaseDate(), "12 31 2026");
}

TEST_F(LiveUpdateTest, DownloadsTheProgramCannotUseAreKeptAsCorrupt) {
    test::ServerProcess ftp("ftp_serve.py", {serverRoot.path()});
    ASSERT_NE(ftp.port(), 0);
    std::string nested = "<rules>";
    for (int i = 0; i < 300; ++i) nested += "<productgroup>";
    for (int i = 0; i < 300; ++i) nested += "</productgroup>";
    nested += "</rules>\n";
    // Not XML, well-formed but no rule base, nested past the limit: none replaces rules.xml.
    for (const std::string& bad :
         {std::string("this is not <xml"), std::string("<html><body/></html>\n"), nested}) {
        writeRemote(bad);
        auto r = update(ftp.url("/allupdates/rules.xml"));
        EXPECT_EQ(r.statuses.back(), " XML validation failed, will keep the old rules");
        EXPECT_EQ(r.result.outcome, UpdateOutcome::ValidationFailed);
        EXPECT_NE(r.result.detail.find("line"), std::string::npos) << r.result.detail;
        // The newest rejected download replaces an earlier one; nothing else is left.
        EXPECT_EQ(contents(path(kCorruptRulesFile)), bad);
        EXPECT_FALSE(exists(path(kNewRulesFile)));
        EXPECT_EQ(contents(path(kRulesFile)), kOld);
        EXPECT_EQ(app->ruleBaseDate(), "01 01 2020");
    }
}

TEST_F(LiveUpdateTest, RefusedRetrieveAndCutDataConnection) {
    std::string file = serverRoot.path("allupdates/rules.xml");
    std::string mtime = std::to_string(kRemoteTime);
    {
        test::ServerProcess ftp("fault_ftp_server.py", {file, "--fault", "refuse-retr", "--mtime", mtime});
        ASSERT_NE(ftp.port(), 0);
        auto r = update(ftp.url("/allupdates/rules.xml"));
        EXPECT_EQ(r.statuses, upTo({" Retrieving version ...", " Downloading file ...",
                                    " Failed to open an FTP connection"}));
    }
    EXPECT_FALSE(exists(path(kNewRulesFile)));
    {
        test::ServerProcess ftp("fault_ftp_server.py",
                                {file, "--fault", "cut", "--cut", "9000", "--mtime", mtime});
        ASSERT_NE(ftp.port(), 0);
        auto r = update(ftp.url("/allupdates/rules.xml"));
        EXPECT_EQ(r.statuses.back(), " Exception during file transfer");
    }
    EXPECT_FALSE(exists(path(kNewRulesFile)));
    {
        test::ServerProcess ftp("fault_ftp_server.py", {file, "--fault", "missing"});
        ASSERT_NE(ftp.port(), 0);
        EXPECT_EQ(update(ftp.url("/allupdates/rules.xml")).statuses, upTo({" No updates were found"}));
    }
    {
        // Our own server, served normally, agrees with the library server.
        test::ServerProcess ftp("fault_ftp_server.py", {file, "--mtime", mtime});
        ASSERT_NE(ftp.port(), 0);
        EXPECT_EQ(update(ftp.url("/allupdates/rules.xml")).result.outcome, UpdateOutcome::Updated);
    }
    EXPECT_EQ(contents(path(kRulesFile)), kNew);
}

namespace {

/// Fails the n-th file-system operation (counting from 1); records which one it failed.
class FailingFileSystem : public platform::FileSystem {
public:
    explicit FailingFileSystem(int failAt) : m_failAt(failAt) {}
    std::string failed;

    std::string createTemp(const std::string& t) override {
        return fail("createTemp") ? "" : FileSystem::createTemp(t);
    }
    bool writeAll(const std::string& p, std::string_view d) override {
        return !fail("writeAll") && FileSystem::writeAll(p, d);
    }
    bool rename(const std::string& a, const std::string& b) override {
        return !fail("rename") && FileSystem::rename(a, b);
    }
    bool renameNoReplace(const std::string& a, const std::string& b) override {
        return !fail("renameNoReplace") && FileSystem::renameNoReplace(a, b);
    }
    bool linkOrCopy(const std::string& a, const std::string& b) override {
        return !fail("linkOrCopy") && FileSystem::linkOrCopy(a, b);
    }
    bool remove(const std::string& p) override { return !fail("remove") && FileSystem::remove(p); }
    int createUnnamed(const std::string& dir) override {
        return fail("createUnnamed") ? -1 : FileSystem::createUnnamed(dir);
    }
    bool writeBlock(int fd, std::string_view d) override {
        return !fail("writeBlock") && FileSystem::writeBlock(fd, d);
    }
    bool syncFile(int fd) override { return !fail("syncFile") && FileSystem::syncFile(fd); }
    bool nameFile(int fd, const std::string& p) override {
        return !fail("nameFile") && FileSystem::nameFile(fd, p);
    }

private:
    bool fail(const char* op) {
        if (++m_calls != m_failAt) return false;
        failed = op;
        return true;
    }
    int m_failAt;
    int m_calls = 0;
};

struct FsGuard {
    explicit FsGuard(platform::FileSystem* fs) { platform::setFileSystem(fs); }
    ~FsGuard() { platform::setFileSystem(nullptr); }
};

}  // namespace

TEST_F(LiveUpdateTest, EveryFailingFileStepLeavesAWholeRuleBase) {
    test::ServerProcess ftp("ftp_serve.py", {serverRoot.path()});
    ASSERT_NE(ftp.port(), 0);
    bool completed = false;
    for (int n = 1; n < 40 && !completed; ++n) {
        resetLocal();
        prog.write(kOldRulesFile, "older still");
        FailingFileSystem fs(n);
        UpdateRun r;
        {
            FsGuard guard(&fs);
            r = update(ftp.url("/allupdates/rules.xml"));
        }
        SCOPED_TRACE("failing step " + std::to_string(n) + " (" + fs.failed + ")");
        completed = fs.failed.empty();
        std::string now = contents(path(kRulesFile));
        EXPECT_TRUE(now == kOld || now == kNew);
        EXPECT_EQ(now == kNew, r.result.outcome == UpdateOutcome::Updated);
        if (fs.failed != "remove") {
            EXPECT_FALSE(exists(path(kNewRulesFile)));
        }
        std::string old = contents(path(kOldRulesFile));
        EXPECT_TRUE(old == "older still" || old == kOld);
        if (now == kNew) {
            EXPECT_EQ(old, kOld);
        }
        for (const auto& e : std::filesystem::directory_iterator(prog.path())) {
            EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
        }
    }
    EXPECT_TRUE(completed);
}

namespace {

/// Fails every block write as a full disk does.
class FullDisk : public platform::FileSystem {
public:
    bool writeBlock(int, std::string_view) override {
        errno = ENOSPC;
        return false;
    }
};

}  // namespace

TEST_F(LiveUpdateTest, AFullDiskIsNamedAndLeavesNothingBehind) {
    test::ServerProcess ftp("ftp_serve.py", {serverRoot.path()});
    ASSERT_NE(ftp.port(), 0);
    FullDisk full;
    UpdateRun r;
    {
        FsGuard guard(&full);
        r = update(ftp.url("/allupdates/rules.xml"));
    }
    EXPECT_EQ(r.statuses.back(), " Exception during file transfer");
    EXPECT_NE(r.result.detail.find("No space left on device"), std::string::npos) << r.result.detail;
    EXPECT_EQ(contents(path(kRulesFile)), kOld);
    for (const auto& e : std::filesystem::directory_iterator(prog.path()))
        EXPECT_TRUE(e.path().filename() == kRulesFile) << e.path();
}

TEST_F(LiveUpdateTest, SlowSilentAndSizelessServersEndWithTheReason) {
    const std::string file = serverRoot.path("allupdates/rules.xml");
    const std::string mtime = std::to_string(kRemoteTime);
    UpdateOptions quick;
    quick.deadlineSeconds = 2;
    struct Case {
        const char* fault;
        const char* status;
        const char* detail;
    };
    for (const Case& c : {Case{"slow", " Exception during file transfer", "transfer did not finish"},
                          Case{"silent", " Connection failed", "did not answer USER"},
                          Case{"silent-size", " Connection failed", "did not answer SIZE"}}) {
        SCOPED_TRACE(c.fault);
        resetLocal();
        test::ServerProcess ftp("fault_ftp_server.py", {file, "--fault", c.fault, "--mtime", mtime});
        ASSERT_NE(ftp.port(), 0);
        UpdateRun r;
        UpdateObserver obs;
        obs.status = [&](const std::string& s) { r.statuses.push_back(s); };
        r.result = runLiveUpdate(*app, ftp.url("/allupdates/rules.xml"), obs, quick);
        EXPECT_EQ(r.statuses.back(), c.status);
        EXPECT_NE(r.result.detail.find(c.detail), std::string::npos) << r.result.detail;
        EXPECT_NE(r.result.detail.find("deadline of 2 seconds"), std::string::npos) << r.result.detail;
        EXPECT_EQ(contents(path(kRulesFile)), kOld);
    }
    for (const char* fault : {"no-size", "size-550"}) {
        SCOPED_TRACE(fault);
        resetLocal();
        test::ServerProcess ftp("fault_ftp_server.py", {file, "--fault", fault, "--mtime", mtime});
        ASSERT_NE(ftp.port(), 0);
        EXPECT_EQ(update(ftp.url("/allupdates/rules.xml")).result.outcome, UpdateOutcome::Updated);
        EXPECT_EQ(contents(path(kRulesFile)), kNew);
    }
}

TEST_F(LiveUpdateTest, AnAddressWithoutAServerIsRefusedBeforeAnyLookUp) {
    for (const char* url : {"ftp:///allupdates/rules.xml", "ftp://:21/rules.xml", "ftp://user@/rules.xml"}) {
        auto r = update(url);
        EXPECT_EQ(r.result.outcome, UpdateOutcome::NoServer) << url;
        EXPECT_EQ(r.statuses, std::vector<std::string>{" The update address names no server"}) << url;
    }
}

TEST_F(LiveUpdateTest, OneUpdateAtATime) {
    const std::string file = serverRoot.path("allupdates/rules.xml");
    test::ServerProcess ftp("fault_ftp_server.py", {file, "--fault", "slow", "--rate", "40000", "--mtime",
                                                    std::to_string(kRemoteTime)});
    ASSERT_NE(ftp.port(), 0);
    // A second run in the same folder (another thread, its own application) waits for the
    // first and then finds its rule base in place.
    Application other(prog.path());
    other.loadRuleBase();
    UpdateRun first, second;
    std::thread t([&] { first = update(ftp.url("/allupdates/rules.xml")); });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    UpdateObserver obs;
    obs.status = [&](const std::string& s) { second.statuses.push_back(s); };
    second.result = runLiveUpdate(other, ftp.url("/allupdates/rules.xml"), obs);
    t.join();
    EXPECT_EQ(first.result.outcome, UpdateOutcome::Updated);
    EXPECT_EQ(second.result.outcome, UpdateOutcome::AlreadyLatest);
    EXPECT_EQ(second.statuses.front(), " Waiting for another update to finish ...");
    EXPECT_EQ(contents(path(kRulesFile)), kNew);

    // A run that cannot get the lock within its deadline says so; so does "Save rules".
    platform::FileLock held;
    ASSERT_EQ(held.acquire(prog.path(), std::chrono::milliseconds(0)), platform::FileLock::Result::Acquired);
    UpdateOptions quick;
    quick.deadlineSeconds = 1;
    auto busy = runLiveUpdate(other, ftp.url("/allupdates/rules.xml"), {}, quick);
    EXPECT_EQ(busy.outcome, UpdateOutcome::Busy);
    EXPECT_EQ(busy.message, " Another update is running, try again later");
    EXPECT_NE(other.saveRules(std::time(nullptr)).find("running"), std::string::npos);
    held.release();
    EXPECT_EQ(other.saveRules(std::time(nullptr)), "");
}

TEST(LiveUpdateCommand, StoresTheAttemptAsLastReminder) {
    test::TempDir prog;
    Application app(prog.path());
    app.settings.rulesUpdateUrl = "http://example.invalid/rules.xml";
    auto r = runLiveUpdateCommand(app, 1234567, {});
    EXPECT_EQ(r.outcome, UpdateOutcome::UnsupportedProtocol);
    EXPECT_EQ(app.settings.lastReminder, 1234567);
}

TEST(Reminder, DueAfterTheIntervalHasPassed) {
    Settings s;
    const std::int64_t now = 1700000000;
    s.reminderInterval = 14;
    s.lastReminder = now - 14 * 86400;
    EXPECT_TRUE(reminderDue(s, now));
    s.lastReminder = now - 13 * 86400;
    EXPECT_FALSE(reminderDue(s, now));
    s.lastReminder = 0;
    EXPECT_TRUE(reminderDue(s, now));
    s.reminderInterval = 0;
    s.lastReminder = now - 400 * 86400;
    EXPECT_FALSE(reminderDue(s, now));
}
