// Decoding of the program image and the scan of its running blocks.
#include "plc_runtime.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "plc_catalogues.h"
#include "plc_project.h"
#include "status_report_layout.h"

namespace qx::sim {

namespace {

using namespace plc_code;
namespace L = StatusReportLayout;

// Report and store sections of the data groups DI .. DIO+AIO+XCNT.
constexpr uint8_t kGroupSections[] = {
    L::kFlagInputs,
    L::kFlagCoils,
    L::kFlagInputs | L::kFlagCoils,
    L::kFlagAnalog32,
    L::kFlagAnalog16,
    L::kFlagAnalog32 | L::kFlagAnalog16,
    L::kFlagPulseMask,
    L::kFlagInputs | L::kFlagCoils | L::kFlagAnalog32 | L::kFlagAnalog16,
    L::kFlagInputs | L::kFlagCoils | L::kFlagPulseMask,
    L::kFlagAnalog32 | L::kFlagAnalog16 | L::kFlagPulseMask,
    L::kAllSections,
};
static_assert(std::size(kGroupSections) == kObjectGroupLast - kObjectGroupFirst + 1);

constexpr std::size_t kSelfTimerBase = kExtTimerCount; // it1 in the timer table
constexpr std::size_t kCounters = IoMap::kPointCount; // the points that count
constexpr uint32_t kAnalogOutputMax = 0xFFFF;

bool within(uint8_t code, unsigned first, unsigned count)
{
    return code >= first && code < first + count;
}

uint8_t offsetIn(uint8_t code, unsigned first)
{
    return static_cast<uint8_t>(code - first);
}

std::string named(PlcCatalogue catalogue, uint8_t code)
{
    const std::string &text = plcCatalogueText(catalogue, code);
    return std::to_string(code) + (text.empty() ? "" : " (" + text + ")");
}

// The runs of codes both catalogues share: counters, analog channels and
// timers.
bool decodeSharedOperand(uint8_t c, PlcStep &step)
{
    if (within(c, kCounterFirst, kPointCount))
        step = {PlcOperand::Counter, offsetIn(c, kCounterFirst)};
    else if (within(c, kAnalogFirst, kAnalogChannels))
        step = {PlcOperand::Analog, offsetIn(c, kAnalogFirst)};
    else if (within(c, kExtTimerFirst, kExtTimerCount))
        step = {PlcOperand::ExtTimer, offsetIn(c, kExtTimerFirst)};
    else if (within(c, kSelfTimerFirst, kSelfTimerCount))
        step = {PlcOperand::SelfTimer, offsetIn(c, kSelfTimerFirst)};
    else
        return false;
    return true;
}

// Fills `step` from a condition row; false with the reason when the module
// cannot evaluate it.
bool decodeCondition(const PlcRow &row, PlcStep &step, std::string &why)
{
    const uint8_t c = row.code;
    if (within(c, kSourceInputFirst, kPointCount)) {
        step = {PlcOperand::Input, offsetIn(c, kSourceInputFirst)};
    } else if (within(c, kSourceOutputFirst, kPointCount)) {
        step = {PlcOperand::Output, offsetIn(c, kSourceOutputFirst)};
    } else if (!decodeSharedOperand(c, step)) {
        why = "source " + named(PlcCatalogue::Source, c) + " is not on this module";
        return false;
    }
    const bool timer = step.operand == PlcOperand::ExtTimer || step.operand == PlcOperand::SelfTimer;
    const bool known = timer ? row.op == kCondEqual : row.op >= kCondEqual && row.op <= kCondLeftClosed;
    if (!known) {
        why = "operator " + named(PlcCatalogue::ConditionOperator, row.op) + " cannot test "
            + plcCatalogueText(PlcCatalogue::Source, c);
        return false;
    }
    step.op = row.op;
    step.a = row.a;
    step.b = row.b;
    return true;
}

bool decodeAction(const PlcRow &row, PlcStep &step, std::string &why)
{
    const uint8_t c = row.code;
    const uint8_t op = row.op;
    const bool arithmetic = op == kActAssign || op == kActAdd || op == kActSubtract;
    bool fits = arithmetic;
    if (within(c, kObjectOutputFirst, kPointCount)) {
        const uint8_t y = offsetIn(c, kObjectOutputFirst);
        if (op == kActPulse) {
            // the PWM units sit on Y1, Y3, Y5 and Y7
            if (y % 2 != 0 || y / 2 >= IoMap::kPwmCount) {
                why = plcCatalogueText(PlcCatalogue::ActionObject, c) + " has no pulse output (y1, y3, y5, y7 have)";
                return false;
            }
            step = {PlcOperand::Pulse, y};
            fits = true;
        } else {
            step = {PlcOperand::Output, y};
            fits = op == kActAssign;
        }
    } else if (decodeSharedOperand(c, step)) {
        // counters, analog outputs and timers take =, + and -
    } else if (c == kObjectDelay) {
        step = {PlcOperand::Delay, 0};
        fits = op == kActAssign;
    } else if (c >= kObjectGroupFirst && c <= kObjectGroupLast) {
        step = {PlcOperand::Group, kGroupSections[c - kObjectGroupFirst]};
        fits = op == kActStore || op == kActStoreClear || op == kActReport;
    } else {
        why = "object " + named(PlcCatalogue::ActionObject, c) + " is not on this module";
        return false;
    }
    if (!fits) {
        why = "operator " + named(PlcCatalogue::ActionOperator, op) + " cannot act on "
            + plcCatalogueText(PlcCatalogue::ActionObject, c);
        return false;
    }
    step.op = op;
    step.a = row.a;
    step.b = row.b;
    return true;
}

// A `var` row names a variable in `a`; any other unit leaves `a` a constant.
bool decodeVariable(const PlcRow &row, PlcStep &step, std::string &why)
{
    if (row.unit != kUnitVar)
        return true;
    if (row.a < 1 || row.a > kVariableCount) {
        why = "variable number " + std::to_string(row.a) + " is outside 1..256";
        return false;
    }
    step.variable = true;
    return true;
}

uint32_t u32Register(const IoState &io, std::size_t reg, bool holding)
{
    if (holding)
        return (uint32_t(io.holdingRegister(reg)) << 16) | io.holdingRegister(reg + 1);
    return (uint32_t(io.inputRegister(reg)) << 16) | io.inputRegister(reg + 1);
}

void putInputU32(IoState &io, std::size_t reg, uint32_t value)
{
    io.setInputRegister(reg, static_cast<uint16_t>(value >> 16));
    io.setInputRegister(reg + 1, static_cast<uint16_t>(value));
}

uint32_t variable(const IoState &io, uint32_t number)
{
    return u32Register(io, IoMap::kVariableRegister + 2 * (std::size_t(number) - 1), true);
}

uint32_t valueA(const PlcStep &s, const IoState &io)
{
    return s.variable ? variable(io, s.a) : s.a;
}

// =, + and - on a value that stays within 0..max.
uint32_t arithmetic(uint8_t op, uint32_t current, uint32_t a, uint32_t max)
{
    uint64_t v = current;
    if (op == kActAssign)
        v = a;
    else if (op == kActAdd)
        v += a;
    else
        v = current > a ? current - a : 0;
    return static_cast<uint32_t>(std::min<uint64_t>(v, max));
}

// `seen` and `previous`: what the row read in the scan before, if any.
bool compare(uint8_t op, uint32_t v, uint32_t a, uint32_t b, bool seen, uint32_t previous)
{
    switch (op) {
    case kCondEqual: return v == a;
    case kCondNotEqual: return v != a;
    case kCondGreater: return v > a;
    case kCondGreaterEqual: return v >= a;
    case kCondLess: return v < a;
    case kCondLessEqual: return v <= a;
    case kCondFromTo: return seen && previous == a && v == b;
    case kCondOpen: return a < v && v < b;
    case kCondClosed: return a <= v && v <= b;
    case kCondRightClosed: return a < v && v <= b;
    case kCondLeftClosed: return a <= v && v < b;
    default: return false;
    }
}

uint32_t bits32(const IoState &io, bool outputs)
{
    uint32_t v = 0;
    for (std::size_t k = 0; k < kPointCount; ++k)
        if (outputs ? io.coil(k) : io.input(k))
            v |= uint32_t(1) << k;
    return v;
}

} // namespace

PlcDecodeResult decodePlcImage(const uint8_t *image, std::size_t size)
{
    PlcDecodeResult r;
    if (image == nullptr || size != kPlcProgramSize) {
        r.message = "image of " + std::to_string(size) + " bytes, expected " + std::to_string(kPlcProgramSize);
        return r;
    }
    for (std::size_t n = 0; n < kPlcBlockCount; ++n) {
        const uint8_t *block = image + n * kPlcBlockSize;
        if (block[PlcBlock::kState] != kBlockRuns)
            continue;
        PlcRunBlock run;
        run.number = static_cast<uint8_t>(n);
        for (int kind = 0; kind < 2; ++kind) {
            const bool condition = kind == 0;
            for (int row = 0; row < kPlcRowsPerArea; ++row) {
                const PlcRow raw = readPlcRow(block, condition ? PlcRowKind::Condition : PlcRowKind::Action, row);
                if (raw.code == 0)
                    continue;
                PlcStep step;
                std::string why;
                const bool ok = (condition ? decodeCondition(raw, step, why) : decodeAction(raw, step, why))
                    && decodeVariable(raw, step, why);
                if (!ok) {
                    r.message = "block " + std::to_string(n) + (condition ? ", condition " : ", action ")
                        + std::to_string(row) + ": " + why;
                    return r;
                }
                (condition ? run.conditions : run.actions).push_back(step);
            }
        }
        r.program.blocks.push_back(std::move(run));
    }
    r.ok = true;
    return r;
}

void PlcRuntime::start(PlcProgram program)
{
    m_program = std::move(program);
    m_states.assign(m_program.blocks.size(), BlockState {});
    for (std::size_t i = 0; i < m_states.size(); ++i)
        m_states[i].edges.assign(m_program.blocks[i].conditions.size(), EdgeMemory {});
    m_timers.fill(Timer {});
    m_held.clear();
    m_held.reserve(kPlcBlockCount);
    m_scans = 0;
    m_lastUs = 0;
    m_reportFlags = 0;
}

uint8_t PlcRuntime::takeReportFlags()
{
    const uint8_t flags = m_reportFlags;
    m_reportFlags = 0;
    return flags;
}

void PlcRuntime::scan(uint64_t nowUs, IoState &io)
{
    m_held.clear();
    if (!running()) {
        publishStatus(io);
        return;
    }
    if (m_scans == 0) {
        m_lastUs = nowUs;
        startSelfTimers(io);
    }
    advanceTimers(nowUs > m_lastUs ? nowUs - m_lastUs : 0);
    m_lastUs = std::max(m_lastUs, nowUs);

    for (std::size_t i = 0; i < m_program.blocks.size(); ++i) {
        const PlcRunBlock &block = m_program.blocks[i];
        BlockState &state = m_states[i];
        // every row is tested in every scan, so that an edge is seen even
        // while an earlier row of the block fails
        bool all = true;
        for (std::size_t c = 0; c < block.conditions.size(); ++c)
            all = holds(block.conditions[c], state.edges[c], io) && all;
        if (state.waiting) {
            if (nowUs >= state.resumeUs)
                runActions(block, state, state.next, nowUs, io);
        } else if (all) {
            m_held.push_back(block.number);
            runActions(block, state, 0, nowUs, io);
        }
    }
    ++m_scans;
    publishStatus(io);
}

void PlcRuntime::startSelfTimers(const IoState &io)
{
    // a self-triggered timer runs from the start with the time its
    // condition row gives
    for (const PlcRunBlock &block : m_program.blocks)
        for (const PlcStep &c : block.conditions)
            if (c.operand == PlcOperand::SelfTimer) {
                Timer &t = m_timers[kSelfTimerBase + c.index];
                t.started = true;
                t.countUs = 0;
                t.runUs = uint64_t(valueA(c, io)) * 1000;
            }
}

void PlcRuntime::advanceTimers(uint64_t dtUs)
{
    for (std::size_t i = 0; i < m_timers.size(); ++i) {
        Timer &t = m_timers[i];
        t.elapsedNow = false;
        if (!t.started)
            continue;
        if (i < kSelfTimerBase) {
            t.countUs = std::min(t.countUs + dtUs, t.runUs); // stays at its end
        } else if (t.runUs > 0) {
            t.countUs += dtUs;
            if (t.countUs >= t.runUs) {
                t.elapsedNow = true;
                t.countUs = (t.countUs - t.runUs) % t.runUs; // keeps its phase
            }
        }
    }
}

bool PlcRuntime::holds(const PlcStep &c, EdgeMemory &edge, const IoState &io) const
{
    const uint32_t a = valueA(c, io);
    uint32_t v = 0;
    switch (c.operand) {
    case PlcOperand::Input:
        v = io.input(c.index) ? 1 : 0;
        break;
    case PlcOperand::Counter:
        v = c.index < kCounters ? io.counter(c.index) : 0;
        break;
    case PlcOperand::Analog:
        v = u32Register(io, IoMap::kAiRegister + 2 * std::size_t(c.index), false);
        break;
    case PlcOperand::Output:
        v = io.coil(c.index) ? 1 : 0;
        break;
    case PlcOperand::ExtTimer: {
        const Timer &t = m_timers[c.index];
        return t.started && t.countUs >= uint64_t(a) * 1000;
    }
    case PlcOperand::SelfTimer:
        return m_timers[kSelfTimerBase + c.index].elapsedNow;
    default:
        return false;
    }
    const bool result = compare(c.op, v, a, c.b, edge.seen, edge.previous);
    edge.seen = true;
    edge.previous = v;
    return result;
}

void PlcRuntime::runActions(const PlcRunBlock &block, BlockState &state, std::size_t from, uint64_t nowUs,
                            IoState &io)
{
    state.waiting = false;
    for (std::size_t k = from; k < block.actions.size(); ++k) {
        const PlcStep &s = block.actions[k];
        const uint32_t a = valueA(s, io);
        switch (s.operand) {
        case PlcOperand::Output:
            if (s.index % 2 == 0 && s.index / 2 < IoMap::kPwmCount)
                stopPulse(s.index, io);
            if (io.coil(s.index) != (a != 0))
                io.writeCoil(s.index, a != 0);
            break;
        case PlcOperand::Pulse:
            pulse(s.index, a, s.b, io);
            break;
        case PlcOperand::Counter:
            if (s.index < kCounters)
                io.setCounter(s.index, arithmetic(s.op, io.counter(s.index), a, std::numeric_limits<uint32_t>::max()));
            break;
        case PlcOperand::Analog: {
            const std::size_t reg = IoMap::kAoRegister + s.index;
            const uint32_t v = arithmetic(s.op, io.holdingRegister(reg), a, kAnalogOutputMax);
            if (v != io.holdingRegister(reg))
                io.writeHoldingRegister(reg, static_cast<uint16_t>(v));
            break;
        }
        case PlcOperand::ExtTimer:
            timerAction(m_timers[s.index], s.op, a);
            break;
        case PlcOperand::SelfTimer:
            timerAction(m_timers[kSelfTimerBase + s.index], s.op, a);
            break;
        case PlcOperand::Delay:
            if (a > 0) {
                // the rest of the block waits; the other blocks go on
                state.waiting = true;
                state.next = k + 1;
                state.resumeUs = nowUs + uint64_t(a) * 1000;
                return;
            }
            break;
        case PlcOperand::Group:
            if (s.op == kActReport)
                m_reportFlags |= s.index;
            else
                store(s.index, s.op == kActStoreClear, io);
            break;
        default:
            break;
        }
    }
}

void PlcRuntime::timerAction(Timer &t, uint8_t op, uint32_t ms)
{
    const uint64_t us = uint64_t(ms) * 1000;
    if (op == kActAssign) {
        t.started = true;
        t.countUs = 0;
        t.runUs = us;
    } else if (op == kActAdd) {
        t.runUs += us;
    } else {
        t.runUs -= std::min(us, t.runUs);
    }
}

void PlcRuntime::pulse(uint8_t output, uint32_t hz, uint32_t dutyBits, IoState &io)
{
    const float duty = bitsFloat(dutyBits);
    if (hz == 0 || !(duty > 0.0f) || duty >= 100.0f) {
        // no pulses: a constant level
        stopPulse(output, io);
        const bool on = hz != 0 && duty >= 100.0f;
        if (io.coil(output) != on)
            io.writeCoil(output, on);
        return;
    }
    // the PWM takes high and low times in microseconds, or in milliseconds
    // when a period does not fit 16 bits (below 16 Hz)
    const double periodUs = 1e6 / hz;
    const bool millis = periodUs > 65535.0;
    const double period = millis ? periodUs / 1000.0 : periodUs;
    const double highTime = std::round(period * duty / 100.0);
    const uint16_t high = static_cast<uint16_t>(std::clamp(highTime, 1.0, 65534.0));
    const uint16_t low = static_cast<uint16_t>(std::clamp(std::round(period) - high, 1.0, 65535.0));
    const std::size_t base = IoMap::kPwmRegister + 6 * std::size_t(output / 2);
    const uint16_t wanted[3] = {static_cast<uint16_t>(millis ? 1 : 0), high, low};
    // unchanged parameters are not written again, which would restart the
    // waveform in every scan
    for (std::size_t i = 0; i < 3; ++i)
        if (io.holdingRegister(base + i) != wanted[i])
            io.writeHoldingRegister(base + i, wanted[i]);
    const std::size_t run = IoMap::kPwmRunCoil + output;
    if (!io.coil(run))
        io.writeCoil(run, true);
}

void PlcRuntime::stopPulse(uint8_t output, IoState &io)
{
    const std::size_t run = IoMap::kPwmRunCoil + output;
    if (io.coil(run))
        io.writeCoil(run, false);
}

void PlcRuntime::store(uint8_t flags, bool clear, IoState &io)
{
    namespace M = IoMap;
    if (flags & L::kFlagInputs)
        putInputU32(io, M::kStoreInputs, clear ? 0 : bits32(io, false));
    if (flags & L::kFlagCoils)
        putInputU32(io, M::kStoreOutputs, clear ? 0 : bits32(io, true));
    if (flags & L::kFlagAnalog32)
        for (std::size_t ch = 0; ch < M::kAnalogCount; ++ch)
            putInputU32(io, M::kStoreAi + 2 * ch, clear ? 0 : u32Register(io, M::kAiRegister + 2 * ch, false));
    if (flags & L::kFlagAnalog16)
        for (std::size_t ch = 0; ch < M::kAnalogCount; ++ch)
            io.setInputRegister(M::kStoreAo + ch, clear ? 0 : io.holdingRegister(M::kAoRegister + ch));
    if (flags & L::kFlagPulseMask)
        for (std::size_t k = 0; k < kCounters; ++k)
            putInputU32(io, M::kStoreCounters + 2 * k, clear ? 0 : io.counter(k));
}

void PlcRuntime::publishStatus(IoState &io) const
{
    io.setInputRegister(IoMap::kPlcStatusRegister, running() ? 1 : 0);
    putInputU32(io, IoMap::kPlcScanCountRegister, static_cast<uint32_t>(m_scans));
    io.setInputRegister(IoMap::kPlcBlockCountRegister, static_cast<uint16_t>(m_program.blocks.size()));
}

} // namespace qx::sim
