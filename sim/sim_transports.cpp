// qxsim's transports in one poll() loop.
#include "sim_transports.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace qx::sim {

namespace {

constexpr std::size_t kMaxTxQueue = 64 * 1024;
constexpr uint64_t kReconnectUs = 1'000'000;
// Reports go out on a serial line only while a host has been heard lately,
// so that they do not pile up in a terminal nobody reads.
constexpr uint64_t kSerialHostSilenceUs = 5'000'000;

void setNonBlocking(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL, 0);
    ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
}

std::string errnoText(const std::string &what)
{
    return what + ": " + std::strerror(errno);
}

// "[ADDR:]PORT", "[v6]:PORT"; the address defaults to 127.0.0.1.
bool splitHostPort(const std::string &spec, bool needHost, std::string &host, std::string &port)
{
    const std::size_t colon = spec.rfind(':');
    if (colon == std::string::npos) {
        if (needHost)
            return false;
        host = "127.0.0.1";
        port = spec;
    } else {
        host = spec.substr(0, colon);
        port = spec.substr(colon + 1);
        if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
            host = host.substr(1, host.size() - 2);
    }
    if (host.empty() || port.empty())
        return false;
    // at most five digits, so that the conversion cannot overflow
    return port.size() <= 5 && std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; })
        && std::stoul(port) <= 65535;
}

std::string addressText(const sockaddr *sa)
{
    char host[INET6_ADDRSTRLEN] = {};
    uint16_t port = 0;
    if (sa->sa_family == AF_INET6) {
        const auto *in6 = reinterpret_cast<const sockaddr_in6 *>(sa);
        ::inet_ntop(AF_INET6, &in6->sin6_addr, host, sizeof host);
        port = ntohs(in6->sin6_port);
        return "[" + std::string(host) + "]:" + std::to_string(port);
    }
    const auto *in4 = reinterpret_cast<const sockaddr_in *>(sa);
    ::inet_ntop(AF_INET, &in4->sin_addr, host, sizeof host);
    port = ntohs(in4->sin_port);
    return std::string(host) + ":" + std::to_string(port);
}

std::string boundText(int fd)
{
    sockaddr_storage ss {};
    socklen_t len = sizeof ss;
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&ss), &len);
    return addressText(reinterpret_cast<sockaddr *>(&ss));
}

void ready(const std::string &line)
{
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

int openBound(const std::string &spec, int type, std::string &error)
{
    std::string host;
    std::string port;
    if (!splitHostPort(spec, false, host, port)) {
        error = "bad address '" + spec + "', expected [ADDR:]PORT";
        return -1;
    }
    addrinfo hints {};
    hints.ai_socktype = type;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICHOST | AI_NUMERICSERV;
    addrinfo *res = nullptr;
    if (::getaddrinfo(host.c_str(), port.c_str(), &hints, &res) != 0 || res == nullptr) {
        error = "bad address '" + spec + "'";
        return -1;
    }
    const int fd = ::socket(res->ai_family, res->ai_socktype | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = errnoText("socket");
        ::freeaddrinfo(res);
        return -1;
    }
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (::bind(fd, res->ai_addr, res->ai_addrlen) != 0) {
        error = errnoText("bind " + spec);
        ::close(fd);
        ::freeaddrinfo(res);
        return -1;
    }
    ::freeaddrinfo(res);
    setNonBlocking(fd);
    return fd;
}

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

std::string hex(const std::vector<uint8_t> &bytes, std::size_t limit = 24)
{
    std::string s;
    char b[4];
    for (std::size_t i = 0; i < bytes.size() && i < limit; ++i) {
        std::snprintf(b, sizeof b, "%02X ", bytes[i]);
        s += b;
    }
    if (bytes.size() > limit)
        s += "... (" + std::to_string(bytes.size()) + " bytes)";
    return s;
}

} // namespace

