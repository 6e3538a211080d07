// The module's PLC runtime: which images decode, and what the rows do scan
// by scan over the simulated I/O, with time driven by the test.
#include "plc_runtime.h"

#include <gtest/gtest.h>

#include <vector>

#include "plc_project.h"
#include "status_report_layout.h"

using namespace qx;
using namespace qx::sim;

namespace {

namespace C = plc_code;
constexpr uint64_t kScanUs = 10'000;

// Row shorthands: code, unit, operator, a, b.
PlcRow row(uint8_t code, uint8_t unit, uint8_t op, uint32_t a = 0, uint32_t b = 0)
{
    return {code, unit, op, a, b};
}
uint8_t x(int n) { return static_cast<uint8_t>(C::kSourceInputFirst + n - 1); }
uint8_t xcnt(int n) { return static_cast<uint8_t>(C::kCounterFirst + n - 1); }
uint8_t ySource(int n) { return static_cast<uint8_t>(C::kSourceOutputFirst + n - 1); }
uint8_t y(int n) { return static_cast<uint8_t>(C::kObjectOutputFirst + n - 1); }
uint8_t ao(int n) { return static_cast<uint8_t>(C::kAnalogFirst + n - 1); }
uint8_t et(int n) { return static_cast<uint8_t>(C::kExtTimerFirst + n - 1); }
uint8_t it(int n) { return static_cast<uint8_t>(C::kSelfTimerFirst + n - 1); }
constexpr uint8_t kDio = C::kUnitDio;
constexpr uint8_t kMs = C::kUnitMs;
constexpr uint8_t kCnt = C::kUnitCnt;
constexpr uint8_t kGroupDio = 219;
constexpr uint8_t kGroupAi = 220;
constexpr uint8_t kGroupXcnt = 223;

void addBlock(PlcProject &p, int n, const std::vector<PlcRow> &conditions, const std::vector<PlcRow> &actions)
{
    p.setState(n, kBlockRuns);
    for (std::size_t r = 0; r < conditions.size(); ++r)
        p.setRow(n, PlcRowKind::Condition, static_cast<int>(r), conditions[r]);
    for (std::size_t r = 0; r < actions.size(); ++r)
        p.setRow(n, PlcRowKind::Action, static_cast<int>(r), actions[r]);
}

PlcDecodeResult decode(const PlcProject &p)
{
    return decodePlcImage(p.bytes().data(), p.bytes().size());
}

// A running program over I/O in test mode, scanned every 10 ms from t = 0.
struct Plc
{
    IoState io;
    PlcRuntime runtime;
    uint64_t now = 0;

    explicit Plc(const PlcProject &p, bool testMode = true)
    {
        io.advance(0);
        io.writeCoil(IoMap::kTestModeCoil, testMode);
        const PlcDecodeResult r = decode(p);
        EXPECT_TRUE(r.ok) << r.message;
        runtime.start(r.program);
    }
    void scans(int n)
    {
        for (int i = 0; i < n; ++i) {
            io.advance(now);
            runtime.scan(now, io);
            now += kScanUs;
        }
    }
    void setX(int n, bool on) { io.writeCoil(IoMap::kTestInputCoil + n - 1, on); }
    bool yOn(int n) const { return io.coil(std::size_t(n - 1)); }
    uint16_t aoValue(int n) const { return io.holdingRegister(IoMap::kAoRegister + std::size_t(n - 1)); }
    uint32_t inputU32(std::size_t reg) const
    {
        return (uint32_t(io.inputRegister(reg)) << 16) | io.inputRegister(reg + 1);
    }
};

} // namespace

TEST(PlcDecode, OnlyRunningBlocksAreReadInBlockOrder)
{
    PlcProject p;
    addBlock(p, 7, {row(x(1), kDio, C::kCondEqual, 1)}, {row(y(1), kDio, C::kActAssign, 1)});
    addBlock(p, 2, {row(x(2), kDio, C::kCondEqual, 1), row(x(3), kDio, C::kCondFromTo, 0, 1)},
             {row(y(2), kDio, C::kActAssign, 1)});
    // rows that could not run, in blocks that do not run
    addBlock(p, 3, {row(250, 0, 99)}, {row(255, 0, 99)});
    p.setState(3, kBlockStopped);
    p.block(50)[PlcBlock::kState] = 0x5A;
    p.block(50)[PlcBlock::kCondSource] = 77;

    const PlcDecodeResult r = decode(p);
    ASSERT_TRUE(r.ok) << r.message;
    ASSERT_EQ(r.program.blocks.size(), 2u);
    EXPECT_EQ(r.program.blocks[0].number, 2);
    EXPECT_EQ(r.program.blocks[0].conditions.size(), 2u);
    EXPECT_EQ(r.program.blocks[1].number, 7);
}

