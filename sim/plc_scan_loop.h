// qxsim's PLC scan cycle: scans the module's program at a fixed period on
// the server's loop, prints what the program does when asked to, and sends
// the status reports the program asks for.
#pragma once

#include <cstdint>

#include "sim_module.h"
#include "sim_transports.h"

namespace qx::sim {

class PlcScanLoop
{
public:
    PlcScanLoop(SimModule &module, SimServer &server, unsigned scanMs, bool trace);

    // The scan that is due at `nowUs`, if any; returns when the next one is.
    uint64_t tick(uint64_t nowUs);

private:
    SimModule &m_module;
    SimServer &m_server;
    uint64_t m_periodUs;
    bool m_trace;
    uint64_t m_nextUs = 0;
};

} // namespace qx::sim
