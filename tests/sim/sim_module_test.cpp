// The simulated module's request handling: request PDU in, response PDU out.
#include "sim_module.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "byte_io.h"
#include "crc16.h"
#include "frames.h"
#include "identity_record.h"
#include "plc_project.h"
#include "status_report_layout.h"
#include "temp_dir.h"
#include "transfer_packet_layout.h"

using namespace qx;
using namespace qx::sim;
using qxtest::Bytes;
using qxtest::TempDir;

namespace {

constexpr uint64_t kMs = 1000;

Bytes call(SimModule &m, const Bytes &pdu)
{
    return m.handle(pdu.data(), pdu.size());
}

uint32_t inputRegister32(SimModule &m, uint16_t reg)
{
    const Bytes r = call(m, {0x04, static_cast<uint8_t>(reg >> 8), static_cast<uint8_t>(reg), 0x00, 0x02});
    EXPECT_EQ(r.size(), 6u);
    return getU32be(r.data(), 2);
}

// A firmware part request: `imageBytes` of `fill`, then the host's fill
// (0xFF) to the part's end.
Bytes firmwarePart(uint8_t function, uint16_t index, uint8_t fill,
                   std::size_t imageBytes = FirmwarePartLayout::kPartSize)
{
    Bytes p(FirmwarePartLayout::kChecksum, 0xFF);
    putU16be(p.data(), FirmwarePartLayout::kPartIndex, index);
    std::fill_n(p.begin() + FirmwarePartLayout::kImage, imageBytes, fill);
    appendChecksumHighFirst(p);
    p.insert(p.begin(), function);
    return p;
}

Bytes plcPacket(uint8_t mode, uint8_t block, uint16_t offset, const Bytes &data)
{
    namespace L = EplcPacketLayout;
    Bytes packet(L::kHeaderSize + data.size(), 0);
    packet[L::kMode] = mode;
    packet[L::kBlock] = block;
    putU16be(packet.data(), L::kOffset, offset);
    putU16be(packet.data(), L::kLength, static_cast<uint16_t>(data.size()));
    std::copy(data.begin(), data.end(), packet.begin() + L::kData);
    appendChecksumHighFirst(packet);
    Bytes pdu(1 + packet.size());
    pdu[0] = 0x46;
    std::copy(packet.begin(), packet.end(), pdu.begin() + 1);
    return pdu;
}

// Start, block 0 and every running block in one packet each, then the final
// packet; the status of the final packet.
uint8_t download(SimModule &m, const PlcProject &program, uint8_t finalMode)
{
    call(m, plcPacket(1, 0, 0, {}));
    for (int n = 0; n < 100; ++n)
        if (n == 0 || program.state(n) == kBlockRuns)
            call(m, plcPacket(2, static_cast<uint8_t>(n), 0, Bytes(program.block(n), program.block(n) + 256)));
    return call(m, plcPacket(finalMode, 0, 0, {}))[1];
}

// x1 starts y3, x2 stops it.
PlcProject latchProgram()
{
    PlcProject p;
    p.setState(0, kBlockRuns);
    p.setRow(0, PlcRowKind::Condition, 0, {1, plc_code::kUnitDio, plc_code::kCondEqual, 1, 0});
    p.setRow(0, PlcRowKind::Action, 0, {3, plc_code::kUnitDio, plc_code::kActAssign, 1, 0});
    p.setState(1, kBlockRuns);
    p.setRow(1, PlcRowKind::Condition, 0, {2, plc_code::kUnitDio, plc_code::kCondEqual, 1, 0});
    p.setRow(1, PlcRowKind::Action, 0, {3, plc_code::kUnitDio, plc_code::kActAssign, 0, 0});
    return p;
}

// Test mode on, then Xn as given.
void pressX(SimModule &m, uint8_t n, bool on)
{
    call(m, {0x05, 0x01, 0x90, 0xFF, 0x00});
    call(m, {0x05, 0x01, static_cast<uint8_t>(0xA0 + n - 1), static_cast<uint8_t>(on ? 0xFF : 0), 0x00});
}

bool y3On(SimModule &m)
{
    return call(m, {0x01, 0x00, 0x02, 0x00, 0x01})[2] == 1;
}

Bytes paramWrite(const ParamBlock &block, uint8_t model)
{
    Bytes p = block.payloadFor(model);
    p.insert(p.begin(), 0x42);
    return p;
}

} // namespace

TEST(StandardFunctions, HoldingRegistersCarryThePwmDefaults)
{
    SimModule m({});
    EXPECT_EQ(call(m, {0x03, 0x00, 0x10, 0x00, 0x03}),
              (Bytes {0x03, 0x06, 0x00, 0x00, 0xC3, 0x50, 0xC3, 0x50}));
}