uint64_t monotonicUs()
{
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

SimServer::SimServer(SimModule &module, const ServerOptions &options)
    : m_module(module)
    , m_options(options)
    , m_faults(options.dropEvery, options.corruptEvery, options.delayMs)
    , m_stateErrorsLogged(module.stateErrors().size()) // what loading met is printed at start
{
}

SimServer::~SimServer()
{
    for (auto &l : m_listeners)
        ::close(l.fd);
    for (auto &[id, link] : m_links) {
        ::close(link.fd);
        if (link.extraFd >= 0)
            ::close(link.extraFd);
    }
    for (auto &c : m_connectors)
        if (c.fd >= 0)
            ::close(c.fd);
}

void SimServer::log(const std::string &line) const
{
    if (!m_options.quiet)
        std::fprintf(stderr, "%s\n", line.c_str());
}

int SimServer::addLink(Link link)
{
    const int id = m_nextLinkId++;
    m_links.emplace(id, std::move(link));
    return id;
}

void SimServer::closeLink(int id)
{
    auto it = m_links.find(id);
    if (it == m_links.end())
        return;
    log(it->second.name + " closed");
    ::close(it->second.fd);
    if (it->second.extraFd >= 0)
        ::close(it->second.extraFd);
    for (auto &c : m_connectors)
        if (c.linkId == id) {
            c.linkId = 0;
            c.nextAttemptUs = monotonicUs() + kReconnectUs;
        }
    m_links.erase(it);
}

bool SimServer::addTcpServer(const std::string &spec, std::string &error)
{
    const int fd = openBound(spec, SOCK_STREAM, error);
    if (fd < 0)
        return false;
    if (::listen(fd, 8) != 0) {
        error = errnoText("listen " + spec);
        ::close(fd);
        return false;
    }
    const std::string where = boundText(fd);
    m_listeners.push_back({fd, "tcp " + where});
    ready("listening tcp " + where);
    return true;
}

bool SimServer::addUdp(const std::string &spec, std::string &error)
{
    const int fd = openBound(spec, SOCK_DGRAM, error);
    if (fd < 0)
        return false;
    Link link;
    link.kind = LinkKind::Udp;
    link.fd = fd;
    link.name = "udp " + boundText(fd);
    addLink(std::move(link));
    ready("listening udp " + boundText(fd));
    return true;
}

bool SimServer::addTcpClient(const std::string &spec, std::string &error)
{
    Connector c;
    if (!splitHostPort(spec, true, c.host, c.port)) {
        error = "bad address '" + spec + "', expected HOST:PORT";
        return false;
    }
    m_connectors.push_back(c);
    return true;
}

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
    ready("pty " + path);
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
    ready("serial " + path);
    return true;
}

void SimServer::serviceConnector(uint64_t now)
{
    for (auto &c : m_connectors) {
        if (c.linkId != 0 || c.fd >= 0 || now < c.nextAttemptUs)
            continue;
        c.nextAttemptUs = now + kReconnectUs;
        addrinfo hints {};
        hints.ai_socktype = SOCK_STREAM;
        addrinfo *res = nullptr;
        if (::getaddrinfo(c.host.c_str(), c.port.c_str(), &hints, &res) != 0 || res == nullptr)
            continue;
        const int fd = ::socket(res->ai_family, res->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd >= 0) {
            const int r = ::connect(fd, res->ai_addr, res->ai_addrlen);
            if (r == 0 || errno == EINPROGRESS)
                c.fd = fd;
            else
                ::close(fd);
        }
        ::freeaddrinfo(res);
    }
}

void SimServer::send(int id, std::vector<uint8_t> bytes, const sockaddr_storage *to, socklen_t toLength)
{
    auto it = m_links.find(id);
    if (it == m_links.end())
        return;
    Link &link = it->second;
    if (link.kind == LinkKind::Udp) {
        if (to != nullptr)
            ::sendto(link.fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr *>(to), toLength);
        return;
    }
    if (link.tx.size() + bytes.size() > kMaxTxQueue) {
        log(link.name + ": nobody reads, answer dropped");
        return;
    }
    link.tx.insert(link.tx.end(), bytes.begin(), bytes.end());
    flush(id);
}

