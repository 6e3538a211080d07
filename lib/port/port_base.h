// PortBase: what the four transports share. Slots 2 to 5, the statistics and
// log lines, event delivery, the pacing of requests (one outstanding, the next
// after a decoded response or 1000 ms, 8 ms after each delivered response) and
// the open/stop sequence are written here once; a transport supplies only how
// it opens, closes, reads and writes.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "comm_base_interface.h"
#include "connection_event.h"
#include "port_settings.h"
#include "protocol_engine.h"
#include "qxlib.h"
#include "socket_api.h"
#include "statistics_record.h"
#include "traffic_statistics.h"
#include "vd_thread.h"
#include "wake_signal.h"

namespace qx {

// The peer fields of a ConnectionEvent (TCP server states 3, 9 and 13).
struct PeerInfo
{
    SocketHandle socket = kNoSocket; // reported as a 32-bit number
    char address[ConnectionLayout::kPeerAddressSize] = {};
    uint16_t port = 0;
};

class PortBase : public VDThread,
                 public ICommBaseInterface,
                 public std::enable_shared_from_this<PortBase>
{
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kStopLimit {2000};
    static constexpr std::chrono::milliseconds kResponseWait {1000};
    static constexpr std::chrono::milliseconds kAfterResponse {8};
    static constexpr std::chrono::milliseconds kPass {1};
    // Longest wait of a pass when nothing can happen without a descriptor or
    // the host waking the worker.
    static constexpr std::chrono::milliseconds kIdleWait {50};

    PortBase(const PortSettings &settings, EventCallback callback);
    ~PortBase() override;

    int32_t open() final;
    int32_t stop() final;
    int32_t clearAll() final;
    int32_t clearStatistics() final;
    int32_t putCommand(int32_t slot, const void *record, int32_t length) final;
    void clearReceive() final;

    uint32_t transportType() const;

protected:
    // Opens the transport on the caller's thread; on failure it has reported
    // the state (reportOpenFailure) and the open returns -1.
    virtual bool openTransport() = 0;
    // Idempotent; runs on the stopping thread, or on an abandoned worker.
    virtual void closeTransport() = 0;
    // Result of slot 1: 1 for the serial line, 0 for the sockets.
    virtual int32_t stopResult() const = 0;
    // Writes one request frame; failures are not reported (the pacing moves
    // on after 1000 ms).
    virtual void writeFrame(const uint8_t *data, std::size_t length) = 0;

    const uint8_t *settings() const { return m_settings.data(); }
    ProtocolEngine &engine() { return *m_engine; }

    void reportOpenFailure(int32_t state);
    // Worker events; dropped once a stop has been asked for, so a stopped
    // object falls silent.
    void reportState(int32_t state, const PeerInfo *peer = nullptr);
    void deliverFromWorker(int32_t code, const void *data);

    // Worker steps shared by every transport.
    void beginPacing();
    bool sendDue() const;
    // Decodes one response; when there is one, delivers it, pauses 8 ms and
    // delivers its log line. True when a response was delivered.
    bool decodeAndDeliver();
    // Takes the next request from the engine and writes and logs it.
    void sendNext();
    // A send step that could not run (socket not writable) is retried on the
    // next 1 ms pass.
    void sendBlocked() { m_engineIdle = false; }

    // How long the coming pass may wait on its descriptors (ms). The pass is
    // 1 ms as long as there may be something to send; while a request is
    // outstanding it waits until the answer is overdue, and when the engine
    // had nothing to send it waits until a command wakes it (CMD raises the
    // wake-up signal), so an idle port costs next to no CPU and the pacing is kept.
    // It does not wait while the engine holds a complete frame.
    int passWaitMs(Clock::time_point extraDeadline = Clock::time_point::max()) const;
    // Raised when the host placed a command or asked for a stop; network
    // workers poll wakeSocket() beside their sockets.
    const WakeSignal &wakeSignal() const { return m_wake; }
    SocketHandle wakeSocket() const { return m_wake.pollable(); }
    void drainWake() { m_wake.drain(); }
    // One pass's wait of a network worker on its descriptors, fds[1] being
    // wakeSocket(). A failed wait is reported as state 5 and paced by one pass;
    // it and an interrupted wait return -1. Otherwise the number of ready
    // descriptors, with the wake-up already consumed.
    int waitNetworkPass(pollfd *fds, std::size_t count, int waitMs);
    // The TCP client's and UDP's socket of `type`, bound to the settings'
    // local address and `localPort`, with the module's address read into
    // `module`. On failure it prints the diagnostic line, reports state 0 and
    // returns -1.
    SocketHandle openModuleSocket(int type, uint16_t localPort, sockaddr_in &module,
                                  const char *createError, const char *bindError);
    // The socket layer for a network transport's open; on failure it reports
    // state 0 and returns false. endNetwork() goes with the transport's close.
    bool startNetwork();
    void endNetwork() { m_network.end(); }

    void releaseAfterAbandon() override { closeTransport(); }
    // A worker that ends by itself (a lost connection) says so before its
    // last event, so that a RUN prompted by that event waits for it.
    void endingOnItsOwn() { m_workerEnding = true; }

private:
    void deliver(int32_t code, const void *data);
    void wake();

    std::array<uint8_t, SettingsLayout::kSize> m_settings {};
    EventCallback m_callback;
    TrafficStatistics m_statistics;
    std::unique_ptr<ProtocolEngine> m_engine;

    WakeSignal m_wake;
    NetworkSession m_network;
    std::atomic<bool> m_workerEnding {false};

    // worker only
    bool m_engineIdle = false;
    bool MaySend = true;
    Clock::time_point LastSendTime;
    Clock::time_point LastResponseTime;
    std::array<uint8_t, ProtocolEngine::kTxCapacity> m_request {};
    std::array<uint8_t, StatisticsLayout::kSize> m_workerRecord {};
    // delivered with CLR_STATIS on the host's thread
    std::array<uint8_t, StatisticsLayout::kSize> m_clearedRecord {};
};

} // namespace qx
