// The library binder's loader on Windows: LoadLibraryW with the name in
// UTF-16, the system's message as the reason.
#include "library_platform.h"

#include <windows.h>

#include "wide_text.h"

namespace qx::library_platform {

namespace {

std::string systemMessage(DWORD error)
{
    wchar_t *text = nullptr;
    const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                                         | FORMAT_MESSAGE_IGNORE_INSERTS,
                                     nullptr, error, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    std::string message = n > 0 ? utf8FromWide(std::wstring_view(text, n)) : std::string();
    if (text != nullptr)
        ::LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
        message.pop_back();
    return message.empty() ? "error " + std::to_string(error) : message;
}

} // namespace

void *load(const std::string &file, std::string &why)
{
    // the loader takes only backslashes in a path
    std::wstring name = wideFromUtf8(file);
    for (wchar_t &c : name)
        if (c == L'/')
            c = L'\\';
    HMODULE library = ::LoadLibraryW(name.c_str());
    if (library == nullptr)
        why = systemMessage(::GetLastError());
    return reinterpret_cast<void *>(library);
}

void *symbol(void *library, const char *name)
{
    return reinterpret_cast<void *>(::GetProcAddress(static_cast<HMODULE>(library), name));
}

void unload(void *library)
{
    ::FreeLibrary(static_cast<HMODULE>(library));
}

} // namespace qx::library_platform
