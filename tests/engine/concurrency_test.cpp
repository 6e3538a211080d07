// The host's thread writes slots and drops received bytes while the worker
// builds and decodes: every frame must be whole.
#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "event_codes.h"
#include "port_settings.h"
#include "test_frames.h"

namespace qx::test {
namespace {

RequestRecord writeRegisters(uint8_t address, uint16_t quantity, uint8_t fill)
{
    RequestRecord r;
    r.setMode(kModeRepeat);
    r.setAddress(address);
    r.setStart(address * 100u);
    r.setQuantity(quantity);
    for (std::size_t i = 0; i < 2u * quantity; ++i)
        r.payload()[i] = static_cast<uint8_t>(fill + i);
    return r;
}

Bytes expectedFrame(const RequestRecord &r)
{
    ProtocolEngine engine(kFramingRtu);
    engine.put(kSlotWriteRegisters, r.data(), RequestLength::kWriteRegisters);
    return frameOf(engine.nextRequest());
}

TEST(Concurrency, PutWhileBuildingNeverTearsAFrame)
{
    const RequestRecord a = writeRegisters(1, 3, 0x10);
    const RequestRecord b = writeRegisters(2, 120, 0x80);
    const Bytes frameA = expectedFrame(a);
    const Bytes frameB = expectedFrame(b);
    ASSERT_EQ(frameA.size(), 15u);
    ASSERT_EQ(frameB.size(), 249u);

    ProtocolEngine engine(kFramingRtu);
    engine.put(kSlotWriteRegisters, a.data(), RequestLength::kWriteRegisters);
    std::atomic<bool> done {false};
    std::thread host([&] {
        for (int i = 0; i < 200000; ++i) {
            const RequestRecord &r = i % 2 ? a : b;
            engine.put(kSlotWriteRegisters, r.data(), RequestLength::kWriteRegisters);
        }
        done = true;
    });

    int torn = 0;
    int built = 0;
    while (!done || built < 1000) {
        const Bytes frame = frameOf(engine.nextRequest());
        ++built;
        if (frame != frameA && frame != frameB)
            ++torn;
    }
    host.join();
    EXPECT_EQ(torn, 0) << "of " << built << " frames";
}

TEST(Concurrency, ClearReceiveWhileDecodingNeverCutsAMixedFrame)
{
    ProtocolEngine engine(kFramingRtu);
    const Bytes response = rtu({0x01, 0x03, 0x04, 0x12, 0x34, 0x56, 0x78});
    std::atomic<bool> done {false};
    std::thread host([&] {
        for (int i = 0; i < 20000; ++i)
            engine.clearReceive();
        done = true;
    });

    int decoded = 0;
    int wrong = 0;
    while (!done || decoded < 100) {
        if (!feed(engine, response))
            engine.clearReceive();
        const auto event = engine.decode();
        if (event.data == nullptr)
            continue;
        ++decoded;
        if (event.code != kEventHoldingRegisters
            || Bytes(engine.frame(), engine.frame() + engine.frameLength()) != response)
            ++wrong;
    }
    host.join();
    EXPECT_EQ(wrong, 0) << "of " << decoded << " responses";
}

} // namespace
} // namespace qx::test
