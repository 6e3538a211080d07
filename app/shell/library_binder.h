// Binds QXLIB's six exports that QXTools uses, by name, at start. The program
// does not start without them, so the result says which library was tried
// and which symbol is missing.
#pragma once

#include <string>
#include <vector>

#include "qxlib.h"

namespace qx {

struct LibraryFunctions
{
    decltype(&DLL_API_OBJ_CREATE) create = nullptr;
    decltype(&DLL_API_OBJ_RUN) run = nullptr;
    decltype(&DLL_API_OBJ_CMD) cmd = nullptr;
    decltype(&DLL_API_OBJ_RXBUFF_CLR) rxbuffClr = nullptr;
    decltype(&DLL_API_OBJ_CLR_STATIS) clrStatis = nullptr;
    decltype(&DLL_API_OBJ_DESTROY) destroy = nullptr;

    bool complete() const
    {
        return create && run && cmd && rxbuffClr && clrStatis && destroy;
    }
};

struct BindResult
{
    bool ok = false;
    std::string library; // the file that was loaded or tried last
    std::string missingSymbol; // empty when the library itself could not be loaded
    std::string message; // the operator's text
    LibraryFunctions functions;
};

#if defined(_WIN32)
inline constexpr const char *kLibraryName = "qxlib.dll";
#else
inline constexpr const char *kLibraryName = "libqxlib.so";
#endif
// The installed library's file name with its major version (libqxlib.so.7),
// the name a package without the development link still has; kLibraryName
// on Windows.
extern const char *const kLibrarySoname;

// Loads one library file (a path, or a bare name for the dynamic linker's
// search) and binds the six exports. The library is never unloaded: a
// worker thread of it may outlive every handle.
BindResult bindLibrary(const std::string &file);

// Tries each candidate in turn and returns the first complete binding, or
// the failure of the first candidate that loaded without all exports (else
// of the last one).
BindResult bindFirstLibrary(const std::vector<std::string> &candidates);

// Where QXTools looks for the library: the explicit path if given, next to
// the executable, the build tree's library directory (when given), then the
// dynamic linker's search (the program's RUNPATH, which names the build
// tree's or the installed library directory, then the system's), first by
// kLibrarySoname, then by kLibraryName.
std::vector<std::string> libraryCandidates(const std::string &explicitPath,
                                           const std::string &executableDir,
                                           const std::string &buildLibraryDir = {});

} // namespace qx
