// Decoding in RTU framing must survive any byte stream.
#include "decode_fuzz.h"
#include "port_settings.h"

QX_FUZZ_TARGET(input)
{
    static qx::ProtocolEngine engine(qx::kFramingRtu);
    qx::fuzz::decodeInChunks(engine, input);
}
