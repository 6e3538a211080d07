// The download state machine driving QXLIB against the running qxsim, over
// Modbus TCP and over RTU on a pseudo-terminal: what qxsim stored (its
// plc_ram.bin / plc_flash.bin) must be the compiled image byte for byte,
// through refusals and lost packets; and a downloaded program runs, as
// libmodbus sees it.
#include <gtest/gtest.h>

#include <filesystem>

#include <modbus/modbus.h>

#include "byte_io.h"
#include "descriptors.h"
#include "event_codes.h"
#include "plc_compiler.h"
#include "plc_download.h"
#include "plc_source_loader.h"
#include "qxsim_transfer.h"
#include "response_records.h"
#include "transfer_packet_layout.h"

namespace qx {
namespace {

// Event 18 as the callback hands it over.
std::optional<EplcAck> eplcAck(int32_t code, const uint8_t *r)
{
    if (code != kEventPlcPacket)
        return std::nullopt;
    const uint8_t *d = r + TransferReplyLayout::kData;
    EplcAck ack;
    ack.success = r[TransferReplyLayout::kStatus] == EplcReplyLayout::kStatusOk;
    ack.echo = {d[EplcReplyLayout::kMode], d[EplcReplyLayout::kBlock], getU16be(d, EplcReplyLayout::kOffset),
                getU16be(d, EplcReplyLayout::kLength)};
    return ack;
}

// A program with running blocks `running`, every row a valid digital one.
PlcProject programWith(std::initializer_list<int> running)
{
    PlcProject p;
    for (int b : running) {
        p.setState(b, kBlockRuns);
        for (int r = 0; r < kPlcRowsPerArea; ++r) {
            p.setRow(b, PlcRowKind::Condition, r, {uint8_t(1 + (b + r) % 32), 1, 1, uint32_t(r & 1), 0});
            p.setRow(b, PlcRowKind::Action, r, {uint8_t(1 + (b * 3 + r) % 32), 1, 1, uint32_t(b & 1), 0});
        }
    }
    return p;
}

class DownloadToQxsim : public qxtest::QxsimTransferTest<EplcAck, eplcAck>
{
protected:
    // Runs the transfer to its end through the library; the packets placed
    // are kept in `sent`, the refusals in `refused` with the index of the
    // packet placed after each. Where packets are lost on purpose the
    // driver's timer is shorter than the page's (the library itself gives
    // up on an answer after 1000 ms), to keep the test quick.
    EplcStep run(PlcDownload &d, EplcStep first, int timerMs = kEplcAckTimeoutMs)
    {
        EplcLink link;
        link.place = [&](const EplcStep &s) {
            sent.push_back(s);
            qxtest::placeTransferPacket(m_handle, kSlotPlcPacket, s.packet);
        };
        link.waitAck = [&](int ms) {
            const std::optional<EplcAck> ack = acks().next(ms);
            if (ack && !ack->success)
                refused.emplace_back(ack->echo, sent.size());
            return ack;
        };
        return runDownload(d, std::move(first), link, timerMs);
    }

