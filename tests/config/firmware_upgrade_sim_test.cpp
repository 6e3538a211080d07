// The firmware upgrade's driver through QXLIB into the running qxsim, over
// Modbus TCP and over RTU on a pseudo-terminal: the image qxsim assembled
// (its bios.bin) must begin with the image byte for byte, also when answers
// are lost and parts refused on the way.
#include <gtest/gtest.h>

#include <algorithm>

#include "event_codes.h"
#include "event_records.h"
#include "firmware_upgrade.h"
#include "qxsim_transfer.h"

namespace qx {
namespace {

// Events 16 and 17 read as the shell reads them.
std::optional<FirmwareAck> firmwareAck(int32_t code, const uint8_t *record)
{
    if (code != kEventBiosPacket && code != kEventFirmwarePacket)
        return std::nullopt;
    return FirmwareAck {code, readTransferStep(code, record).nextPart};
}

std::vector<uint8_t> pattern(std::size_t n)
{
    std::vector<uint8_t> b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = static_cast<uint8_t>((i * 13 + i / 1024) % 241);
    return b;
}

class UpgradeQxsim : public qxtest::QxsimTransferTest<FirmwareAck, firmwareAck>
{
protected:
    // Runs the transfer to its end; the parts placed are kept in `placed`.
    // Where answers are lost on purpose the timer is shorter than the page's,
    // to keep the test quick (a TCP part takes about a second to go out).
    FirmwareStep run(FirmwareUpgrade &u, int timerMs = kFirmwareAckTimeoutMs)
    {
        FirmwareLink link;
        link.place = [&](const FirmwareStep &s) {
            placed.push_back(s.part);
            qxtest::placeTransferPacket(m_handle, s.transferKind, s.payload);
        };
        link.waitAck = [](int ms) { return acks().next(ms); };
        return runUpgrade(u, u.start(), link, timerMs);
    }

    std::vector<uint16_t> placed;
};

TEST_P(UpgradeQxsim, ImageOf2500BytesArrivesInThreeParts)
{
    start({});
    const std::vector<uint8_t> image = pattern(2500);
    FirmwareUpgrade u;
    ASSERT_TRUE(u.loadImage(image, "qx_bios.bin").ok);
    const FirmwareStep end = run(u);
    EXPECT_TRUE(end.success) << end.message;
    EXPECT_EQ(placed, (std::vector<uint16_t> {0, 1, 2}));
    std::vector<uint8_t> expected = image;
    expected.resize(3 * 1024, kFirmwareFill);
    EXPECT_EQ(stored("bios.bin"), expected);
}

TEST_P(UpgradeQxsim, LostAndRefusedAnswersStillGiveTheSameImage)
{
    start({"--drop-every", "3", "--drop-part", "1", "--refuse-part", "2"});
    const std::vector<uint8_t> image = pattern(4100);
    FirmwareUpgrade u;
    ASSERT_TRUE(u.loadImage(image, "qx_bios.bin").ok);
    const FirmwareStep end = run(u, 1500);
    EXPECT_TRUE(end.success) << end.message;
    EXPECT_GT(placed.size(), 5u);
    const std::vector<uint8_t> assembled = stored("bios.bin");
    ASSERT_GE(assembled.size(), image.size());
    EXPECT_TRUE(std::equal(image.begin(), image.end(), assembled.begin()));
}

INSTANTIATE_TEST_SUITE_P(Framing, UpgradeQxsim, ::testing::Values(false, true),
                         [](const auto &info) { return info.param ? "Rtu" : "Tcp"; });

} // namespace
} // namespace qx
