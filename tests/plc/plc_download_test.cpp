// The download state machine against a module played by the test: the order
// of the packets, their bytes, resends on refusals and timeouts, the end.
#include "plc_download.h"

#include <vector>

#include <gtest/gtest.h>

#include "byte_io.h"
#include "crc16.h"
#include "event_codes.h"
#include "plc_texts.h"
#include "records.h"

namespace qx {
namespace {

using Kind = TransferStep::Kind;

EplcAck ack(bool success, EplcHeader echo)
{
    EplcAck a;
    a.complete = true;
    a.success = success;
    a.echo = echo;
    return a;
}

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
std::vector<EplcHeader> runToEnd(PlcDownload &d, TransferStep step, TransferStep *last = nullptr)
{
    std::vector<EplcHeader> sent;
    while (step.kind == Kind::Send) {
        sent.push_back(eplcHeaderOf(step));
        step = d.acknowledge(ack(true, eplcHeaderOf(step)));
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
    TransferStep last;
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
    TransferStep step = d.start(image, kEplcFlashRun, 32);
    EXPECT_EQ(step.log, "升级EPLC:正在传送,Block 0,Byte 0\r\n");
    EXPECT_EQ(d.packetsPlanned(), 10);

    // a lost start acknowledgement: mode 1 again, now with block 0's first bytes
    step = d.timeout();
    ASSERT_EQ(step.kind, Kind::Send);
    EXPECT_EQ(eplcHeaderOf(step), (EplcHeader{1, 0, 0, 32}));
    EXPECT_TRUE(std::equal(image.bytes.begin(), image.bytes.begin() + 32, step.packet.begin() + 6));
    EXPECT_EQ(step.log, std::string(plc_texts::kLogAckTimeout) + "升级EPLC:正在传送,Block 0,Byte 32\r\n");
    step = d.acknowledge(ack(true, eplcHeaderOf(step)));
    EXPECT_EQ(eplcHeaderOf(step), (EplcHeader{2, 0, 32, 32}));

    // a refused data packet goes again exactly as before
    const std::vector<uint8_t> refused = step.packet;
    step = d.acknowledge(ack(false, eplcHeaderOf(step)));
    ASSERT_EQ(step.kind, Kind::Send);
    EXPECT_EQ(eplcHeaderOf(step), (EplcHeader{2, 0, 32, 32}));
    EXPECT_EQ(step.packet, refused);

    // echoes no packet of the image could carry are ignored; the timer resends
    EXPECT_EQ(d.acknowledge(ack(true, {2, 100, 0, 32})).kind, Kind::Nothing);
    EXPECT_EQ(d.acknowledge(ack(true, {2, 0, 240, 32})).kind, Kind::Nothing);
    EXPECT_EQ(d.acknowledge(ack(true, {0, 0, 0, 0})).kind, Kind::Nothing);
    EXPECT_EQ(eplcHeaderOf(d.timeout()), (EplcHeader{2, 0, 32, 32}));

    TransferStep last;
    runToEnd(d, d.acknowledge(ack(true, {2, 0, 32, 32})), &last);
    EXPECT_EQ(last.kind, Kind::Finished);
    EXPECT_TRUE(last.success);
    // a refused final command ends the transfer as failed
    step = d.start(image, kEplcFlashRun, 256);
    step = d.acknowledge(ack(true, eplcHeaderOf(step)));
    step = d.acknowledge(ack(true, eplcHeaderOf(step)));
    EXPECT_EQ(d.acknowledge(ack(false, {4, 0, 0, 0})).message, plc_texts::kTransferFailed);
}

// A final command whose answer is lost goes again, three times; a module
// that stays silent (restarted) still ends the transfer as failed.
TEST(PlcDownloadSequence, UnansweredFinalCommandIsSentAgainThreeTimes)
{
    PlcDownload d;
    TransferStep step = d.start(imageWithRunning({0}), kEplcRamRun, 256);
    step = d.acknowledge(ack(true, eplcHeaderOf(step)));
    step = d.acknowledge(ack(true, eplcHeaderOf(step)));
    const std::vector<uint8_t> finalPacket = step.packet;
    for (int i = 0; i < kEplcFinalResends; ++i) {
        step = d.timeout();
        ASSERT_EQ(step.kind, Kind::Send);
        EXPECT_TRUE(step.afterTimeout);
        EXPECT_EQ(step.packet, finalPacket);
    }
    step = d.timeout();
    EXPECT_EQ(step.kind, Kind::Finished);
    EXPECT_FALSE(step.success);
    EXPECT_EQ(step.message, plc_texts::kTransferFailed);

    // the answer to a repeat completes the transfer
    step = d.start(imageWithRunning({0}), kEplcRamRun, 256);
    step = d.acknowledge(ack(true, eplcHeaderOf(step)));
    step = d.acknowledge(ack(true, eplcHeaderOf(step)));
    step = d.acknowledge(ack(true, eplcHeaderOf(d.timeout())));
    EXPECT_TRUE(step.success);
}

// After a resend, the late answer to the first send and the answer to the
// resend carry the same echo: only the first of them moves the transfer,
// so no later packet goes twice.
TEST(PlcDownloadSequence, OnlyTheAnswerToThePacketOutstandingMovesOn)
{
    PlcDownload d;
    TransferStep step = d.start(imageWithRunning({0, 1}), kEplcFlashRestart, 256);
    const EplcHeader start = eplcHeaderOf(step);
    const EplcHeader startAgain = eplcHeaderOf(d.timeout()); // mode 1 with block 0's bytes
    step = d.acknowledge(ack(true, start)); // late, but still the outstanding packet's place
    const EplcHeader block0 = eplcHeaderOf(step);
    EXPECT_EQ(block0, (EplcHeader{2, 0, 0, 256}));
    EXPECT_EQ(d.acknowledge(ack(true, startAgain)).kind, Kind::Nothing);

    ASSERT_EQ(eplcHeaderOf(d.timeout()), block0);
    step = d.acknowledge(ack(true, block0));
    EXPECT_EQ(eplcHeaderOf(step), (EplcHeader{2, 1, 0, 256}));
    EXPECT_EQ(d.acknowledge(ack(true, block0)).kind, Kind::Nothing);
    EXPECT_EQ(d.acknowledge(ack(false, block0)).kind, Kind::Nothing);

    // nor does an echo of the final command before it was sent
    EXPECT_EQ(d.acknowledge(ack(true, {5, 0, 0, 0})).kind, Kind::Nothing);
    step = d.acknowledge(ack(true, eplcHeaderOf(step)));
    ASSERT_EQ(eplcHeaderOf(step), (EplcHeader{5, 0, 0, 0}));
    EXPECT_TRUE(d.acknowledge(ack(true, {5, 0, 0, 0})).success);
    EXPECT_EQ(d.acknowledge(ack(true, {5, 0, 0, 0})).kind, Kind::Nothing);
}

// Event 18's record: the status, the echo read only as far as the reply
// reached, and the refusal line.
TEST(PlcAcknowledgement, EchoAndRefusalLine)
{
    std::vector<uint8_t> record = qxtest::plcReplyRecord(7, 2, 5, 0x140, 0x40);
    const EplcAck refused = readEplcAck(record.data());
    EXPECT_TRUE(refused.complete);
    EXPECT_FALSE(refused.success);
    EXPECT_EQ(refused.echo, (EplcHeader{2, 5, 0x140, 0x40}));
    EXPECT_EQ(refused.logLine, "升级EPLC: 传送失败,准备重新传送,错误码7.\r\n");

    // too short to say which packet it answers: no acknowledgement, but the
    // refusal is logged all the same
    putI32le(record.data(), TransferReplyLayout::kValue, 5);
    PlcDownload d;
    d.start(imageWithRunning({0}), kEplcRamRun, 64);
    const TransferStep step = d.acknowledge(kEventPlcPacket, record.data());
    EXPECT_EQ(step.kind, Kind::Nothing);
    EXPECT_EQ(step.log, refused.logLine);
}

TEST(PlcDownloadSequence, CancelEndsAndLaterAcknowledgementsAreIgnored)
{
    PlcDownload d;
    EXPECT_EQ(d.start(imageWithRunning({}), 6, 64).kind, Kind::Nothing);
    EXPECT_EQ(d.start(imageWithRunning({}), kEplcRamRun, 48).kind, Kind::Nothing);
    TransferStep step = d.start(imageWithRunning({}), kEplcRamRun, 64);
    EXPECT_EQ(d.start(imageWithRunning({}), kEplcRamRun, 64).kind, Kind::Nothing);
    step = d.cancel(TransferStop::Operator);
    EXPECT_EQ(step.kind, Kind::Finished);
    EXPECT_FALSE(step.success);
    EXPECT_EQ(step.log, plc_texts::kLogCancelled);
    EXPECT_EQ(step.message, plc_texts::kTransferCancelled);
    EXPECT_FALSE(d.running());
    EXPECT_EQ(d.acknowledge(ack(true, {1, 0, 0, 0})).kind, Kind::Nothing);
    EXPECT_EQ(d.timeout().kind, Kind::Nothing);
    EXPECT_EQ(d.cancel().kind, Kind::Nothing);
    // a cancel the operator did not ask for is logged without a message
    d.start(imageWithRunning({}), kEplcRamRun, 64);
    step = d.cancel(TransferStop::LinkGone);
    EXPECT_EQ(step.log, plc_texts::kLogCancelled);
    EXPECT_TRUE(step.message.empty());
}

} // namespace
} // namespace qx