void SimServer::answer(int id, std::vector<uint8_t> frame, const sockaddr_storage &to,
                       socklen_t toLength, uint64_t now)
{
    auto it = m_links.find(id);
    if (it == m_links.end())
        return;
    const uint64_t at = it->second.spacing.answerTime(now);
    if (at > now) {
        Pending p;
        p.dueUs = at;
        p.linkId = id;
        p.bytes = std::move(frame);
        p.to = to;
        p.toLength = toLength;
        m_pending.push_back(std::move(p));
        return;
    }
    it->second.spacing.answerSent(now);
    send(id, std::move(frame), &to, toLength);
}

void SimServer::flush(int id)
{
    auto it = m_links.find(id);
    if (it == m_links.end())
        return;
    Link &link = it->second;
    while (!link.tx.empty()) {
        ssize_t n;
        if (link.kind == LinkKind::TcpStream)
            n = ::send(link.fd, link.tx.data(), link.tx.size(), MSG_NOSIGNAL);
        else
            n = ::write(link.fd, link.tx.data(), link.tx.size());
        if (n > 0) {
            link.tx.erase(link.tx.begin(), link.tx.begin() + n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return; // poll tells when there is room again
        if (link.kind == LinkKind::TcpStream) {
            closeLink(id);
            return;
        }
        link.tx.clear(); // a terminal without reader: the answer is lost, as on a bus
        return;
    }
}

void SimServer::onRequest(int id, const Request &request, uint64_t now)
{
    Link &link = m_links.at(id);
    const bool rtu = link.kind == LinkKind::Rtu;
    const uint8_t address = m_module.address();
    const bool broadcast = rtu && request.unit == 0;
    if (request.unit != address && !broadcast)
        return; // another module's request
    link.lastRequestUs = now;
    const FaultPlan::Decision d = m_faults.next();
    const std::string fn = request.pdu.empty() ? "--" : hex({request.pdu[0]}, 1);
    if (d.drop) {
        log(link.name + " fn " + fn + " dropped (--drop-every)");
        return;
    }
    m_module.advance(now);
    const std::vector<uint8_t> pdu = m_module.handle(request.pdu.data(), request.pdu.size());
    const std::vector<std::string> &errors = m_module.stateErrors();
    for (; m_stateErrorsLogged < errors.size(); ++m_stateErrorsLogged)
        log("state: " + errors[m_stateErrorsLogged]);
    if (broadcast)
        return;
    std::vector<uint8_t> frame = rtu ? wrapRtu(request.unit, pdu) : wrapMbap(request.transaction, request.unit, pdu);
    if (d.corrupt) {
        if (rtu)
            corruptRtu(frame);
        else
            corruptMbap(frame);
    }
    log(link.name + " fn " + fn + "-> " + hex(frame) + (d.corrupt ? " (corrupted)" : ""));
    if (d.delayMs > 0) {
        Pending p;
        p.dueUs = now + uint64_t(d.delayMs) * 1000;
        p.linkId = id;
        p.bytes = std::move(frame);
        p.to = link.peer;
        p.toLength = link.peerLength;
        m_pending.push_back(std::move(p));
        return;
    }
    answer(id, std::move(frame), link.peer, link.peerLength, now);
}

void SimServer::onReadable(int id, uint64_t now)
{
    Link &link = m_links.at(id);
    uint8_t buf[4096];
    if (link.kind == LinkKind::Udp) {
        sockaddr_storage from {};
        socklen_t fromLength = sizeof from;
        const ssize_t n = ::recvfrom(link.fd, buf, sizeof buf, 0, reinterpret_cast<sockaddr *>(&from), &fromLength);
        if (n <= 0)
            return;
        link.peer = from;
        link.peerLength = fromLength;
        std::vector<uint8_t> datagram(buf, buf + n);
        Request r;
        // one request per datagram; anything else in it is ignored
        if (cutMbap(datagram, r) == CutResult::Frame)
            onRequest(id, r, now);
        return;
    }
    const ssize_t n = ::read(link.fd, buf, sizeof buf);
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR && errno != EWOULDBLOCK)) {
        // A serial device that hung up stays readable for ever, which would
        // keep the loop spinning; the pty keeps its own slave side open, so
        // it never gets here.
        closeLink(id);
        return;
    }
    if (n < 0)
        return;
    if (link.kind == LinkKind::Rtu) {
        std::vector<Request> requests;
        link.rtu.feed(buf, static_cast<std::size_t>(n), now, requests);
        for (const Request &r : requests)
            onRequest(id, r, now);
        return;
    }
    link.rx.insert(link.rx.end(), buf, buf + n);
    for (;;) {
        auto it = m_links.find(id);
        if (it == m_links.end())
            return;
        Request r;
        const CutResult c = cutMbap(it->second.rx, r);
        if (c == CutResult::Wait)
            return;
        if (c == CutResult::Malformed) {
            // nothing after a broken header can be trusted
            log(it->second.name + ": malformed header, " + std::to_string(it->second.rx.size()) + " bytes dropped");
            it->second.rx.clear();
            return;
        }
        onRequest(id, r, now);
    }
}