TEST(StandardFunctions, WritesAreEchoedAndReadBack)
{
    SimModule m({});
    EXPECT_EQ(call(m, {0x06, 0x00, 0x02, 0x12, 0x34}), (Bytes {0x06, 0x00, 0x02, 0x12, 0x34}));
    EXPECT_EQ(call(m, {0x10, 0x00, 0x04, 0x00, 0x02, 0x04, 0xAB, 0xCD, 0x00, 0x07}),
              (Bytes {0x10, 0x00, 0x04, 0x00, 0x02}));
    EXPECT_EQ(call(m, {0x03, 0x00, 0x02, 0x00, 0x04}),
              (Bytes {0x03, 0x08, 0x12, 0x34, 0x00, 0x00, 0xAB, 0xCD, 0x00, 0x07}));
    EXPECT_EQ(call(m, {0x05, 0x00, 0x09, 0xFF, 0x00}), (Bytes {0x05, 0x00, 0x09, 0xFF, 0x00}));
    EXPECT_EQ(call(m, {0x0F, 0x00, 0x10, 0x00, 0x03, 0x01, 0x05}), (Bytes {0x0F, 0x00, 0x10, 0x00, 0x03}));
    // coils 9 (Y10), 16 and 18
    EXPECT_EQ(call(m, {0x01, 0x00, 0x08, 0x00, 0x10}), (Bytes {0x01, 0x02, 0x02, 0x05}));
}

TEST(StandardFunctions, ExceptionsForFunctionAddressAndValue)
{
    SimModule m({});
    EXPECT_EQ(call(m, {0x07}), (Bytes {0x87, 0x01}));
    EXPECT_EQ(call(m, {0x2B, 0x0E, 0x01, 0x00}), (Bytes {0xAB, 0x01}));
    EXPECT_EQ(call(m, {0x01, 0x03, 0xFC, 0x00, 0x08}), (Bytes {0x81, 0x02})); // 1020 + 8 > 1024
    EXPECT_EQ(call(m, {0x02, 0x00, 0x00, 0x00, 0x00}), (Bytes {0x82, 0x03}));
    EXPECT_EQ(call(m, {0x02, 0x00, 0x00, 0x07, 0xD1}), (Bytes {0x82, 0x03})); // 2001 bits
    EXPECT_EQ(call(m, {0x04, 0x00, 0x00, 0x00, 0x7E}), (Bytes {0x84, 0x03})); // 126 registers
    EXPECT_EQ(call(m, {0x03, 0xFF, 0xFF, 0x00, 0x01}), (Bytes {0x83, 0x02}));
    EXPECT_EQ(call(m, {0x05, 0x00, 0x01, 0x12, 0x34}), (Bytes {0x85, 0x03}));
    EXPECT_EQ(call(m, {0x05, 0x04, 0x00, 0xFF, 0x00}), (Bytes {0x85, 0x02}));
    EXPECT_EQ(call(m, {0x06, 0x04, 0x00, 0x00, 0x01}), (Bytes {0x86, 0x02}));
    EXPECT_EQ(call(m, {0x10, 0x00, 0x00, 0x00, 0x02, 0x03, 0x00, 0x01, 0x00}), (Bytes {0x90, 0x03}));
    EXPECT_EQ(call(m, {0x0F, 0x00, 0x00, 0x00, 0x09, 0x01, 0xFF}), (Bytes {0x8F, 0x03}));
    EXPECT_EQ(call(m, {0x0F, 0x03, 0xFF, 0x00, 0x02, 0x01, 0x03}), (Bytes {0x8F, 0x02}));
    EXPECT_EQ(call(m, {0x03, 0x00}), (Bytes {0x83, 0x03}));
}

TEST(LiveIo, FirstEightInputsFollowTheOutputsAndCountTheirEdges)
{
    SimModule m({});
    m.advance(0);
    // Y1..Y24 all on, as "全开" writes them
    EXPECT_EQ(call(m, {0x0F, 0x00, 0x00, 0x00, 0x18, 0x03, 0xFF, 0xFF, 0xFF}).size(), 5u);
    Bytes inputs = call(m, {0x02, 0x00, 0x00, 0x00, 0x18});
    ASSERT_EQ(inputs.size(), 5u);
    EXPECT_EQ(inputs[2], 0xFF);
    EXPECT_EQ(inputRegister32(m, 24), 1u); // X1 saw one rising edge
    EXPECT_EQ(inputRegister32(m, 24 + 2 * 7), 1u); // X8
    call(m, {0x05, 0x00, 0x00, 0x00, 0x00});
    call(m, {0x05, 0x00, 0x00, 0xFF, 0x00});
    EXPECT_EQ(inputRegister32(m, 24), 2u);
    inputs = call(m, {0x02, 0x00, 0x00, 0x00, 0x08});
    EXPECT_EQ(inputs[2], 0xFF);
}

TEST(LiveIo, ClearCoilsClearCountersAndReadBackZero)
{
    SimModule m({});
    m.advance(0);
    call(m, {0x05, 0x00, 0x01, 0xFF, 0x00}); // Y2 on: one edge on X2
    ASSERT_EQ(inputRegister32(m, 26), 1u);
    // "全部清空": 24 coils from 64, all set
    EXPECT_EQ(call(m, {0x0F, 0x00, 0x40, 0x00, 0x18, 0x03, 0xFF, 0xFF, 0xFF}),
              (Bytes {0x0F, 0x00, 0x40, 0x00, 0x18}));
    EXPECT_EQ(inputRegister32(m, 26), 0u);
    EXPECT_EQ(call(m, {0x01, 0x00, 0x40, 0x00, 0x18}), (Bytes {0x01, 0x03, 0x00, 0x00, 0x00}));
}

