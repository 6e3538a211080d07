// The backend-free part of the GBK helper; the conversions themselves are in
// gbk_iconv.cpp (glibc iconv) and gbk_win32.cpp (Windows code page 936).
#include "gbk.h"

#include <algorithm>

namespace qx {

std::string_view gbkFit(std::string_view gbk, std::size_t room)
{
    std::size_t n = 0;
    while (n < gbk.size()) {
        const auto c = static_cast<unsigned char>(gbk[n]);
        const std::size_t width = c >= 0x81 && c <= 0xFE ? 2 : 1;
        if (n + width > room)
            break;
        n += width;
    }
    return gbk.substr(0, std::min(n, gbk.size()));
}

} // namespace qx