void SimServer::sendReport(const std::vector<uint8_t> &pdu, uint64_t now)
{
    for (auto &[id, link] : m_links) {
        link.spacing.reportDue();
        link.reportPdu = pdu;
    }
    sendReports(now);
}

void SimServer::sendReports(uint64_t now)
{
    std::vector<uint8_t> periodic;
    std::vector<int> ids;
    for (auto &[id, link] : m_links)
        if (link.spacing.reportPending() && now >= link.spacing.reportTime())
            ids.push_back(id);
    for (int id : ids) {
        auto it = m_links.find(id);
        if (it == m_links.end())
            continue;
        Link &link = it->second;
        // a serial line only while a host has spoken lately, and never
        // while a request is coming in; UDP only once a host is known
        const bool rtuHost = link.lastRequestUs != 0 && now - link.lastRequestUs < kSerialHostSilenceUs;
        if ((link.kind == LinkKind::Rtu && !rtuHost) || (link.kind == LinkKind::Udp && link.peerLength == 0)) {
            link.spacing.cancelReport();
            link.reportPdu.clear();
            continue;
        }
        if (link.kind == LinkKind::Rtu && link.rtu.pending())
            continue;
        if (link.reportPdu.empty() && periodic.empty()) {
            m_module.advance(now);
            periodic = m_module.statusReport();
        }
        const std::vector<uint8_t> pdu = link.reportPdu.empty() ? periodic : std::move(link.reportPdu);
        link.reportPdu.clear();
        const uint8_t address = m_module.address();
        link.spacing.reportSent(now);
        if (link.kind == LinkKind::Rtu)
            send(id, wrapRtu(address, pdu), nullptr, 0);
        else
            send(id, wrapMbap(0, address, pdu), &link.peer, link.peerLength);
    }
}

