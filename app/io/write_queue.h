// WriteQueue: the I/O pages' writes waiting for their command slot. A write
// slot of the library (5 coils, 9 registers) holds one record, and a record
// placed before the library has sent the previous one replaces it: two
// presses in quick succession would send only the second. So a write is
// placed at once only while no write of its slot is outstanding; otherwise it
// waits here, in order, until the module acknowledges the slot's write
// (kEventCoilsWritten and kEventRegistersWritten) or the wait for that
// acknowledgement ends. A port closed drops everything that waits.
//
// The wait counts from when a write is placed, but the library sends it only
// on its slot's turn: every polling slot ahead of it in the round-robin may
// take up to kLibraryTurnMs against a slow module. So the wait grows by one
// turn for each slot that polls.
//
// Times are milliseconds on any steady clock; the caller says what time it is
// and places every write this class hands back at that time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <vector>

#include "io_requests.h"

namespace qx {

// The transport moves on after 1000 ms without an answer, and a module may
// never answer (a refused write comes back as an exception, not as
// kEventCoilsWritten or 9): a little later the next write goes out all the
// same.
inline constexpr int64_t kWriteAnswerTimeoutMs = 1200;
// The longest a slot's turn takes: the library's wait for an answer.
inline constexpr int64_t kLibraryTurnMs = 1000;

class WriteQueue
{
public:
    // The write to place now, or nothing when a write of its slot is still
    // outstanding and this one waits.
    std::optional<SlotRequest> submit(const SlotRequest &write, int64_t now);
    // The module acknowledged the write of `slot`: the slot's next write to
    // place now, if one waits. An acknowledgement while nothing of the slot
    // is outstanding (a late answer) changes nothing.
    std::optional<SlotRequest> acknowledged(int slot, int64_t now);
    // The writes to place now because the acknowledgement of their slot's
    // outstanding write did not come in time, one per slot at most.
    std::vector<SlotRequest> expire(int64_t now);
    // When expire() next has something to do; nothing while no write is
    // outstanding.
    std::optional<int64_t> nextDeadline() const;
    // The port is gone: nothing is outstanding and nothing waits.
    void clear();
    // How many slots poll (mode 2) beside the writes; writes placed from now
    // on wait a turn longer for each.
    void setPollingSlots(int count) { m_pollingSlots = count; }
    int64_t answerWaitMs() const { return kWriteAnswerTimeoutMs + m_pollingSlots * kLibraryTurnMs; }

    bool outstanding(int slot) const;
    std::size_t waiting(int slot) const;

private:
    struct Line
    {
        std::optional<int64_t> deadline; // set while a placed write is unanswered
        std::deque<SlotRequest> waiting;
    };

    std::optional<SlotRequest> placeNext(Line &line, int64_t now);

    std::map<int, Line> m_lines; // by slot
    int m_pollingSlots = 0;
};

} // namespace qx
