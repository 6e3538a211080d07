// Event records as the library hands them to its host, for tests that feed
// a page, a transfer or a reader without a module.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "frames.h"
#include "response_records.h"

namespace qxtest {

// Events 2 and 4: the bit bytes that arrived and their count.
Bytes bitRecord(const Bytes &bits);
// Events 6, 8, 19 (and 14 with RegisterRecordLayout::kParamSize): the
// length, then the bytes as received.
Bytes registerRecord(const Bytes &bytes, std::size_t size = qx::RegisterRecordLayout::kSize);
// Events 15 to 18: status, value, and for event 18 the reply's data
// (starting with the status byte; the value is its length then).
Bytes transferRecord(uint8_t status, int32_t value, const Bytes &data = {});
// Event 18 as a module answers a PLC packet: status, then the echoed mode,
// block, offset and length.
Bytes plcReplyRecord(uint8_t status, uint8_t mode, uint8_t block, uint16_t offset, uint16_t length);

} // namespace qxtest
