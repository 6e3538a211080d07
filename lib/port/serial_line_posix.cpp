// The serial line on Linux: a tty descriptor set up through the kernel's
// termios2 (kept in its own file: that header cannot live beside
// <termios.h>), waited on with poll() beside the wake-up's eventfd.
#include "serial_line.h"

#include <cerrno>

#include <asm/termbits.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "wake_signal.h"

namespace qx {

struct SerialDevice::Native
{
    int fd = -1;
    bool pseudoTerminal = false;
};

namespace {

int remainingMs(SerialDevice::Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - SerialDevice::Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// A pseudo-terminal (a simulated module, socat) has no line time.
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

SerialDevice::SerialDevice()
    : m_native(std::make_unique<Native>())
{
}

SerialDevice::~SerialDevice()
{
    close();
}

std::string SerialDevice::pathFor(const std::string &name)
{
    if (!name.empty() && name.front() == '/')
        return name;
    return "/dev/" + name;
}

bool SerialDevice::open(const std::string &path)
{
    close();
    m_native->fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_native->fd < 0)
        return false;
    // the line belongs to this port alone while it is open
    ::ioctl(m_native->fd, TIOCEXCL);
    m_native->pseudoTerminal = isPseudoTerminal(m_native->fd);
    return true;
}

bool SerialDevice::configure(const SerialLine &line)
{
    const int fd = m_native->fd;
    struct termios2 tio {};
    if (::ioctl(fd, TCGETS2, &tio) != 0)
        return false;

    // raw bytes: no end-of-file, line editing, translation or echo
    tio.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR
                                          | ICRNL | IXON | IXOFF | IXANY | INPCK | IUCLC
                                          | IMAXBEL);
    tio.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    tio.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN | ECHOE
                                          | ECHOK);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;

    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS
                                          | CBAUD | (CBAUD << IBSHIFT));
    tio.c_cflag |= CLOCAL | CREAD | BOTHER | (BOTHER << IBSHIFT);
    tio.c_cflag |= line.dataBits == 7 ? CS7 : CS8;
    switch (line.parity) {
    case 1:
        tio.c_cflag |= PARENB | PARODD;
        break;
    case 2:
        tio.c_cflag |= PARENB;
        break;
    case 3:
        tio.c_cflag |= PARENB | PARODD | CMSPAR;
        break;
    default:
        break;
    }
    if (line.parity != 0)
        tio.c_iflag |= INPCK;
    if (line.stopBits == 2)
        tio.c_cflag |= CSTOPB;
    tio.c_ispeed = line.baudRate;
    tio.c_ospeed = line.baudRate;
    if (::ioctl(fd, TCSETS2, &tio) != 0)
        return false;

    // not every device has modem lines (a pseudo-terminal has none)
    int lines = TIOCM_DTR | TIOCM_RTS;
    ::ioctl(fd, TIOCMBIS, &lines);
    return true;
}

void SerialDevice::close()
{
    if (m_native->fd >= 0) {
        ::ioctl(m_native->fd, TIOCNXCL);
        ::close(m_native->fd);
    }
    m_native->fd = -1;
}

bool SerialDevice::isOpen() const
{
    return m_native->fd >= 0;
}

bool SerialDevice::hasLineTime() const
{
    return !m_native->pseudoTerminal;
}

void SerialDevice::purge(SerialPurge which)
{
    ::ioctl(m_native->fd, TCFLSH, which == SerialPurge::Both ? TCIOFLUSH : TCIFLUSH);
}

bool SerialDevice::write(const uint8_t *data, std::size_t length, Clock::time_point deadline)
{
    const int fd = m_native->fd;
    std::size_t done = 0;
    while (done < length) {
        const ssize_t n = ::write(fd, data + done, length - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        const int wait = remainingMs(deadline);
        if (wait == 0)
            return false;
        pollfd p {fd, POLLOUT, 0};
        ::poll(&p, 1, wait);
    }
    // Wait for the driver's queue to empty within the bound, then let the
    // kernel wait for the last bytes in the hardware; only then may the
    // input be purged without touching the request itself.
    for (;;) {
        int queued = 0;
        if (::ioctl(fd, TIOCOUTQ, &queued) != 0 || queued <= 0)
            break;
        if (remainingMs(deadline) == 0)
            return false;
        ::usleep(1000);
    }
    return ::ioctl(fd, TCSBRK, 1) == 0;
}

SerialWait SerialDevice::wait(const WakeSignal &wake, int waitMs)
{
    pollfd p[2] = {{m_native->fd, POLLIN, 0}, {wake.pollable(), POLLIN, 0}};
    SerialWait result;
    if (::poll(p, 2, waitMs) > 0) {
        result.woken = p[1].revents != 0;
        result.hungUp = (p[0].revents & (POLLHUP | POLLERR)) != 0;
    }
    return result;
}

std::ptrdiff_t SerialDevice::read(uint8_t *buffer, std::size_t size)
{
    return ::read(m_native->fd, buffer, size);
}

} // namespace qx
