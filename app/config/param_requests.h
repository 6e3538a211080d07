// The two requests of the configuration page: read the parameter block
// (slot 14, function 0x41) and write it (slot 15, 0x42), with the slot and
// how many record bytes the library takes; the block is never split. The
// shell puts the connection page's address in; qxcli gives its own.
#pragma once

#include <cstdint>

#include "request_record.h"
#include "param_block.h"

namespace qx {

// A read or write that brought no answer at all (the request or its answer
// was lost on the line) goes again after this long, while the operation
// waits. Writing the same block twice leaves the module as once; an answer
// that came, also a refusal or a broken block, is never asked again.
inline constexpr int kParamResendMs = 2000;

// Slot 14, 28 bytes.
SlotRequest paramReadRequest(uint8_t address = 0);
// Slot 15, 1312 bytes: the payload (108 bytes for codes 210..254, else
// 1092) from offset 28 and its length at offset 1308.
SlotRequest paramWriteRequest(const ParamBlock &block, uint8_t address = 0);

} // namespace qx
