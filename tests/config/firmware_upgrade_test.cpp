// The firmware upgrade's rules without a module: how an image is cut into
// parts, what each part carries, which acknowledgements move the transfer,
// what the operator is told, and the blocking driver's resends and cancel.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <deque>
#include <fstream>
#include <thread>

#include "config_texts.h"
#include "crc16.h"
#include "firmware_upgrade.h"
#include "temp_dir.h"

namespace qx {
namespace {

using Bytes = std::vector<uint8_t>;

// Image bytes that differ from the fill and from their neighbours' parts.
Bytes pattern(std::size_t n, uint8_t salt = 0)
{
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = static_cast<uint8_t>((i * 7 + i / 1024 + salt) % 251);
    return b;
}

Bytes imageBytes(const FirmwareStep &s)
{
    return Bytes(s.payload.begin() + FirmwarePartLayout::kImage, s.payload.begin() + FirmwarePartLayout::kChecksum);
}

FirmwareAck stored(const FirmwareStep &s)
{
    return {s.transferKind, s.part + 1};
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

    std::vector<FirmwareStep> sent {u.start()};
    while (sent.back().kind == FirmwareStep::Kind::Send)
        sent.push_back(u.acknowledge(stored(sent.back())));
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[0].log, "升级BIOS:正在传送,Part 1/3,Byte 1024/2500\r\n");
    EXPECT_EQ(sent[1].log, "升级BIOS:正在传送,Part 2/3,Byte 1024/2500\r\n");
    EXPECT_EQ(sent[2].log, "升级BIOS:正在传送,Part 3/3,Byte 1024/2500\r\n");
    for (uint16_t p = 0; p < 3; ++p) {
        const FirmwareStep &s = sent[p];
        EXPECT_EQ(s.transferKind, kTransferBios);
        EXPECT_EQ(s.part, p);
        ASSERT_EQ(s.payload.size(), 1028u);
        EXPECT_EQ(s.payload[0], 0);
        EXPECT_EQ(s.payload[1], p);
        EXPECT_TRUE(checksumMatchesHighFirst(s.payload.data(), s.payload.size()));
    }
    EXPECT_EQ(imageBytes(sent[1]), Bytes(image.begin() + 1024, image.begin() + 2048));
    Bytes last(image.begin() + 2048, image.end());
    last.resize(1024, 0xFF);
    EXPECT_EQ(imageBytes(sent[2]), last);

    EXPECT_EQ(sent[3].kind, FirmwareStep::Kind::Finished);
    EXPECT_TRUE(sent[3].success);
    EXPECT_EQ(sent[3].message, texts::kFirmwareDone);
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
    FirmwareStep s = u.start(kTransferFirmware);
    s = u.acknowledge(stored(s));
    s = u.acknowledge(stored(s));
    ASSERT_EQ(s.kind, FirmwareStep::Kind::Send);
    EXPECT_EQ(s.part, 2);
    EXPECT_EQ(s.log, "升级Firmware:正在传送,Part 3/3,Byte 1024/2048\r\n");
    EXPECT_EQ(imageBytes(s), Bytes(1024, 0xFF));
    EXPECT_EQ(u.acknowledge(stored(s)).kind, FirmwareStep::Kind::Finished);
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
    const FirmwareStep first = u.start();
    const FirmwareStep second = u.acknowledge({kTransferBios, 1});
    ASSERT_EQ(second.part, 1);

    // a part never sent, an older part, the other kind: ignored
    EXPECT_EQ(u.acknowledge({kTransferBios, 3}).kind, FirmwareStep::Kind::Nothing);
    EXPECT_EQ(u.acknowledge({kTransferBios, 0}).kind, FirmwareStep::Kind::Nothing);
    EXPECT_EQ(u.acknowledge({kTransferFirmware, 2}).kind, FirmwareStep::Kind::Nothing);
    EXPECT_EQ(u.acknowledge({kTransferBios, -1}).kind, FirmwareStep::Kind::Nothing);
    EXPECT_EQ(u.partIndex(), 1u);
    EXPECT_EQ(u.partsAcknowledged(), 1u);

    // refused: the same part again, byte for byte
    const FirmwareStep again = u.acknowledge({kTransferBios, 1});
    EXPECT_EQ(again.part, 1);
    EXPECT_EQ(again.payload, second.payload);
    EXPECT_EQ(u.partsAcknowledged(), 1u);

