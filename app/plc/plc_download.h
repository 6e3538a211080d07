// The program download: the image goes to the module in EplcPackets, one at a
// time, each acknowledged. A start packet, then block 0 and every later
// running block in chunks of the chosen block size, then the final command
// (RAM and run, FLASH and run, FLASH and restart). A refused packet is sent
// again; so is the last one when no acknowledgement came within
// kEplcAckTimeoutMs.
//
// PlcDownload is only the state machine: it returns what to send and what to
// tell the operator, and the driver (the PLC page, or a command-line run)
// places the packets, keeps the timer and delivers acknowledgements, all on
// one thread.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "plc_project.h"
#include "request_record.h"

namespace qx {

inline constexpr int kEplcAckTimeoutMs = 3000;
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

// The module's acknowledgement: status 0 is success, the header as echoed.
struct EplcAck {
    bool success = false;
    EplcHeader echo;
};

// The EplcPacket: header big-endian, `length` bytes of the image from
// block * 256 + offset, CRC-16 high byte first. Empty when the header points
// outside the image.
std::vector<uint8_t> buildEplcPacket(const EplcHeader &header, const std::vector<uint8_t> &image);

struct EplcStep {
    enum class Kind {
        Nothing,  // leave everything as it is (the timer keeps running)
        Send,     // place `packet`, then (re)arm the acknowledgement timer
        Finished, // stop the timer; the transfer is over
    };
    Kind kind = Kind::Nothing;
    EplcHeader header;
    std::vector<uint8_t> packet;
    std::string log;     // for the main log, "" for none
    std::string message; // Finished: the message box text
    bool success = false; // Finished: the module took the final command
};

class PlcDownload
{
public:
    bool running() const { return m_final != 0; }
    // 0 while idle, else the final command of the running transfer.
    uint8_t finalCommand() const { return m_final; }
    uint16_t blockSize() const { return m_blockSize; }
    const EplcHeader &lastSent() const { return m_last; }

    // Begins a transfer of `image` with the start packet. `finalCommand` is
    // 3, 4 or 5 and `blockSize` one of kEplcBlockSizes; anything else, or a
    // transfer already running, gives Nothing.
    EplcStep start(const ProgramImage &image, uint8_t finalCommand, uint16_t blockSize);

    // An acknowledgement; the next packet follows from what the module
    // echoed. Echoes that no packet of the image could have (block beyond 99,
    // a chunk past the block's end, an unknown mode) are ignored, so the
    // timer resends.
    EplcStep acknowledge(const EplcAck &ack);

    // The acknowledgement timer ran out: the last packet again, with the
    // block size as length; a final command without answer ends the
    // transfer as failed.
    EplcStep timeout();

    // The operator cancelled. A packet already placed is not withdrawn.
    EplcStep cancel();

    // Progress: packets of this transfer, and how far the module has
    // acknowledged them.
    int packetsPlanned() const { return m_planned; }
    int packetsAcknowledged() const { return m_acknowledged; }

private:
    EplcStep send(const EplcHeader &header);
    EplcStep finish(bool success);
    int positionOf(const EplcHeader &header) const;
    bool sendsBlock(int block) const;

    std::vector<uint8_t> m_image;
    uint8_t m_final = 0;
    uint16_t m_blockSize = kEplcDefaultBlockSize;
    EplcHeader m_last;
    int m_planned = 0;
    int m_acknowledged = 0;
};

// A driver that has nothing else to do meanwhile (the command line, tests,
// benchmarks): places each packet, waits for its acknowledgement with the
// timer running, and returns the step that ended the transfer.
struct EplcLink {
    std::function<void(const EplcStep &send)> place;
    // The next acknowledgement within `waitMs`, nullopt when none came.
    std::function<std::optional<EplcAck>(int waitMs)> waitAck;
    // Asked after each wait; true ends the transfer as the cancel button
    // does. May be empty.
    std::function<bool()> cancelled;
};
EplcStep runDownload(PlcDownload &download, EplcStep step, const EplcLink &link,
                     int ackTimeoutMs = kEplcAckTimeoutMs);

} // namespace qx
