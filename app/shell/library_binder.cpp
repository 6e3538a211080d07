// Binding the library's exports by name; the system's loader is in
// library_binder_posix.cpp and library_binder_win32.cpp.
#include "library_binder.h"

#include "library_platform.h"
#include "shell_texts.h"

#ifndef QX_LIBRARY_SONAME
#define QX_LIBRARY_SONAME kLibraryName
#endif

namespace qx {

const char *const kLibrarySoname = QX_LIBRARY_SONAME;

namespace {

template<typename Fn>
bool bindOne(void *lib, const char *name, Fn &out, BindResult &r)
{
    out = reinterpret_cast<Fn>(library_platform::symbol(lib, name));
    if (out)
        return true;
    r.missingSymbol = name;
    r.message = std::string(shell_texts::kLibrarySymbolPrefix) + r.library + shell_texts::kLibrarySymbolMiddle
        + name + shell_texts::kLibrarySymbolSuffix;
    return false;
}

} // namespace

BindResult bindLibrary(const std::string &file)
{
    BindResult r;
    r.library = file;
    std::string why;
    void *lib = library_platform::load(file, why);
    if (!lib) {
        r.message = std::string(shell_texts::kLibraryMissingPrefix) + file + shell_texts::kLibraryMissingMiddle + why;
        return r;
    }
    LibraryFunctions &f = r.functions;
    if (!bindOne(lib, "DLL_API_OBJ_CREATE", f.create, r)
        || !bindOne(lib, "DLL_API_OBJ_RUN", f.run, r)
        || !bindOne(lib, "DLL_API_OBJ_CMD", f.cmd, r)
        || !bindOne(lib, "DLL_API_OBJ_RXBUFF_CLR", f.rxbuffClr, r)
        || !bindOne(lib, "DLL_API_OBJ_CLR_STATIS", f.clrStatis, r)
        || !bindOne(lib, "DLL_API_OBJ_DESTROY", f.destroy, r)) {
        r.functions = {};
        library_platform::unload(lib);
        return r;
    }
    r.ok = true;
    return r;
}

BindResult bindFirstLibrary(const std::vector<std::string> &candidates)
{
    // A library that loaded but lacks a symbol explains more than a file
    // that is merely absent.
    BindResult incomplete;
    BindResult last;
    for (const auto &c : candidates) {
        BindResult r = bindLibrary(c);
        if (r.ok)
            return r;
        if (!r.missingSymbol.empty() && incomplete.missingSymbol.empty())
            incomplete = r;
        last = r;
    }
    return incomplete.missingSymbol.empty() ? last : incomplete;
}

std::vector<std::string> libraryCandidates(const std::string &explicitPath,
                                           const std::string &executableDir,
                                           const std::string &buildLibraryDir)
{
    if (!explicitPath.empty())
        return {explicitPath};
    std::vector<std::string> out;
    if (!executableDir.empty())
        out.push_back(executableDir + "/" + kLibraryName);
    if (!buildLibraryDir.empty())
        out.push_back(buildLibraryDir + "/" + kLibraryName);
    if (std::string(kLibrarySoname) != kLibraryName)
        out.push_back(kLibrarySoname);
    out.push_back(kLibraryName);
    return out;
}

} // namespace qx
