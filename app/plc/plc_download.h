// The program download: the image goes to the module in EplcPackets, one at a
// time, each acknowledged. A start packet, then block 0 and every later
// running block in chunks of the chosen block size, then the final command
// (RAM and run, FLASH and run, FLASH and restart). A refused packet is sent
// again; so is the last one when no acknowledgement came within the
// driver's timer (kTransferAckTimeoutMs).
//
// PlcDownload is only the state machine of an AckedTransfer: it returns what
// to send and what to tell the operator, and the driver (the PLC page, or
// qxcli through runTransfer) places the packets, keeps the timer and
// delivers acknowledgements, all on one thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "acked_transfer.h"
#include "plc_project.h"
#include "request_record.h"

namespace qx {

inline constexpr uint16_t kEplcBlockSizes[] = {8, 16, 32, 64, 128, 256};
inline constexpr uint16_t kEplcDefaultBlockSize = 64;

// The final commands, which are also the mode byte of the last packet.
inline constexpr uint8_t kEplcRamRun = 3;       // "下载RAM并运行"
inline constexpr uint8_t kEplcFlashRun = 4;     // "下载FLASH并运行"
inline constexpr uint8_t kEplcFlashRestart = 5; // "下载FLASH并重启", "清空FLASH并重启"

bool isEplcBlockSize(int size);

// Mode, block, offset and length: what a packet says about itself and what
// the module echoes back.
struct EplcHeader {
    uint8_t mode = 0;
    uint8_t block = 0;
    uint16_t offset = 0;
    uint16_t length = 0;

    bool operator==(const EplcHeader &) const = default;
};

// The module's acknowledgement (kEventPlcPacket): its status and the packet it
// echoes, read only as far as the reply reached. Status 0 is success; any
// other status is an error code and writes a line to the log.
struct EplcAck {
    bool complete = false; // the status and the whole echo arrived
    bool success = false;
    uint8_t status = 0;
    EplcHeader echo;
    std::string logLine;
};
EplcAck readEplcAck(const uint8_t *record);

// The EplcPacket: header big-endian, `length` bytes of the image from
// block * 256 + offset, CRC-16 high byte first. Empty when the header points
// outside the image.
std::vector<uint8_t> buildEplcPacket(const EplcHeader &header, const std::vector<uint8_t> &image);
// The header a step's packet carries.
EplcHeader eplcHeaderOf(const TransferStep &step);

// A final command that goes unanswered is sent again this many times before
// the transfer fails: when only its answer was lost, every data packet has
// arrived and the module answers the repeat as it answered the first.
inline constexpr int kEplcFinalResends = 3;

class PlcDownload : public AckedTransfer
{
public:
    // 0 while idle, else the final command of the running transfer.
    uint8_t finalCommand() const { return m_final; }
    uint16_t blockSize() const { return m_blockSize; }

    // Begins a transfer of `image` with the start packet. `finalCommand` is
    // 3, 4 or 5 and `blockSize` one of kEplcBlockSizes; anything else, or a
    // transfer already running, gives Nothing.
    TransferStep start(const ProgramImage &image, uint8_t finalCommand, uint16_t blockSize);

    // An acknowledgement; the next packet follows from what the module
    // echoed. Only an echo of the packet outstanding (its mode, block and
    // offset) counts: the late answer to a packet that the timer has sent
    // again, and then the answer to the repeat, would otherwise both move
    // the transfer on and every later packet would go twice. Echoes that no
    // packet of the image could have are ignored too, so the timer resends.
    TransferStep acknowledge(const EplcAck &ack);

    bool running() const override { return m_final != 0; }
    bool acknowledgedBy(int32_t code) const override;
    TransferStep acknowledge(int32_t code, const uint8_t *record) override;
    // The last packet again, with the block size as length; a final command
    // goes again as it was, kEplcFinalResends times, then the transfer fails.
    TransferStep timeout() override;
    // The operator is told of a cancel he asked for; every end is logged.
    TransferStep cancel(TransferStop why = TransferStop::Operator) override;
    int unitsTotal() const override { return m_planned; }
    int unitsAcknowledged() const override { return m_acknowledged; }

    // Progress: packets of this transfer, and how far the module has
    // acknowledged them.
    int packetsPlanned() const { return m_planned; }
    int packetsAcknowledged() const { return m_acknowledged; }

private:
    TransferStep send(const EplcHeader &header);
    TransferStep finish(bool success);
    int positionOf(const EplcHeader &header) const;
    bool sendsBlock(int block) const;

    std::vector<uint8_t> m_image;
    uint8_t m_final = 0;
    uint16_t m_blockSize = kEplcDefaultBlockSize;
    EplcHeader m_last; // the packet outstanding
    int m_finalResends = 0;
    int m_planned = 0;
    int m_acknowledged = 0;
};

} // namespace qx