TEST(LiveIo, SelfToggledInputsCountOverTime)
{
    SimModule m({});
    m.advance(0);
    EXPECT_EQ(inputRegister32(m, 24 + 2 * 8), 0u); // X9
    m.advance(1000 * kMs); // X9 toggles every 500 ms: low, high at 0.5 s, low at 1 s
    EXPECT_EQ(inputRegister32(m, 24 + 2 * 8), 1u);
    m.advance(10'000 * kMs);
    EXPECT_EQ(inputRegister32(m, 24 + 2 * 8), 10u);
    // X24 toggles every 4.25 s: rising at 4.25 s only
    EXPECT_EQ(inputRegister32(m, 24 + 2 * 23), 1u);
}

TEST(LiveIo, RunningPwmTogglesItsInputWithTheConfiguredPeriod)
{
    SimModule m({});
    m.advance(0);
    // Y3: milliseconds, 10 high, 30 low: a 40 ms period
    call(m, {0x10, 0x00, 0x16, 0x00, 0x03, 0x06, 0x00, 0x01, 0x00, 0x0A, 0x00, 0x1E});
    call(m, {0x0F, 0x00, 0x22, 0x00, 0x01, 0x01, 0xFF});
    EXPECT_EQ(call(m, {0x02, 0x00, 0x02, 0x00, 0x01}), (Bytes {0x02, 0x01, 0x01}));
    m.advance(15 * kMs);
    EXPECT_EQ(call(m, {0x02, 0x00, 0x02, 0x00, 0x01}), (Bytes {0x02, 0x01, 0x00}));
    m.advance(1000 * kMs);
    EXPECT_EQ(inputRegister32(m, 24 + 2 * 2), 1u + 25u); // the start, then one per period
    call(m, {0x0F, 0x00, 0x22, 0x00, 0x01, 0x01, 0x00});
    m.advance(2000 * kMs);
    EXPECT_EQ(inputRegister32(m, 24 + 2 * 2), 26u);
}

TEST(LiveIo, AnalogInputsMoveSlowlyWithinConverterRange)
{
    SimModule m({});
    m.advance(0);
    const uint32_t a0 = inputRegister32(m, 0);
    m.advance(5000 * kMs);
    const uint32_t a1 = inputRegister32(m, 0);
    EXPECT_NE(a0, a1);
    for (uint16_t ch = 0; ch < 8; ++ch) {
        const uint32_t v = inputRegister32(m, static_cast<uint16_t>(2 * ch));
        EXPECT_GE(v, 12768u);
        EXPECT_LE(v, 52768u);
    }
}

TEST(LiveIo, TestModeDrivesInputsCountersAndAnalogValues)
{
    SimModule m({});
    m.advance(0);
    call(m, {0x05, 0x01, 0x90, 0xFF, 0x00}); // coil 400: test mode
    call(m, {0x10, 0x01, 0x90, 0x00, 0x02, 0x04, 0x00, 0x01, 0x86, 0xA0}); // AI1 = 100000
    call(m, {0x0F, 0x01, 0xA0, 0x00, 0x09, 0x02, 0x01, 0x01}); // X1 and X9 from coils 416..
    call(m, {0x05, 0x00, 0x01, 0xFF, 0x00}); // Y2 no longer reaches X2
    m.advance(3000 * kMs); // nor does X10 toggle by itself
    EXPECT_EQ(call(m, {0x02, 0x00, 0x00, 0x00, 0x10}), (Bytes {0x02, 0x02, 0x01, 0x01}));
    EXPECT_EQ(inputRegister32(m, 0), 100000u);
    EXPECT_EQ(inputRegister32(m, 24), 1u);
    EXPECT_EQ(inputRegister32(m, 24 + 2), 0u);
    EXPECT_EQ(inputRegister32(m, 24 + 2 * 9), 0u);
    call(m, {0x05, 0x01, 0xA0, 0x00, 0x00});
    call(m, {0x05, 0x01, 0xA0, 0xFF, 0x00});
    EXPECT_EQ(inputRegister32(m, 24), 2u);
}

TEST(LiveIo, GatewayAreasOfSubStations)
{
    SimModule m({});
    // sub-station 3 outputs at 64 + 32 = 96 are wired back to its inputs
    call(m, {0x05, 0x00, 0x60, 0xFF, 0x00});
    EXPECT_EQ(call(m, {0x02, 0x00, 0x60, 0x00, 0x01}), (Bytes {0x02, 0x01, 0x01}));
    // online flags: sub-stations 1..8 online
    EXPECT_EQ(call(m, {0x02, 0x02, 0x00, 0x00, 0x20}), (Bytes {0x02, 0x04, 0xFF, 0x00, 0x00, 0x00}));
    // sub-station 2 counter X1 at 280, cleared by coil 544
    EXPECT_EQ(inputRegister32(m, 280), 201u);
    call(m, {0x05, 0x02, 0x20, 0xFF, 0x00});
    EXPECT_EQ(inputRegister32(m, 280), 0u);
    // "全部轮读" of sub-station 10 stays inside the map
    EXPECT_EQ(call(m, {0x04, 0x01, 0xD8, 0x00, 0x30}).size(), 2u + 96u);
}

TEST(Identity, BlockAtTheOffsetsTheHostDecodes)
{
    ModuleSettings s;
    s.modelCode = 230;
    s.series = 5;
    SimModule m(s);
    Bytes pdu = call(m, {0x11});
    Bytes frame = pdu;
    frame.insert(frame.begin(), 1);
    frame.resize(frame.size() + 2);
    appendCrcLowFirst(frame.data(), frame.size() - 2);
    ASSERT_EQ(frame.size(), IdentityBlock::kRtuFrameLength);
    EXPECT_EQ(frame[IdentityBlock::kDriverMajor], 2);
    EXPECT_EQ(frame[IdentityBlock::kDriverMinor], 1);
    EXPECT_EQ(frame[IdentityBlock::kFirmwareMajor], 7);
    EXPECT_EQ(frame[IdentityBlock::kFirmwareMinor], 6);
    EXPECT_EQ(frame[IdentityBlock::kSeries], 5);
    EXPECT_EQ(getU32le(frame.data(), IdentityBlock::kModelCode), 230u);
    EXPECT_EQ(getU16le(frame.data(), IdentityBlock::kSerialWords), 2024);
    EXPECT_EQ(getU16le(frame.data(), IdentityBlock::kSerialWords + 2), 5);
    EXPECT_EQ(getU16le(frame.data(), IdentityBlock::kSerialWords + 4), 17);
}

TEST(ParamFunctions, ReadAnswersFullOrCompactBlockWithChecksum)
{
    SimModule full({});
    Bytes r = call(full, {0x41});
    ASSERT_EQ(r.size(), 1u + 1092u);
    PayloadResult p = acceptPayload(r.data() + 1, r.size() - 1);
    ASSERT_EQ(p.status, PayloadStatus::Ok);
    EXPECT_EQ(p.block.u8(ParamLayout::kQXMode), 155);
    EXPECT_EQ(p.block.u8(ParamLayout::kQXAddr1), 1);
    EXPECT_EQ(p.block.u32(ParamLayout::kR1BaudRate), 115200u);

    ModuleSettings s;
    s.modelCode = 230;
    s.unit = 12;
    SimModule lora(s);
    r = call(lora, {0x41});
    ASSERT_EQ(r.size(), 1u + 108u);
    p = acceptPayload(r.data() + 1, r.size() - 1);
    ASSERT_EQ(p.status, PayloadStatus::Ok);
    EXPECT_TRUE(p.compact);
    EXPECT_EQ(p.block.u8(ParamLayout::kQXAddr1), 12);
}

TEST(ParamFunctions, BadBlockBreaksTheNextReadOnce)
{
    ModuleSettings s;
    s.badBlock = ModuleSettings::BadBlock::Checksum;
    SimModule bad(s);
    Bytes r = call(bad, {0x41});
    EXPECT_EQ(acceptPayload(r.data() + 1, r.size() - 1).status, PayloadStatus::BadChecksum);
    r = call(bad, {0x41});
    EXPECT_EQ(acceptPayload(r.data() + 1, r.size() - 1).status, PayloadStatus::Ok);

    s.badBlock = ModuleSettings::BadBlock::Short;
    SimModule shortBlock(s);
    r = call(shortBlock, {0x41});
    ASSERT_EQ(r.size(), 1u + 502u);
    EXPECT_EQ(acceptPayload(r.data() + 1, r.size() - 1).status, PayloadStatus::Incomplete);
    r = call(shortBlock, {0x41});
    EXPECT_EQ(r.size(), 1u + 1092u);
}

TEST(ParamFunctions, WrittenBlockWithRightChecksumIsKeptAndChangesTheAddress)
{
    SimModule m({});
    ParamBlock b = m.params();
    b.setU8(ParamLayout::kQXAddr1, 7);
    b.setText(ParamLayout::kE1LocalIP, 16, "10.1.2.3");
    EXPECT_EQ(call(m, paramWrite(b, 155)), (Bytes {0x42, 0x01}));
    EXPECT_EQ(m.address(), 7);
    EXPECT_EQ(m.params().text(ParamLayout::kE1LocalIP, 16), "10.1.2.3");
    Bytes r = call(m, {0x41});
    EXPECT_EQ(acceptPayload(r.data() + 1, r.size() - 1).block, b);
}

TEST(ParamFunctions, WrongChecksumLengthOrAddressChangesNothing)
{
    SimModule m({});
    const ParamBlock before = m.params();
    ParamBlock b = before;
    b.setU8(ParamLayout::kQXAddr1, 9);
    Bytes bad = paramWrite(b, 155);
    bad[500] ^= 0x40;
    EXPECT_EQ(call(m, bad), (Bytes {0x42, 0x00}));
    EXPECT_EQ(call(m, paramWrite(b, 230)), (Bytes {0x42, 0x00})); // compact to a full model
    Bytes shortWrite = paramWrite(b, 155);
    shortWrite.resize(600);
    EXPECT_EQ(call(m, shortWrite), (Bytes {0x42, 0x00}));
    b.setU8(ParamLayout::kQXAddr1, 0);
    EXPECT_EQ(call(m, paramWrite(b, 155)), (Bytes {0x42, 0x00}));
    EXPECT_EQ(m.params(), before);
    EXPECT_EQ(m.address(), 1);
}

TEST(ParamFunctions, CompactWriteKeepsTheRestOfTheBlock)
{
    ModuleSettings s;
    s.modelCode = 230;
    SimModule m(s);
    ParamBlock b = m.params();
    b.setU32(ParamLayout::kR1BaudRate, 9600);
    b.setText(ParamLayout::kE1LocalIP, 16, "1.1.1.1"); // not in the compact record
    EXPECT_EQ(call(m, paramWrite(b, 230)), (Bytes {0x42, 0x01}));
    EXPECT_EQ(m.params().u32(ParamLayout::kR1BaudRate), 9600u);
    EXPECT_EQ(m.params().text(ParamLayout::kE1LocalIP, 16), "192.168.1.200");
}

TEST(FirmwareParts, CheckedPartsAreAcknowledgedAndAssembled)
{
    SimModule m({});
    EXPECT_EQ(call(m, firmwarePart(0x43, 0, 0x11)), (Bytes {0x43, 0x01, 0x00, 0x00}));
    EXPECT_EQ(call(m, firmwarePart(0x43, 1, 0x22)), (Bytes {0x43, 0x01, 0x00, 0x01}));
    Bytes broken = firmwarePart(0x43, 2, 0x33);
    broken[700] ^= 0x01;
    EXPECT_EQ(call(m, broken), (Bytes {0x43, 0x00, 0x00, 0x02}));
    EXPECT_EQ(call(m, firmwarePart(0x44, 5, 0x44)), (Bytes {0x44, 0x01, 0x00, 0x05}));
    EXPECT_EQ(call(m, firmwarePart(0x44, 128, 0x44)), (Bytes {0x44, 0x00, 0x00, 0x80}));
    Bytes truncated = firmwarePart(0x44, 3, 0);
    truncated.resize(100);
    EXPECT_EQ(call(m, truncated), (Bytes {0x44, 0x00, 0x00, 0x03}));

    const Bytes &bios = m.firmwareImage(0x43);
    ASSERT_EQ(bios.size(), 2048u);
    EXPECT_EQ(bios[0], 0x11);
    EXPECT_EQ(bios[1023], 0x11);
    EXPECT_EQ(bios[1024], 0x22);
    EXPECT_EQ(m.firmwareImage(0x44).size(), 6144u);
    // part 0 starts a new image
    call(m, firmwarePart(0x43, 0, 0x55));
    EXPECT_EQ(m.firmwareImage(0x43).size(), 1024u);
}

TEST(FirmwareParts, RefusePartFailsThatPartOnce)
{
    ModuleSettings s;
    s.refusePart = 1;
    SimModule m(s);
    EXPECT_EQ(call(m, firmwarePart(0x44, 0, 1))[1], 1);
    EXPECT_EQ(call(m, firmwarePart(0x44, 1, 2)), (Bytes {0x44, 0x00, 0x00, 0x01}));
    EXPECT_EQ(call(m, firmwarePart(0x44, 1, 2)), (Bytes {0x44, 0x01, 0x00, 0x01}));
}

// Parts in order up to one that is not full make a complete image; parts
// sent again or ahead of their turn are stored all the same, and the notes
// for the traffic log say which was which.
TEST(FirmwareParts, ArrivalOrderAndCompletionAreKept)
{
    ModuleSettings s;
    s.dropPart = 1;
    SimModule m(s);
    const Bytes last = firmwarePart(0x43, 2, 0x33, 500);
    call(m, firmwarePart(0x43, 0, 0x11));
    EXPECT_FALSE(m.answerLost());
    call(m, firmwarePart(0x43, 1, 0x22));
    EXPECT_TRUE(m.answerLost()); // stored, the answer lost once
    call(m, firmwarePart(0x43, 1, 0x22));
    EXPECT_FALSE(m.answerLost());
    m.takeTrafficNotes();
    call(m, last);
    FirmwareAssembly a = m.firmwareAssembly(0x43);
    EXPECT_EQ(a.arrivals, (std::vector<uint16_t> {0, 1, 1, 2}));
    EXPECT_TRUE(a.complete);
    EXPECT_EQ(a.imageBytes, 2048u + 500u);
    EXPECT_EQ(m.takeTrafficNotes(),
              (std::vector<std::string> {"BIOS part 2 stored",
                                         "BIOS image complete: 3 parts in order, 4 received, 2548 bytes before the fill"}));
    EXPECT_FALSE(m.firmwareAssembly(0x44).complete);

    // a part ahead of its turn: stored, but no image is complete
    call(m, firmwarePart(0x43, 0, 0x11));
    call(m, firmwarePart(0x43, 2, 0xFF));
    a = m.firmwareAssembly(0x43);
    EXPECT_TRUE(a.outOfOrder);
    EXPECT_FALSE(a.complete);
    EXPECT_EQ(m.firmwareImage(0x43).size(), 3072u);
    const std::vector<std::string> notes = m.takeTrafficNotes();
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0], "BIOS part 0 stored, a new image begins");
    EXPECT_EQ(notes[1], "BIOS part 2 stored, out of order (parts in order: 1)");
}

