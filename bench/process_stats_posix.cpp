// The rig's process figures on Linux: per-thread CPU clocks and /proc.
#include "port_poll_rig.h"

#include <cstdio>
#include <ctime>

#include <sys/syscall.h>
#include <unistd.h>

namespace bench {

long currentThreadKey()
{
    return ::syscall(SYS_gettid);
}

double threadCpuSeconds(long thread)
{
    // the per-thread CPU clock of another thread of this process
    const clockid_t clock = static_cast<clockid_t>((~static_cast<unsigned long>(thread) << 3) | 6);
    timespec ts {};
    if (::clock_gettime(clock, &ts) != 0)
        return 0;
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

long residentKiB()
{
    FILE *f = std::fopen("/proc/self/statm", "r");
    long size = 0;
    long resident = 0;
    if (f != nullptr) {
        if (std::fscanf(f, "%ld %ld", &size, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

} // namespace bench
