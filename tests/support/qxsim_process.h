// Runs the qxsim program for a test: starts it with the given options, waits
// for its ready lines and ends it with SIGTERM.
#pragma once

#include <string>
#include <vector>

#include <sys/types.h>

namespace qxtest {

class QxsimProcess
{
public:
    // Waits for `readyLines` lines of standard output (fewer when qxsim
    // ends or stays silent for the wait limit).
    explicit QxsimProcess(std::vector<std::string> args, int readyLines = 1);
    ~QxsimProcess();
    QxsimProcess(const QxsimProcess &) = delete;
    QxsimProcess &operator=(const QxsimProcess &) = delete;

    // Reads one line of standard output (empty after the wait limit or at
    // the end).
    std::string readLine();

    const std::vector<std::string> &lines() const { return m_lines; }
    pid_t pid() const { return m_pid; }

    // The port of a "listening tcp ADDR:PORT" style line, -1 without one.
    int port(const std::string &prefix) const;
    std::string ptyPath() const;

    // SIGTERM, then the exit status (-1 when it had to be killed).
    int stop() { return finish(true); }
    // For a run that ends by itself: its exit status.
    int waitExit() { return finish(false); }

private:
    int finish(bool terminate);

    pid_t m_pid = -1;
    int m_out = -1;
    int m_status = -1;
    std::vector<std::string> m_lines;
};

} // namespace qxtest