TEST(PlcPackets, StartDataAndFinalToRam)
{
    SimModule m({});
    Bytes r = call(m, plcPacket(1, 0, 0, {}));
    ASSERT_EQ(r.size(), 1u + EplcReplyLayout::kSize);
    EXPECT_EQ(Bytes(r.begin(), r.begin() + 8), (Bytes {0x46, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00}));
    Bytes data(64, 0xA7);
    r = call(m, plcPacket(2, 3, 192, data));
    EXPECT_EQ(Bytes(r.begin(), r.begin() + 8), (Bytes {0x46, 0x00, 0x02, 0x03, 0x00, 0xC0, 0x00, 0x40}));
    EXPECT_TRUE(std::all_of(r.begin() + 8, r.end(), [](uint8_t b) { return b == 0; }));
    r = call(m, plcPacket(3, 0, 0, {}));
    EXPECT_EQ(r[1], 0);
    EXPECT_EQ(r[2], 3);
    EXPECT_EQ(m.plcRam()[3 * 256 + 192], 0xA7);
    EXPECT_EQ(m.plcRam()[3 * 256 + 255], 0xA7);
    EXPECT_EQ(m.plcRam()[3 * 256 + 191], 0x00);
    EXPECT_EQ(m.plcFlash()[3 * 256 + 192], 0x00); // RAM only
}

