// Decoding in TCP framing must survive any byte stream.
#include "decode_fuzz.h"
#include "port_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    return qx::fuzz::decodeInChunks(qx::kFramingTcp, data, size);
}
