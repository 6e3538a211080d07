// Decoding in RTU framing must survive any byte stream.
#include "decode_fuzz.h"
#include "port_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    return qx::fuzz::decodeInChunks(qx::kFramingRtu, data, size);
}