TEST(PlcDecode, RowsTheModuleCannotRunAreRefusedWithBlockAndRow)
{
    struct Case
    {
        bool condition;
        PlcRow r;
        const char *message;
    };
    const Case cases[] = {
        {true, row(75, C::kUnitRaw, C::kCondGreater, 5), "block 4, condition 3: source 75 (预留) is not on this module"},
        {true, row(245, 0, C::kCondEqual), "block 4, condition 3: source 245 is not on this module"},
        {true, row(x(1), kDio, 0), "block 4, condition 3: operator 0 (空) cannot test x1输入"},
        {true, row(et(1), kMs, C::kCondGreater, 5), "operator 3 (>大于) cannot test et1外触发定时器"},
        {true, row(xcnt(1), C::kUnitVar, C::kCondEqual, 257), "block 4, condition 3: variable number 257 is outside 1..256"},
        {false, row(y(2), C::kUnitRat, C::kActPulse, 10, floatBits(50)), "block 4, action 3: y2输出 has no pulse output"},
        {false, row(y(1), kDio, C::kActAdd, 1), "block 4, action 3: operator 2 (+加) cannot act on y1输出"},
        {false, row(73, C::kUnitRaw, C::kActAssign, 1), "object 73 (预留) is not on this module"},
        {false, row(kGroupDio, 0, C::kActAssign, 1), "operator 1 (=等于) cannot act on DIO"},
        {false, row(C::kObjectDelay, C::kUnitVar, C::kActAssign, 0), "variable number 0 is outside 1..256"},
    };
    for (const Case &c : cases) {
        PlcProject p;
        addBlock(p, 4, {row(x(1), kDio, C::kCondEqual, 1)}, {row(y(1), kDio, C::kActAssign, 1)});
        p.setRow(4, c.condition ? PlcRowKind::Condition : PlcRowKind::Action, 3, c.r);
        const PlcDecodeResult r = decode(p);
        EXPECT_FALSE(r.ok) << c.message;
        EXPECT_NE(r.message.find(c.message), std::string::npos) << r.message;
    }
    const std::vector<uint8_t> shortImage(100, 0);
    EXPECT_EQ(decodePlcImage(shortImage.data(), shortImage.size()).message, "image of 100 bytes, expected 25600");
}

TEST(PlcScan, EdgesHoldOnceAndAreSeenWhileAnotherRowFails)
{
    PlcProject p;
    addBlock(p, 0, {row(x(1), kDio, C::kCondFromTo, 0, 1)}, {row(ao(1), C::kUnitRaw, C::kActAdd, 1)});
    // x2 rises while y32 is off: when y32 comes on, that edge is past
    addBlock(p, 1, {row(ySource(32), kDio, C::kCondEqual, 1), row(x(2), kDio, C::kCondFromTo, 0, 1)},
             {row(ao(2), C::kUnitRaw, C::kActAdd, 1)});
    Plc plc(p);
    plc.setX(1, true); // already on at the first scan: no edge
    plc.scans(3);
    EXPECT_EQ(plc.aoValue(1), 0);
    plc.setX(1, false);
    plc.scans(1);
    plc.setX(1, true);
    plc.scans(5);
    EXPECT_EQ(plc.aoValue(1), 1);

    plc.io.writeCoil(31, true);
    plc.scans(1);
    plc.io.writeCoil(31, false);
    plc.setX(2, true);
    plc.scans(1);
    plc.io.writeCoil(31, true);
    plc.scans(5);
    EXPECT_EQ(plc.aoValue(2), 0);
    plc.setX(2, false);
    plc.scans(1);
    plc.setX(2, true);
    plc.scans(1);
    EXPECT_EQ(plc.aoValue(2), 1);
}

