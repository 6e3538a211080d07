// The firmware upgrade's rules without a module: how an image is cut into
// parts, what each part carries, which acknowledgements move the transfer,
// what the operator is told, and the blocking driver's resends, giving up
// and cancel.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <deque>
#include <fstream>
#include <thread>

#include "config_texts.h"
#include "crc16.h"
#include "event_codes.h"
#include "firmware_upgrade.h"
#include "records.h"
#include "temp_dir.h"

namespace qx {
namespace {

using Bytes = std::vector<uint8_t>;

using qxtest::pattern;

using Kind = TransferStep::Kind;

Bytes imageBytes(const TransferStep &s)
{
    return Bytes(s.packet.begin() + FirmwarePartLayout::kImage, s.packet.begin() + FirmwarePartLayout::kChecksum);
}

FirmwareAck stored(const TransferStep &s)
{
    return {s.slot, firmwarePartOf(s) + 1, {}};
}

TEST(FirmwareParts, ImageOf2500BytesGoesAsThreeParts)
{
    FirmwareUpgrade u;
    // an earlier, longer file must not show through in the last part
    ASSERT_TRUE(u.loadImage(Bytes(4000, 0x55), "old.bin").ok);
    const Bytes image = pattern(2500);
    const FirmwareLoadResult load = u.loadImage(image, "/tmp/qx_bios.bin");
    ASSERT_TRUE(load.ok);
    EXPECT_EQ(load.log, "文件路径:/tmp/qx_bios.bin, 大小: 2500 bytes \r\n\r\n");
    EXPECT_EQ(u.partsTotal(), 3u);

    std::vector<TransferStep> sent {u.start()};
    while (sent.back().kind == Kind::Send)
        sent.push_back(u.acknowledge(stored(sent.back())));
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[0].log, "升级BIOS:正在传送,Part 1/3,Byte 1024/2500\r\n");
    EXPECT_EQ(sent[1].log, "升级BIOS:正在传送,Part 2/3,Byte 1024/2500\r\n");
    EXPECT_EQ(sent[2].log, "升级BIOS:正在传送,Part 3/3,Byte 1024/2500\r\n");
    for (uint16_t p = 0; p < 3; ++p) {
        const TransferStep &s = sent[p];
        EXPECT_EQ(s.slot, kTransferBios);
        ASSERT_EQ(s.packet.size(), 1028u);
        EXPECT_EQ(firmwarePartOf(s), p);
        EXPECT_TRUE(checksumMatchesHighFirst(s.packet.data(), s.packet.size()));
    }
    EXPECT_EQ(imageBytes(sent[1]), Bytes(image.begin() + 1024, image.begin() + 2048));
    Bytes last(image.begin() + 2048, image.end());
    last.resize(1024, 0xFF);
    EXPECT_EQ(imageBytes(sent[2]), last);

