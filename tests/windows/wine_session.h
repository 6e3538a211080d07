// What a Linux program needs to run Windows programs of the build under
// Wine (qx_wine_run, qxcli_wine_test): the build's own prefix, no display,
// and a pseudo-terminal of qxsim as a COM port of that prefix.
#pragma once

#include <string>

namespace qxtest {

// Makes the environment run Wine in `prefix` (made absolute, as Wine takes
// only an absolute prefix) without debug output, without offering Mono or
// Gecko and without a display; the absolute prefix.
std::string useWinePrefix(const std::string &prefix);

// The pseudo-terminal `pty` as the first free COM port from 40 on
// ($WINEPREFIX/dosdevices/comN), removed again at the end.
class ComMapping
{
public:
    ComMapping(const std::string &prefix, const std::string &pty);
    ~ComMapping();
    ComMapping(const ComMapping &) = delete;
    ComMapping &operator=(const ComMapping &) = delete;

    // "COMN", empty when no port could be made.
    const std::string &name() const { return m_name; }

private:
    std::string m_link;
    std::string m_name;
};

} // namespace qxtest