TEST(PlcScan, LaterBlocksSeeWhatEarlierOnesDidInTheSameScan)
{
    PlcProject p;
    addBlock(p, 0, {row(x(1), kDio, C::kCondEqual, 1)}, {row(y(1), kDio, C::kActAssign, 1)});
    addBlock(p, 1, {row(ySource(1), kDio, C::kCondEqual, 1)}, {row(y(2), kDio, C::kActAssign, 1)});
    Plc plc(p);
    plc.setX(1, true);
    plc.scans(1);
    EXPECT_TRUE(plc.yOn(1));
    EXPECT_TRUE(plc.yOn(2));
    EXPECT_EQ(plc.runtime.heldBlocks(), (std::vector<uint8_t> {0, 1}));
}

TEST(PlcScan, ExternalTimerHoldsFromItsEndUntilStartedOrStoppedAgain)
{
    PlcProject p;
    addBlock(p, 0, {row(x(1), kDio, C::kCondFromTo, 0, 1)}, {row(et(5), kMs, C::kActAssign, 300)});
    addBlock(p, 1, {row(x(2), kDio, C::kCondEqual, 1)}, {row(et(5), kMs, C::kActAssign, 0)});
    addBlock(p, 2, {row(et(5), kMs, C::kCondEqual, 300)},
             {row(y(1), kDio, C::kActAssign, 1), row(ao(1), C::kUnitRaw, C::kActAdd, 1)});
    Plc plc(p);
    plc.scans(1);
    plc.setX(1, true);
    plc.scans(1); // started here, at t = 10 ms
    plc.scans(29);
    EXPECT_FALSE(plc.yOn(1));
    plc.scans(1); // t = 310 ms
    EXPECT_TRUE(plc.yOn(1));
    plc.scans(9);
    EXPECT_EQ(plc.aoValue(1), 10); // still holding in every scan
    plc.setX(2, true);
    plc.scans(50);
    EXPECT_EQ(plc.aoValue(1), 10);
}

TEST(PlcScan, SelfTimerRunsFromTheStartAndHoldsOneScanPerPeriod)
{
    PlcProject p;
    addBlock(p, 0, {row(it(3), kMs, C::kCondEqual, 100)}, {row(ao(1), C::kUnitRaw, C::kActAdd, 1)});
    Plc plc(p);
    plc.scans(10); // t = 0 .. 90 ms
    EXPECT_EQ(plc.aoValue(1), 0);
    plc.scans(1);
    EXPECT_EQ(plc.aoValue(1), 1);
    plc.scans(90); // up to t = 1000 ms
    EXPECT_EQ(plc.aoValue(1), 10);
}

TEST(PlcScan, DelayHoldsTheRestOfItsBlockWhileOtherBlocksGoOn)
{
    PlcProject p;
    addBlock(p, 0, {row(x(1), kDio, C::kCondEqual, 1)},
             {row(y(1), kDio, C::kActAssign, 1), row(C::kObjectDelay, kMs, C::kActAssign, 50),
              row(y(2), kDio, C::kActAssign, 1), row(ao(1), C::kUnitRaw, C::kActAdd, 1)});
    addBlock(p, 1, {row(x(1), kDio, C::kCondEqual, 1)}, {row(ao(2), C::kUnitRaw, C::kActAdd, 1)});
    Plc plc(p);
    plc.setX(1, true);
    plc.scans(5); // t = 0 .. 40 ms
    EXPECT_TRUE(plc.yOn(1));
    EXPECT_FALSE(plc.yOn(2));
    EXPECT_EQ(plc.aoValue(2), 5);
    EXPECT_EQ(plc.runtime.heldBlocks(), (std::vector<uint8_t> {1}));
    plc.scans(1); // t = 50 ms: the rest of block 0
    EXPECT_TRUE(plc.yOn(2));
    EXPECT_EQ(plc.aoValue(1), 1);
    plc.scans(6); // starts again at 60 ms, resumes at 110 ms
    EXPECT_EQ(plc.aoValue(1), 2);
}

