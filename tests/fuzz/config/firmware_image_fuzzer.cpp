// Loading a firmware image and cutting it into parts. Mode bit 0 stretches
// the body (repeated) to the length in its first two bytes times three, so
// that images on both sides of the 131071-byte limit are tried.
#include <algorithm>
#include <cstring>
#include <vector>

#include "byte_io.h"
#include "crc16.h"
#include "firmware_upgrade.h"
#include "fuzz_target.h"

QX_FUZZ_TARGET(input)
{
    namespace L = qx::FirmwarePartLayout;
    std::vector<uint8_t> bytes = input.bodyBytes();
    if ((input.mode() & 1) && bytes.size() >= 2) {
        const std::size_t length = std::size_t(bytes[0] | bytes[1] << 8) * 3;
        std::vector<uint8_t> stretched(length);
        for (std::size_t i = 0; i < length; ++i)
            stretched[i] = bytes[i % bytes.size()];
        bytes = std::move(stretched);
    }
    qx::FirmwareUpgrade upgrade;
    const qx::FirmwareLoadResult r = upgrade.loadImage(bytes, "fuzz.bin");
    QX_FUZZ_CHECK(r.ok == (bytes.size() <= qx::kFirmwareMaxImage));
    QX_FUZZ_CHECK(r.ok ? r.message.empty() : !r.message.empty());
    if (!r.ok) {
        QX_FUZZ_CHECK(upgrade.imageSize() == 0);
        return;
    }
    // a file of 0 or 1 byte leaves no image
    const std::vector<uint8_t> &image = upgrade.image();
    QX_FUZZ_CHECK(bytes.size() <= 1 ? image.empty() : image == bytes);
    QX_FUZZ_CHECK(r.log.empty() == image.empty());

    // the parts carry the image and nothing else, each with its CRC
    std::vector<uint8_t> joined;
    const uint32_t parts = upgrade.partsTotal();
    QX_FUZZ_CHECK(parts == qx::firmwarePartCount(image.size()) && parts <= L::kMaxParts);
    for (uint32_t i = 0; i < parts; ++i) {
        const std::vector<uint8_t> p = qx::buildFirmwarePart(image, static_cast<uint16_t>(i));
        QX_FUZZ_CHECK(p.size() == L::kPayloadSize);
        QX_FUZZ_CHECK(qx::getU16be(p.data(), L::kPartIndex) == i);
        QX_FUZZ_CHECK(qx::getU16be(p.data(), L::kChecksum) == qx::crc16(p.data(), L::kChecksum));
        joined.insert(joined.end(), p.begin() + L::kImage, p.begin() + L::kImage + L::kPartSize);
    }
    QX_FUZZ_CHECK(joined.size() > image.size() && std::equal(image.begin(), image.end(), joined.begin()));
    QX_FUZZ_CHECK(std::all_of(joined.begin() + image.size(), joined.end(),
                              [](uint8_t b) { return b == qx::kFirmwareFill; }));
    // the last part is never full: it tells the module where the image ends
    QX_FUZZ_CHECK(joined.size() - image.size() >= 1 && joined.size() - image.size() <= L::kPartSize);
}
