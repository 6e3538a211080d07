// DeviceLink: one module reached through QXLIB's exports, bound by name as
// QXTools binds them. It creates and runs the port object, waits until the
// link can carry requests, and turns the callback's events into answers
// that name the address that sent them: the library keeps one request
// outstanding but gives up on it after 1000 ms, so an answer that comes
// late may arrive while the next request is out, and only the address in
// the answering frame (read from the traffic log line that follows each
// decoded response) tells the two apart.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "request_record.h"
#include "library_binder.h"
#include "qxlib.h"

namespace qx::cli {

// Set on Ctrl-C (cli_platform.h); every wait looks at it.
std::atomic<bool> &cancelRequested();

// What the library reported, in order: a request that went out (with its
// frame), an answer (the decoded record and its frame), or a connection
// state.
struct LinkEvent {
    enum class Kind {
        Sent,
        Answer,
        Connection,
    };
    Kind kind = Kind::Answer;
    int32_t code = 0; // the event code of an answer
    int32_t state = 0; // a connection state
    std::vector<uint8_t> record; // the answer's record, copied
    std::vector<uint8_t> frame; // the frame as the traffic log showed it
    int address = -1; // the frame's Modbus address, -1 when unknown
    std::chrono::steady_clock::time_point at; // when the library delivered it
};

enum class WaitResult {
    Done,
    NoAnswer, // nothing within the time given
    Cancelled, // Ctrl-C
    LinkLost, // the module closed the connection
};

class DeviceLink
{
public:
    DeviceLink() = default;
    ~DeviceLink();
    DeviceLink(const DeviceLink &) = delete;
    DeviceLink &operator=(const DeviceLink &) = delete;

    struct OpenResult {
        bool ok = false;
        WaitResult wait = WaitResult::Done;
        std::string message;
    };
    // CREATE and RUN with `settings`, then wait up to `timeoutMs` for the
    // link: the worker running (serial, UDP, TCP client) or a module
    // connected (TCP server).
    OpenResult open(const LibraryFunctions &library, const PortSettings &settings, int timeoutMs);
    // A new port object with the same settings: a request the library still
    // waits an answer for is forgotten, so the next one goes out at once.
    OpenResult reopen(int timeoutMs);
    // DESTROY; the worker is stopped and the callback falls silent.
    void close();

    // Places a request; RXBUFF_CLR first when `clearReceive` (transfer packets).
    void place(const SlotRequest &request, bool clearReceive = false);

    // Places `request` and waits for the answer of `address` with one of
    // `codes` (kEventOther, the exception answer, counts as one too): up to
    // `timeoutMs` after the request went out. The library sends it once the
    // previous request was answered or given up, which takes at most its
    // own 1000 ms more.
    WaitResult exchange(const SlotRequest &request, std::initializer_list<int32_t> codes,
                        int timeoutMs, LinkEvent &answer, bool clearReceive = false);
    // Waits for the next answer of `address` with one of `codes` up to
    // `timeoutMs`; answers of other addresses go to `late` when given.
    WaitResult waitAnswer(uint8_t address, std::initializer_list<int32_t> codes, int timeoutMs,
                          LinkEvent &answer, std::vector<LinkEvent> *late = nullptr);
    // Waits until a request to `address` went out.
    WaitResult waitSent(uint8_t address, int timeoutMs);

    // The callback, for the single port object there is.
    static void callback(void *port, int32_t code, const void *data);

private:
    void onEvent(int32_t code, const uint8_t *data);
    int addressOf(const std::vector<uint8_t> &frame) const;
    // Takes the next event, waiting up to `timeoutMs`.
    WaitResult next(int timeoutMs, LinkEvent &event);
    // An answer came by `deadline` and waits for its log line.
    bool answerPendingSince(std::chrono::steady_clock::time_point deadline);

    LibraryFunctions m_library;
    PortSettings m_settings {};
    intptr_t m_handle = 0;
    bool m_tcpFraming = true;

    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<LinkEvent> m_events;
    std::optional<LinkEvent> m_unlogged; // an answer waiting for its log line
    uint32_t m_txCmd = 0;
    uint32_t m_rxCmd = 0;
};

// The frame bytes of a traffic log line ("...:" and " xx" per byte).
std::vector<uint8_t> frameOfLogLine(const uint8_t *text, std::size_t length);

// The exception code of an exception answer (function code with bit 7
// set), 0 when the frame is not one.
uint8_t exceptionCodeOf(const std::vector<uint8_t> &frame, bool tcpFraming);

} // namespace qx::cli
