// qxsim's poll() loop: one pass polls every descriptor, reads and answers,
// ends RTU frames at a silence, sends due status reports and held answers.
#include "sim_transports.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace qx::sim {

namespace {

constexpr std::size_t kMaxTxQueue = 64 * 1024;
// Reports go out on a serial line only while a host has been heard lately,
// so that they do not pile up in a terminal nobody reads.
constexpr uint64_t kSerialHostSilenceUs = 5'000'000;
// The longest a pass waits when nothing is due.
constexpr uint64_t kLongestPassUs = 100'000;

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

void setNonBlocking(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL, 0);
    ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
}

std::string errnoText(const std::string &what)
{
    return what + ": " + std::strerror(errno);
}

void printReady(const std::string &line)
{
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

uint64_t monotonicUs()
{
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

SimServer::SimServer(std::vector<SimModule *> modules, const ServerOptions &options)
    : m_modules(std::move(modules))
    , m_options(options)
    , m_faults(options.dropEvery, options.corruptEvery, options.delayMs)
{
    // what loading met is printed at start
    for (const SimModule *m : m_modules)
        m_stateErrorsLogged.push_back(m->stateErrors().size());
}

SimModule *SimServer::moduleAt(uint8_t address) const
{
    for (SimModule *m : m_modules)
        if (m->address() == address)
            return m;
    return nullptr;
}

std::vector<uint8_t> SimServer::execute(SimModule &module, const Request &request, const std::string &linkName,
                                        uint64_t now)
{
    module.advance(now);
    std::vector<uint8_t> pdu = module.handle(request.pdu.data(), request.pdu.size());
    for (std::size_t i = 0; i < m_modules.size(); ++i) {
        const std::vector<std::string> &errors = m_modules[i]->stateErrors();
        for (; m_stateErrorsLogged[i] < errors.size(); ++m_stateErrorsLogged[i])
            log("state: " + errors[m_stateErrorsLogged[i]]);
    }
    for (const std::string &note : module.takeTrafficNotes())
        log(linkName + " " + note);
    return pdu;
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
        hold(id, std::move(frame), to, toLength, at);
        return;
    }
    it->second.spacing.answerSent(now);
    send(id, std::move(frame), &to, toLength);
}

void SimServer::hold(int id, std::vector<uint8_t> frame, const sockaddr_storage &to,
                     socklen_t toLength, uint64_t dueUs)
{
    Pending p;
    p.dueUs = dueUs;
    p.linkId = id;
    p.bytes = std::move(frame);
    p.to = to;
    p.toLength = toLength;
    m_pending.push_back(std::move(p));
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
    const bool broadcast = rtu && request.unit == 0;
    SimModule *module = broadcast ? nullptr : moduleAt(request.unit);
    if (module == nullptr && !broadcast)
        return; // another module's request
    link.lastRequestUs = now;
    const FaultPlan::Decision d = m_faults.next();
    const std::string fn = request.pdu.empty() ? "--" : hex({request.pdu[0]}, 1);
    if (d.drop) {
        log(link.name + " fn " + fn + " dropped (--drop-every)");
        return;
    }
    if (broadcast) {
        for (SimModule *m : m_modules)
            execute(*m, request, link.name, now);
        return;
    }
    const std::vector<uint8_t> pdu = execute(*module, request, link.name, now);
    if (module->answerLost()) {
        log(link.name + " fn " + fn + " answer dropped (--drop-part)");
        return;
    }
    std::vector<uint8_t> frame = rtu ? wrapRtu(request.unit, pdu) : wrapMbap(request.transaction, request.unit, pdu);
    if (d.corrupt) {
        if (rtu)
            corruptRtu(frame);
        else
            corruptMbap(frame);
    }
    log(link.name + " fn " + fn + "-> " + hex(frame) + (d.corrupt ? " (corrupted)" : ""));
    // an answer behind a held one follows it a little later, as a module
    // that works through its requests one by one sends them
    constexpr uint64_t kBehindHeldUs = 50'000;
    const uint64_t late = uint64_t(d.delayMs + module->answerDelayMs()) * 1000;
    const uint64_t behind = link.answersHeldUntilUs > now ? link.answersHeldUntilUs + kBehindHeldUs : 0;
    const uint64_t due = std::max(now + late, behind);
    if (due > now) {
        link.answersHeldUntilUs = due;
        hold(id, std::move(frame), link.peer, link.peerLength, due);
    } else {
        answer(id, std::move(frame), link.peer, link.peerLength, now);
    }
}

std::size_t SimServer::readLink(int id, uint8_t *buffer, std::size_t size)
{
    const ssize_t n = ::read(m_links.at(id).fd, buffer, size);
    if (n > 0)
        return static_cast<std::size_t>(n);
    if (n == 0 || (errno != EAGAIN && errno != EINTR && errno != EWOULDBLOCK)) {
        // A serial device that hung up stays readable for ever, which would
        // keep the loop spinning; the pty keeps its own slave side open, so
        // it never gets here.
        closeLink(id);
    }
    return 0;
}

void SimServer::onReadable(int id, uint64_t now)
{
    switch (m_links.at(id).kind) {
    case LinkKind::Udp:
        readDatagram(id, now);
        break;
    case LinkKind::TcpStream:
        readStream(id, now);
        break;
    case LinkKind::Rtu:
        readRtu(id, now);
        break;
    }
}

void SimServer::sendReport(const std::vector<uint8_t> &pdu, uint8_t address, uint64_t now)
{
    for (auto &[id, link] : m_links) {
        link.spacing.reportDue();
        link.reportPdu = pdu;
        link.reportAddress = address;
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
        // the periodic report is the first module's
        SimModule &first = *m_modules.front();
        if (link.reportPdu.empty() && periodic.empty()) {
            first.advance(now);
            periodic = first.statusReport();
        }
        const bool own = !link.reportPdu.empty();
        const std::vector<uint8_t> pdu = own ? std::move(link.reportPdu) : periodic;
        const uint8_t address = own ? link.reportAddress : first.address();
        link.reportPdu.clear();
        link.spacing.reportSent(now);
        if (link.kind == LinkKind::Rtu)
            send(id, wrapRtu(address, pdu), nullptr, 0);
        else
            send(id, wrapMbap(0, address, pdu), &link.peer, link.peerLength);
    }
}

void SimServer::buildPollSet()
{
    m_pollFds.clear();
    m_pollOwners.clear();
    for (std::size_t i = 0; i < m_listeners.size(); ++i) {
        m_pollFds.push_back({m_listeners[i].fd, POLLIN, 0});
        m_pollOwners.emplace_back(Owner::Listener, static_cast<int>(i));
    }
    for (auto &[id, link] : m_links) {
        const short events = link.tx.empty() ? POLLIN : POLLIN | POLLOUT;
        m_pollFds.push_back({link.fd, events, 0});
        m_pollOwners.emplace_back(Owner::Link, id);
    }
    for (std::size_t i = 0; i < m_connectors.size(); ++i)
        if (m_connectors[i].fd >= 0) {
            m_pollFds.push_back({m_connectors[i].fd, POLLOUT, 0});
            m_pollOwners.emplace_back(Owner::Connector, static_cast<int>(i));
        }
}

int SimServer::pollTimeoutMs(uint64_t now) const
{
    uint64_t wake = now + kLongestPassUs;
    for (auto &[id, link] : m_links) {
        if (link.kind == LinkKind::Rtu && link.rtu.deadline() != 0)
            wake = std::min(wake, link.rtu.deadline());
        if (link.spacing.reportPending())
            wake = std::min(wake, std::max(now, link.spacing.reportTime()));
    }
    for (const Pending &p : m_pending)
        wake = std::min(wake, p.dueUs);
    if (m_nextReportUs != 0)
        wake = std::min(wake, m_nextReportUs);
    if (m_nextTickUs != 0)
        wake = std::min(wake, m_nextTickUs);
    for (const Connector &c : m_connectors)
        if (c.linkId == 0 && c.fd < 0)
            wake = std::min(wake, c.nextAttemptUs);
    return wake > now ? static_cast<int>((wake - now + 999) / 1000) : 0;
}

void SimServer::servicePolled(uint64_t now)
{
    for (std::size_t i = 0; i < m_pollFds.size(); ++i) {
        const short revents = m_pollFds[i].revents;
        if (revents == 0)
            continue;
        const auto [owner, index] = m_pollOwners[i];
        switch (owner) {
        case Owner::Listener:
            acceptClient(m_pollFds[i].fd);
            break;
        case Owner::Connector:
            finishConnect(static_cast<std::size_t>(index));
            break;
        case Owner::Link:
            // a link closed earlier in this pass is skipped
            if (m_links.count(index) != 0 && (revents & POLLOUT))
                flush(index);
            if (m_links.count(index) != 0 && (revents & (POLLIN | POLLHUP | POLLERR)))
                onReadable(index, now);
            break;
        }
    }
}

void SimServer::scheduleReports(uint64_t now)
{
    if (m_nextReportUs == 0 || now < m_nextReportUs)
        return;
    for (auto &[id, link] : m_links) {
        link.spacing.reportDue();
        link.reportPdu.clear(); // the newest report replaces a pending one
    }
    m_nextReportUs = now + uint64_t(m_options.reportMs) * 1000;
}

void SimServer::sendHeldAnswers(uint64_t now)
{
    // oldest first; one that the gap after a report holds again goes back
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

void SimServer::run(volatile std::sig_atomic_t &stop, volatile std::sig_atomic_t *dropLinks)
{
    for (SimModule *m : m_modules)
        m->advance(monotonicUs());
    if (m_options.reportMs > 0)
        m_nextReportUs = monotonicUs() + uint64_t(m_options.reportMs) * 1000;
    m_nextTickUs = m_tick ? monotonicUs() : 0;
    while (!stop) {
        if (dropLinks != nullptr && *dropLinks != 0) {
            *dropLinks = 0;
            for (const Connector &c : m_connectors) {
                if (c.linkId != 0)
                    closeLink(c.linkId);
            }
        }
        uint64_t now = monotonicUs();
        serviceConnectors(now);
        buildPollSet();
        const int count = ::poll(m_pollFds.data(), m_pollFds.size(), pollTimeoutMs(now));
        if (count < 0 && errno != EINTR)
            break;
        now = monotonicUs();
        if (count > 0)
            servicePolled(now);
        endSilentRtuFrames(now);
        scheduleReports(now);
        if (m_nextTickUs != 0 && now >= m_nextTickUs)
            m_nextTickUs = m_tick(now);
        // reports first: an answer that is due as well waits the gap behind it
        sendReports(now);
        sendHeldAnswers(now);
    }
}

} // namespace qx::sim
