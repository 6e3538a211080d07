// Runs the qxsim program for a test: starts it with the given options, waits
// for its ready lines and ends it with SIGTERM. Also small raw clients for
// TCP, UDP and pseudo-terminals that wait for bytes with a deadline.
#pragma once

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include "temp_dir.h"

namespace qxtest {

using Bytes = std::vector<uint8_t>;
constexpr int kWaitMs = 5000; // upper bound for anything expected to happen

inline int64_t nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

class QxsimProcess
{
public:
    explicit QxsimProcess(std::vector<std::string> args, int readyLines = 1)
    {
        int out[2];
        if (::pipe2(out, O_CLOEXEC) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            std::vector<char *> argv;
            std::string path = QXSIM_PATH;
            argv.push_back(path.data());
            if (std::getenv("QXSIM_VERBOSE") == nullptr) // traffic log on stderr when set
                args.push_back("--quiet");
            for (auto &a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(path.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        m_out = out[0];
        for (int i = 0; i < readyLines; ++i) {
            std::string line = readLine();
            if (line.empty())
                break;
            m_lines.push_back(line);
        }
    }

    ~QxsimProcess() { stop(); }

    // Reads one line of standard output (empty after kWaitMs or at the end).
    std::string readLine()
    {
        std::string line;
        const int64_t deadline = nowMs() + kWaitMs;
        while (nowMs() < deadline) {
            pollfd p {m_out, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(deadline - nowMs())) <= 0)
                break;
            char c;
            if (::read(m_out, &c, 1) != 1)
                break;
            if (c == '\n')
                return line;
            line += c;
        }
        return {};
    }

    const std::vector<std::string> &lines() const { return m_lines; }
    pid_t pid() const { return m_pid; }

    // The port of a "listening tcp ADDR:PORT" style line.
    int port(const std::string &prefix) const
    {
        for (const auto &l : m_lines)
            if (l.rfind(prefix, 0) == 0)
                return std::stoi(l.substr(l.rfind(':') + 1));
        return -1;
    }
    std::string ptyPath() const
    {
        for (const auto &l : m_lines)
            if (l.rfind("pty ", 0) == 0)
                return l.substr(4);
        return {};
    }

    // SIGTERM, then the exit status (-1 when it had to be killed).
    int stop() { return finish(true); }
    // For a run that ends by itself: its exit status.
    int waitExit() { return finish(false); }

private:
    int finish(bool terminate)
    {
        if (m_pid <= 0)
            return m_status;
        if (terminate)
            ::kill(m_pid, SIGTERM);
        int status = 0;
        for (int i = 0; i < kWaitMs / 10; ++i) {
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                m_pid = -1;
                ::close(m_out);
                return m_status;
            }
            ::usleep(10'000);
        }
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
        ::close(m_out);
        m_status = -1;
        return m_status;
    }

    pid_t m_pid = -1;
    int m_out = -1;
    int m_status = -1;
    std::vector<std::string> m_lines;
};

inline int connectTcp(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a {};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0) {
        ::close(fd);
        return -1;
    }
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}

inline int openPty(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    termios t {};
    ::tcgetattr(fd, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(fd, TCSANOW, &t);
    return fd;
}

inline void writeAll(int fd, const Bytes &b)
{
    std::size_t done = 0;
    while (done < b.size()) {
        const ssize_t n = ::write(fd, b.data() + done, b.size() - done);
        if (n <= 0)
            return;
        done += static_cast<std::size_t>(n);
    }
}

// Reads until `count` bytes came or `waitMs` passed.
inline Bytes readBytes(int fd, std::size_t count, int waitMs = kWaitMs)
{
    Bytes out;
    const int64_t deadline = nowMs() + waitMs;
    while (out.size() < count) {
        const int64_t left = deadline - nowMs();
        if (left <= 0)
            break;
        pollfd p {fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0)
            break;
        uint8_t buf[4096];
        const ssize_t n = ::read(fd, buf, std::min(sizeof buf, count - out.size()));
        if (n <= 0)
            break;
        out.insert(out.end(), buf, buf + n);
    }
    return out;
}

// One MBAP frame: header first, then the length it announces.
inline Bytes readMbap(int fd, int waitMs = kWaitMs)
{
    Bytes head = readBytes(fd, 6, waitMs);
    if (head.size() < 6)
        return head;
    const std::size_t length = (std::size_t(head[4]) << 8) | head[5];
    Bytes rest = readBytes(fd, length, waitMs);
    head.insert(head.end(), rest.begin(), rest.end());
    return head;
}

inline Bytes mbap(uint16_t transaction, uint8_t unit, const Bytes &pdu)
{
    Bytes out = {static_cast<uint8_t>(transaction >> 8), static_cast<uint8_t>(transaction), 0, 0,
                 static_cast<uint8_t>((pdu.size() + 1) >> 8), static_cast<uint8_t>(pdu.size() + 1), unit};
    out.insert(out.end(), pdu.begin(), pdu.end());
    return out;
}

} // namespace qxtest
