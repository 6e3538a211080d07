// The module's PLC: turns a downloaded program image into the blocks it can
// run, and runs them scan by scan over the simulated I/O. There is no clock
// and no transport here: the caller says when a scan happens and sends the
// reports the program asks for. sim/PLC.md describes what every row does.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "io_map.h"

namespace qx::sim {

enum class PlcOperand : uint8_t {
    Input, // x, conditions only
    Counter, // pulse counter of an x
    Analog, // ai in conditions, ao in actions
    ExtTimer,
    SelfTimer,
    Output, // y
    Pulse, // y driven by its PWM ("po"), actions only
    Delay,
    Group, // data group (store, clear store, report), actions only
};

// One condition or action row as the runtime uses it.
struct PlcStep
{
    PlcOperand operand = PlcOperand::Input;
    uint8_t index = 0; // point, channel or timer, from 0; section flags of a group
    uint8_t op = 0; // the catalogue's operator code
    bool variable = false; // `a` is the number of a module variable
    uint32_t a = 0;
    uint32_t b = 0;
};

struct PlcRunBlock
{
    uint8_t number = 0;
    std::vector<PlcStep> conditions;
    std::vector<PlcStep> actions;
};

struct PlcProgram
{
    std::vector<PlcRunBlock> blocks; // the blocks in state "runs", in block order
};

struct PlcDecodeResult
{
    bool ok = false;
    std::string message; // why the program cannot run: block, row and code
    PlcProgram program;
};

// Reads the image through the block record's offsets; only blocks in state
// "runs" are read. Never reads outside [image, image + size).
PlcDecodeResult decodePlcImage(const uint8_t *image, std::size_t size);

class PlcRuntime
{
public:
    // Replaces the running program; timers, edges, delays start afresh.
    void start(PlcProgram program);
    void stop() { start({}); }
    bool running() const { return !m_program.blocks.empty(); }
    std::size_t blockCount() const { return m_program.blocks.size(); }

    // One scan at `nowUs` (any fixed origin, never running backwards).
    void scan(uint64_t nowUs, IoState &io);

    uint64_t scanCount() const { return m_scans; }
    // The blocks whose conditions held and whose actions began in the last scan.
    const std::vector<uint8_t> &heldBlocks() const { return m_held; }
    // Status report sections asked for since the last call (0: none).
    uint8_t takeReportFlags();

private:
    struct Timer
    {
        bool started = false;
        bool elapsedNow = false; // self-triggered: elapsed in this scan
        uint64_t countUs = 0;
        uint64_t runUs = 0;
    };
    struct EdgeMemory
    {
        bool seen = false;
        uint32_t previous = 0;
    };
    struct BlockState
    {
        std::vector<EdgeMemory> edges; // one per condition
        bool waiting = false; // in a delay
        std::size_t next = 0; // the action after the delay
        uint64_t resumeUs = 0;
    };

    void startSelfTimers(const IoState &io);
    void advanceTimers(uint64_t dtUs);
    bool holds(const PlcStep &c, EdgeMemory &edge, const IoState &io) const;
    void runActions(const PlcRunBlock &block, BlockState &state, std::size_t from, uint64_t nowUs, IoState &io);
    void timerAction(Timer &t, uint8_t op, uint32_t ms);
    static void pulse(uint8_t output, uint32_t hz, uint32_t dutyBits, IoState &io);
    static void stopPulse(uint8_t output, IoState &io);
    static void store(uint8_t flags, bool clear, IoState &io);
    void publishStatus(IoState &io) const;

    PlcProgram m_program;
    std::vector<BlockState> m_states;
    std::array<Timer, 128> m_timers {}; // et1..et96, then it1..it32
    std::vector<uint8_t> m_held;
    uint64_t m_scans = 0;
    uint64_t m_lastUs = 0;
    uint8_t m_reportFlags = 0;
};

} // namespace qx::sim
