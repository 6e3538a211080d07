// Decoding in RTU framing must survive any byte stream.
#include "decode_fuzz.h"
#include "port_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    static qx::ProtocolEngine engine(qx::kFramingRtu);
    return qx::fuzz::decodeInChunks(engine, data, size);
}