TEST(PlcPackets, FlashFinalStoresAndStartClearsTheAssembly)
{
    SimModule m({});
    call(m, plcPacket(1, 0, 0, {}));
    call(m, plcPacket(2, 99, 0, Bytes(256, 0x5A)));
    EXPECT_EQ(call(m, plcPacket(4, 0, 0, {}))[1], 0);
    EXPECT_EQ(m.plcFlash()[99 * 256], 0x5A);
    // a new transfer that sends only block 0 leaves block 99 free
    call(m, plcPacket(1, 0, 0, {}));
    call(m, plcPacket(2, 0, 0, Bytes(8, 0)));
    EXPECT_EQ(call(m, plcPacket(5, 0, 0, {}))[1], 0);
    EXPECT_EQ(m.plcFlash()[99 * 256], 0x00);
    EXPECT_EQ(m.plcRam(), m.plcFlash());
    EXPECT_EQ(m.restarts(), 1);
}

TEST(PlcPackets, BrokenPacketsGetAnErrorStatusAndChangeNothing)
{
    SimModule m({});
    call(m, plcPacket(1, 0, 0, {}));
    Bytes bad = plcPacket(2, 1, 0, Bytes(32, 0x77));
    bad[20] ^= 0xFF;
    Bytes r = call(m, bad);
    EXPECT_EQ(r[1], EplcReplyLayout::kStatusBadChecksum);
    EXPECT_EQ(r[3], 1); // block echoed
    EXPECT_EQ(call(m, plcPacket(2, 100, 0, Bytes(8, 1)))[1], EplcReplyLayout::kStatusBadField);
    EXPECT_EQ(call(m, plcPacket(2, 1, 250, Bytes(8, 1)))[1], EplcReplyLayout::kStatusBadField);
    EXPECT_EQ(call(m, plcPacket(9, 1, 0, {}))[1], EplcReplyLayout::kStatusBadField);
    Bytes lying = plcPacket(2, 1, 0, Bytes(8, 1));
    lying[6] = 0x09; // announces more data than it carries
    EXPECT_EQ(call(m, lying)[1], EplcReplyLayout::kStatusBadField);
    EXPECT_EQ(call(m, {0x46, 0x02})[1], EplcReplyLayout::kStatusBadField);
    call(m, plcPacket(3, 0, 0, {}));
    EXPECT_TRUE(std::all_of(m.plcRam().begin(), m.plcRam().end(), [](uint8_t b) { return b == 0; }));
}

