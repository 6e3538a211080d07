// What qxcli needs of its operating system, one declaration for both
// platforms (cli_platform_posix.cpp, cli_platform_win32.cpp): its arguments
// and texts are UTF-8 on both. On a Windows console the texts are written as
// UTF-16 (WriteConsoleW); redirected, both platforms write the UTF-8 bytes.
#pragma once

#include <atomic>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace qx::cli::platform {

// The arguments after the program's name, as UTF-8 (on Windows from the
// wide command line, so that any file name arrives whole), once the
// console is ready: on Windows standard output and error write bytes as
// they are (no CR added), the console shows UTF-8 and the progress bar's
// escapes (both restored at exit).
std::vector<std::string> startProgram(int argc, char **argv);

// The folder of the running program, or empty.
std::string executableDir();

// True when `stream` is an interactive terminal (a console on Windows; the
// NUL device is none).
bool isTerminal(std::FILE *stream);

// `text` on `stream`: to a Windows console as UTF-16, else the bytes.
void writeText(std::FILE *stream, std::string_view text);

// A stream for the original standard output, whose descriptor 1 then
// refers to standard error; null when it cannot be moved.
std::FILE *moveStdoutAside();

// Ctrl-C (and on Linux SIGTERM) sets `cancel`; a second Ctrl-C ends the
// program at once.
void catchInterrupt(std::atomic<bool> &cancel);

// The first IPv4 address of a host name, as dotted text; empty when the
// name is unknown.
std::string resolveIpv4(const std::string &host);

} // namespace qx::cli::platform
