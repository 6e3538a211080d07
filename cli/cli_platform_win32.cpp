// qxcli on Windows: the arguments come from the wide command line, texts go
// to a console as UTF-16 and to a file or pipe as the UTF-8 bytes Linux
// writes; Ctrl-C arrives through the console's control handler.
#include "cli_platform.h"

#include <algorithm>
#include <cstdlib>

#include <fcntl.h>
#include <io.h>
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <shellapi.h>

#include "wide_text.h"

#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif

namespace qx::cli::platform {

namespace {

// The console as it was before this program changed it.
UINT g_savedOutputCodePage = 0;
HANDLE g_savedModeConsole = nullptr;
DWORD g_savedMode = 0;

std::atomic<bool> *g_cancel = nullptr;
std::atomic<bool> g_interrupted {false};

HANDLE consoleOf(std::FILE *stream)
{
    const intptr_t handle = ::_get_osfhandle(::_fileno(stream));
    DWORD mode = 0;
    if (handle == -1 || !::GetConsoleMode(reinterpret_cast<HANDLE>(handle), &mode))
        return nullptr;
    return reinterpret_cast<HANDLE>(handle);
}

void restoreConsole()
{
    if (g_savedOutputCodePage != 0)
        ::SetConsoleOutputCP(g_savedOutputCodePage);
    if (g_savedModeConsole != nullptr)
        ::SetConsoleMode(g_savedModeConsole, g_savedMode);
}

// QXLIB's own console lines are UTF-8 bytes written to descriptor 1: the
// console shows them in its output code page. The progress bar redraws its
// line with "\r" and erases it with ESC [K.
void prepareConsole()
{
    if (HANDLE err = consoleOf(stderr)) {
        DWORD mode = 0;
        if (::GetConsoleMode(err, &mode) && (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) == 0
            && ::SetConsoleMode(err, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING)) {
            g_savedModeConsole = err;
            g_savedMode = mode;
        }
    }
    const UINT codePage = ::GetConsoleOutputCP();
    if (codePage != 0 && codePage != CP_UTF8 && ::SetConsoleOutputCP(CP_UTF8))
        g_savedOutputCodePage = codePage;
    std::atexit(restoreConsole);
}

BOOL WINAPI onConsoleEvent(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    // the second one goes on to the default handler, which ends the program
    if (g_interrupted.exchange(true) || g_cancel == nullptr)
        return FALSE;
    g_cancel->store(true);
    return TRUE;
}

} // namespace

std::vector<std::string> startProgram(int, char **)
{
    // "\n" stays "\n" and a file's bytes stay as they are, as on Linux
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    // msvcrt buffers standard error fully when it is a file or pipe: every
    // message and progress line would then arrive only at exit
    std::setvbuf(stderr, nullptr, _IONBF, 0);
    prepareConsole();
    std::vector<std::string> args;
    int count = 0;
    wchar_t **wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr)
        return args;
    for (int i = 1; i < count; ++i)
        args.push_back(utf8FromWide(wide[i]));
    ::LocalFree(wide);
    return args;
}

std::string executableDir()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return {};
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::string() : utf8FromWide(path.substr(0, slash));
}

bool isTerminal(std::FILE *stream)
{
    return consoleOf(stream) != nullptr;
}

void writeText(std::FILE *stream, std::string_view text)
{
    HANDLE console = consoleOf(stream);
    if (console == nullptr) {
        std::fwrite(text.data(), 1, text.size(), stream);
        return;
    }
    std::fflush(stream);
    const std::wstring wide = wideFromUtf8(text);
    // in pieces the console takes at once, never between a surrogate pair
    constexpr std::size_t kPiece = 8192;
    for (std::size_t at = 0; at < wide.size();) {
        std::size_t n = std::min(kPiece, wide.size() - at);
        if (n > 1 && at + n < wide.size() && wide[at + n - 1] >= 0xD800 && wide[at + n - 1] <= 0xDBFF)
            --n;
        DWORD written = 0;
        if (!::WriteConsoleW(console, wide.data() + at, static_cast<DWORD>(n), &written, nullptr) || written == 0)
            return;
        at += written;
    }
}

std::FILE *moveStdoutAside()
{
    std::fflush(stdout);
    const int saved = ::_dup(1);
    if (saved < 0)
        return nullptr;
    std::FILE *out = ::_fdopen(saved, "wb");
    if (!out) {
        ::_close(saved);
        return nullptr;
    }
    ::_dup2(2, 1);
    return out;
}

void catchInterrupt(std::atomic<bool> &cancel)
{
    g_cancel = &cancel;
    ::SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

std::string resolveIpv4(const std::string &host)
{
    WSADATA data;
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return {};
    addrinfo hints {};
    hints.ai_family = AF_INET;
    addrinfo *found = nullptr;
    std::string text;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) == 0 && found != nullptr) {
        char dotted[INET_ADDRSTRLEN] = {};
        if (::inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in *>(found->ai_addr)->sin_addr, dotted,
                        sizeof dotted))
            text = dotted;
        ::freeaddrinfo(found);
    }
    ::WSACleanup();
    return text;
}

} // namespace qx::cli::platform