TEST(PlcScan, VariablesAreReadFromTheHoldingRegisters)
{
    PlcProject p;
    addBlock(p, 0, {row(xcnt(5), C::kUnitVar, C::kCondGreaterEqual, 3)},
             {row(y(4), kDio, C::kActAssign, 1), row(ao(1), C::kUnitVar, C::kActAssign, 3)});
    Plc plc(p);
    const std::size_t v3 = IoMap::kVariableRegister + 2 * 2;
    plc.io.writeHoldingRegister(v3, 0x0001);
    plc.io.writeHoldingRegister(v3 + 1, 0x0002); // V3 = 65538
    plc.io.setCounter(4, 65537);
    plc.scans(1);
    EXPECT_FALSE(plc.yOn(4));
    plc.io.setCounter(4, 65538);
    plc.scans(1);
    EXPECT_TRUE(plc.yOn(4));
    EXPECT_EQ(plc.aoValue(1), 0xFFFF); // an analog output stops at its top
}

TEST(PlcScan, CountersAndAnalogOutputsStayInRange)
{
    PlcProject p;
    addBlock(p, 0, {row(x(1), kDio, C::kCondEqual, 1)},
             {row(xcnt(2), kCnt, C::kActSubtract, 5), row(xcnt(3), kCnt, C::kActAssign, 7),
              row(xcnt(3), kCnt, C::kActAdd, 2), row(ao(2), C::kUnitRaw, C::kActSubtract, 1)});
    Plc plc(p);
    plc.io.setCounter(1, 3);
    plc.setX(1, true);
    plc.scans(1);
    EXPECT_EQ(plc.io.counter(1), 0u);
    EXPECT_EQ(plc.io.counter(2), 9u);
    EXPECT_EQ(plc.inputU32(IoMap::kCounterRegister + 4), 9u); // what a master reads
    EXPECT_EQ(plc.aoValue(2), 0);
}

TEST(PlcScan, PulseOutputRunsThePwmWithoutRestartingItEveryScan)
{
    PlcProject p;
    addBlock(p, 0, {row(ySource(32), kDio, C::kCondEqual, 0)},
             {row(y(1), C::kUnitRat, C::kActPulse, 10, floatBits(25.0f))});
    addBlock(p, 1, {row(ySource(32), kDio, C::kCondEqual, 1)}, {row(y(1), kDio, C::kActAssign, 0)});
    Plc plc(p, false); // X1 follows the pulses of Y1
    plc.scans(101); // one second
    const std::size_t pwm = IoMap::kPwmRegister;
    EXPECT_EQ(plc.io.holdingRegister(pwm), 1); // 100 ms period: in milliseconds
    EXPECT_EQ(plc.io.holdingRegister(pwm + 1), 25);
    EXPECT_EQ(plc.io.holdingRegister(pwm + 2), 75);
    EXPECT_TRUE(plc.io.coil(IoMap::kPwmRunCoil));
    EXPECT_GE(plc.io.counter(0), 10u);
    plc.io.writeCoil(31, true);
    plc.scans(1);
    EXPECT_FALSE(plc.io.coil(IoMap::kPwmRunCoil));
    EXPECT_FALSE(plc.yOn(1));
}

TEST(PlcScan, DataGroupsAreStoredClearedAndReportedOncePerScan)
{
    namespace L = StatusReportLayout;
    PlcProject p;
    addBlock(p, 0, {row(x(1), kDio, C::kCondEqual, 1)},
             {row(y(3), kDio, C::kActAssign, 1), row(kGroupDio, 0, C::kActStore), row(kGroupAi, 0, C::kActReport),
              row(kGroupXcnt, 0, C::kActReport)});
    addBlock(p, 1, {row(x(2), kDio, C::kCondEqual, 1)}, {row(kGroupDio, 0, C::kActStoreClear)});
    Plc plc(p);
    plc.setX(1, true);
    plc.scans(1);
    plc.setX(1, false);
    EXPECT_EQ(plc.inputU32(IoMap::kStoreInputs), 0x1u);
    EXPECT_EQ(plc.inputU32(IoMap::kStoreOutputs), 0x4u);
    EXPECT_EQ(plc.runtime.takeReportFlags(), L::kFlagAnalog32 | L::kFlagPulseMask);
    EXPECT_EQ(plc.runtime.takeReportFlags(), 0);
    plc.setX(2, true);
    plc.scans(1);
    EXPECT_EQ(plc.inputU32(IoMap::kStoreInputs), 0u);
    EXPECT_EQ(plc.inputU32(IoMap::kStoreOutputs), 0u);
    EXPECT_EQ(plc.io.inputRegister(IoMap::kPlcStatusRegister), 1);
    EXPECT_EQ(plc.inputU32(IoMap::kPlcScanCountRegister), 2u);
}
