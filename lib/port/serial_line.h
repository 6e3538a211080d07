// Line set-up and buffer handling of a serial device: raw bytes at any baud
// rate (termios2 with BOTHER, so 14400, 128000 and 256000 work), 7 or 8 data
// bits, parity none/odd/even/mark, one or two stop bits, DTR and RTS asserted,
// no flow control. Kept apart because the kernel's termios2 header cannot live
// beside <termios.h>.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace qx {

struct SerialLine
{
    uint32_t baudRate = 9600;
    uint8_t dataBits = 8;
    uint8_t parity = 0; // 0 none, 1 odd, 2 even, 3 mark
    uint8_t stopBits = 0; // 0 one, 2 two (the driver's codes)
};

// False when the device refuses the settings.
bool configureSerialLine(int fd, const SerialLine &line);

enum class SerialPurge {
    Input,
    Both,
};
void purgeSerial(int fd, SerialPurge which);

// Writes all bytes and waits until the line has sent them, both before
// `deadline`. False when the deadline passed or the device failed.
bool writeSerial(int fd, const uint8_t *data, std::size_t length,
                 std::chrono::steady_clock::time_point deadline);

} // namespace qx
