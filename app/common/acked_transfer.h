// One acknowledged transfer: a sequence of packets that the module answers
// one by one, as the firmware upgrade and the PLC download send them. The
// area's transfer (FirmwareUpgrade, PlcDownload) holds the packet rules and
// texts and answers every event with a TransferStep; a driver carries the
// steps out: places the packet, (re)arms the acknowledgement timer, logs,
// shows the message when the transfer ends. The pages drive it with a Qt
// timer (TransferDriver), qxcli, tests and benchmarks with runTransfer.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qx {

// How long a driver waits for an acknowledgement before the same packet
// goes again.
inline constexpr int kTransferAckTimeoutMs = 3000;

struct TransferStep
{
    enum class Kind {
        Nothing,  // leave everything as it is (the timer keeps running)
        Send,     // place `packet` in `slot`, then (re)arm the timer
        Finished, // stop the timer; the transfer is over
    };
    Kind kind = Kind::Nothing;
    int slot = 0;                // Send: the command slot
    std::vector<uint8_t> packet; // Send: the request's payload
    bool afterTimeout = false;   // Send: the same packet again, no answer came
    std::string log;             // for the main log, "" for none
    std::string message;         // a message box text, "" for none
    bool success = false;        // Finished: the module took everything
};

// Why a transfer is ended before its last acknowledgement; the area decides
// what the operator is told for each.
enum class TransferStop {
    Operator, // the cancel button, Ctrl-C
    LinkGone, // the port was closed or replaced
    NotPlaced, // the packet could not be placed (the operator was told why)
    NoAnswer, // a driver that gives up after a number of silent waits
};

class AckedTransfer
{
public:
    virtual ~AckedTransfer() = default;

    virtual bool running() const = 0;
    // Whether events of `code` carry this transfer's acknowledgements.
    virtual bool acknowledgedBy(int32_t code) const = 0;
    // An event of one of those codes, its record as the library delivered
    // it. The refusal line the event calls for is logged even while no
    // transfer runs; an answer that is not to the packet outstanding leaves
    // everything as it is.
    virtual TransferStep acknowledge(int32_t code, const uint8_t *record) = 0;
    // The acknowledgement timer ran out.
    virtual TransferStep timeout() = 0;
    // Ends a running transfer. A packet already placed is not withdrawn.
    virtual TransferStep cancel(TransferStop why) = 0;

    // Progress: packets to send and how many the module acknowledged.
    virtual int unitsTotal() const = 0;
    virtual int unitsAcknowledged() const = 0;
};

// What a blocking driver's wait brought.
struct TransferWait
{
    enum class Kind {
        Answer,   // an event of one of the transfer's codes
        Nothing,  // no such event within the time given
        LinkLost, // the port will bring none any more
    };
    Kind kind = Kind::Nothing;
    int32_t code = 0;
    std::vector<uint8_t> record;
};

// A driver that has nothing else to do meanwhile: places each packet, waits
// for its acknowledgement with the timer running, and returns how the
// transfer ended.
struct TransferLink
{
    std::function<void(const TransferStep &send)> place;
    std::function<TransferWait(int waitMs)> wait;
    // Optional: every step as it is taken (after `place` for a packet); the
    // transfer's counters are up to date.
    std::function<void(const TransferStep &step)> report;
    // Optional: when it becomes true (another thread, a signal handler) the
    // transfer ends as the cancel button ends it, within kTransferCancelPollMs.
    const std::atomic<bool> *cancel = nullptr;
    // Timer runs in a row without an answer after which the driver gives up
    // (TransferStop::NoAnswer); 0 waits as the page does, without limit.
    int silentWaitsLimit = 0;
};
inline constexpr int kTransferCancelPollMs = 100;

struct TransferResult
{
    TransferStep end; // the step that finished the transfer
    bool cancelled = false; // by `cancel`
    bool gaveUp = false; // the link was lost or stayed silent
};

// Runs `transfer` from its first step (a start that gives Nothing returns at
// once) until a step finishes it.
TransferResult runTransfer(AckedTransfer &transfer, TransferStep first, const TransferLink &link,
                           int ackTimeoutMs = kTransferAckTimeoutMs);

} // namespace qx
