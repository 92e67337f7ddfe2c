#pragma once
// A helper server (one of the scripts beside this file) run as a child process on
// loopback: it prints its port, and stops when we close its standard input.

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace qx::test {

/// Folder of the support scripts (from the build, since __FILE__ may be relative to it).
inline std::string supportDir() {
#ifdef QX_TEST_SUPPORT
    return QX_TEST_SUPPORT;
#else
    return std::filesystem::path(__FILE__).parent_path().string();
#endif
}

class ServerProcess {
public:
    /// Starts `python3 script args...`; port() is 0 when it did not come up within 10 s.
    ServerProcess(const std::string& script, const std::vector<std::string>& args) {
        int in[2], out[2];
        if (::pipe(in) != 0 || ::pipe(out) != 0) return;
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        posix_spawn_file_actions_adddup2(&fa, in[0], 0);
        posix_spawn_file_actions_adddup2(&fa, out[1], 1);
        posix_spawn_file_actions_addclose(&fa, in[1]);
        posix_spawn_file_actions_addclose(&fa, out[0]);
        // Debian's interpreter, which has the Debian FTP server library.
        std::string python = ::access("/usr/bin/python3", X_OK) == 0 ? "/usr/bin/python3" : "python3";
        std::vector<std::string> all = {python, supportDir() + "/" + script};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& a : all) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawnp(&m_pid, python.c_str(), &fa, nullptr, argv.data(), environ) != 0) m_pid = -1;
        posix_spawn_file_actions_destroy(&fa);
        ::close(in[0]);
        ::close(out[1]);
        m_stdin = in[1];
        m_stdout = out[0];
        readPort();
    }
    ~ServerProcess() {
        if (m_stdin >= 0) ::close(m_stdin);
        if (m_stdout >= 0) ::close(m_stdout);
        if (m_pid <= 0) return;
        for (int i = 0; i < 100; ++i) {
            if (::waitpid(m_pid, nullptr, WNOHANG) == m_pid) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    [[nodiscard]] int port() const { return m_port; }
    [[nodiscard]] std::string url(const std::string& path) const {
        return "ftp://127.0.0.1:" + std::to_string(m_port) + path;
    }

private:
    void readPort() {
        std::string line;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline && line.find('\n') == std::string::npos) {
            pollfd p{m_stdout, POLLIN, 0};
            if (::poll(&p, 1, 200) <= 0) continue;
            char buf[64];
            ssize_t n = ::read(m_stdout, buf, sizeof buf);
            if (n <= 0) break;
            line.append(buf, static_cast<std::size_t>(n));
        }
        if (line.rfind("PORT ", 0) == 0) m_port = std::stoi(line.substr(5));
    }

    pid_t m_pid = -1;
    int m_stdin = -1, m_stdout = -1;
    int m_port = 0;
};

}  // namespace qx::test
