#include "socket_com_port.h"

#include "byte_io.h"
#include "crc16.h"
#include "socket_io.h"

namespace qx {

namespace {

// Writes may take 10 ms per byte plus one second before they count as failed.
std::chrono::milliseconds writeBound(std::size_t length)
{
    return std::chrono::milliseconds(10 * static_cast<int64_t>(length) + 1000);
}

} // namespace

CSocketComPort::CSocketComPort(const PortSettings &settings, EventCallback callback)
    : PortBase(settings, callback)
{
}

CSocketComPort::~CSocketComPort()
{
    closeTransport();
}

std::string CSocketComPort::devicePath() const
{
    return SerialDevice::pathFor(
        settingText(settings(), SettingsLayout::kPortName, SettingsLayout::kPortNameSize));
}

bool CSocketComPort::openTransport()
{
    closeTransport();
    if (!m_device.open(devicePath())) {
        reportOpenFailure(kStateOpenFailed);
        return false;
    }
    SerialLine line;
    line.baudRate = getU32le(settings(), SettingsLayout::kBaudRate);
    line.dataBits = settings()[SettingsLayout::kDataBits];
    line.parity = settings()[SettingsLayout::kParity];
    line.stopBits = settings()[SettingsLayout::kStopBits];
    if (!m_device.configure(line)) {
        // the device stays open until the port is stopped
        reportOpenFailure(kStateOpenFailed);
        return false;
    }
    m_device.purge(SerialPurge::Both);
    return true;
}

void CSocketComPort::closeTransport()
{
    m_device.close();
}

void CSocketComPort::writeFrame(const uint8_t *data, std::size_t length)
{
    if (!m_device.isOpen())
        return;
    // Stale bytes in either direction go first: those the driver holds and
    // those gathered without forming a frame (an answer broken on the line,
    // noise). They can be no answer to this request, and left in the
    // accumulator they would spoil every answer behind them until two
    // seconds of silence, which a poll never leaves. After the write only
    // the input is purged (an RS485 adapter's echo), and only once the line
    // has sent everything: purging the output right after the write would
    // drop a request still queued in the driver.
    m_accumulated = 0;
    m_device.purge(SerialPurge::Both);
    m_device.write(data, length, Clock::now() + writeBound(length));
    if (m_device.hasLineTime())
        m_device.purge(SerialPurge::Input);
}

void CSocketComPort::readAndFrame()
{
    if (m_accumulated < m_accumulator.size()) {
        const std::ptrdiff_t n = m_device.read(m_accumulator.data() + m_accumulated,
                                               m_accumulator.size() - m_accumulated);
        if (n > 0) {
            m_accumulated += static_cast<std::size_t>(n);
            m_lastByteTime = Clock::now();
        }
    }
    // The whole block is one frame exactly when its CRC matches; a frame that
    // does not fit into the engine is dropped with it.
    if (m_accumulated >= 5 && crcMatchesLowFirst(m_accumulator.data(), m_accumulated)) {
        engine().append(m_accumulator.data(), m_accumulated);
        m_accumulated = 0;
    } else if (m_accumulated >= m_accumulator.size()) {
        m_accumulated = 0;
    }
    if (Clock::now() - m_lastByteTime >= kStaleGap)
        m_accumulated = 0;
}

void CSocketComPort::threadBody()
{
    beginPacing();
    reportState(kStateRunning);
    m_accumulated = 0;
    m_lastByteTime = Clock::now();
    while (!stopRequested()) {
        // the pass waits on the line, so an answer is seen at once
        const Clock::time_point stale = m_accumulated > 0 ? m_lastByteTime + kStaleGap
                                                          : Clock::time_point::max();
        const SerialWait waited = m_device.wait(wakeSignal(), passWaitMs(stale));
        if (waited.woken)
            drainWake();
        const std::size_t before = m_accumulated;
        readAndFrame();
        if (waited.hungUp && m_accumulated == before)
            pauseFor(kIdleWait); // a line that hung up: do not spin on it
        decodeAndDeliver();
        if (sendDue())
            sendNext();
    }
}

} // namespace qx
