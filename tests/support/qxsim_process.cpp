#include "qxsim_process.h"

#include <csignal>
#include <cstdlib>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include "descriptors.h"

namespace qxtest {

QxsimProcess::QxsimProcess(std::vector<std::string> args, int readyLines)
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

QxsimProcess::~QxsimProcess()
{
    stop();
}

std::string QxsimProcess::readLine()
{
    std::string line;
    const int64_t deadline = nowMs() + kWaitLimit.count();
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

int QxsimProcess::port(const std::string &prefix) const
{
    for (const auto &l : m_lines)
        if (l.rfind(prefix, 0) == 0)
            return std::stoi(l.substr(l.rfind(':') + 1));
    return -1;
}

std::string QxsimProcess::ptyPath() const
{
    for (const auto &l : m_lines)
        if (l.rfind("pty ", 0) == 0)
            return l.substr(4);
    return {};
}

int QxsimProcess::finish(bool terminate)
{
    if (m_pid <= 0)
        return m_status;
    if (terminate)
        ::kill(m_pid, SIGTERM);
    int status = 0;
    for (int i = 0; i < kWaitLimit.count() / 10; ++i) {
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

} // namespace qxtest
