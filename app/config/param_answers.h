// The module's answers to a parameter block read (kEventParamsRead) and write
// (kEventParamsWritten), as the configuration page takes them. The read
// answer is accepted here and nowhere else: checksum, then the record length.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "param_block.h"

namespace qx {

struct ParamReadAnswer
{
    bool ok = false;
    std::string message; // the one message for a refused answer
    bool compact = false; // the 106-byte form, expanded into `block`
    ParamBlock block;
};

// The bytes that followed the function code, checksum included. Too short
// or neither the full nor the compact length gives "读取的配置数据不完整!",
// a wrong checksum "读取的配置数据校验和不正确!".
ParamReadAnswer readParamAnswer(const uint8_t *payload, std::size_t length);
// The same for kEventParamsRead's record.
ParamReadAnswer readParamReadEvent(const uint8_t *record);

struct ParamWriteAnswer
{
    bool written = false; // the module's status byte is not 0
    std::string message;
};
// kEventParamsWritten's record.
ParamWriteAnswer readParamWriteEvent(const uint8_t *record);

} // namespace qx
