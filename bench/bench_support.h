// What the transfer benchmarks share: the clock and its milliseconds, the
// library's pacing, the moment a request is written (TxCmd moves), and qxsim
// with one running port of the library to it.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "byte_io.h"
#include "qxsim_transfer.h"
#include "statistics_record.h"

namespace bench {

using Clock = std::chrono::steady_clock;
constexpr double kPacingMs = 8.0; // the worker's sleep after a delivered response
constexpr std::size_t kRtuOverhead = 4; // address, function code, CRC

inline double ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

inline const char *transportName(bool rtu)
{
    return rtu ? "RTU pty 115200 baud" : "Modbus TCP loopback";
}

// Whether a log event's TxCmd moved past `lastTx`: a request has just been
// written.
inline bool txMoved(const uint8_t *record, uint32_t &lastTx)
{
    const uint32_t tx = qx::getU32le(record, qx::StatisticsLayout::kTxCmd);
    if (tx == lastTx)
        return false;
    lastTx = tx;
    return true;
}

// qxsim over TCP, or over RTU on a pseudo-terminal, and one running port of
// the library to it, destroyed at the latest with the rig.
class TransferRig
{
public:
    ~TransferRig() { close(); }

    // Says on stderr why when it cannot.
    bool open(bool rtu, EventCallback callback, qxtest::AckQueue &acks)
    {
        acks.clear();
        m_sim = qxtest::startTransferQxsim({}, rtu);
        if (m_sim->lines().empty()) {
            std::fprintf(stderr, "qxsim did not start\n");
            return false;
        }
        m_handle = qxtest::openTransferPort(rtu, *m_sim, callback, acks);
        if (m_handle == 0) {
            std::fprintf(stderr, "QXLIB could not open the %s link\n", rtu ? "serial" : "TCP");
            return false;
        }
        return true;
    }
    intptr_t handle() const { return m_handle; }
    void close()
    {
        if (m_handle != 0)
            DLL_API_OBJ_DESTROY(m_handle);
        m_handle = 0;
    }

private:
    std::unique_ptr<qxtest::QxsimProcess> m_sim;
    intptr_t m_handle = 0;
};

} // namespace bench
