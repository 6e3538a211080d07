#include "process_platform.h"

#include <atomic>

#include <windows.h>
#include <timeapi.h>

namespace {

std::atomic<bool> g_processEnding {false};

} // namespace

// The C runtime calls this before it runs the library's static destructors.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved)
{
    // a non-null `reserved` at detach: the process ends (not FreeLibrary)
    if (reason == DLL_PROCESS_DETACH && reserved != nullptr)
        g_processEnding = true;
    return TRUE;
}

namespace qx {

void keepLibraryLoaded()
{
    static std::atomic<bool> pinned {false};
    if (pinned.exchange(true))
        return;
    HMODULE self = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                         reinterpret_cast<LPCWSTR>(&keepLibraryLoaded), &self);
}

FineTimer::FineTimer()
{
    ::timeBeginPeriod(1);
}

FineTimer::~FineTimer()
{
    ::timeEndPeriod(1);
}

bool processIsEnding()
{
    return g_processEnding;
}

} // namespace qx
