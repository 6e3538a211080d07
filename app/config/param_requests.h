// The two requests of the configuration page: read the parameter block
// (slot 14, function 0x41) and write it (slot 15, 0x42), with the slot and
// how many record bytes the library takes. Each is sent once; the block is
// never split. The shell puts the connection page's address in; qxcli gives
// its own.
#pragma once

#include <cstdint>

#include "request_record.h"
#include "param_block.h"

namespace qx {

// Slot 14, 28 bytes.
SlotRequest paramReadRequest(uint8_t address = 0);
// Slot 15, 1312 bytes: the payload (108 bytes for codes 210..254, else
// 1092) from offset 28 and its length at offset 1308.
SlotRequest paramWriteRequest(const ParamBlock &block, uint8_t address = 0);

} // namespace qx
