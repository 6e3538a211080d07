// The polling rig of bench_port_poll: one port of the library polls holding
// registers (slot 8, mode 2) as fast as its pacing allows, and the rig prints
// transactions per second, the share of the pacing ceiling
// 1000 / (8 + round trip ms), the worker's CPU time per second while polling
// and while connected but idle, and the resident memory before and after.
// The same rig runs in the Linux bench and, against qxlib.dll, in its
// Windows build under Wine (the process figures per platform:
// process_stats_posix.cpp, process_stats_win32.cpp).
#pragma once

#include "qxlib.h"

namespace bench {

// Polls for `seconds` (and `soakSeconds` more for the memory figure);
// the share of the ceiling, or a negative value when the port did not open.
double measurePolling(const char *name, const PortSettings &settings, int seconds,
                      int soakSeconds);

// The kernel's id of the calling thread; the CPU seconds a thread of this
// process has used; the resident memory of the process.
long currentThreadKey();
double threadCpuSeconds(long thread);
long residentKiB();

} // namespace bench
