// UTF-8 <-> GBK with glibc iconv. Each call opens its own descriptor, so the
// helper is safe from any thread.
#include "gbk.h"

#include <cerrno>
#include <iconv.h>

namespace qx {

namespace {

// Converts with `from` -> `to`; an unconvertible or invalid input sequence is
// skipped (one byte) and `replacement` is written in its place.
std::string convert(std::string_view in, const char *to, const char *from,
                    std::string_view replacement)
{
    std::string out;
    if (in.empty())
        return out;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::string(in);

    out.resize(in.size() * 2 + 8);
    char *src = const_cast<char *>(in.data());
    std::size_t srcLeft = in.size();
    std::size_t used = 0;
    while (srcLeft > 0) {
        char *dst = out.data() + used;
        std::size_t dstLeft = out.size() - used;
        const std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        used = out.size() - dstLeft;
        if (r != static_cast<std::size_t>(-1))
            break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        // EILSEQ or EINVAL: skip the offending input byte, with its
        // UTF-8 continuation bytes when reading UTF-8.
        ++src;
        --srcLeft;
        if (std::string_view(from) == "UTF-8") {
            while (srcLeft > 0 && (static_cast<unsigned char>(*src) & 0xC0) == 0x80) {
                ++src;
                --srcLeft;
            }
        }
        if (out.size() - used < replacement.size())
            out.resize(out.size() * 2 + replacement.size());
        out.replace(used, replacement.size(), replacement);
        used += replacement.size();
    }
    out.resize(used);
    iconv_close(cd);
    return out;
}

} // namespace

std::string utf8ToGbk(std::string_view utf8)
{
    return convert(utf8, "GBK", "UTF-8", "?");
}

std::string gbkToUtf8(std::string_view gbk)
{
    return convert(gbk, "UTF-8", "GBK", "\xEF\xBF\xBD");
}

} // namespace qx
