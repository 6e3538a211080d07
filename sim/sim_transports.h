// The transports of qxsim around its SimModules (one per Modbus address on
// the same links, as modules share a bus): Modbus TCP server, Modbus
// TCP framing over UDP, a TCP client that reconnects (sim_socket_links.cpp),
// and Modbus RTU on a pseudo-terminal or a serial device
// (sim_serial_links.cpp). Everything runs in one poll() loop on the calling
// thread (sim_transports.cpp), so the module needs no lock.
#pragma once

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <poll.h>
#include <sys/socket.h>

#include "sim_framing.h"
#include "sim_module.h"

namespace qx::sim {

struct ServerOptions
{
    unsigned reportMs = 0;
    bool quiet = false;
    unsigned dropEvery = 0;
    unsigned corruptEvery = 0;
    unsigned delayMs = 0;
};

class SimServer
{
public:
    // Every request goes to the module whose address it names; an RTU
    // broadcast goes to all of them. The modules outlive the server.
    SimServer(std::vector<SimModule *> modules, const ServerOptions &options);
    ~SimServer();
    SimServer(const SimServer &) = delete;
    SimServer &operator=(const SimServer &) = delete;

    // Each returns false with a message when the transport cannot be set up,
    // and prints its ready line on standard output otherwise.
    bool addTcpServer(const std::string &spec, std::string &error);
    bool addUdp(const std::string &spec, std::string &error);
    bool addTcpClient(const std::string &spec, std::string &error);
    bool addPty(std::string &error);
    bool addSerial(const std::string &path, unsigned baud, std::string &error);

    // Runs until `stop` becomes non-zero.
    // Whenever `dropLinks` becomes non-zero it is reset and the --connect
    // links are closed, as a module that loses its network does; they
    // connect again a second later.
    void run(volatile std::sig_atomic_t &stop, volatile std::sig_atomic_t *dropLinks = nullptr);

    // Work of the loop's own: called when due with the time, it returns
    // when it is due next.
    void setTick(std::function<uint64_t(uint64_t nowUs)> tick) { m_tick = std::move(tick); }
    // Sends a status report PDU of the module at `address` to every host,
    // each as soon as the gap after its last answer allows; it replaces a
    // report still waiting there.
    void sendReport(const std::vector<uint8_t> &pdu, uint8_t address, uint64_t now);

private:
    enum class LinkKind {
        TcpStream,
        Udp,
        Rtu,
    };
    struct Link
    {
        LinkKind kind = LinkKind::TcpStream;
        int fd = -1;
        int extraFd = -1; // the pty's slave side, kept open so the master never hangs up
        std::string name;
        bool fromClient = false; // the --connect link
        std::vector<uint8_t> rx;
        std::vector<uint8_t> tx;
        RtuReceiver rtu {5000};
        sockaddr_storage peer {};
        socklen_t peerLength = 0;
        uint64_t lastRequestUs = 0;
        FrameSpacing spacing;
        std::vector<uint8_t> reportPdu; // a pending report's own PDU; empty: the periodic one
        uint8_t reportAddress = 0; // the module that sends reportPdu
        // A module answers in order: while an answer is held late, those
        // after it wait behind it.
        uint64_t answersHeldUntilUs = 0;
    };
    struct Listener
    {
        int fd = -1;
        std::string name;
    };
    struct Pending
    {
        uint64_t dueUs = 0;
        int linkId = 0;
        std::vector<uint8_t> bytes;
        sockaddr_storage to {};
        socklen_t toLength = 0;
    };
    struct Connector
    {
        std::string host;
        std::string port;
        int fd = -1; // while connecting
        int linkId = 0; // while connected
        uint64_t nextAttemptUs = 0;
    };

    // A --connect link that is down is tried again after this.
    static constexpr uint64_t kReconnectUs = 1'000'000;

    // What each entry of the poll set stands for.
    enum class Owner {
        Listener, // index into m_listeners
        Link, // link id
        Connector, // index into m_connectors
    };

    int addLink(Link link);
    void closeLink(int id);

    // The steps of one pass of run().
    void buildPollSet();
    int pollTimeoutMs(uint64_t now) const;
    void servicePolled(uint64_t now);
    void endSilentRtuFrames(uint64_t now);
    void scheduleReports(uint64_t now);
    void sendReports(uint64_t now);
    void sendHeldAnswers(uint64_t now);

    // sim_socket_links.cpp
    void acceptClient(int listenerFd);
    void finishConnect(std::size_t index);
    void serviceConnectors(uint64_t now);
    void readDatagram(int id, uint64_t now);
    void readStream(int id, uint64_t now);
    // sim_serial_links.cpp
    void readRtu(int id, uint64_t now);

    void onReadable(int id, uint64_t now);
    // Reads what a stream or terminal link holds into `buffer`; 0 when
    // nothing came, and after closing a link that ended or failed.
    std::size_t readLink(int id, uint8_t *buffer, std::size_t size);
    void onRequest(int id, const Request &request, uint64_t now);
    void send(int id, std::vector<uint8_t> bytes, const sockaddr_storage *to, socklen_t toLength);
    // Sends an answer now, or holds it until the gap after a report allows.
    void answer(int id, std::vector<uint8_t> frame, const sockaddr_storage &to, socklen_t toLength,
                uint64_t now);
    void hold(int id, std::vector<uint8_t> frame, const sockaddr_storage &to, socklen_t toLength,
              uint64_t dueUs);
    void flush(int id);
    void log(const std::string &line) const;
    // The module answering to `address`, or null.
    SimModule *moduleAt(uint8_t address) const;
    // Runs a request on one module; its answer PDU.
    std::vector<uint8_t> execute(SimModule &module, const Request &request, const std::string &linkName,
                                 uint64_t now);

    std::vector<SimModule *> m_modules;
    ServerOptions m_options;
    FaultPlan m_faults;
    std::vector<Listener> m_listeners;
    std::map<int, Link> m_links;
    std::vector<Pending> m_pending;
    std::vector<Connector> m_connectors;
    std::vector<pollfd> m_pollFds;
    std::vector<std::pair<Owner, int>> m_pollOwners;
    int m_nextLinkId = 1;
    uint64_t m_nextReportUs = 0;
    uint64_t m_nextTickUs = 0;
    std::vector<std::size_t> m_stateErrorsLogged; // per module; each list only grows
    std::function<uint64_t(uint64_t)> m_tick;
};

uint64_t monotonicUs();

// Helpers the transport files share.
void setNonBlocking(int fd);
std::string errnoText(const std::string &what);
// A transport's ready line on standard output, flushed at once.
void printReady(const std::string &line);

} // namespace qx::sim
