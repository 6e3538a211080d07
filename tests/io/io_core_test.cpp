// The I/O pages' rules without a window: request records, value texts,
// input checks, polling buttons and the trend's ring.
#include <gtest/gtest.h>

#include "analog_values.h"
#include "digital_display.h"
#include "byte_io.h"
#include "io_events.h"
#include "io_requests.h"
#include "pwm_values.h"
#include "record_readers.h"
#include "records.h"
#include "trend_ring.h"

namespace qx {
namespace {

std::vector<uint8_t> payload(const SlotRequest &r, std::size_t n)
{
    return {r.record.payload(), r.record.payload() + n};
}

// Slot, length, mode, counter, address, sub-station, start, quantity.
void expectRecord(const SlotRequest &r, int slot, int32_t length, uint8_t mode, uint8_t sub,
                  uint32_t start, uint32_t quantity)
{
    EXPECT_EQ(r.slot, slot);
    EXPECT_EQ(r.length, length);
    EXPECT_EQ(r.record.mode(), mode);
    EXPECT_EQ(r.record.counter(), mode == kModeCounted ? 1 : 0);
    EXPECT_EQ(r.record.address(), 7);
    EXPECT_EQ(r.record.subStation(), sub);
    EXPECT_EQ(r.record.start(), start);
    EXPECT_EQ(r.record.quantity(), quantity);
}

TEST(IoRequests, DigitalPointsMoveBy32PerSubStation)
{
    const IoTarget none {7, 0};
    const IoTarget first {7, 1};
    const IoTarget third {7, 3};
    expectRecord(pollInputsRequest(third), 2, 28, 2, 3, 64, 24);
    expectRecord(pollInputsRequest(first), 2, 28, 2, 1, 0, 24);
    expectRecord(pollInputsRequest(none), 2, 28, 2, 0, 0, 24);
    expectRecord(stopInputsRequest(third), 2, 28, 0, 3, 0, 0);
    expectRecord(pollOnlineRequest(third), 2, 28, 2, 3, 512, 32);
    expectRecord(pollOutputsRequest(third), 4, 28, 2, 3, 64, 24);
    expectRecord(stopOutputsRequest(none), 4, 28, 0, 0, 0, 0);

    const auto y5 = writeOutputRequest(third, 5, true);
    ASSERT_TRUE(y5);
    expectRecord(*y5, 5, 1052, 1, 3, 68, 1);
    EXPECT_EQ(payload(*y5, 1), std::vector<uint8_t>{1});
    EXPECT_EQ(payload(*writeOutputRequest(none, 24, false), 1), std::vector<uint8_t>{0});
    EXPECT_EQ(writeOutputRequest(none, 24, false)->record.start(), 23u);
    EXPECT_FALSE(writeOutputRequest(none, 25, true));
    EXPECT_FALSE(writeOutputRequest(none, 32, true));

    const SlotRequest allOn = writeAllOutputsRequest(third, true);
    expectRecord(allOn, 5, 1052, 1, 3, 64, 24);
    EXPECT_EQ(payload(allOn, 4), (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(payload(writeAllOutputsRequest(none, false), 4), (std::vector<uint8_t>{0, 0, 0, 0}));
}

TEST(IoRequests, AnalogRegistersMoveBy16And8)
{
    const IoTarget second {7, 2};
    expectRecord(pollAnalogInputsRequest(second), 6, 32, 2, 2, 16, 16);
    expectRecord(pollAnalogInputsRequest({7, 0}), 6, 32, 2, 0, 0, 16);
    expectRecord(stopAnalogInputsRequest(second), 6, 32, 0, 2, 0, 0);
    expectRecord(pollAnalogOutputsRequest(second), 8, 28, 2, 2, 8, 8);
    expectRecord(stopAnalogOutputsRequest(second), 8, 28, 0, 2, 0, 0);

    const SlotRequest ao5 = writeAnalogOutputRequest(second, 5, 1000);
    expectRecord(ao5, 9, 1056, 1, 2, 12, 1);
    EXPECT_EQ(payload(ao5, 2), (std::vector<uint8_t>{0x03, 0xE8}));
    EXPECT_EQ(writeAnalogOutputRequest({7, 0}, 8, 1).record.start(), 7u);
}

TEST(IoRequests, PwmIgnoresTheSubStationCountersDoNot)
{
    const SlotRequest y1 = pwmSettingsRequest({7, 0}, 0, kPwmMicroseconds, 50000, 50000);
    expectRecord(y1, 9, 1056, 1, 0, 16, 3);
    EXPECT_EQ(payload(y1, 6), (std::vector<uint8_t>{0x00, 0x00, 0xC3, 0x50, 0xC3, 0x50}));
    expectRecord(pwmSettingsRequest({7, 3}, 2, kPwmMilliseconds, 1, 3), 9, 1056, 1, 3, 28, 3);
    EXPECT_EQ(pwmSettingsRequest({7, 0}, 3, kPwmSeconds, 1, 3).record.start(), 34u);

    const SlotRequest y3 = pwmRunRequest({7, 4}, 1, true);
    expectRecord(y3, 5, 1052, 1, 4, 34, 1);
    EXPECT_EQ(payload(y3, 1), std::vector<uint8_t>{0xFF});
    EXPECT_EQ(payload(pwmRunRequest({7, 0}, 3, false), 1), std::vector<uint8_t>{0x00});
    EXPECT_EQ(pwmRunRequest({7, 0}, 3, false).record.start(), 38u);

    const IoTarget none {7, 0};
    const IoTarget second {7, 2};
    expectRecord(pollCountersRequest(none, kCountersX1to4), 6, 32, 2, 0, 24, 8);
    expectRecord(pollCountersRequest(none, kCountersX5to12), 6, 32, 2, 0, 32, 16);
    expectRecord(pollCountersRequest(none, kCountersX13to24), 6, 32, 2, 0, 48, 24);
    expectRecord(pollCountersRequest(none, kCountersAll), 6, 32, 2, 0, 24, 48);
    expectRecord(pollCountersRequest(second, kCountersX1to4), 6, 32, 2, 2, 280, 8);
    expectRecord(pollCountersRequest(second, kCountersX5to12), 6, 32, 2, 2, 288, 16);
    expectRecord(pollCountersRequest(second, kCountersX13to24), 6, 32, 2, 2, 304, 24);
    expectRecord(pollCountersRequest(second, kCountersAll), 6, 32, 2, 2, 280, 48);
    expectRecord(stopCountersRequest(second), 6, 32, 0, 2, 0, 0);

    const SlotRequest clear = clearCountersRequest(none);
    expectRecord(clear, 5, 1052, 1, 0, 64, 24);
    EXPECT_EQ(payload(clear, 4), (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(clearCountersRequest(second).record.start(), 544u);
}

TEST(AnalogValues, ScaledInSinglePrecision)
{
    ScalingTables t = ScalingTables::zeroed();
    t.aiNoise[0] = 100;
    t.aiRatio[0] = 0.5f;
    EXPECT_EQ(scaledInputText(t, 1, 300), "100.000000");
    EXPECT_EQ(scaledInputText(t, 1, 50), "25.000000"); // below the noise: nothing taken off
    EXPECT_EQ(scaledInputText(t, 1, 100), "0.000000");
    // 2^24 + 1 has no float: the product is a float, not a double
    t.aiRatio[1] = 1.0f;
    EXPECT_EQ(scaledInputText(t, 2, 16777217), "16777216.000000");
    t.aoNoise[7] = 1000;
    t.aoRatio[7] = 0.25f;
    EXPECT_EQ(scaledOutputText(t, 8, 1000), "250.000000"); // no noise for outputs

    const ScalingTables start; // before any file: raw values pass unchanged
    EXPECT_EQ(scaledInputText(start, 3, 12345), "12345.000000");
    const ScalingColumns c = inputScalingColumns(t, 1);
    EXPECT_EQ(c.noise, "100");
    EXPECT_EQ(c.ratio, "0.500000");
    EXPECT_EQ(c.unit, "无");
    t.aoUnit[0] = 6;
    EXPECT_EQ(outputScalingColumns(t, 1).unit, "ma毫安");
}

TEST(AnalogValues, OutputValueMustBeA16BitNumber)
{
    EXPECT_EQ(checkAnalogOutput("1000", 5).value, 1000);
    EXPECT_EQ(checkAnalogOutput(" 65535 ", 5).value, 65535);
    EXPECT_TRUE(checkAnalogOutput("0", 5).ok);
    EXPECT_EQ(checkAnalogOutput("+5", 5).value, 5);
    for (const char *bad : {"65536", "-1", "1.5", "1e3", "abc", "", "  ", "12 3", "99999999999"}) {
        const AnalogOutputCheck r = checkAnalogOutput(bad, 3);
        EXPECT_FALSE(r.ok) << bad;
        EXPECT_EQ(r.message, "AO3的输出值无效,请输入0~65535之间的整数！") << bad;
    }
}

TEST(PwmValues, FrequencyAndDuty)
{
    PwmFigures f = pwmFigures(kPwmMicroseconds, 50000, 50000);
    EXPECT_EQ(f.frequency, "10.000000");
    EXPECT_EQ(f.duty, "50.000000");
    f = pwmFigures(kPwmMilliseconds, 1, 3);
    EXPECT_EQ(f.frequency, "250.000000");
    EXPECT_EQ(f.duty, "25.000000");
    f = pwmFigures(kPwmSeconds, 1, 1);
    EXPECT_EQ(f.frequency, "0.500000");
    f = pwmFigures(kPwmMicroseconds, 65535, 65535); // the sum does not wrap at 16 bits
    EXPECT_EQ(f.frequency, "7.629511");
    EXPECT_EQ(f.duty, "50.000000");
    // a zero period has no frequency and no duty: no "inf" or "nan" on screen
    f = pwmFigures(kPwmMilliseconds, 0, 0);
    EXPECT_EQ(f.frequency, "--");
    EXPECT_EQ(f.duty, "--");
    EXPECT_EQ(pwmFigures(kPwmMicroseconds, 0, 10).duty, "0.000000");
}

TEST(PwmValues, TimeMustBeA16BitNumber)
{
    EXPECT_EQ(checkPwmTime("50000", 0, true).value, 50000);
    EXPECT_TRUE(checkPwmTime("0", 0, true).ok);
    const PwmTimeCheck r = checkPwmTime("70000", 2, false);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "PWM-Y5的单周期低电平时间(us/ms/s)无效,请输入0~65535之间的整数！");
    EXPECT_EQ(checkPwmTime("x", 3, true).message,
              "PWM-Y7的单周期高电平时间(us/ms/s)无效,请输入0~65535之间的整数！");
}

TEST(CounterDisplay, GroupsTakeTheValuesInTurn)
{
    std::vector<uint32_t> v(48);
    for (std::size_t i = 0; i < v.size(); ++i)
        v[i] = static_cast<uint32_t>(100 + i);

    CounterUpdates u = counterUpdates(std::span(v).first(4), kCountersX1to4);
    EXPECT_EQ(u[0], 100u);
    EXPECT_EQ(u[3], 103u);
    EXPECT_FALSE(u[4]);

    u = counterUpdates(std::span(v).first(8), kCountersX5to12);
    EXPECT_FALSE(u[3]);
    EXPECT_EQ(u[4], 100u); // "X5计数:" shows the first value
    EXPECT_EQ(u[11], 107u);
    EXPECT_FALSE(u[12]);

    u = counterUpdates(std::span(v).first(24), kCountersAll);
    EXPECT_EQ(u[0], 100u);
    EXPECT_EQ(u[23], 123u);

    u = counterUpdates(std::span(v).first(12), kCountersX1to4 | kCountersX13to24);
    EXPECT_EQ(u[3], 103u);
    EXPECT_FALSE(u[4]);
    EXPECT_EQ(u[12], 104u);
    EXPECT_EQ(u[19], 111u);
    EXPECT_FALSE(u[20]); // fewer values than the groups ask for: the rest stay

    // a status report's flag byte: only the weights 16, 32 and 64 select
    u = counterUpdates(std::span(v).first(32), 0x7F);
    EXPECT_EQ(u[23], 123u);
    EXPECT_FALSE(counterUpdates(v, 0x0F)[0]);
}

TEST(CounterDisplay, MaskDecidesTheFreeButtons)
{
    const CounterButtons idle = counterButtons(kCountersNone);
    EXPECT_TRUE(idle.x1to4 && idle.x5to12 && idle.x13to24 && idle.all);
    for (uint8_t g : {kCountersX1to4, kCountersX5to12, kCountersX13to24}) {
        const CounterButtons b = counterButtons(g);
        EXPECT_FALSE(b.x1to4 || b.x5to12 || b.x13to24 || b.all);
    }
    const CounterButtons all = counterButtons(kCountersAll);
    EXPECT_TRUE(all.x1to4 && all.x5to12 && all.x13to24);
    EXPECT_FALSE(all.all);
}

TEST(DigitalDisplay, BitsThatArrivedAreShown)
{
    const uint8_t bits[] = {0x01, 0x00, 0x80, 0xFF};
    InputDisplay d = inputDisplay(bits, false);
    EXPECT_EQ(d.inputs[0], true);
    EXPECT_EQ(d.inputs[1], false);
    EXPECT_EQ(d.inputs[22], false);
    EXPECT_EQ(d.inputs[23], true);
    EXPECT_FALSE(d.online[0]);

    const uint8_t online[] = {0x03, 0x00, 0x80};
    d = inputDisplay(online, true);
    EXPECT_EQ(d.online[0], true);
    EXPECT_EQ(d.online[1], true);
    EXPECT_EQ(d.online[2], false);
    EXPECT_FALSE(d.inputs[0]); // X1 and X2 stay as they were
    EXPECT_FALSE(d.inputs[9]);
    EXPECT_EQ(d.inputs[10], false);
    EXPECT_EQ(d.inputs[23], true);

    const BitUpdates y = outputDisplay(std::span(bits).first(1));
    EXPECT_EQ(y[0], true);
    EXPECT_EQ(y[7], false);
    EXPECT_FALSE(y[8]); // one byte came: Y9..Y24 keep their flags
    EXPECT_EQ(outputCaption(5, true), "Y5/ON");
    EXPECT_EQ(outputCaption(24, false), "Y24/OFF");
}

TEST(DigitalDisplay, Slot2IsSharedByInputAndOnlinePolling)
{
    DidoPollState s;
    DidoButtons b = s.buttons();
    EXPECT_TRUE(b.pollInputs && b.stopInputs && b.pollOnline && b.stopOnline && b.pollOutputs);

    s.inputsStarted();
    b = s.buttons();
    EXPECT_FALSE(b.pollInputs || b.pollOnline || b.stopOnline);
    EXPECT_TRUE(b.stopInputs && b.pollOutputs);

    s.onlineStarted(); // not reachable by buttons now, but replaces the input poll
    EXPECT_TRUE(s.onlineFlag());
    b = s.buttons();
    EXPECT_FALSE(b.pollInputs || b.stopInputs || b.pollOnline);
    EXPECT_TRUE(b.stopOnline);

    s.slot2Stopped();
    EXPECT_TRUE(s.onlineFlag()); // stopping leaves the flag; only "轮读DI" clears it
    b = s.buttons();
    EXPECT_TRUE(b.pollInputs && b.stopInputs && b.pollOnline && b.stopOnline);
    s.inputsStarted();
    EXPECT_FALSE(s.onlineFlag());

    s.outputsStarted();
    EXPECT_FALSE(s.buttons().pollOutputs);
    s.portClosed();
    b = s.buttons();
    EXPECT_TRUE(b.pollInputs && b.stopInputs && b.pollOnline && b.stopOnline && b.pollOutputs);
}

std::array<float, kAnalogChannels> values(float v)
{
    std::array<float, kAnalogChannels> a;
    a.fill(v);
    return a;
}

TEST(TrendRing, KeepsTheLastWindowInFixedSlots)
{
    TrendRing ring(1000, 10); // 100 ms slots
    ring.add(0, values(1));
    ring.add(50, values(2)); // same slot: the latest wins
    ASSERT_EQ(ring.size(), 1u);
    EXPECT_EQ(ring.at(0).values[0], 2.0f);
    EXPECT_EQ(ring.at(0).timeMs, 50);

    ring.add(30, values(3)); // a time that runs back counts as the newest
    ASSERT_EQ(ring.size(), 1u);
    EXPECT_EQ(ring.at(0).values[7], 3.0f);

    for (int64_t t = 100; t < 100000; t += 7)
        ring.add(t, values(static_cast<float>(t)));
    EXPECT_EQ(ring.size(), ring.capacity());
    EXPECT_EQ(ring.capacity(), 10u);
    for (std::size_t i = 1; i < ring.size(); ++i)
        EXPECT_GT(ring.at(i).timeMs, ring.at(i - 1).timeMs);
    EXPECT_EQ(ring.at(ring.size() - 1).timeMs, 99997);
    EXPECT_EQ(ring.countSince(99997), 10u);
    EXPECT_EQ(ring.countSince(99997 + 500), 5u);
    EXPECT_EQ(ring.countSince(200000), 0u);

    ring.clear();
    EXPECT_EQ(ring.size(), 0u);
    EXPECT_EQ(ring.countSince(0), 0u);
}

TEST(IoEvents, RegistersAreBigEndianAndCountedWhole)
{
    auto in = readInputRegisterValues(
        qxtest::registerRecord({0x00, 0x01, 0x00, 0x02, 0xFF, 0xFF, 0xFF, 0xFE, 0x12, 0x34}).data());
    EXPECT_EQ(in.count, 2u); // the last two bytes are half a value
    EXPECT_EQ(in.values[0], 0x00010002u);
    EXPECT_EQ(in.values[1], 0xFFFFFFFEu);
    EXPECT_EQ(in.first(8).size(), 2u);
    auto hold = readHoldingRegisterValues(qxtest::registerRecord({0x12, 0x34, 0xAB, 0xCD, 0x01}).data());
    EXPECT_EQ(hold.count, 2u);
    EXPECT_EQ(hold.values[0], 0x1234);
    EXPECT_EQ(hold.values[1], 0xABCD);
    auto lengthBeyondRecord = qxtest::registerRecord({});
    putI32le(lengthBeyondRecord.data(), RegisterRecordLayout::kLength, 100000);
    EXPECT_EQ(readInputRegisterValues(lengthBeyondRecord.data()).count, 48u);
}

TEST(IoEvents, StatusReportSectionsFollowTheFlags)
{
    std::vector<uint8_t> bytes {0x05, 0xAA, 0xBB, 0xCC, 0xDD};
    for (int i = 0; i < 8; ++i) {
        bytes.insert(bytes.end(), {0, 0, 0, static_cast<uint8_t>(i + 1)});
    }
    auto r = readStatusReport(qxtest::registerRecord(bytes).data());
    EXPECT_EQ(r.flags, 0x05);
    ASSERT_TRUE(r.inputBits);
    EXPECT_EQ((*r.inputBits)[3], 0xDD);
    EXPECT_FALSE(r.coilBits);
    ASSERT_TRUE(r.analog32);
    EXPECT_EQ((*r.analog32)[7], 8u);
    EXPECT_FALSE(r.pulse);
}

TEST(IoEvents, StatusReportShorterThanItsFlagsStops)
{
    auto r = readStatusReport(qxtest::registerRecord({0x13, 1, 2, 3, 4, 5, 6, 7, 8}).data());
    EXPECT_TRUE(r.inputBits);
    EXPECT_TRUE(r.coilBits);
    EXPECT_FALSE(r.pulse); // 128 bytes announced, none there
}

// Events 2 and 4 carry the count of bit bytes that arrived: a short answer
// updates only its own bits.
TEST(IoEvents, ShortBitAnswerLeavesTheOtherBitsAlone)
{
    const auto record = qxtest::bitRecord({0x05});
    const auto bits = readBitBytes(record.data());
    ASSERT_EQ(bits.size(), 1u);
    const InputDisplay d = inputDisplay(bits, false);
    EXPECT_EQ(d.inputs[0], true);
    EXPECT_EQ(d.inputs[1], false);
    EXPECT_FALSE(d.inputs[8]); // X9 did not arrive
    const auto empty = qxtest::bitRecord({});
    EXPECT_FALSE(outputDisplay(readBitBytes(empty.data()))[0]);
}

} // namespace
} // namespace qx
