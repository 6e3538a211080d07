#include "record_readers.h"

#include <algorithm>

#include "byte_io.h"
#include "response_records.h"

namespace qx {

std::span<const uint8_t> readRegisterBytes(const uint8_t *record, std::size_t capacity)
{
    const int32_t n = getI32le(record, RegisterRecordLayout::kLength);
    const std::size_t length = n < 0 ? 0 : std::min(static_cast<std::size_t>(n), capacity);
    return {record + RegisterRecordLayout::kData, length};
}

std::span<const uint8_t> readBitBytes(const uint8_t *record)
{
    return {record + BitRecordLayout::kData, record[BitRecordLayout::kCount]};
}

} // namespace qx
