// Little helpers for reading and writing fixed-layout records and wire fields
// byte by byte, so that no field is ever read through a cast pointer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace qx {

inline uint16_t getU16le(const uint8_t *p, std::size_t off)
{
    return static_cast<uint16_t>(p[off] | (p[off + 1] << 8));
}

inline uint16_t getU16be(const uint8_t *p, std::size_t off)
{
    return static_cast<uint16_t>((p[off] << 8) | p[off + 1]);
}

inline uint32_t getU32le(const uint8_t *p, std::size_t off)
{
    return static_cast<uint32_t>(p[off]) | (static_cast<uint32_t>(p[off + 1]) << 8)
        | (static_cast<uint32_t>(p[off + 2]) << 16) | (static_cast<uint32_t>(p[off + 3]) << 24);
}

inline uint32_t getU32be(const uint8_t *p, std::size_t off)
{
    return (static_cast<uint32_t>(p[off]) << 24) | (static_cast<uint32_t>(p[off + 1]) << 16)
        | (static_cast<uint32_t>(p[off + 2]) << 8) | static_cast<uint32_t>(p[off + 3]);
}

// Three bytes, most significant first (the parameter block's two times).
inline uint32_t getU24be(const uint8_t *p, std::size_t off)
{
    return (static_cast<uint32_t>(p[off]) << 16) | (static_cast<uint32_t>(p[off + 1]) << 8)
        | static_cast<uint32_t>(p[off + 2]);
}

inline int32_t getI32le(const uint8_t *p, std::size_t off)
{
    return static_cast<int32_t>(getU32le(p, off));
}

inline void putU16le(uint8_t *p, std::size_t off, uint16_t v)
{
    p[off] = static_cast<uint8_t>(v);
    p[off + 1] = static_cast<uint8_t>(v >> 8);
}

inline void putU16be(uint8_t *p, std::size_t off, uint16_t v)
{
    p[off] = static_cast<uint8_t>(v >> 8);
    p[off + 1] = static_cast<uint8_t>(v);
}

// Keeps the low 24 bits, most significant byte first.
inline void putU24be(uint8_t *p, std::size_t off, uint32_t v)
{
    p[off] = static_cast<uint8_t>(v >> 16);
    p[off + 1] = static_cast<uint8_t>(v >> 8);
    p[off + 2] = static_cast<uint8_t>(v);
}

inline void putU32le(uint8_t *p, std::size_t off, uint32_t v)
{
    p[off] = static_cast<uint8_t>(v);
    p[off + 1] = static_cast<uint8_t>(v >> 8);
    p[off + 2] = static_cast<uint8_t>(v >> 16);
    p[off + 3] = static_cast<uint8_t>(v >> 24);
}

inline void putI32le(uint8_t *p, std::size_t off, int32_t v)
{
    putU32le(p, off, static_cast<uint32_t>(v));
}

// Copies a NUL-terminated text into a fixed field of `size` bytes, cutting it
// so that the terminator always fits.
inline void putText(uint8_t *p, std::size_t off, std::size_t size, const char *text)
{
    std::memset(p + off, 0, size);
    std::size_t n = std::strlen(text);
    if (n >= size)
        n = size - 1;
    std::memcpy(p + off, text, n);
}

} // namespace qx
