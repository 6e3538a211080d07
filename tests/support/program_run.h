// Runs a program of the build (qxcli) for a test: standard input from
// /dev/null (no terminal), standard output and standard error captured
// apart, the exit status; or started and interrupted midway as Ctrl-C does.
#pragma once

#include <string>
#include <vector>

#include <sys/types.h>

namespace qxtest {

struct ProgramResult
{
    int exit = -1; // -1 when it did not end by itself
    std::string out;
    std::string err;
};

class RunningProgram
{
public:
    RunningProgram(const std::string &path, const std::vector<std::string> &args);
    ~RunningProgram();
    RunningProgram(const RunningProgram &) = delete;
    RunningProgram &operator=(const RunningProgram &) = delete;

    // Reads standard error until `text` appeared in it (false after the
    // wait limit or at its end).
    bool waitForErr(const std::string &text);
    // SIGINT, as Ctrl-C sends it.
    void interrupt();
    // Everything it still writes, and its exit status.
    ProgramResult finish();

private:
    void readSome(int waitMs);

    pid_t m_pid = -1;
    int m_out = -1;
    int m_err = -1;
    ProgramResult m_result;
};

ProgramResult runProgram(const std::string &path, const std::vector<std::string> &args);

} // namespace qxtest
