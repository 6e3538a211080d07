// UTF-8 <-> GBK through Windows code page 936. The text is walked one
// character at a time, so that an unrepresentable or invalid character is
// replaced exactly as the iconv backend replaces it: '?' for each UTF-8
// sequence GBK cannot hold, U+FFFD for each GBK byte that starts no
// character.
#include "gbk.h"

#include <windows.h>

namespace qx {

namespace {

constexpr UINT kCodePageGbk = 936;

bool isContinuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

// The code point of the UTF-8 sequence at `at` and its length; 0 bytes when
// the sequence is invalid (overlong, a surrogate, beyond U+10FFFF, cut off).
std::size_t decodeUtf8(std::string_view text, std::size_t at, char32_t &codePoint)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    char32_t least = 0;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        codePoint = lead & 0x1F;
        least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        codePoint = lead & 0x0F;
        least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        codePoint = lead & 0x07;
        least = 0x10000;
    } else {
        return 0;
    }
    if (at + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto c = static_cast<unsigned char>(text[at + i]);
        if (!isContinuation(c))
            return 0;
        codePoint = (codePoint << 6) | (c & 0x3F);
    }
    if (codePoint < least || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return 0;
    return length;
}

void appendUtf8(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// One code point in GBK; false when code page 936 has no exact character
// for it.
bool appendGbk(std::string &out, char32_t c)
{
    wchar_t wide[2];
    int units = 1;
    if (c >= 0x10000) {
        wide[0] = static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
        wide[1] = static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        units = 2;
    } else {
        wide[0] = static_cast<wchar_t>(c);
    }
    char bytes[8];
    BOOL usedDefault = FALSE;
    const int n = ::WideCharToMultiByte(kCodePageGbk, WC_NO_BEST_FIT_CHARS, wide, units, bytes,
                                        sizeof bytes, nullptr, &usedDefault);
    if (n <= 0 || usedDefault)
        return false;
    out.append(bytes, static_cast<std::size_t>(n));
    return true;
}

// The GBK character of `length` bytes at `at`; false when it is none.
bool appendFromGbk(std::string &out, std::string_view gbk, std::size_t at, int length)
{
    wchar_t wide[2];
    const int units = ::MultiByteToWideChar(kCodePageGbk, MB_ERR_INVALID_CHARS, gbk.data() + at,
                                            length, wide, 2);
    if (units != 1)
        return false;
    appendUtf8(out, wide[0]);
    return true;
}

} // namespace

std::string utf8ToGbk(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    std::size_t at = 0;
    while (at < utf8.size()) {
        char32_t c = 0;
        const std::size_t length = decodeUtf8(utf8, at, c);
        if (length == 1) {
            out += static_cast<char>(c);
            at += 1;
            continue;
        }
        if (length > 1 && appendGbk(out, c)) {
            at += length;
            continue;
        }
        // skip the sequence: its lead byte and the continuation bytes after it
        ++at;
        while (at < utf8.size() && isContinuation(static_cast<unsigned char>(utf8[at])))
            ++at;
        out += '?';
    }
    return out;
}

std::string gbkToUtf8(std::string_view gbk)
{
    std::string out;
    out.reserve(gbk.size() * 3 / 2);
    std::size_t at = 0;
    while (at < gbk.size()) {
        const auto c = static_cast<unsigned char>(gbk[at]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++at;
        } else if (c >= 0x81 && c <= 0xFE && at + 1 < gbk.size()
                   && appendFromGbk(out, gbk, at, 2)) {
            at += 2;
        } else if (appendFromGbk(out, gbk, at, 1)) {
            ++at;
        } else {
            // a byte that starts no character is replaced and skipped alone
            appendUtf8(out, 0xFFFD);
            ++at;
        }
    }
    return out;
}

} // namespace qx
