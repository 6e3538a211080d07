// The two requests of the configuration page: read the parameter block
// (slot 14, function 0x41) and write it (slot 15, 0x42); the block is never
// split. The shell puts the module address in.
#pragma once

#include "param_block.h"
#include "request_record.h"

namespace qx {

// A read or write that brought no answer at all (the request or its answer
// was lost on the line) goes again after this long, while the operation
// waits. Writing the same block twice leaves the module as once; an answer
// that came, also a refusal or a broken block, is never asked again.
inline constexpr int kParamResendMs = 2000;

// 28 bytes for slot 14.
RequestRecord paramReadRecord();
// 1312 bytes for slot 15: the payload (108 bytes for codes 210..254, else
// 1092) from offset 28 and its length at offset 1308.
RequestRecord paramWriteRecord(const ParamBlock &block);

} // namespace qx
