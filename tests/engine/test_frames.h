// Frames as a module sends them, for the engine's tests: RTU with the CRC
// appended, TCP behind an MBAP header.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "byte_io.h"
#include "crc16.h"
#include "protocol_engine.h"

namespace qx::test {

using Bytes = std::vector<uint8_t>;

// address, function and data, followed by their CRC
inline Bytes rtu(Bytes frame)
{
    frame.resize(frame.size() + 2);
    appendCrcLowFirst(frame.data(), frame.size() - 2);
    return frame;
}

// MBAP header (transaction 0x1234, protocol 0, length) in front of the unit
// identifier, function and data
inline Bytes tcp(const Bytes &unitAndPdu)
{
    Bytes frame {0x12, 0x34, 0x00, 0x00, 0, 0};
    putU16be(frame.data(), 4, static_cast<uint16_t>(unitAndPdu.size()));
    frame.insert(frame.end(), unitAndPdu.begin(), unitAndPdu.end());
    return frame;
}

inline Bytes concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes &p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

inline Bytes frameOf(const ProtocolEngine::Frame &f)
{
    return f.data ? Bytes(f.data, f.data + f.length) : Bytes {};
}

inline bool feed(ProtocolEngine &engine, const Bytes &bytes)
{
    return engine.append(bytes.data(), bytes.size());
}

inline const uint8_t *bytesOf(const ProtocolEngine::Event &event)
{
    return static_cast<const uint8_t *>(event.data);
}

} // namespace qx::test
