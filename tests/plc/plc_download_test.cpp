// The download state machine against a module played by the test: the order
// of the packets, their bytes, resends on refusals and timeouts, the end.
#include "plc_download.h"

#include <vector>

#include <gtest/gtest.h>

#include "byte_io.h"
#include "crc16.h"
#include "plc_texts.h"

namespace qx {
namespace {

using Kind = EplcStep::Kind;

ProgramImage imageWithRunning(std::initializer_list<int> running)
{
    ProgramImage image;
    for (std::size_t i = 0; i < image.bytes.size(); ++i)
        image.bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    for (int b = 0; b < static_cast<int>(kPlcBlockCount); ++b)
        image.bytes[std::size_t(b) * kPlcBlockSize] = kBlockFree;
    for (int b : running)
        image.bytes[std::size_t(b) * kPlcBlockSize] = kBlockRuns;
    return image;
}

// Acknowledges every packet as the module does; returns the headers sent.
std::vector<EplcHeader> runToEnd(PlcDownload &d, EplcStep step, EplcStep *last = nullptr)
{
    std::vector<EplcHeader> sent;
    while (step.kind == Kind::Send) {
        sent.push_back(step.header);
        step = d.acknowledge({true, step.header});
    }
    if (last)
        *last = step;
    return sent;
}

TEST(EplcPacket, HeaderDataAndCrcHighByteFirst)
{
    const ProgramImage image = imageWithRunning({0, 2});
    const std::vector<uint8_t> start = buildEplcPacket({1, 0, 0, 0}, image.bytes);
    ASSERT_EQ(start.size(), 8u);
    EXPECT_EQ(start[0], 1);
    for (int i = 1; i < 6; ++i)
        EXPECT_EQ(start[i], 0);
    EXPECT_EQ(getU16be(start.data(), 6), crc16(start.data(), 6));

    const std::vector<uint8_t> data = buildEplcPacket({2, 2, 0x0080, 64}, image.bytes);
    ASSERT_EQ(data.size(), 72u);
    EXPECT_EQ(getU16be(data.data(), 2), 0x80);
    EXPECT_EQ(getU16be(data.data(), 4), 64);
    EXPECT_TRUE(std::equal(data.begin() + 6, data.begin() + 70, image.bytes.begin() + 2 * 256 + 128));
    EXPECT_EQ(getU16be(data.data(), 70), crc16(data.data(), 70));

    // never a byte from outside the image
    EXPECT_TRUE(buildEplcPacket({2, 100, 0, 8}, image.bytes).empty());
    EXPECT_TRUE(buildEplcPacket({2, 99, 250, 8}, image.bytes).empty());
}

TEST(PlcDownloadSequence, BlockZeroThenRunningBlocksThenFinal)
{
    PlcDownload d;
    // block 3 is kept but does not run: not sent
    ProgramImage image = imageWithRunning({0, 2, 5});
    image.bytes[3 * 256] = kBlockStopped;
    EplcStep last;
    const std::vector<EplcHeader> sent = runToEnd(d, d.start(image, kEplcRamRun, 64), &last);
    std::vector<EplcHeader> expected = {{1, 0, 0, 0}};
    for (uint8_t b : {0, 2, 5})
        for (uint16_t o : {0, 64, 128, 192})
            expected.push_back({2, b, o, 64});
    expected.push_back({3, 0, 0, 0});
    EXPECT_EQ(sent, expected);
    EXPECT_EQ(d.packetsPlanned(), 14);
    EXPECT_EQ(d.packetsAcknowledged(), 14);
    EXPECT_EQ(last.kind, Kind::Finished);
    EXPECT_TRUE(last.success);
    EXPECT_EQ(last.message, plc_texts::kTransferOk);
    EXPECT_FALSE(d.running());

    // block 0 goes first even when it is free
    const std::vector<EplcHeader> seven = runToEnd(d, d.start(imageWithRunning({7}), kEplcFlashRestart, 128));
    ASSERT_EQ(seven.size(), 6u);
    EXPECT_EQ(seven[1], (EplcHeader{2, 0, 0, 128}));
    EXPECT_EQ(seven[2], (EplcHeader{2, 0, 128, 128}));
    EXPECT_EQ(seven[3], (EplcHeader{2, 7, 0, 128}));
    EXPECT_EQ(seven[5], (EplcHeader{5, 0, 0, 0}));
}

TEST(PlcDownloadSequence, RefusalsAndTimeoutsResend)
{
    PlcDownload d;
    const ProgramImage image = imageWithRunning({0});
    EplcStep step = d.start(image, kEplcFlashRun, 32);
    EXPECT_EQ(step.log, "升级EPLC:正在传送,Block 0,Byte 0\r\n");
    EXPECT_EQ(d.packetsPlanned(), 10);

    // a lost start acknowledgement: mode 1 again, now with block 0's first bytes
    step = d.timeout();
    ASSERT_EQ(step.kind, Kind::Send);
    EXPECT_EQ(step.header, (EplcHeader{1, 0, 0, 32}));
    EXPECT_TRUE(std::equal(image.bytes.begin(), image.bytes.begin() + 32, step.packet.begin() + 6));
    EXPECT_EQ(step.log, std::string(plc_texts::kLogAckTimeout) + "升级EPLC:正在传送,Block 0,Byte 32\r\n");
    step = d.acknowledge({true, step.header});
    EXPECT_EQ(step.header, (EplcHeader{2, 0, 32, 32}));

    // a refused data packet goes again exactly as before
    const std::vector<uint8_t> refused = step.packet;
    step = d.acknowledge({false, step.header});
    ASSERT_EQ(step.kind, Kind::Send);
    EXPECT_EQ(step.header, (EplcHeader{2, 0, 32, 32}));
    EXPECT_EQ(step.packet, refused);

    // echoes no packet of the image could carry are ignored; the timer resends
    EXPECT_EQ(d.acknowledge({true, {2, 100, 0, 32}}).kind, Kind::Nothing);
    EXPECT_EQ(d.acknowledge({true, {2, 0, 240, 32}}).kind, Kind::Nothing);
    EXPECT_EQ(d.acknowledge({true, {0, 0, 0, 0}}).kind, Kind::Nothing);
    EXPECT_EQ(d.timeout().header, (EplcHeader{2, 0, 32, 32}));

    // a final command without answer ends the transfer as failed
    EplcStep last;
    runToEnd(d, d.acknowledge({true, {2, 0, 32, 32}}), &last);
    EXPECT_EQ(last.kind, Kind::Finished);
    EXPECT_TRUE(last.success);
    step = d.start(image, kEplcRamRun, 256);
    step = d.acknowledge({true, step.header});
    step = d.acknowledge({true, step.header});
    EXPECT_EQ(step.header, (EplcHeader{3, 0, 0, 0}));
    step = d.timeout();
    EXPECT_EQ(step.kind, Kind::Finished);
    EXPECT_FALSE(step.success);
    EXPECT_EQ(step.message, plc_texts::kTransferFailed);

    // as does a refused final command
    step = d.start(image, kEplcRamRun, 256);
    EXPECT_EQ(d.acknowledge({false, {4, 0, 0, 0}}).message, plc_texts::kTransferFailed);
}

TEST(PlcDownloadSequence, CancelEndsAndLaterAcknowledgementsAreIgnored)
{
    PlcDownload d;
    EXPECT_EQ(d.start(imageWithRunning({}), 6, 64).kind, Kind::Nothing);
    EXPECT_EQ(d.start(imageWithRunning({}), kEplcRamRun, 48).kind, Kind::Nothing);
    EplcStep step = d.start(imageWithRunning({}), kEplcRamRun, 64);
    EXPECT_EQ(d.start(imageWithRunning({}), kEplcRamRun, 64).kind, Kind::Nothing);
    step = d.cancel();
    EXPECT_EQ(step.kind, Kind::Finished);
    EXPECT_FALSE(step.success);
    EXPECT_EQ(step.log, plc_texts::kLogCancelled);
    EXPECT_EQ(step.message, plc_texts::kTransferCancelled);
    EXPECT_FALSE(d.running());
    EXPECT_EQ(d.acknowledge({true, {1, 0, 0, 0}}).kind, Kind::Nothing);
    EXPECT_EQ(d.timeout().kind, Kind::Nothing);
    EXPECT_EQ(d.cancel().kind, Kind::Nothing);
}

} // namespace
} // namespace qx
