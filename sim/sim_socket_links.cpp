// qxsim's socket transports: the Modbus TCP server and its clients, Modbus
// TCP framing over UDP, and the TCP client that connects to a host and
// reconnects while the link is down.
#include "sim_transports.h"

#include <algorithm>
#include <cerrno>

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <unistd.h>

namespace qx::sim {

namespace {

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

void setNoDelay(int fd)
{
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

} // namespace

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
    printReady("listening tcp " + where);
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
    printReady("listening udp " + boundText(fd));
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

void SimServer::acceptClient(int listenerFd)
{
    sockaddr_storage peer {};
    socklen_t len = sizeof peer;
    const int fd = ::accept4(listenerFd, reinterpret_cast<sockaddr *>(&peer), &len,
                             SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0)
        return;
    setNoDelay(fd);
    Link link;
    link.fd = fd;
    link.name = "tcp " + addressText(reinterpret_cast<sockaddr *>(&peer));
    log(link.name + " connected");
    addLink(std::move(link));
}

void SimServer::serviceConnectors(uint64_t now)
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

void SimServer::finishConnect(std::size_t index)
{
    Connector &c = m_connectors[index];
    int err = 0;
    socklen_t len = sizeof err;
    ::getsockopt(c.fd, SOL_SOCKET, SO_ERROR, &err, &len);
    if (err != 0) {
        ::close(c.fd);
        c.fd = -1;
        return;
    }
    setNoDelay(c.fd);
    Link link;
    link.fd = c.fd;
    link.fromClient = true;
    link.name = "connect " + c.host + ":" + c.port;
    c.fd = -1;
    c.linkId = addLink(std::move(link));
    printReady("connect " + c.host + ":" + c.port);
}

void SimServer::readDatagram(int id, uint64_t now)
{
    Link &link = m_links.at(id);
    uint8_t buf[4096];
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
}

void SimServer::readStream(int id, uint64_t now)
{
    uint8_t buf[4096];
    const std::size_t n = readLink(id, buf, sizeof buf);
    if (n == 0)
        return;
    m_links.at(id).rx.insert(m_links.at(id).rx.end(), buf, buf + n);
    for (;;) {
        // an answer that fails to go out closes the link
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

} // namespace qx::sim
