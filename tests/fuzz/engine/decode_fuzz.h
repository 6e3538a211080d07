// Shared body of the decode fuzzers: the input is a byte stream that arrives
// in chunks of varying size, as reads from a port deliver it. The first byte
// seeds the chunk sizes; decode runs after every chunk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz_target.h"
#include "identity_record.h"
#include "protocol_engine.h"
#include "response_records.h"

namespace qx::fuzz {

// Reads every byte a host may read from the record, so that the sanitizers
// see any record handed out too small.
inline uint8_t touchRecord(const ProtocolEngine::Event &event)
{
    const auto *p = static_cast<const uint8_t *>(event.data);
    std::size_t size = 0;
    switch (event.code) {
    case 0:
        size = IdentityLayout::kSize;
        break;
    case 2:
    case 4:
        size = BitRecordLayout::kSize;
        break;
    case 6:
    case 8:
    case 19:
        size = RegisterRecordLayout::kSize;
        break;
    case 14:
        size = RegisterRecordLayout::kParamSize;
        break;
    case 15:
    case 16:
    case 17:
    case 18:
        size = TransferReplyLayout::kSize;
        break;
    default:
        size = EmptyRecordLayout::kSize;
        break;
    }
    uint8_t sum = 0;
    for (std::size_t i = 0; i < size; ++i)
        sum = static_cast<uint8_t>(sum + p[i]);
    return sum;
}

// Keeps the reads of the records from being optimised away.
inline volatile uint8_t sink;

inline void checkedDecode(ProtocolEngine &engine)
{
    const ProtocolEngine::Event event = engine.decode();
    QX_FUZZ_CHECK(engine.frameLength() <= ProtocolEngine::kFrameCapacity
                  && engine.receivedCount() <= ProtocolEngine::kRxCapacity);
    if (event.data == nullptr)
        return;
    sink = touchRecord(event);
    uint8_t sum = 0;
    for (std::size_t i = 0; i < engine.frameLength(); ++i)
        sum = static_cast<uint8_t>(sum + engine.frame()[i]);
    sink = sum;
    if (event.code == 14 || event.code == 6 || event.code == 8 || event.code == 19) {
        int32_t n;
        std::memcpy(&n, static_cast<const uint8_t *>(event.data) + RegisterRecordLayout::kLength,
                    sizeof n);
        const std::size_t capacity = event.code == 14 ? RegisterRecordLayout::kParamCapacity
                                                      : RegisterRecordLayout::kCapacity;
        QX_FUZZ_CHECK(n >= 0 && static_cast<std::size_t>(n) <= capacity);
    }
}

// One engine per process, cleared for each input: building the catalogue
// would otherwise cost more than decoding. No decode decision depends on
// what the records held before, so inputs still replay alike. The mode byte
// seeds the chunk sizes.
inline void decodeInChunks(ProtocolEngine &engine, const Input &input)
{
    engine.clear();
    uint32_t state = input.mode() * 2654435761u + 1;
    const std::span<const uint8_t> bytes = input.body();
    std::size_t at = 0;
    while (at < bytes.size()) {
        state = state * 1103515245u + 12345u;
        // mostly small reads, now and then a large one
        std::size_t chunk = (state >> 16) % 8 == 0 ? 1 + (state >> 8) % 1500 : 1 + (state >> 20) % 16;
        if (chunk > bytes.size() - at)
            chunk = bytes.size() - at;
        if (!engine.append(bytes.data() + at, chunk))
            engine.clearReceive(); // as the transports do with a full buffer
        checkedDecode(engine);
        at += chunk;
    }
    // whatever is left must still cut without harm
    for (int i = 0; i < 3; ++i)
        checkedDecode(engine);
}

} // namespace qx::fuzz
