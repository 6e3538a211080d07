// The I/O pages' writes: one outstanding per command slot, the rest in
// order behind it, and nothing lost or grown without bound in between.
#include <gtest/gtest.h>

#include "io_requests.h"
#include "write_queue.h"

namespace qx {
namespace {

const IoTarget kModule {1, 0};

SlotRequest output(int n, bool on, IoTarget target = kModule)
{
    return *writeOutputRequest(target, n, on);
}

// Which output a single-point coil write sets, and to what: "Y3=1".
std::string described(const std::optional<SlotRequest> &w)
{
    if (!w)
        return "nothing";
    if (w->slot == kSlotWriteRegisters)
        return "register " + std::to_string(w->record.start());
    if (w->record.quantity() != 1)
        return std::string("all=") + (w->record.payload()[0] ? "1" : "0");
    return "Y" + std::to_string(w->record.start() + 1) + "=" + std::to_string(w->record.payload()[0]);
}

TEST(WriteQueue, OneWritePerSlotOutstandingTheOthersFollowItsAcknowledgement)
{
    WriteQueue q;
    EXPECT_EQ(described(q.submit(output(1, false), 0)), "Y1=0");
    EXPECT_EQ(described(q.submit(output(3, true), 1)), "nothing");
    EXPECT_EQ(described(q.submit(output(5, true), 2)), "nothing");
    // the register slot has a line of its own
    EXPECT_EQ(described(q.submit(writeAnalogOutputRequest(kModule, 2, 7), 3)), "register 1");
    EXPECT_EQ(q.waiting(kSlotWriteCoils), 2u);

    EXPECT_EQ(described(q.acknowledged(kSlotWriteCoils, 10)), "Y3=1");
    EXPECT_EQ(described(q.acknowledged(kSlotWriteCoils, 20)), "Y5=1");
    EXPECT_TRUE(q.outstanding(kSlotWriteCoils));
    EXPECT_EQ(described(q.acknowledged(kSlotWriteCoils, 30)), "nothing");
    EXPECT_FALSE(q.outstanding(kSlotWriteCoils));
    EXPECT_TRUE(q.outstanding(kSlotWriteRegisters));

    // a late answer while nothing is outstanding lets no write jump ahead
    EXPECT_EQ(described(q.acknowledged(kSlotWriteCoils, 40)), "nothing");
    EXPECT_EQ(described(q.submit(output(7, true), 50)), "Y7=1");
    EXPECT_EQ(described(q.submit(output(8, true), 51)), "nothing");
    EXPECT_EQ(described(q.acknowledged(kSlotWriteRegisters, 52)), "nothing");
    EXPECT_EQ(q.waiting(kSlotWriteCoils), 1u);
}

TEST(WriteQueue, UnansweredWriteGivesWayAfterTheAnswerTimeout)
{
    WriteQueue q;
    EXPECT_FALSE(q.nextDeadline());
    ASSERT_TRUE(q.submit(output(1, true), 100));
    q.submit(output(2, true), 150);
    q.submit(output(3, true), 160);
    EXPECT_EQ(q.nextDeadline(), 100 + kWriteAnswerTimeoutMs);
    EXPECT_TRUE(q.expire(99 + kWriteAnswerTimeoutMs).empty());

    std::vector<SlotRequest> due = q.expire(100 + kWriteAnswerTimeoutMs);
    ASSERT_EQ(due.size(), 1u);
    EXPECT_EQ(described(due[0]), "Y2=1");
    // the next one has its own full wait from when it was placed
    EXPECT_EQ(q.nextDeadline(), 100 + 2 * kWriteAnswerTimeoutMs);
    EXPECT_EQ(described(q.acknowledged(kSlotWriteCoils, 200 + kWriteAnswerTimeoutMs)), "Y3=1");
    EXPECT_EQ(q.nextDeadline(), 200 + 2 * kWriteAnswerTimeoutMs);
    EXPECT_TRUE(q.expire(200 + 2 * kWriteAnswerTimeoutMs).empty());
    EXPECT_FALSE(q.outstanding(kSlotWriteCoils));
    EXPECT_FALSE(q.nextDeadline());

    // three polls ahead of it in the round-robin: three turns more
    q.setPollingSlots(3);
    ASSERT_TRUE(q.submit(output(4, true), 1000));
    q.submit(output(5, true), 1001);
    EXPECT_TRUE(q.expire(1000 + kWriteAnswerTimeoutMs + 2 * kLibraryTurnMs).empty());
    EXPECT_EQ(q.expire(1000 + kWriteAnswerTimeoutMs + 3 * kLibraryTurnMs).size(), 1u);
}

TEST(WriteQueue, NewestWriteToTheSamePointsReplacesTheWaitingOne)
{
    WriteQueue q;
    ASSERT_TRUE(q.submit(output(2, true), 0));
    q.submit(output(1, true), 1);
    q.submit(writeAllOutputsRequest(kModule, true), 2);
    q.submit(output(1, false), 3);
    // Y1=1 is gone; Y1=0 comes after "全开", so Y1 ends off as last pressed
    EXPECT_EQ(q.waiting(kSlotWriteCoils), 2u);
    EXPECT_EQ(described(q.acknowledged(kSlotWriteCoils, 4)), "all=1");
    EXPECT_EQ(described(q.acknowledged(kSlotWriteCoils, 5)), "Y1=0");

    // hammering one button keeps one waiting write, the last state
    for (int i = 0; i < 1000; ++i)
        q.submit(output(4, i % 2 == 0), 6);
    EXPECT_EQ(q.waiting(kSlotWriteCoils), 1u);
    // the same point of another module is another write
    q.submit(output(4, true, {2, 0}), 7);
    EXPECT_EQ(q.waiting(kSlotWriteCoils), 2u);
    EXPECT_EQ(described(q.acknowledged(kSlotWriteCoils, 8)), "Y4=0");
    const auto other = q.acknowledged(kSlotWriteCoils, 9);
    ASSERT_TRUE(other);
    EXPECT_EQ(other->record.address(), 2);
}

TEST(WriteQueue, ClosedPortDropsWhatWaits)
{
    WriteQueue q;
    ASSERT_TRUE(q.submit(output(1, true), 0));
    q.submit(output(2, true), 1);
    ASSERT_TRUE(q.submit(writeAnalogOutputRequest(kModule, 1, 5), 2));
    q.submit(writeAnalogOutputRequest(kModule, 2, 5), 3);
    q.clear();
    EXPECT_EQ(q.waiting(kSlotWriteCoils) + q.waiting(kSlotWriteRegisters), 0u);
    EXPECT_FALSE(q.nextDeadline());
    EXPECT_EQ(described(q.acknowledged(kSlotWriteCoils, 4)), "nothing");
    EXPECT_TRUE(q.expire(10 * kWriteAnswerTimeoutMs).empty());
    // the first write on the new port goes out at once
    EXPECT_EQ(described(q.submit(output(3, true), 5)), "Y3=1");
}

} // namespace
} // namespace qx
