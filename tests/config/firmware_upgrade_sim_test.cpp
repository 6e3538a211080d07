// The firmware upgrade's driver through QXLIB into the running qxsim, over
// Modbus TCP and over RTU on a pseudo-terminal: the image qxsim assembled
// (its bios.bin) must begin with the image byte for byte, also when answers
// are lost and parts refused on the way.
#include <gtest/gtest.h>

#include <algorithm>

#include "firmware_upgrade.h"
#include "frames.h"
#include "qxsim_transfer.h"

namespace qx {
namespace {

using qxtest::pattern;

// Where answers are lost on purpose the timer is shorter than the page's, to
// keep the test quick (a TCP part takes about a second to go out).
class UpgradeQxsim : public qxtest::QxsimTransferTest
{
};

TEST_P(UpgradeQxsim, ImageOf2500BytesArrivesInThreeParts)
{
    start({});
    const std::vector<uint8_t> image = pattern(2500);
    FirmwareUpgrade u;
    ASSERT_TRUE(u.loadImage(image, "qx_bios.bin").ok);
    const TransferResult end = run(u, u.start());
    EXPECT_TRUE(end.end.success) << end.end.message;
    ASSERT_EQ(placed.size(), 3u);
    for (uint16_t p = 0; p < 3; ++p)
        EXPECT_EQ(firmwarePartOf(placed[p]), p);
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
    const TransferResult end = run(u, u.start(), 1500);
    EXPECT_TRUE(end.end.success) << end.end.message;
    EXPECT_GT(placed.size(), 5u);
    const std::vector<uint8_t> assembled = stored("bios.bin");
    ASSERT_GE(assembled.size(), image.size());
    EXPECT_TRUE(std::equal(image.begin(), image.end(), assembled.begin()));
}

// Every fifth request unanswered, every seventh answer broken (a wrong CRC
// or protocol identifier): the parts lost or unconfirmed go again, and the
// module ends with the image and its fill, nothing else.
TEST_P(UpgradeQxsim, LostAndBrokenAnswersStillGiveTheWholeImage)
{
    start({"--drop-every", "5", "--corrupt-every", "7"});
    const std::vector<uint8_t> image = pattern(7000);
    FirmwareUpgrade u;
    ASSERT_TRUE(u.loadImage(image, "qx_bios.bin").ok);
    const TransferResult end = run(u, u.start(), 1500);
    EXPECT_TRUE(end.end.success) << end.end.message;
    EXPECT_GE(placed.size(), 9u); // the 5th request and the part of the 7th answer again
    std::vector<uint8_t> expected = image;
    expected.resize(7 * 1024, kFirmwareFill);
    EXPECT_EQ(stored("bios.bin"), expected);
}

INSTANTIATE_TEST_SUITE_P(Framing, UpgradeQxsim, ::testing::Values(false, true),
                         [](const auto &info) { return info.param ? "Rtu" : "Tcp"; });

} // namespace
} // namespace qx
