// The firmware upgrade: an image of at most 131071 bytes goes to the module
// in parts of 1024 bytes (part index, image bytes, CRC), one at a time, each
// acknowledged. The module's acknowledgement moves to the next part, a
// refusal sends the same part again, and so does a tick of the retry timer
// when no acknowledgement came within kFirmwareAckTimeoutMs, without limit,
// until the last part is acknowledged or the operator cancels.
//
// FirmwareUpgrade is only the state machine of an AckedTransfer: it returns
// what to send and what to tell the operator; its driver (the configuration
// page's firmware box, or qxcli through runTransfer) places the parts, keeps
// the timer and delivers acknowledgements, all on one thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "acked_transfer.h"
#include "request_record.h"
#include "transfer_packet_layout.h"

namespace qx {

// The two transfer kinds: each is its command slot and its event code.
inline constexpr int kTransferBios = kSlotBiosPacket;         // 16, function 0x43
inline constexpr int kTransferFirmware = kSlotFirmwarePacket; // 17, function 0x44
// Parts from index 128 on cannot be sent, so the largest image is one byte
// short of 128 parts (the last part always carries less than a whole part).
inline constexpr std::size_t kFirmwareMaxImage = FirmwarePartLayout::kMaxImageSize - 1; // 131071
// The bytes after the image's end in its last part.
inline constexpr uint8_t kFirmwareFill = 0xFF;

bool isFirmwareTransferKind(int kind);

// Number of parts for an image of `size` bytes: size / 1024 + 1, so an image
// whose size is a multiple of 1024 is followed by a part with no image byte
// (the last part is never full, which tells the module where the image ends).
uint32_t firmwarePartCount(std::size_t size);

// The payload of part `index`: index big-endian, the image bytes from
// index * 1024 (kFirmwareFill after the image's end), CRC-16 high byte first.
std::vector<uint8_t> buildFirmwarePart(const std::vector<uint8_t> &image, uint16_t index);

struct FirmwareLoadResult
{
    bool ok = false;
    std::string message; // refused: the message box text
    std::string log;     // loaded: "文件路径:" ... for the main log
};

// An acknowledgement of kEventBiosPacket and kEventFirmwarePacket: the kind
// and the part to send next (the acknowledged part + 1 when stored, the same
// part when refused), and the line a refusal writes to the log.
struct FirmwareAck
{
    int kind = kTransferBios;
    int32_t nextPart = 0;
    std::string logLine;
};
FirmwareAck readFirmwareAck(int32_t code, const uint8_t *record);

// The part index a step's packet carries.
uint16_t firmwarePartOf(const TransferStep &step);

class FirmwareUpgrade : public AckedTransfer
{
public:
    // Reads an image file. A file that cannot be read or is longer than
    // kFirmwareMaxImage is refused with a message and changes nothing; a
    // file of 0 or 1 byte leaves no image loaded.
    FirmwareLoadResult loadFile(const std::string &path);
    // The same rules for bytes at hand; `name` stands for the path in the log.
    FirmwareLoadResult loadImage(std::vector<uint8_t> bytes, const std::string &name);

    uint32_t imageSize() const { return static_cast<uint32_t>(m_image.size()); }
    const std::vector<uint8_t> &image() const { return m_image; }

    int transferKind() const { return m_kind; }
    // The part being sent; 128 while idle.
    uint32_t partIndex() const { return m_part; }
    // Parts of the loaded image, and how many of them the module has
    // acknowledged in the running or last transfer.
    uint32_t partsTotal() const { return firmwarePartCount(m_image.size()); }
    uint32_t partsAcknowledged() const { return m_acknowledged; }

    // Begins a transfer of the loaded image with part 0. Without an image it
    // gives Nothing with the message; an unknown kind or a transfer already
    // running gives Nothing.
    TransferStep start(int kind = kTransferBios);
    // An acknowledgement. One that does not answer the part being sent (a
    // part never sent, a late one after a cancel, another kind's) is
    // ignored and the timer runs on; its refusal line is logged all the same.
    TransferStep acknowledge(const FirmwareAck &ack);

    bool running() const override { return m_part < kIdle; }
    bool acknowledgedBy(int32_t code) const override { return isFirmwareTransferKind(code); }
    TransferStep acknowledge(int32_t code, const uint8_t *record) override;
    // The retry timer ran out: the timeout line and the same part again.
    TransferStep timeout() override;
    // The operator is warned that the module may not start, unless the first
    // part could not even be placed.
    TransferStep cancel(TransferStop why = TransferStop::Operator) override;
    int unitsTotal() const override { return int(partsTotal()); }
    int unitsAcknowledged() const override { return int(m_acknowledged); }

private:
    static constexpr uint32_t kIdle = FirmwarePartLayout::kMaxParts; // 128

    TransferStep send(uint32_t part);

    std::vector<uint8_t> m_image;
    int m_kind = kTransferBios;
    uint32_t m_part = kIdle;
    uint32_t m_acknowledged = 0;
};

} // namespace qx
