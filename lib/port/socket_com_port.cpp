#include "socket_com_port.h"

#include <cerrno>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "byte_io.h"
#include "crc16.h"
#include "serial_line.h"
#include "socket_io.h"

namespace qx {

namespace {

// Writes may take 10 ms per byte plus one second before they count as failed.
std::chrono::milliseconds writeBound(std::size_t length)
{
    return std::chrono::milliseconds(10 * static_cast<int64_t>(length) + 1000);
}

// A pseudo-terminal (a simulated module, socat) has no line time: the answer
// can be back before the input purge that follows a write, and there is no
// echo for that purge to remove, so it is skipped there.
bool isPseudoTerminal(int fd)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode))
        return false;
    const unsigned int deviceMajor = major(st.st_rdev);
    constexpr unsigned int kUnix98SlaveFirst = 136;
    constexpr unsigned int kUnix98SlaveLast = 143;
    constexpr unsigned int kLegacySlave = 3;
    return (deviceMajor >= kUnix98SlaveFirst && deviceMajor <= kUnix98SlaveLast)
        || deviceMajor == kLegacySlave;
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
    std::string name = settingText(settings(), SettingsLayout::kPortName,
                                   SettingsLayout::kPortNameSize);
    if (!name.empty() && name.front() == '/')
        return name;
    return "/dev/" + name;
}

bool CSocketComPort::openTransport()
{
    closeTransport();
    const std::string path = devicePath();
    m_fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0) {
        reportOpenFailure(kStateOpenFailed);
        return false;
    }
    // the line belongs to this port alone while it is open
    ::ioctl(m_fd, TIOCEXCL);
    m_pseudoTerminal = isPseudoTerminal(m_fd);

    SerialLine line;
    line.baudRate = getU32le(settings(), SettingsLayout::kBaudRate);
    line.dataBits = settings()[SettingsLayout::kDataBits];
    line.parity = settings()[SettingsLayout::kParity];
    line.stopBits = settings()[SettingsLayout::kStopBits];
    if (!configureSerialLine(m_fd, line)) {
        // the descriptor stays open until the port is stopped
        reportOpenFailure(kStateOpenFailed);
        return false;
    }
    purgeSerial(m_fd, SerialPurge::Both);
    return true;
}

void CSocketComPort::closeTransport()
{
    if (m_fd >= 0) {
        ::ioctl(m_fd, TIOCNXCL);
        ::close(m_fd);
    }
    m_fd = -1;
}

void CSocketComPort::writeFrame(const uint8_t *data, std::size_t length)
{
    if (m_fd < 0)
        return;
    // Stale bytes in either direction go first: those the driver holds and
    // those gathered without forming a frame (an answer broken on the line,
    // noise). They can be no answer to this request, and left in the
    // accumulator they would spoil every answer behind them until two
    // seconds of silence, which a poll never leaves. After the write only
    // the input is purged (an RS485 adapter's echo), and only once the line
    // has sent everything: purging the output right after write() would drop
    // a request still queued in the driver.
    m_accumulated = 0;
    purgeSerial(m_fd, SerialPurge::Both);
    writeSerial(m_fd, data, length, Clock::now() + writeBound(length));
    if (!m_pseudoTerminal)
        purgeSerial(m_fd, SerialPurge::Input);
}

void CSocketComPort::readAndFrame()
{
    if (m_accumulated < m_accumulator.size()) {
        const ssize_t n = ::read(m_fd, m_accumulator.data() + m_accumulated,
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
        pollfd p[2] = {{m_fd, POLLIN, 0}, {wakeFd(), POLLIN, 0}};
        const Clock::time_point stale = m_accumulated > 0 ? m_lastByteTime + kStaleGap
                                                          : Clock::time_point::max();
        const int ready = ::poll(p, 2, passWaitMs(stale));
        if (ready > 0 && p[1].revents != 0)
            drainWake();
        const std::size_t before = m_accumulated;
        readAndFrame();
        if (ready > 0 && (p[0].revents & (POLLHUP | POLLERR)) != 0 && m_accumulated == before)
            pauseFor(kIdleWait); // a line that hung up: do not spin on it
        decodeAndDeliver();
        if (sendDue())
            sendNext();
    }
}

} // namespace qx