    std::vector<EplcStep> sent;
    std::vector<std::pair<EplcHeader, std::size_t>> refused;
};

TEST_P(DownloadToQxsim, RunningBlocksReachRamAsCompiled)
{
    start({});
    const ProgramImage image = buildProgramImage(programWith({0, 2, 5}), ScalingTables());
    PlcDownload d;
    const EplcStep end = run(d, d.start(image, kEplcRamRun, 64));
    EXPECT_TRUE(end.success) << end.message;
    EXPECT_EQ(sent.size(), 14u);
    EXPECT_EQ(stored("plc_ram.bin"), image.bytes);
    EXPECT_FALSE(std::filesystem::exists(m_dir.path / "plc_flash.bin"));

    // block 0 goes first even when free; only block 7 follows it
    sent.clear();
    const ProgramImage seven = buildProgramImage(programWith({7}), ScalingTables());
    EXPECT_TRUE(run(d, d.start(seven, kEplcFlashRun, 64)).success);
    ASSERT_EQ(sent.size(), 10u);
    EXPECT_EQ(sent[1].header, (EplcHeader{2, 0, 0, 64}));
    EXPECT_EQ(sent[5].header, (EplcHeader{2, 7, 0, 64}));
    EXPECT_EQ(stored("plc_flash.bin"), seven.bytes);
    EXPECT_EQ(stored("plc_ram.bin"), seven.bytes);

    // clearing FLASH sends an empty program
    EXPECT_TRUE(run(d, d.start(ProgramImage(), kEplcFlashRestart, 256)).success);
    EXPECT_EQ(stored("plc_flash.bin"), std::vector<uint8_t>(kPlcProgramSize, 0));
}

TEST_P(DownloadToQxsim, RefusedPacketIsRepeatedExactly)
{
    start({"--refuse-part", "5"});
    const ProgramImage image = buildProgramImage(programWith({0, 2, 5}), ScalingTables());
    PlcDownload d;
    EXPECT_TRUE(run(d, d.start(image, kEplcRamRun, 64)).success);
    ASSERT_EQ(refused.size(), 1u);
    const auto [echo, next] = refused[0];
    ASSERT_LT(next, sent.size());
    EXPECT_EQ(sent[next].header, echo);
    EXPECT_EQ(sent[next].packet, sent[next - 1].packet);
    EXPECT_EQ(stored("plc_ram.bin"), image.bytes);
}

TEST_P(DownloadToQxsim, LostAcknowledgementsAreMadeUpByResends)
{
    // every fourth request goes unanswered: packets 4, 7, 10 and 13 once
    // each (the final packet is not among them: a final command without an
    // answer ends the transfer as failed)
    start({"--drop-every", "4"});
    const ProgramImage image = buildProgramImage(programWith({0, 2, 5}), ScalingTables());
    PlcDownload d;
    EXPECT_TRUE(run(d, d.start(image, kEplcFlashRestart, 64), 1500).success);
    EXPECT_GE(sent.size(), 18u);
    EXPECT_EQ(stored("plc_ram.bin"), image.bytes);
    EXPECT_EQ(stored("plc_flash.bin"), image.bytes);
}

TEST_P(DownloadToQxsim, LostStartAcknowledgementResendsBlockZerosFirstBytes)
{
    // the start packet is the fourth request
    start({"--drop-every", "4"});
    const ProgramImage image = buildProgramImage(programWith({0}), ScalingTables());
    for (int i = 0; i < 3; ++i) {
        const RequestRecord r = transferRequest(buildEplcPacket({1, 0, 0, 0}, image.bytes), 1);
        DLL_API_OBJ_CMD(m_handle, kSlotPlcPacket, r.data(), RequestLength::kTransferPacket);
        ASSERT_TRUE(acks().next(5000));
    }
    PlcDownload d;
    EXPECT_TRUE(run(d, d.start(image, kEplcRamRun, 64), 1500).success);
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(sent[1].header, (EplcHeader{1, 0, 0, 64}));
    EXPECT_TRUE(std::equal(image.bytes.begin(), image.bytes.begin() + 64, sent[1].packet.begin() + 6));
    EXPECT_EQ(stored("plc_ram.bin"), image.bytes);
}

TEST_P(DownloadToQxsim, DownloadedProgramRunsInTheModule)
{
    start({});
    PlcProject latch;
    ASSERT_EQ(loadPlcSourceFile(QX_EXAMPLES_DIR "/plc_latch.txt", latch).code, SourceLoadResult::Loaded);
    ASSERT_TRUE(checkPlcProject(latch, ScalingTables()).ok);
    PlcDownload d;
    ASSERT_TRUE(run(d, d.start(buildProgramImage(latch, ScalingTables()), kEplcRamRun, 128)).success);

    // a second master drives the inputs through the test area (coil 400
    // on, then coils 416.. are X1..) and reads Y3 once a scan saw them
    modbus_t *ctx = modbus_new_tcp("127.0.0.1", m_sim->port("listening tcp"));
    ASSERT_NE(ctx, nullptr);
    modbus_set_slave(ctx, 1);
    ASSERT_EQ(modbus_connect(ctx), 0);
    auto scanned = [ctx] {
        uint16_t r[2] = {};
        modbus_read_input_registers(ctx, 601, 2, r);
        const uint32_t target = ((uint32_t(r[0]) << 16) | r[1]) + 2;
        for (int64_t deadline = qxtest::nowMs() + qxtest::kWaitLimit.count(); qxtest::nowMs() < deadline;) {
            modbus_read_input_registers(ctx, 601, 2, r);
            if (((uint32_t(r[0]) << 16) | r[1]) >= target)
                return true;
        }
        return false;
    };
    auto y3 = [ctx] {
        uint8_t v = 0;
        modbus_read_bits(ctx, 2, 1, &v);
        return v != 0;
    };
    EXPECT_EQ(modbus_write_bit(ctx, 400, 1), 1);
    EXPECT_EQ(modbus_write_bit(ctx, 416, 1), 1); // x1 starts y3
    ASSERT_TRUE(scanned());
    EXPECT_TRUE(y3());
    EXPECT_EQ(modbus_write_bit(ctx, 416, 0), 1);
    EXPECT_EQ(modbus_write_bit(ctx, 417, 1), 1); // x2 stops it
    ASSERT_TRUE(scanned());
    EXPECT_FALSE(y3());
    modbus_close(ctx);
    modbus_free(ctx);
}

INSTANTIATE_TEST_SUITE_P(Framing, DownloadToQxsim, ::testing::Values(false, true),
                         [](const auto &info) { return info.param ? "Rtu" : "Tcp"; });

} // namespace
} // namespace qx
