// SerialDevice: a serial line as the serial transport uses it, one
// declaration for both platforms. Raw bytes at any baud rate, 7 or 8 data
// bits, parity none/odd/even/mark, one or two stop bits, DTR and RTS
// asserted, no flow control. On Linux (serial_line_posix.cpp) through
// termios2 with BOTHER, so 14400, 128000 and 256000 work; on Windows
// (serial_line_win32.cpp) through SetCommState and overlapped reads.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace qx {

class WakeSignal;

struct SerialLine
{
    uint32_t baudRate = 9600;
    uint8_t dataBits = 8;
    uint8_t parity = 0; // 0 none, 1 odd, 2 even, 3 mark
    uint8_t stopBits = 0; // 0 one, 2 two (the driver's codes)
};

enum class SerialPurge {
    Input,
    Both,
};

// What ended a wait on the line.
struct SerialWait
{
    bool woken = false; // the wake-up signal is raised
    bool hungUp = false; // the device hung up or failed
};

class SerialDevice
{
public:
    using Clock = std::chrono::steady_clock;

    SerialDevice();
    ~SerialDevice();
    SerialDevice(const SerialDevice &) = delete;
    SerialDevice &operator=(const SerialDevice &) = delete;

    // The device a port name designates, as operators type it: on Linux a
    // name that is not an absolute path is taken under /dev/; on Windows
    // "COM3" and "COM12" get the device-namespace prefix \\.\ unless they
    // carry it already.
    static std::string pathFor(const std::string &name);

    // Opens the device for this port alone; false when it cannot be opened.
    bool open(const std::string &path);
    // False when the device refuses the settings.
    bool configure(const SerialLine &line);
    // Idempotent.
    void close();
    bool isOpen() const;

    // False for a line without line time (a pseudo-terminal, a simulated
    // module): its answer can be back before the input purge that follows
    // a write, and it has no echo for that purge to remove.
    bool hasLineTime() const;

    void purge(SerialPurge which);
    // Writes all bytes and waits until the line has sent them, both before
    // `deadline`. False when the deadline passed or the device failed.
    bool write(const uint8_t *data, std::size_t length, Clock::time_point deadline);

    // Waits at most `waitMs` for received bytes or for `wake`.
    SerialWait wait(const WakeSignal &wake, int waitMs);
    // Takes up to `size` received bytes without waiting; the count, 0 or
    // less when there are none.
    std::ptrdiff_t read(uint8_t *buffer, std::size_t size);

private:
    struct Native;
    std::unique_ptr<Native> m_native;
};

} // namespace qx
