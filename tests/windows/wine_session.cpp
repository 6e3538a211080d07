#include "wine_session.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include <unistd.h>

namespace qxtest {

std::string useWinePrefix(const std::string &prefix)
{
    const std::string absolute = std::filesystem::absolute(prefix).lexically_normal().string();
    ::setenv("WINEPREFIX", absolute.c_str(), 1);
    // no debug channels, no Mono or Gecko installer, no window
    ::setenv("WINEDEBUG", "-all", 1);
    ::setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    return absolute;
}

ComMapping::ComMapping(const std::string &prefix, const std::string &pty)
{
    for (int n = 40; n < 100; ++n) {
        const std::string link = prefix + "/dosdevices/com" + std::to_string(n);
        if (::symlink(pty.c_str(), link.c_str()) == 0) {
            m_link = link;
            m_name = "COM" + std::to_string(n);
            return;
        }
        if (errno != EEXIST)
            return;
    }
}

ComMapping::~ComMapping()
{
    if (!m_link.empty())
        ::unlink(m_link.c_str());
}

} // namespace qxtest
