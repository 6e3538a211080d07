#include "serial_line.h"

#include <cerrno>

#include <asm/termbits.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace qx {

namespace {

int remainingMs(std::chrono::steady_clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

} // namespace

bool configureSerialLine(int fd, const SerialLine &line)
{
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

void purgeSerial(int fd, SerialPurge which)
{
    ::ioctl(fd, TCFLSH, which == SerialPurge::Both ? TCIOFLUSH : TCIFLUSH);
}

bool writeSerial(int fd, const uint8_t *data, std::size_t length,
                 std::chrono::steady_clock::time_point deadline)
{
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

} // namespace qx