    // no answer: the timeout line, then the same part with its progress line
    const FirmwareStep resent = u.timeout();
    EXPECT_EQ(resent.kind, FirmwareStep::Kind::Send);
    EXPECT_EQ(resent.payload, second.payload);
    EXPECT_EQ(resent.log, "升级BIOS:传送超时,准备重新传送\r\n升级BIOS:正在传送,Part 2/5,Byte 1024/5000\r\n");
    EXPECT_NE(first.payload, second.payload);
}

TEST(FirmwareAcknowledgements, LateAnswerAfterCancelChangesNothing)
{
    FirmwareUpgrade u;
    ASSERT_TRUE(u.loadImage(pattern(2500), "a.bin").ok);
    u.start();
    const FirmwareStep cancelled = u.cancel();
    EXPECT_EQ(cancelled.kind, FirmwareStep::Kind::Finished);
    EXPECT_FALSE(cancelled.success);
    EXPECT_EQ(cancelled.message, texts::kFirmwareCancelled);
    for (const FirmwareAck ack : {FirmwareAck {kTransferBios, 1}, FirmwareAck {kTransferBios, 0}}) {
        EXPECT_EQ(u.acknowledge(ack).kind, FirmwareStep::Kind::Nothing);
        EXPECT_EQ(u.partIndex(), 128u);
    }
    EXPECT_EQ(u.timeout().kind, FirmwareStep::Kind::Nothing);
    EXPECT_EQ(u.cancel().kind, FirmwareStep::Kind::Nothing);
    // a new transfer starts from part 0
    EXPECT_EQ(u.start().part, 0);
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
    const FirmwareStep none = u.start();
    EXPECT_EQ(none.kind, FirmwareStep::Kind::Nothing);
    EXPECT_EQ(none.message, texts::kFirmwareNoImage);
    EXPECT_FALSE(u.running());
}

// runUpgrade with a scripted module: the first answer to part 1 is lost and
// part 2 is refused once; every part still goes, in order.
TEST(FirmwareDriver, LostAndRefusedAnswersAreMadeUpByResends)
{
    FirmwareUpgrade u;
    ASSERT_TRUE(u.loadImage(pattern(3000), "a.bin").ok);
    std::deque<FirmwareAck> answers;
    std::vector<uint16_t> placed;
    std::vector<std::string> reported;
    bool lost = false;
    bool refused = false;
    FirmwareLink link;
    link.place = [&](const FirmwareStep &s) {
        placed.push_back(s.part);
        if (s.part == 1 && !lost) {
            lost = true;
            return;
        }
        const bool refuse = s.part == 2 && !refused;
        refused = refused || refuse;
        answers.push_back({s.transferKind, refuse ? int32_t(s.part) : s.part + 1});
    };
    link.waitAck = [&](int) -> std::optional<FirmwareAck> {
        if (answers.empty())
            return std::nullopt;
        const FirmwareAck a = answers.front();
        answers.pop_front();
        return a;
    };
    link.report = [&](const FirmwareStep &s) { reported.push_back(s.log); };
    const FirmwareStep end = runUpgrade(u, u.start(), link, 5);
    EXPECT_TRUE(end.success);
    EXPECT_EQ(end.message, texts::kFirmwareDone);
    EXPECT_EQ(placed, (std::vector<uint16_t> {0, 1, 1, 2, 2}));
    ASSERT_EQ(reported.size(), 6u);
    EXPECT_EQ(reported[2].rfind(texts::kBiosTimeout, 0), 0u);
    EXPECT_EQ(u.partsAcknowledged(), 3u);
}

TEST(FirmwareDriver, CancelFromAnotherThreadEndsTheTransfer)
{
    FirmwareUpgrade u;
    ASSERT_TRUE(u.loadImage(pattern(3000), "a.bin").ok);
    std::atomic<bool> cancel {false};
    std::atomic<int> placed {0};
    FirmwareLink link;
    link.place = [&](const FirmwareStep &) { ++placed; };
    link.waitAck = [](int ms) -> std::optional<FirmwareAck> {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return std::nullopt; // a module that never answers
    };
    link.cancel = &cancel;
    std::thread operatorThread([&] {
        while (placed.load() == 0)
            std::this_thread::yield();
        cancel = true;
    });
    const FirmwareStep end = runUpgrade(u, u.start(), link); // the 3000 ms timer
    operatorThread.join();
    EXPECT_EQ(end.kind, FirmwareStep::Kind::Finished);
    EXPECT_FALSE(end.success);
    EXPECT_EQ(end.message, texts::kFirmwareCancelled);
    EXPECT_FALSE(u.running());
}

} // namespace
} // namespace qx
