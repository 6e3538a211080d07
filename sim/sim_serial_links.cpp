// qxsim's serial transports: Modbus RTU on a new pseudo-terminal or on an
// existing serial device.
#include "sim_transports.h"

#include <algorithm>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace qx::sim {

namespace {

speed_t speedOf(unsigned baud)
{
    switch (baud) {
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    case 460800: return B460800;
    case 921600: return B921600;
    default: return B0;
    }
}

} // namespace

bool SimServer::addPty(std::string &error)
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        error = errnoText("pseudo-terminal");
        if (master >= 0)
            ::close(master);
        return false;
    }
    const char *name = ::ptsname(master);
    const std::string path = name ? name : "";
    const int slave = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0) {
        error = errnoText(path);
        ::close(master);
        return false;
    }
    // raw, so that no echo or line editing touches the frames whatever the
    // client sets up
    termios tio {};
    ::tcgetattr(slave, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(slave, TCSANOW, &tio);
    setNonBlocking(master);
    Link link;
    link.kind = LinkKind::Rtu;
    link.fd = master;
    link.extraFd = slave;
    link.name = "pty " + path;
    addLink(std::move(link));
    printReady("pty " + path);
    return true;
}

bool SimServer::addSerial(const std::string &path, unsigned baud, std::string &error)
{
    const speed_t speed = speedOf(baud);
    if (speed == B0) {
        error = "unsupported baud rate " + std::to_string(baud);
        return false;
    }
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = errnoText(path);
        return false;
    }
    termios tio {};
    if (::tcgetattr(fd, &tio) == 0) {
        ::cfmakeraw(&tio);
        tio.c_cflag |= CLOCAL | CREAD;
        tio.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS);
        ::cfsetispeed(&tio, speed);
        ::cfsetospeed(&tio, speed);
        ::tcsetattr(fd, TCSANOW, &tio);
        ::tcflush(fd, TCIOFLUSH);
    }
    Link link;
    link.kind = LinkKind::Rtu;
    link.fd = fd;
    link.name = "serial " + path;
    // 3.5 character times of 11 bits; 1.75 ms above 19200 baud
    const uint64_t silence = baud > 19200 ? 1750 : 38'500'000ull / baud;
    link.rtu = RtuReceiver(std::max<uint64_t>(silence, 2000));
    addLink(std::move(link));
    printReady("serial " + path);
    return true;
}

void SimServer::readRtu(int id, uint64_t now)
{
    uint8_t buf[4096];
    const std::size_t n = readLink(id, buf, sizeof buf);
    if (n == 0)
        return;
    std::vector<Request> requests;
    m_links.at(id).rtu.feed(buf, n, now, requests);
    for (const Request &r : requests)
        onRequest(id, r, now);
}

void SimServer::endSilentRtuFrames(uint64_t now)
{
    for (auto &[id, link] : m_links) {
        if (link.kind != LinkKind::Rtu)
            continue;
        std::vector<Request> requests;
        link.rtu.idle(now, requests);
        for (const Request &r : requests)
            onRequest(id, r, now);
    }
}

} // namespace qx::sim
