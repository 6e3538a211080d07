// What the library needs of its process beyond threads and sockets: the
// rules for being unloaded while workers run
// (process_platform_posix.cpp, process_platform_win32.cpp).
#pragma once

namespace qx {

// Called before a worker starts. A Windows DLL cannot wait for its workers
// while the loader unloads it (their exit needs the loader's lock), so once
// a worker has run the DLL stays loaded until the process ends; nothing on
// Linux, where unloading stops the current port.
void keepLibraryLoaded();

// Holds the system timer at 1 ms while a worker runs: its 1 ms passes and
// the 8 ms pause after each response rely on it, and Windows' default tick
// is 15.6 ms. Nothing on Linux.
class FineTimer
{
public:
    FineTimer();
    ~FineTimer();
    FineTimer(const FineTimer &) = delete;
    FineTimer &operator=(const FineTimer &) = delete;
};

// True while the process is ending with the library still loaded: Windows
// has already ended every other thread then, so a worker must be neither
// stopped nor waited for. Always false on Linux, where exit handlers run
// beside the live workers.
bool processIsEnding();

} // namespace qx
