// The scan cycle on qxsim's loop.
#include "plc_scan_loop.h"

#include <cinttypes>
#include <cstdio>

namespace qx::sim {

PlcScanLoop::PlcScanLoop(SimModule &module, SimServer &server, unsigned scanMs, bool trace)
    : m_module(module)
    , m_server(server)
    , m_periodUs(uint64_t(scanMs) * 1000)
    , m_trace(trace)
{
}

uint64_t PlcScanLoop::tick(uint64_t nowUs)
{
    if (m_nextUs == 0)
        m_nextUs = nowUs;
    if (nowUs >= m_nextUs) {
        m_module.scanPlc(nowUs);
        const PlcRuntime &plc = m_module.plc();
        if (m_trace && !plc.heldBlocks().empty()) {
            for (uint8_t block : plc.heldBlocks())
                std::printf("plc scan %" PRIu64 " block %u\n", plc.scanCount(), static_cast<unsigned>(block));
            std::fflush(stdout);
        }
        if (const uint8_t sections = m_module.takePlcReport())
            m_server.sendReport(m_module.statusReport(sections), m_module.address(), nowUs);
        // a late loop skips scans instead of running them back to back
        m_nextUs += m_periodUs;
        if (m_nextUs <= nowUs)
            m_nextUs = nowUs + m_periodUs;
    }
    for (const std::string &message : m_module.takePlcMessages())
        std::fprintf(stderr, "qxsim: plc: %s\n", message.c_str());
    return m_nextUs;
}

} // namespace qx::sim