    EXPECT_EQ(sent[3].kind, Kind::Finished);
    EXPECT_TRUE(sent[3].success);
    EXPECT_EQ(sent[3].message, config_texts::kFirmwareDone);
    EXPECT_FALSE(u.running());
    EXPECT_EQ(u.partIndex(), 128u);
    EXPECT_EQ(u.partsAcknowledged(), 3u);
}

// A whole number of parts is still followed by one more: the last part is
// never full, and here carries no image byte at all.
TEST(FirmwareParts, ImageOfWholePartsGetsAPartWithoutImageBytes)
{
    FirmwareUpgrade u;
    ASSERT_TRUE(u.loadImage(pattern(2048), "a.bin").ok);
    TransferStep s = u.start(kTransferFirmware);
    s = u.acknowledge(stored(s));
    s = u.acknowledge(stored(s));
    ASSERT_EQ(s.kind, Kind::Send);
    EXPECT_EQ(firmwarePartOf(s), 2);
    EXPECT_EQ(s.log, "升级Firmware:正在传送,Part 3/3,Byte 1024/2048\r\n");
    EXPECT_EQ(imageBytes(s), Bytes(1024, 0xFF));
    EXPECT_EQ(u.acknowledge(stored(s)).kind, Kind::Finished);
}

TEST(FirmwareParts, PartFiveCarriesItsIndexAndItsSlice)
{
    const Bytes image = pattern(8000);
    const Bytes p = buildFirmwarePart(image, 5);
    ASSERT_EQ(p.size(), 1028u);
    EXPECT_EQ(p[0], 0x00);
    EXPECT_EQ(p[1], 0x05);
    EXPECT_EQ(Bytes(p.begin() + 2, p.begin() + 1026), Bytes(image.begin() + 5120, image.begin() + 6144));
    const uint16_t crc = crc16(p.data(), 1026);
    EXPECT_EQ(p[1026], crc >> 8);
    EXPECT_EQ(p[1027], crc & 0xFF);
}

TEST(FirmwareAcknowledgements, OnlyTheAnswerToThePartBeingSentMovesTheTransfer)
{
    FirmwareUpgrade u;
    ASSERT_TRUE(u.loadImage(pattern(5000), "a.bin").ok);
    const TransferStep first = u.start();
    const TransferStep second = u.acknowledge(FirmwareAck {kTransferBios, 1, {}});
    ASSERT_EQ(firmwarePartOf(second), 1);

    // a part never sent, an older part, the other kind: ignored
    EXPECT_EQ(u.acknowledge(FirmwareAck {kTransferBios, 3, {}}).kind, Kind::Nothing);
    EXPECT_EQ(u.acknowledge(FirmwareAck {kTransferBios, 0, {}}).kind, Kind::Nothing);
    EXPECT_EQ(u.acknowledge(FirmwareAck {kTransferFirmware, 2, {}}).kind, Kind::Nothing);
    EXPECT_EQ(u.acknowledge(FirmwareAck {kTransferBios, -1, {}}).kind, Kind::Nothing);
    EXPECT_EQ(u.partIndex(), 1u);
    EXPECT_EQ(u.partsAcknowledged(), 1u);

    // refused (status 0 names the part itself): the refusal line, then the
    // same part again, byte for byte
    const TransferStep again = u.acknowledge(kEventBiosPacket, qxtest::transferRecord(0, 1).data());
    EXPECT_EQ(firmwarePartOf(again), 1);
    EXPECT_EQ(again.packet, second.packet);
    EXPECT_EQ(again.log, std::string(config_texts::kBiosResend) + "升级BIOS:正在传送,Part 2/5,Byte 1024/5000\r\n");
    EXPECT_EQ(u.partsAcknowledged(), 1u);

    // no answer: the timeout line, then the same part with its progress line
    const TransferStep resent = u.timeout();
    EXPECT_EQ(resent.kind, Kind::Send);
    EXPECT_TRUE(resent.afterTimeout);
    EXPECT_EQ(resent.packet, second.packet);
    EXPECT_EQ(resent.log, "升级BIOS:传送超时,准备重新传送\r\n升级BIOS:正在传送,Part 2/5,Byte 1024/5000\r\n");
    EXPECT_NE(first.packet, second.packet);

    // stored (status not 0): the next part
    EXPECT_EQ(firmwarePartOf(u.acknowledge(kEventBiosPacket, qxtest::transferRecord(1, 1).data())), 2);
}

TEST(FirmwareAcknowledgements, LateAnswerAfterCancelChangesNothing)
{
    FirmwareUpgrade u;
    ASSERT_TRUE(u.loadImage(pattern(2500), "a.bin").ok);
    u.start();
    const TransferStep cancelled = u.cancel();
    EXPECT_EQ(cancelled.kind, Kind::Finished);
    EXPECT_FALSE(cancelled.success);
    EXPECT_EQ(cancelled.message, config_texts::kFirmwareCancelled);
    for (const FirmwareAck &ack : {FirmwareAck {kTransferBios, 1, {}}, FirmwareAck {kTransferBios, 0, {}}}) {
        EXPECT_EQ(u.acknowledge(ack).kind, Kind::Nothing);
        EXPECT_EQ(u.partIndex(), 128u);
    }
    EXPECT_EQ(u.timeout().kind, Kind::Nothing);
    EXPECT_EQ(u.cancel().kind, Kind::Nothing);
    // a new transfer starts from part 0
    EXPECT_EQ(firmwarePartOf(u.start()), 0);
    // a first part that could not even be placed leaves nothing to warn of
    u.cancel();
    u.start();
    EXPECT_TRUE(u.cancel(TransferStop::NotPlaced).message.empty());
}

TEST(FirmwareImageFile, SizesAtTheLimits)
{
    qxtest::TempDir dir;
    auto file = [&](const char *name, std::size_t n) {
        const std::string path = (dir.path / name).string();
        const Bytes bytes = pattern(n);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(n));
        return path;
    };
    FirmwareUpgrade u;
    // the largest image: 128 parts, the last one 1023 image bytes
    const FirmwareLoadResult largest = u.loadFile(file("largest.bin", 131071));
    ASSERT_TRUE(largest.ok) << largest.message;
    EXPECT_EQ(u.partsTotal(), 128u);

