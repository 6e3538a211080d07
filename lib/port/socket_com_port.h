// CSocketComPort: the serial transport (type 3, Modbus RTU on RS485). Received
// bytes gather in an accumulator until the CRC over the whole block matches;
// only such a block goes to the engine as one frame. Bytes that formed none
// are dropped after two seconds of silence, when the accumulator is full, or
// when the next request goes out.
#pragma once

#include <array>

#include "port_base.h"
#include "serial_line.h"

namespace qx {

class CSocketComPort : public PortBase
{
public:
    static constexpr std::size_t kAccumulatorSize = 2048;
    static constexpr std::chrono::milliseconds kStaleGap {2000};

    CSocketComPort(const PortSettings &settings, EventCallback callback);
    ~CSocketComPort() override;

    // The device the settings' port name designates (SerialDevice::pathFor).
    std::string devicePath() const;

protected:
    void threadBody() override;
    bool openTransport() override;
    void closeTransport() override;
    int32_t stopResult() const override { return 1; }
    void writeFrame(const uint8_t *data, std::size_t length) override;

private:
    void readAndFrame();

    SerialDevice m_device;
    std::array<uint8_t, kAccumulatorSize> m_accumulator {};
    std::size_t m_accumulated = 0;
    Clock::time_point m_lastByteTime;
};

} // namespace qx
