// The library binder's loader on Linux: the dynamic linker.
#include "library_platform.h"

#include <dlfcn.h>

namespace qx::library_platform {

void *load(const std::string &file, std::string &why)
{
    dlerror();
    void *library = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char *text = dlerror();
        why = text ? text : "";
    }
    return library;
}

void *symbol(void *library, const char *name)
{
    return dlsym(library, name);
}

void unload(void *library)
{
    dlclose(library);
}

} // namespace qx::library_platform
