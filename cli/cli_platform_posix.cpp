// qxcli on Linux: arguments and output are UTF-8 bytes as they are.
#include "cli_platform.h"

#include <csignal>

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

namespace qx::cli::platform {

namespace {

std::atomic<bool> *g_cancel = nullptr;

void onInterrupt(int)
{
    if (g_cancel)
        g_cancel->store(true);
}

} // namespace

std::vector<std::string> startProgram(int argc, char **argv)
{
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

std::string executableDir()
{
    char path[4096];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return {};
    std::string p(path, std::size_t(n));
    const std::size_t slash = p.rfind('/');
    return slash == std::string::npos ? std::string() : p.substr(0, slash);
}

bool isTerminal(std::FILE *stream)
{
    return ::isatty(::fileno(stream)) == 1;
}

void writeText(std::FILE *stream, std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stream);
}

std::FILE *moveStdoutAside()
{
    std::fflush(stdout);
    const int saved = ::dup(STDOUT_FILENO);
    if (saved < 0)
        return nullptr;
    std::FILE *out = ::fdopen(saved, "w");
    if (!out) {
        ::close(saved);
        return nullptr;
    }
    ::dup2(STDERR_FILENO, STDOUT_FILENO);
    return out;
}

void catchInterrupt(std::atomic<bool> &cancel)
{
    g_cancel = &cancel;
    struct sigaction sa {};
    sa.sa_handler = onInterrupt;
    sa.sa_flags = SA_RESETHAND; // a second Ctrl-C ends the program at once
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
}

std::string resolveIpv4(const std::string &host)
{
    addrinfo hints {};
    hints.ai_family = AF_INET;
    addrinfo *found = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr)
        return {};
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in *>(found->ai_addr)->sin_addr, text, sizeof text);
    ::freeaddrinfo(found);
    return text;
}

} // namespace qx::cli::platform
