// The two requests of the configuration page: read the parameter block
// (slot 14, function 0x41) and write it (slot 15, 0x42). Each is sent once;
// the block is never split. The shell puts the module address in.
#pragma once

#include "param_block.h"
#include "request_record.h"

namespace qx {

// 28 bytes for slot 14.
RequestRecord paramReadRecord();
// 1312 bytes for slot 15: the payload (108 bytes for codes 210..254, else
// 1092) from offset 28 and its length at offset 1308.
RequestRecord paramWriteRecord(const ParamBlock &block);

} // namespace qx
