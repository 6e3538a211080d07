// Which request goes out next: slots, modes, counters and the cursor.
#include <gtest/gtest.h>

#include "port_settings.h"
#include "test_frames.h"

namespace qx::test {
namespace {

const Bytes kReadHolding {0x01, 0x03, 0x00, 0x00, 0x00, 0x08, 0x44, 0x0C};
const Bytes kIdentity {0x01, 0x11, 0xC0, 0x2C};

RequestRecord record(uint8_t mode, int32_t counter = 0, uint32_t quantity = 8)
{
    RequestRecord r;
    r.setMode(mode);
    r.setCounter(counter);
    r.setAddress(1);
    r.setStart(0);
    r.setQuantity(quantity);
    return r;
}

void put(ProtocolEngine &engine, int slot, const RequestRecord &r, int32_t length = RequestLength::kRead)
{
    engine.put(slot, r.data(), length);
}

TEST(Scheduling, RepeatSlotSendsEveryTurnUntilStopped)
{
    ProtocolEngine engine(kFramingRtu);
    put(engine, kSlotReadHoldingRegisters, record(kModeRepeat));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(frameOf(engine.nextRequest()), kReadHolding);
    put(engine, kSlotReadHoldingRegisters, record(kModeIdle));
    EXPECT_EQ(engine.nextRequest().length, 0u);
}

TEST(Scheduling, NothingActiveExaminesEachSlotOnce)
{
    ProtocolEngine engine(kFramingRtu);
    EXPECT_EQ(engine.nextRequest().length, 0u);
    EXPECT_EQ(engine.cursor(), 72u);
    EXPECT_EQ(engine.nextRequest().length, 0u);
    EXPECT_EQ(engine.cursor(), 72u); // 72 was read as 0, then 72 slots on

    put(engine, kSlotReadCoils, record(kModeCounted, 1));
    EXPECT_EQ(frameOf(engine.nextRequest())[1], 0x01);
    EXPECT_EQ(engine.cursor(), 5u);
    EXPECT_EQ(engine.nextRequest().length, 0u);
    EXPECT_EQ(engine.cursor(), 5u);
}

TEST(Scheduling, CursorWrapsFromSlot71ToSlot0)
{
    ProtocolEngine engine(kFramingRtu);
    put(engine, kSlotPlcPacket, record(kModeCounted, 1), RequestLength::kTransferPacket);
    EXPECT_EQ(frameOf(engine.nextRequest())[1], 0x46);
    EXPECT_EQ(engine.cursor(), 19u);
    put(engine, kSlotIdentity, record(kModeRepeat), RequestLength::kIdentity);
    EXPECT_EQ(frameOf(engine.nextRequest()), kIdentity);
    EXPECT_EQ(engine.cursor(), 1u);
}

TEST(Scheduling, RepeatAndCountedSlotsShareTheLine)
{
    ProtocolEngine engine(kFramingRtu);
    put(engine, kSlotReadInputs, record(kModeRepeat, 0, 24));
    RequestRecord write = record(kModeCounted, 1, 24);
    put(engine, kSlotWriteCoils, write, RequestLength::kWriteCoils);

    std::vector<uint8_t> functions;
    for (int i = 0; i < 5; ++i)
        functions.push_back(frameOf(engine.nextRequest()).at(1));
    EXPECT_EQ(functions, (std::vector<uint8_t> {0x02, 0x0F, 0x02, 0x02, 0x02}));
    // the spent slot keeps its mode with the counter at 0
    const auto slot = engine.slotSnapshot(kSlotWriteCoils);
    EXPECT_EQ(slot[RequestLayout::kMode], kModeCounted);
    EXPECT_EQ(getI32le(slot.data(), RequestLayout::kCounter), 0);
}

TEST(Scheduling, TwoRepeatSlotsAlternate)
{
    ProtocolEngine engine(kFramingTcp);
    put(engine, kSlotReadHoldingRegisters, record(kModeRepeat));
    put(engine, kSlotReadInputRegisters, record(kModeRepeat), RequestLength::kReadInputRegisters);
    std::vector<uint8_t> functions;
    for (int i = 0; i < 4; ++i)
        functions.push_back(frameOf(engine.nextRequest()).at(7));
    EXPECT_EQ(functions, (std::vector<uint8_t> {0x04, 0x03, 0x04, 0x03}));
}

TEST(Scheduling, CountedSlotRewrittenWhileStillDueIsSentOnce)
{
    ProtocolEngine engine(kFramingRtu);
    put(engine, kSlotReadHoldingRegisters, record(kModeCounted, 1));
    put(engine, kSlotReadHoldingRegisters, record(kModeCounted, 1));
    EXPECT_EQ(frameOf(engine.nextRequest()), kReadHolding);
    EXPECT_EQ(engine.nextRequest().length, 0u);
}

TEST(Scheduling, CounterSpentEvenWhenNoFrameIsBuilt)
{
    ProtocolEngine engine(kFramingRtu);
    put(engine, kSlotWriteRegisters, record(kModeCounted, 2, 500), RequestLength::kWriteRegisters);
    EXPECT_EQ(engine.nextRequest().length, 0u);
    EXPECT_EQ(getI32le(engine.slotSnapshot(kSlotWriteRegisters).data(), RequestLayout::kCounter), 1);
}

TEST(Scheduling, NegativeCounterNeverSends)
{
    ProtocolEngine engine(kFramingRtu);
    put(engine, kSlotReadHoldingRegisters, record(kModeCounted, -3));
    EXPECT_EQ(engine.nextRequest().length, 0u);
    EXPECT_EQ(getI32le(engine.slotSnapshot(kSlotReadHoldingRegisters).data(), RequestLayout::kCounter), -3);
}

TEST(Scheduling, SlotsWithoutRequestKindNeverSend)
{
    ProtocolEngine engine(kFramingRtu);
    for (int slot : {1, 3, 7, 10, 13, 19, 71})
        put(engine, slot, record(slot % 2 ? kModeRepeat : kModeCounted, 5));
    EXPECT_EQ(engine.nextRequest().length, 0u);
    EXPECT_EQ(getI32le(engine.slotSnapshot(10).data(), RequestLayout::kCounter), 5);
}

TEST(Scheduling, PutIgnoresBadArguments)
{
    ProtocolEngine engine(kFramingRtu);
    const RequestRecord active = record(kModeRepeat);
    engine.put(72, active.data(), RequestLength::kRead);
    engine.put(-1, active.data(), RequestLength::kRead);
    engine.put(kSlotReadHoldingRegisters, active.data(), 2049);
    engine.put(kSlotReadHoldingRegisters, active.data(), -28);
    engine.put(kSlotReadHoldingRegisters, nullptr, RequestLength::kRead);
    EXPECT_EQ(engine.slotSnapshot(kSlotReadHoldingRegisters), (std::array<uint8_t, 2048> {}));
    EXPECT_EQ(engine.nextRequest().length, 0u);

    engine.put(kSlotReadHoldingRegisters, active.data(), 2048);
    EXPECT_EQ(frameOf(engine.nextRequest()), kReadHolding);
}

TEST(Scheduling, ShortPutKeepsTheRestOfTheSlot)
{
    ProtocolEngine engine(kFramingRtu);
    RequestRecord write = record(kModeIdle, 0, 8);
    write.payload()[0] = 0x5A;
    put(engine, kSlotWriteCoils, write, RequestLength::kWriteCoils);
    put(engine, kSlotWriteCoils, record(kModeCounted, 1, 8), RequestLength::kRead);
    EXPECT_EQ(frameOf(engine.nextRequest()), rtu({0x01, 0x0F, 0x00, 0x00, 0x00, 0x08, 0x01, 0x5A}));
}

TEST(Scheduling, ClearStopsEverySlotAndRewindsTheCursor)
{
    ProtocolEngine engine(kFramingRtu);
    put(engine, kSlotReadHoldingRegisters, record(kModeRepeat));
    engine.nextRequest();
    ASSERT_TRUE(feed(engine, {0x01, 0x03}));
    engine.clear();
    EXPECT_EQ(engine.cursor(), 0u);
    EXPECT_EQ(engine.receivedCount(), 0u);
    EXPECT_EQ(engine.nextRequest().length, 0u);
}

TEST(Scheduling, UnknownFramingSendsNothing)
{
    ProtocolEngine engine(2);
    put(engine, kSlotReadHoldingRegisters, record(kModeRepeat));
    EXPECT_EQ(engine.nextRequest().length, 0u);
}

} // namespace
} // namespace qx::test
