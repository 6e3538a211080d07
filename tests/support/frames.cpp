#include "frames.h"

#include "byte_io.h"
#include "crc16.h"
#include "mbap_layout.h"

namespace qxtest {

Bytes rtu(Bytes frame)
{
    frame.resize(frame.size() + 2);
    qx::appendCrcLowFirst(frame.data(), frame.size() - 2);
    return frame;
}

Bytes mbap(uint16_t transaction, uint8_t unit, const Bytes &pdu)
{
    namespace M = qx::MbapLayout;
    Bytes frame(M::kSize);
    qx::putU16be(frame.data(), M::kTransaction, transaction);
    qx::putU16be(frame.data(), M::kLength, static_cast<uint16_t>(M::kSize - M::kLengthEnd + pdu.size()));
    frame[M::kUnit] = unit;
    frame.insert(frame.end(), pdu.begin(), pdu.end());
    return frame;
}

Bytes pduOf(const Bytes &mbapFrame)
{
    namespace M = qx::MbapLayout;
    return mbapFrame.size() > M::kSize ? Bytes(mbapFrame.begin() + M::kSize, mbapFrame.end()) : Bytes {};
}

Bytes concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes &p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

Bytes pattern(std::size_t n, uint8_t salt)
{
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = static_cast<uint8_t>((i * 7 + i / 1024 + salt) % 251);
    return b;
}

} // namespace qxtest
