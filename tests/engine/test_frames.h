// Frames as a module sends them, for the engine's tests: RTU with the CRC
// appended, TCP behind an MBAP header.
#pragma once

#include <cstdint>
#include <vector>

#include "byte_io.h"
#include "crc16.h"
#include "frames.h"
#include "protocol_engine.h"

namespace qx::test {

using qxtest::Bytes;
using qxtest::concat;
using qxtest::rtu;

// MBAP header (transaction 0x1234) in front of the unit identifier, function
// and data
inline Bytes tcp(const Bytes &unitAndPdu)
{
    return qxtest::mbap(0x1234, unitAndPdu.at(0), Bytes(unitAndPdu.begin() + 1, unitAndPdu.end()));
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