TEST(PlcPackets, RefusePartCountsPacketsFromTheStart)
{
    ModuleSettings s;
    s.refusePart = 2;
    SimModule m(s);
    EXPECT_EQ(call(m, plcPacket(1, 0, 0, {}))[1], 0);
    EXPECT_EQ(call(m, plcPacket(2, 0, 0, Bytes(64, 1)))[1], 0);
    EXPECT_EQ(call(m, plcPacket(2, 0, 64, Bytes(64, 2)))[1], EplcReplyLayout::kStatusRefused);
    EXPECT_EQ(call(m, plcPacket(2, 0, 64, Bytes(64, 2)))[1], 0);
}

TEST(PlcPackets, FinalPacketsAreLoggedAndRamKeptInTheStateDirectory)
{
    TempDir dir;
    ModuleSettings s;
    s.stateDir = dir.path;
    SimModule m(s);
    // a data packet with no start before it
    call(m, plcPacket(2, 4, 0, Bytes(8, 0)));
    EXPECT_EQ(m.takePlcMessages(), std::vector<std::string> {"data packet block 4 offset 0 without a start packet"});

    // block 0 whole (the latch program's), block 2 only in part
    const PlcProject latch = latchProgram();
    call(m, plcPacket(1, 0, 0, {}));
    call(m, plcPacket(2, 0, 0, Bytes(latch.block(0), latch.block(0) + 128)));
    call(m, plcPacket(2, 0, 128, Bytes(latch.block(0) + 128, latch.block(0) + 256)));
    call(m, plcPacket(2, 2, 64, Bytes(64, 0)));
    call(m, plcPacket(3, 0, 0, {}));
    std::vector<std::string> notes = m.takePlcMessages();
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0].rfind("final mode 3 (ram run), 5 packets since the start, program digest ", 0), 0u);
    EXPECT_EQ(notes[0].substr(notes[0].size() - 31), ", blocks 0, incomplete blocks 2");
    EXPECT_EQ(notes[1], "RAM program runs, 1 running blocks");

    std::ifstream in(dir.path / StateFiles::kPlcRam, std::ios::binary);
    const Bytes ram {std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(ram, m.plcRam());
    EXPECT_FALSE(std::filesystem::exists(dir.path / StateFiles::kPlcFlash));

    // the same final command again (its answer was lost): answered as
    // before, nothing stored again
    std::filesystem::remove(dir.path / StateFiles::kPlcRam);
    EXPECT_EQ(call(m, plcPacket(3, 0, 0, {}))[1], EplcReplyLayout::kStatusOk);
    EXPECT_EQ(m.takePlcMessages(), (std::vector<std::string> {"final mode 3 repeated, answered as before"}));
    EXPECT_FALSE(std::filesystem::exists(dir.path / StateFiles::kPlcRam));

    // a final without a start packet (the module restarted while a transfer
    // went on) is refused: a part of a program neither runs nor is kept; the
    // same program gives the same digest
    call(m, plcPacket(2, 0, 0, {}));
    EXPECT_EQ(call(m, plcPacket(3, 0, 0, {}))[1], EplcReplyLayout::kStatusRefused);
    const std::vector<std::string> refused = m.takePlcMessages();
    ASSERT_EQ(refused.size(), 3u);
    const auto digest = [](const std::string &note) { return note.substr(note.find("program digest "), 31); };
    EXPECT_EQ(refused[1], "final mode 3 (ram run), without a start packet, " + digest(notes[0])
                              + ", blocks none, incomplete blocks 0");
    EXPECT_EQ(refused[2], "program refused, no start packet came before it; the running one goes on");
    EXPECT_FALSE(std::filesystem::exists(dir.path / StateFiles::kPlcRam));
}

