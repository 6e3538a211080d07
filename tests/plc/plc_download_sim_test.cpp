// The download state machine driving QXLIB against the running qxsim, over
// Modbus TCP and over RTU on a pseudo-terminal: what qxsim stored (its
// plc_ram.bin / plc_flash.bin) must be the compiled image byte for byte,
// through refusals and lost packets; and a downloaded program runs, as
// libmodbus sees it.
#include <gtest/gtest.h>

#include <filesystem>

#include <modbus/modbus.h>

#include "descriptors.h"
#include "plc_compiler.h"
#include "plc_download.h"
#include "plc_source_loader.h"
#include "qxsim_transfer.h"

namespace qx {
namespace {

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

// Where packets are lost on purpose the runner's timer is shorter than the
// page's (the library itself gives up on an answer after 1000 ms), to keep
// the tests quick.
class DownloadToQxsim : public qxtest::QxsimTransferTest
{
protected:
    bool download(const PlcProject &program, uint8_t finalCommand, uint16_t blockSize, int timerMs = 1500)
    {
        placed.clear();
        m_image = buildProgramImage(program, ScalingTables());
        const TransferResult end = run(m_download, m_download.start(m_image, finalCommand, blockSize), timerMs);
        return end.end.success;
    }
    EplcHeader sent(std::size_t i) const { return eplcHeaderOf(placed.at(i)); }

    PlcDownload m_download;
    ProgramImage m_image;
};

TEST_P(DownloadToQxsim, RunningBlocksReachRamAsCompiled)
{
    start({});
    EXPECT_TRUE(download(programWith({0, 2, 5}), kEplcRamRun, 64));
    EXPECT_EQ(placed.size(), 14u);
    EXPECT_EQ(stored("plc_ram.bin"), m_image.bytes);
    EXPECT_FALSE(std::filesystem::exists(m_dir.path / "plc_flash.bin"));

    // block 0 goes first even when free; only block 7 follows it
    EXPECT_TRUE(download(programWith({7}), kEplcFlashRun, 64));
    ASSERT_EQ(placed.size(), 10u);
    EXPECT_EQ(sent(1), (EplcHeader{2, 0, 0, 64}));
    EXPECT_EQ(sent(5), (EplcHeader{2, 7, 0, 64}));
    EXPECT_EQ(stored("plc_flash.bin"), m_image.bytes);
    EXPECT_EQ(stored("plc_ram.bin"), m_image.bytes);

    // clearing FLASH sends an empty program
    EXPECT_TRUE(download(PlcProject(), kEplcFlashRestart, 256));
    EXPECT_EQ(stored("plc_flash.bin"), std::vector<uint8_t>(kPlcProgramSize, 0));
}

TEST_P(DownloadToQxsim, RefusedPacketIsRepeatedExactly)
{
    start({"--refuse-part", "5"});
    EXPECT_TRUE(download(programWith({0, 2, 5}), kEplcRamRun, 64, kTransferAckTimeoutMs));
    ASSERT_EQ(placed.size(), 15u);
    EXPECT_EQ(placed[6].packet, placed[5].packet);
    EXPECT_EQ(stored("plc_ram.bin"), m_image.bytes);
}

// Every fourth request goes unanswered. The RAM download loses its final
// command once (requests 4, 8 and 12 are packets 4, 7 and the final), the
// FLASH download after it too (requests 16 and 20: its packet 3 and final):
// the final command goes again and both complete.
TEST_P(DownloadToQxsim, LostRequestsAreMadeUpByResendsTheFinalOneToo)
{
    start({"--drop-every", "4"});
    EXPECT_TRUE(download(programWith({0, 2}), kEplcRamRun, 64));
    EXPECT_EQ(placed.size(), 13u);
    EXPECT_EQ(sent(12).mode, kEplcRamRun);
    EXPECT_EQ(stored("plc_ram.bin"), m_image.bytes);
    EXPECT_TRUE(download(programWith({0}), kEplcFlashRun, 64));
    EXPECT_EQ(placed.size(), 8u);
    EXPECT_EQ(sent(7).mode, kEplcFlashRun);
    EXPECT_EQ(stored("plc_flash.bin"), m_image.bytes);
}

// The answer to packet 3 comes after the page's timer has sent it again, and
// the answer to the resend right behind it, both with the same echo: the
// transfer moves on once, and no later packet goes twice (the final FLASH
// command included).
TEST_P(DownloadToQxsim, LateAnswerAfterAResendMovesTheTransferOnce)
{
    start({"--late-packet", "3"});
    EXPECT_TRUE(download(programWith({0, 2}), kEplcFlashRestart, 64, kTransferAckTimeoutMs));
    ASSERT_EQ(placed.size(), std::size_t(m_download.packetsPlanned()) + 1);
    EXPECT_EQ(sent(4), sent(3));
    for (std::size_t i = 5; i < placed.size(); ++i)
        EXPECT_NE(sent(i), sent(i - 1)) << "packet " << i;
    EXPECT_EQ(stored("plc_flash.bin"), m_image.bytes);
}

// Every fifth request unanswered, every seventh answer broken (a wrong CRC
// or protocol identifier): the packets lost or unconfirmed go again, and
// FLASH ends with the compiled image.
TEST_P(DownloadToQxsim, LostAndBrokenAnswersStillStoreTheCompiledImage)
{
    start({"--drop-every", "5", "--corrupt-every", "7"});
    EXPECT_TRUE(download(programWith({0, 2}), kEplcFlashRun, 64));
    EXPECT_GE(placed.size(), 12u); // 10 packets, the 5th request and the packet of the 7th answer again
    EXPECT_EQ(stored("plc_flash.bin"), m_image.bytes);
}

TEST_P(DownloadToQxsim, LostStartAcknowledgementResendsBlockZerosFirstBytes)
{
    // the start packet is the fourth request
    start({"--drop-every", "4"});
    const ProgramImage image = buildProgramImage(programWith({0}), ScalingTables());
    for (int i = 0; i < 3; ++i) {
        const RequestRecord r = transferRequest(buildEplcPacket({1, 0, 0, 0}, image.bytes), 1);
        DLL_API_OBJ_CMD(m_handle, kSlotPlcPacket, r.data(), RequestLength::kTransferPacket);
        ASSERT_EQ(acks().next(5000).kind, TransferWait::Kind::Answer);
    }
    EXPECT_TRUE(download(programWith({0}), kEplcRamRun, 64));
    ASSERT_GE(placed.size(), 2u);
    EXPECT_EQ(sent(1), (EplcHeader{1, 0, 0, 64}));
    EXPECT_TRUE(std::equal(image.bytes.begin(), image.bytes.begin() + 64, placed[1].packet.begin() + 6));
    EXPECT_EQ(stored("plc_ram.bin"), image.bytes);
}

TEST_P(DownloadToQxsim, DownloadedProgramRunsInTheModule)
{
    start({});
    PlcProject latch;
    ASSERT_EQ(loadPlcSourceFile(QX_EXAMPLES_DIR "/plc_latch.txt", latch).code, SourceLoadResult::Loaded);
    ASSERT_TRUE(checkPlcProject(latch, ScalingTables()).ok);
    ASSERT_TRUE(download(latch, kEplcRamRun, 128));

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
