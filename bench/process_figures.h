// What the benchmark's own process holds, from /proc/self: open descriptors,
// threads and resident memory. The benchmarks that look for leaks print them
// before and after their runs.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <dirent.h>
#include <unistd.h>

namespace bench {

struct ProcessFigures
{
    int descriptors = 0;
    int threads = 0;
    long residentKiB = 0;
};

// process_stats_posix.cpp
long residentKiB();

inline ProcessFigures processFigures()
{
    ProcessFigures p;
    if (DIR *d = ::opendir("/proc/self/fd")) {
        while (const dirent *e = ::readdir(d))
            p.descriptors += e->d_name[0] != '.';
        ::closedir(d);
        --p.descriptors; // the listing's own
    }
    if (FILE *f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, f))
            if (std::strncmp(line, "Threads:", 8) == 0)
                p.threads = std::atoi(line + 8);
        std::fclose(f);
    }
    p.residentKiB = residentKiB();
    return p;
}

inline void printFigures(const char *when, const ProcessFigures &p)
{
    std::printf("  %-28s %4d descriptors  %3d threads  %7ld KiB resident\n", when, p.descriptors, p.threads,
                p.residentKiB);
}

} // namespace bench