void SimServer::run(volatile std::sig_atomic_t &stop)
{
    m_module.advance(monotonicUs());
    if (m_options.reportMs > 0)
        m_nextReportUs = monotonicUs() + uint64_t(m_options.reportMs) * 1000;
    uint64_t nextTickUs = m_tick ? monotonicUs() : 0;
    std::vector<pollfd> fds;
    // what each pollfd stands for: listener index, link id or connector index
    enum class Owner { Listener, Link, Connector };
    std::vector<std::pair<Owner, int>> owners;
    while (!stop) {
        uint64_t now = monotonicUs();
        serviceConnector(now);

        fds.clear();
        owners.clear();
        for (std::size_t i = 0; i < m_listeners.size(); ++i) {
            fds.push_back({m_listeners[i].fd, POLLIN, 0});
            owners.emplace_back(Owner::Listener, static_cast<int>(i));
        }
        for (auto &[id, link] : m_links) {
            short events = POLLIN;
            if (!link.tx.empty())
                events |= POLLOUT;
            fds.push_back({link.fd, events, 0});
            owners.emplace_back(Owner::Link, id);
        }
        for (std::size_t i = 0; i < m_connectors.size(); ++i)
            if (m_connectors[i].fd >= 0) {
                fds.push_back({m_connectors[i].fd, POLLOUT, 0});
                owners.emplace_back(Owner::Connector, static_cast<int>(i));
            }

        uint64_t wake = now + 100'000;
        for (auto &[id, link] : m_links)
            if (link.kind == LinkKind::Rtu && link.rtu.deadline() != 0)
                wake = std::min(wake, link.rtu.deadline());
        for (const Pending &p : m_pending)
            wake = std::min(wake, p.dueUs);
        for (auto &[id, link] : m_links)
            if (link.spacing.reportPending())
                wake = std::min(wake, std::max(now, link.spacing.reportTime()));
        if (m_nextReportUs != 0)
            wake = std::min(wake, m_nextReportUs);
        if (nextTickUs != 0)
            wake = std::min(wake, nextTickUs);
        for (const Connector &c : m_connectors)
            if (c.linkId == 0 && c.fd < 0)
                wake = std::min(wake, c.nextAttemptUs);
        const int timeoutMs = wake > now ? static_cast<int>((wake - now + 999) / 1000) : 0;

        const int count = ::poll(fds.data(), fds.size(), timeoutMs);
        if (count < 0 && errno != EINTR)
            break;
        now = monotonicUs();

        for (std::size_t i = 0; count > 0 && i < fds.size(); ++i) {
            if (fds[i].revents == 0)
                continue;
            const auto [owner, index] = owners[i];
            if (owner == Owner::Listener) {
                sockaddr_storage peer {};
                socklen_t len = sizeof peer;
                const int fd = ::accept4(fds[i].fd, reinterpret_cast<sockaddr *>(&peer), &len,
                                         SOCK_CLOEXEC | SOCK_NONBLOCK);
                if (fd >= 0) {
                    const int one = 1;
                    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
                    Link link;
                    link.fd = fd;
                    link.name = "tcp " + addressText(reinterpret_cast<sockaddr *>(&peer));
                    log(link.name + " connected");
                    addLink(std::move(link));
                }
            } else if (owner == Owner::Connector) {
                Connector &c = m_connectors[static_cast<std::size_t>(index)];
                int err = 0;
                socklen_t len = sizeof err;
                ::getsockopt(c.fd, SOL_SOCKET, SO_ERROR, &err, &len);
                if (err != 0) {
                    ::close(c.fd);
                    c.fd = -1;
                    continue;
                }
                const int one = 1;
                ::setsockopt(c.fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
                Link link;
                link.fd = c.fd;
                link.fromClient = true;
                link.name = "connect " + c.host + ":" + c.port;
                c.fd = -1;
                c.linkId = addLink(std::move(link));
                ready("connect " + c.host + ":" + c.port);
            } else {
                if (m_links.count(index) == 0)
                    continue;
                if (fds[i].revents & POLLOUT)
                    flush(index);
                if (m_links.count(index) == 0)
                    continue;
                if (fds[i].revents & (POLLIN | POLLHUP | POLLERR))
                    onReadable(index, now);
            }
        }

        for (auto &[id, link] : m_links) {
            if (link.kind != LinkKind::Rtu)
                continue;
            std::vector<Request> requests;
            link.rtu.idle(now, requests);
            for (const Request &r : requests)
                onRequest(id, r, now);
        }

        if (m_nextReportUs != 0 && now >= m_nextReportUs) {
            for (auto &[id, link] : m_links) {
                link.spacing.reportDue();
                link.reportPdu.clear(); // the newest report replaces a pending one
            }
            m_nextReportUs = now + uint64_t(m_options.reportMs) * 1000;
        }

        if (nextTickUs != 0 && now >= nextTickUs)
            nextTickUs = m_tick(now);
        // reports first: an answer that is due as well waits the gap behind it
        sendReports(now);

        // held answers, oldest first; one the gap holds again goes back
        std::stable_sort(m_pending.begin(), m_pending.end(),
                         [](const Pending &a, const Pending &b) { return a.dueUs < b.dueUs; });
        std::vector<Pending> due;
        while (!m_pending.empty() && m_pending.front().dueUs <= now) {
            due.push_back(std::move(m_pending.front()));
            m_pending.erase(m_pending.begin());
        }
        for (Pending &p : due)
            answer(p.linkId, std::move(p.bytes), p.to, p.toLength, now);
    }
}

} // namespace qx::sim
