// PageHooks: where the module pages receive what the module sent. A page
// fills its own entries when it is placed (an empty entry drops the event);
// the shell reads each event once, applies its checks, and calls the entry
// on the window thread, in the order the events came, only while a port
// object exists. Spans and references are valid during the call only.
//
//   inputBits, coilBits   events 2 and 4: the record's bit bytes (X1/Y1 in
//                         bit 0 of the first); the status report's 4 bytes
//   analogInputs          event 6 (unless counterGroups claims it): the
//                         32-bit values that arrived, at most 8; report: 8
//   analogOutputs         event 8: the 16-bit values that arrived, at most 8;
//                         report: 8
//   counterGroups         the PWM/counter page's group mask; not 0 claims
//                         event 6 for counterValues
//   counterValues         event 6 while claimed: the 32-bit values that
//                         arrived (up to 48) and the mask; report: its 32
//                         counters and its flag byte
//   coilsWritten          event 5: the module acknowledged a coil write
//   registersWritten      event 9: the module acknowledged a register write
//   paramBlock            event 14 once accepted (checksum and length)
//   paramsWritten         event 15 with a status that is not 0
//   transferStep          events 16/17: the kind and the part to send next
//   plcAck                event 18 whose echo arrived whole
//
// A value count below what was asked for means a short answer: show what
// came, never zeros in place of what did not. Pages also subscribe to
// AppMain::portClosed to stop their polling and their own timers.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "event_records.h"
#include "param_block.h"

namespace qx {

struct PageHooks
{
    // DI/DO page
    std::function<void(std::span<const uint8_t> bits)> inputBits;
    std::function<void(std::span<const uint8_t> bits)> coilBits;
    // AI/AO page
    std::function<void(std::span<const uint32_t> values)> analogInputs;
    std::function<void(std::span<const uint16_t> values)> analogOutputs;
    // PWM/counter page
    std::function<uint8_t()> counterGroups;
    std::function<void(std::span<const uint32_t> values, uint8_t groups)> counterValues;
    // the I/O pages' writes (slots 5 and 9), shared by the three pages
    std::function<void()> coilsWritten;
    std::function<void()> registersWritten;
    // configuration page
    std::function<void(const ParamBlock &block, bool compact)> paramBlock;
    std::function<void()> paramsWritten;
    std::function<void(int kind, int32_t nextPart)> transferStep;
    // PLC page
    std::function<void(const PlcAck &ack)> plcAck;
};

// What the shell itself shows for a module event, in the order it comes.
struct ShellOutput
{
    std::function<void(const std::string &text)> log; // appended as it is
    std::function<void(const std::string &text)> message; // a message box
};

// Reads a module event (codes 2 to 19) and hands it to the hooks; log lines
// and messages go to `out`, a log line before the step it announces. Other
// codes are ignored.
void dispatchPageEvent(int32_t code, const uint8_t *record, const PageHooks &hooks,
                       const ShellOutput &out);

} // namespace qx
