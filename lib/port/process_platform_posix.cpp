#include "process_platform.h"

namespace qx {

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
