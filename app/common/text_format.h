// printf-style formatting of the operator's texts into a std::string; the
// texts are UTF-8 with %d/%u/%f/%s slots, so the C formatter fits them.
#pragma once

#include <cstdio>
#include <string>

namespace qx {

template <typename... Args>
std::string formatText(const char *format, Args... args)
{
    const int n = std::snprintf(nullptr, 0, format, args...);
    if (n <= 0)
        return {};
    std::string out(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(out.data(), out.size(), format, args...);
    out.resize(static_cast<std::size_t>(n));
    return out;
}

} // namespace qx
