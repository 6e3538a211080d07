#include "program_run.h"

#include <csignal>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include "descriptors.h"

namespace qxtest {

namespace {

// A program under test that outlives this is ended.
constexpr int64_t kRunLimitMs = 120'000;

} // namespace

RunningProgram::RunningProgram(const std::string &path, const std::vector<std::string> &args)
{
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        return;
    if (::pipe2(err, O_CLOEXEC) != 0) {
        ::close(out[0]);
        ::close(out[1]);
        return;
    }
    m_pid = ::fork();
    if (m_pid == 0) {
        const int in = ::open("/dev/null", O_RDONLY);
        ::dup2(in, STDIN_FILENO);
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        std::vector<std::string> copy = args;
        std::string program = path;
        std::vector<char *> argv {program.data()};
        for (auto &a : copy)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    m_out = out[0];
    m_err = err[0];
}

RunningProgram::~RunningProgram()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    if (m_out >= 0)
        ::close(m_out);
    if (m_err >= 0)
        ::close(m_err);
}

void RunningProgram::readSome(int waitMs)
{
    pollfd p[2] = {{m_out, POLLIN, 0}, {m_err, POLLIN, 0}};
    if (::poll(p, 2, waitMs) <= 0)
        return;
    char buffer[4096];
    std::string *into[2] = {&m_result.out, &m_result.err};
    int *fds[2] = {&m_out, &m_err};
    for (int i = 0; i < 2; ++i) {
        if (p[i].revents == 0)
            continue;
        const ssize_t n = ::read(*fds[i], buffer, sizeof buffer);
        if (n > 0) {
            into[i]->append(buffer, std::size_t(n));
        } else {
            ::close(*fds[i]);
            *fds[i] = -1;
        }
    }
}

bool RunningProgram::waitForErr(const std::string &text)
{
    const int64_t deadline = nowMs() + kWaitLimit.count();
    while (m_result.err.find(text) == std::string::npos) {
        if (m_err < 0 || nowMs() >= deadline)
            return false;
        readSome(int(deadline - nowMs()));
    }
    return true;
}

void RunningProgram::interrupt()
{
    if (m_pid > 0)
        ::kill(m_pid, SIGINT);
}

ProgramResult RunningProgram::finish()
{
    const int64_t deadline = nowMs() + kRunLimitMs;
    while ((m_out >= 0 || m_err >= 0) && nowMs() < deadline)
        readSome(int(deadline - nowMs()));
    if (m_pid > 0) {
        if (m_out >= 0 || m_err >= 0)
            ::kill(m_pid, SIGKILL);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
        m_result.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return m_result;
}

ProgramResult runProgram(const std::string &path, const std::vector<std::string> &args)
{
    RunningProgram p(path, args);
    return p.finish();
}

} // namespace qxtest
