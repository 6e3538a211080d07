// What the library binder needs of the system's loader, one declaration for
// both platforms: dlopen on Linux (library_binder_posix.cpp), LoadLibraryW
// on Windows (library_binder_win32.cpp). Names are UTF-8.
#pragma once

#include <string>

namespace qx::library_platform {

// Loads `file` (a path, or a bare name for the system's search); null, with
// the system's reason in `why`, when it cannot.
void *load(const std::string &file, std::string &why);
// The exported function `name`, or null.
void *symbol(void *library, const char *name);
void unload(void *library);

} // namespace qx::library_platform