    // one byte more would need part 128: refused, the loaded image stays
    const std::string tooLarge = file("large.bin", 131072);
    const FirmwareLoadResult refused = u.loadFile(tooLarge);
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(refused.message.find(tooLarge), std::string::npos);
    EXPECT_NE(refused.message.find("131072"), std::string::npos);
    EXPECT_EQ(u.imageSize(), 131071u);

    const std::string missing = (dir.path / "missing.bin").string();
    const FirmwareLoadResult unreadable = u.loadFile(missing);
    EXPECT_FALSE(unreadable.ok);
    EXPECT_NE(unreadable.message.find(missing), std::string::npos);
    EXPECT_NE(unreadable.message.find(std::strerror(ENOENT)), std::string::npos);
    EXPECT_EQ(u.imageSize(), 131071u);

    // one byte is no image: nothing to send, the operator is told
    EXPECT_TRUE(u.loadFile(file("one.bin", 1)).ok);
    EXPECT_EQ(u.imageSize(), 0u);
    const TransferStep none = u.start();
    EXPECT_EQ(none.kind, Kind::Nothing);
    EXPECT_EQ(none.message, config_texts::kFirmwareNoImage);
    EXPECT_FALSE(u.running());
}

// runTransfer with a scripted module: the first answer to part 1 is lost and
// part 2 is refused once; every part still goes, in order.
TEST(TransferRunner, LostAndRefusedAnswersAreMadeUpByResends)
{
    FirmwareUpgrade u;
    ASSERT_TRUE(u.loadImage(pattern(3000), "a.bin").ok);
    std::deque<Bytes> answers;
    std::vector<uint16_t> placed;
    std::vector<std::string> reported;
    bool lost = false;
    bool refused = false;
    TransferLink link;
    link.place = [&](const TransferStep &s) {
        const uint16_t part = firmwarePartOf(s);
        placed.push_back(part);
        if (part == 1 && !lost) {
            lost = true;
            return;
        }
        const bool refuse = part == 2 && !refused;
        refused = refused || refuse;
        answers.push_back(qxtest::transferRecord(refuse ? 0 : 1, part));
    };
    link.wait = [&](int) {
        TransferWait w;
        if (!answers.empty()) {
            w = {TransferWait::Kind::Answer, kEventBiosPacket, answers.front()};
            answers.pop_front();
        }
        return w;
    };
    link.report = [&](const TransferStep &s) { reported.push_back(s.log); };
    const TransferResult end = runTransfer(u, u.start(), link, 5);
    EXPECT_TRUE(end.end.success);
    EXPECT_EQ(end.end.message, config_texts::kFirmwareDone);
    EXPECT_EQ(placed, (std::vector<uint16_t> {0, 1, 1, 2, 2}));
    ASSERT_EQ(reported.size(), 6u);
    EXPECT_EQ(reported[2].rfind(config_texts::kBiosTimeout, 0), 0u);
    EXPECT_EQ(reported[4].rfind(config_texts::kBiosResend, 0), 0u);
    EXPECT_EQ(u.partsAcknowledged(), 3u);
}

// A module that never answers: the runner gives up after the silent waits
// it was given, or ends as cancelled when another thread says so.
TEST(TransferRunner, GivesUpOrIsCancelled)
{
    FirmwareUpgrade u;
    ASSERT_TRUE(u.loadImage(pattern(3000), "a.bin").ok);
    int placed = 0;
    TransferLink link;
    link.place = [&](const TransferStep &) { ++placed; };
    link.wait = [](int) { return TransferWait(); };
    link.silentWaitsLimit = 3;
    TransferResult end = runTransfer(u, u.start(), link, 1);
    EXPECT_TRUE(end.gaveUp);
    EXPECT_EQ(placed, 3); // the part and two resends
    EXPECT_EQ(end.end.message, config_texts::kFirmwareCancelled);
    EXPECT_FALSE(u.running());

    std::atomic<bool> cancel {false};
    std::atomic<int> sent {0};
    link.place = [&](const TransferStep &) { ++sent; };
    link.wait = [](int ms) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return TransferWait();
    };
    link.silentWaitsLimit = 0;
    link.cancel = &cancel;
    std::thread operatorThread([&] {
        while (sent.load() == 0)
            std::this_thread::yield();
        cancel = true;
    });
    end = runTransfer(u, u.start(), link); // the 3000 ms timer
    operatorThread.join();
    EXPECT_TRUE(end.cancelled);
    EXPECT_EQ(end.end.kind, Kind::Finished);
    EXPECT_FALSE(end.end.success);
    EXPECT_EQ(end.end.message, config_texts::kFirmwareCancelled);
    EXPECT_EQ(sent.load(), 1);
}

} // namespace
} // namespace qx
