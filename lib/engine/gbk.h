// Conversion between UTF-8 (the project's own text) and GBK (code page 936,
// the narrow text inside the library's records, the PLC catalogues and the
// files operators keep for their modules). One helper for the whole code
// base, with one backend per platform (glibc iconv, Windows code page 936).
#pragma once

#include <string>
#include <string_view>

namespace qx {

// Characters that GBK cannot represent are replaced by '?'; the result is
// never longer than needed and never throws.
std::string utf8ToGbk(std::string_view utf8);

// Invalid GBK sequences are replaced by U+FFFD.
std::string gbkToUtf8(std::string_view gbk);

// The longest start of `gbk` that fits in `room` bytes without splitting a
// two-byte character (a lead byte 0x81..0xFE takes the byte after it).
std::string_view gbkFit(std::string_view gbk, std::size_t room);

} // namespace qx
