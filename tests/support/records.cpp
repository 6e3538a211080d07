#include "records.h"

#include <algorithm>

#include "byte_io.h"

namespace qxtest {

using namespace qx;

Bytes bitRecord(const Bytes &bits)
{
    Bytes r(BitRecordLayout::kSize, 0);
    r[BitRecordLayout::kCount] = static_cast<uint8_t>(bits.size());
    std::copy(bits.begin(), bits.end(), r.begin() + BitRecordLayout::kData);
    return r;
}

Bytes registerRecord(const Bytes &bytes, std::size_t size)
{
    Bytes r(size, 0);
    putI32le(r.data(), RegisterRecordLayout::kLength, static_cast<int32_t>(bytes.size()));
    std::copy(bytes.begin(), bytes.end(), r.begin() + RegisterRecordLayout::kData);
    return r;
}

Bytes transferRecord(uint8_t status, int32_t value, const Bytes &data)
{
    Bytes r(TransferReplyLayout::kSize, 0);
    r[TransferReplyLayout::kStatus] = status;
    putI32le(r.data(), TransferReplyLayout::kValue, value);
    std::copy(data.begin(), data.end(), r.begin() + TransferReplyLayout::kData);
    return r;
}

Bytes plcReplyRecord(uint8_t status, uint8_t mode, uint8_t block, uint16_t offset, uint16_t length)
{
    const Bytes data = {status, mode, block, uint8_t(offset >> 8), uint8_t(offset), uint8_t(length >> 8),
                        uint8_t(length)};
    return transferRecord(status, int32_t(data.size()), data);
}

} // namespace qxtest
