// What the library needs of its process beyond threads and sockets: kernel
// thread ids, and the rules for being unloaded while workers run
// (process_platform_posix.cpp, process_platform_win32.cpp).
#pragma once

#include <cstdint>

namespace qx {

// The kernel's id of the calling thread.
uint32_t currentThreadId();

// Called before a worker starts. A Windows DLL cannot wait for its workers
// while the loader unloads it (their exit needs the loader's lock), so once
// a worker has run the DLL stays loaded until the process ends; nothing on
// Linux, where unloading stops the current port.
void keepLibraryLoaded();

// True while the process is ending with the library still loaded: Windows
// has already ended every other thread then, so a worker must be neither
// stopped nor waited for. Always false on Linux, where exit handlers run
// beside the live workers.
bool processIsEnding();

} // namespace qx