TEST(PlcRun, RamFinalPacketStartsTheProgram)
{
    SimModule m({});
    m.advance(0);
    EXPECT_EQ(download(m, latchProgram(), 3), EplcReplyLayout::kStatusOk);
    EXPECT_EQ(m.takePlcMessages().back(), "RAM program runs, 2 running blocks");
    pressX(m, 1, true);
    m.scanPlc(10 * kMs);
    EXPECT_TRUE(y3On(m));
    pressX(m, 1, false);
    m.scanPlc(20 * kMs);
    EXPECT_TRUE(y3On(m));
    pressX(m, 2, true);
    m.scanPlc(30 * kMs);
    EXPECT_FALSE(y3On(m));
    EXPECT_EQ(inputRegister32(m, 601), 3u); // scans since the start
}

TEST(PlcRun, AProgramThatCannotRunIsRefusedAndTheRunningOneGoesOn)
{
    SimModule m({});
    m.advance(0);
    ASSERT_EQ(download(m, latchProgram(), 3), EplcReplyLayout::kStatusOk);
    const Bytes running = m.plcRam();
    PlcProject bad = latchProgram();
    bad.setRow(1, PlcRowKind::Action, 2, {2, plc_code::kUnitRat, plc_code::kActPulse, 100, floatBits(50)});
    m.takePlcMessages();
    for (uint8_t mode : {3, 4, 5})
        EXPECT_EQ(download(m, bad, mode), EplcReplyLayout::kStatusBadProgram);
    EXPECT_EQ(m.takePlcMessages().back(), "program refused, the running one goes on: block 1, action 2: "
                                          "y2输出 has no pulse output (y1, y3, y5, y7 have)");
    EXPECT_EQ(m.plcRam(), running);
    EXPECT_TRUE(std::all_of(m.plcFlash().begin(), m.plcFlash().end(), [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(m.restarts(), 0);
    pressX(m, 1, true);
    m.scanPlc(10 * kMs);
    EXPECT_TRUE(y3On(m));
}

TEST(PlcRun, FlashProgramRunsAfterARestartAndClearingFlashStopsIt)
{
    TempDir dir;
    ModuleSettings s;
    s.stateDir = dir.path;
    {
        SimModule m(s);
        ASSERT_EQ(download(m, latchProgram(), 4), EplcReplyLayout::kStatusOk);
    }
    SimModule again(s);
    EXPECT_EQ(again.takePlcMessages(), std::vector<std::string> {"FLASH program runs, 2 running blocks"});
    again.advance(0);
    pressX(again, 1, true);
    again.scanPlc(10 * kMs);
    ASSERT_TRUE(y3On(again));
    // "清空FLASH并重启": an empty program, stored in FLASH, and a restart
    EXPECT_EQ(download(again, PlcProject(), 5), EplcReplyLayout::kStatusOk);
    again.advance(20 * kMs);
    again.scanPlc(20 * kMs);
    EXPECT_FALSE(again.plc().running());
    EXPECT_FALSE(y3On(again)); // the restart switched the outputs off
    EXPECT_EQ(call(again, {0x04, 0x02, 0x58, 0x00, 0x01}), (Bytes {0x04, 0x02, 0x00, 0x00}));
    pressX(again, 1, true);
    again.scanPlc(30 * kMs);
    EXPECT_FALSE(y3On(again));
    EXPECT_FALSE(SimModule(s).plc().running());
}

TEST(StatusReport, AllSectionsInOrder)
{
    SimModule m({});
    m.advance(0);
    call(m, {0x05, 0x00, 0x00, 0xFF, 0x00}); // Y1, and X1 with it
    call(m, {0x06, 0x00, 0x07, 0x12, 0x34}); // AO8
    const Bytes r = m.statusReport();
    namespace L = StatusReportLayout;
    ASSERT_EQ(r.size(), 2u + L::kMaxDataSize);
    EXPECT_EQ(r[0], 0x45);
    EXPECT_EQ(r[1], L::kMaxDataSize);
    EXPECT_EQ(r[2], L::kAllSections);
    const uint8_t *data = r.data() + 2;
    EXPECT_EQ(data[L::sectionOffset(r[2], L::kFlagInputs)] & 1, 1);
    EXPECT_EQ(data[L::sectionOffset(r[2], L::kFlagCoils)] & 1, 1);
    EXPECT_EQ(getU16be(data, L::sectionOffset(r[2], L::kFlagAnalog16) + 14), 0x1234);
    EXPECT_EQ(getU16be(data, L::sectionOffset(r[2], L::kFlagPulseMask) + 2), 1); // X1 counter, low word
    EXPECT_EQ(getU16be(data, L::sectionOffset(r[2], L::kFlagAnalog32)), 0); // AI1 high word
}

TEST(StatusReport, ReportContentSelectsSections)
{
    SimModule m({});
    ParamBlock b = m.params();
    b.setU8(ParamLayout::kByRepCont, StatusReportLayout::kFlagAnalog16);
    ASSERT_EQ(call(m, paramWrite(b, 155))[1], 1);
    const Bytes r = m.statusReport();
    EXPECT_EQ(r.size(), 2u + 1u + 16u);
    EXPECT_EQ(r[1], 17);
}

TEST(StatusReport, CounterGroupsArePackedFromTheFirstValue)
{
    // the counter page shows the first value of the section in the first
    // selected group, so with only X5-X12 selected value 0 is X5
    SimModule m({});
    m.advance(0);
    call(m, {0x05, 0x00, 0x04, 0xFF, 0x00}); // Y5, and a rising edge of X5
    ParamBlock b = m.params();
    b.setU8(ParamLayout::kByRepCont, StatusReportLayout::kFlagPulseX5to12);
    ASSERT_EQ(call(m, paramWrite(b, 155))[1], 1);
    const Bytes r = m.statusReport();
    ASSERT_EQ(r.size(), 2u + 1u + StatusReportLayout::kPulseSize);
    auto value = [&](std::size_t v) { return getU32be(r.data(), 3 + 4 * v); };
    EXPECT_EQ(value(0), 1u); // X5
    EXPECT_EQ(value(7), inputRegister32(m, 24 + 2 * 11)); // X12
    for (std::size_t v = 8; v < 32; ++v)
        EXPECT_EQ(value(v), 0u) << "value " << v;
}

TEST(ModuleState, RestartKeepsParamsFirmwareAndFlashProgram)
{
    TempDir dir;
    ModuleSettings s;
    s.stateDir = dir.path;
    {
        SimModule m(s);
        ParamBlock b = m.params();
        b.setU8(ParamLayout::kQXAddr1, 33);
        ASSERT_EQ(call(m, paramWrite(b, 155))[1], 1);
        call(m, firmwarePart(0x44, 0, 0x66, 700)); // a complete image of one part
        call(m, firmwarePart(0x44, 0, 0x77)); // the next one breaks off after its first part
        call(m, plcPacket(1, 0, 0, {}));
        call(m, plcPacket(2, 4, 0, Bytes(16, 0x42)));
        call(m, plcPacket(4, 0, 0, {}));
        call(m, plcPacket(1, 0, 0, {}));
        call(m, plcPacket(2, 5, 0, Bytes(16, 0x43)));
        call(m, plcPacket(3, 0, 0, {})); // RAM only: lost at restart
        EXPECT_TRUE(m.stateErrors().empty());
    }
    EXPECT_TRUE(std::filesystem::exists(dir.path / "params.bin"));
    EXPECT_FALSE(std::filesystem::exists(dir.path / "params.bin.tmp"));
    SimModule again(s);
    EXPECT_EQ(again.address(), 33);
    EXPECT_EQ(again.plcFlash()[4 * 256], 0x42);
    EXPECT_EQ(again.plcRam()[4 * 256], 0x42);
    EXPECT_EQ(again.plcRam()[5 * 256], 0x00);
    // the broken-off image goes on after the restart: its parts are taken,
    // but the kept image stays until a complete one replaces it
    call(again, firmwarePart(0x44, 1, 0x78));
    call(again, firmwarePart(0x44, 2, 0x79, 10));
    const Bytes kept = firmwarePart(0x44, 0, 0x66, 700);
    EXPECT_EQ(SimModule(s).firmwareImage(0x44), Bytes(kept.begin() + 1 + FirmwarePartLayout::kImage, kept.end() - 2));
}

TEST(ModuleState, DamagedStateFilesAreIgnored)
{
    TempDir dir;
    ModuleSettings s;
    s.stateDir = dir.path;
    s.unit = 4;
    {
        std::ofstream params(dir.path / "params.bin", std::ios::binary);
        params << std::string(1090, '\0'); // address 0 would make the module unreachable
        std::ofstream plc(dir.path / "plc_flash.bin", std::ios::binary);
        plc << "short";
    }
    SimModule m(s);
    EXPECT_EQ(m.address(), 4);
    EXPECT_EQ(m.stateErrors().size(), 2u);
    EXPECT_EQ(m.plcFlash().size(), 25600u);
}

TEST(Robustness, RandomRequestsNeverBreakTheModule)
{
    SimModule m({});
    std::mt19937 rng(12345);
    for (int i = 0; i < 50000; ++i) {
        Bytes pdu(rng() % 40, 0);
        for (auto &b : pdu)
            b = static_cast<uint8_t>(rng());
        if (!pdu.empty() && i % 3 == 0)
            pdu[0] = static_cast<uint8_t>(rng() % 0x47); // mostly known functions
        const Bytes r = m.handle(pdu.data(), pdu.size());
        ASSERT_FALSE(r.empty());
    }
    // still answers normally
    EXPECT_EQ(call(m, {0x11}).size(), 63u);
}
