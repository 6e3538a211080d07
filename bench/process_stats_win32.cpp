// The rig's process figures on Windows: GetThreadTimes and the working set.
#include "port_poll_rig.h"

#include <windows.h>
#include <psapi.h>

namespace bench {

long currentThreadKey()
{
    return static_cast<long>(::GetCurrentThreadId());
}

double threadCpuSeconds(long thread)
{
    const HANDLE h = ::OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE,
                                  static_cast<DWORD>(thread));
    if (h == nullptr)
        return 0;
    FILETIME created {}, exited {}, kernel {}, user {};
    double seconds = 0;
    if (::GetThreadTimes(h, &created, &exited, &kernel, &user)) {
        const auto ticks = [](const FILETIME &t) {
            return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
        };
        seconds = static_cast<double>(ticks(kernel) + ticks(user)) / 1e7; // 100 ns units
    }
    ::CloseHandle(h);
    return seconds;
}

long residentKiB()
{
    PROCESS_MEMORY_COUNTERS counters {};
    counters.cb = sizeof counters;
    if (!::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters))
        return 0;
    return static_cast<long>(counters.WorkingSetSize / 1024);
}

} // namespace bench
