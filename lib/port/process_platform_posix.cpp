#include "process_platform.h"

#include <sys/syscall.h>
#include <unistd.h>

namespace qx {

uint32_t currentThreadId()
{
    return static_cast<uint32_t>(::syscall(SYS_gettid));
}

void keepLibraryLoaded()
{
}

FineTimer::FineTimer() = default;

FineTimer::~FineTimer() = default;

bool processIsEnding()
{
    return false;
}

} // namespace qx
