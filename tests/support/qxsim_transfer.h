// A transfer's link to qxsim through QXLIB, as the transfer tests and
// benchmarks use it: qxsim over Modbus TCP, or over RTU on a pseudo-terminal
// with its TCP port beside it; one running port of the library to it; the
// acknowledgements the callback hands over, queued until the runner asks.
#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "acked_transfer.h"
#include "byte_io.h"
#include "connection_event.h"
#include "event_codes.h"
#include "qxlib.h"
#include "qxlib_harness.h"
#include "qxsim_process.h"
#include "request_record.h"
#include "response_records.h"
#include "temp_dir.h"

namespace qxtest {

// The transfer events (16 to 18) in the order the library delivered them,
// and whether the port has reported that it runs.
class AckQueue
{
public:
    // A connection event (its record as the callback hands it over).
    void connection(const uint8_t *record)
    {
        if (qx::getI32le(record, qx::ConnectionLayout::kState) != qx::kStateRunning)
            return;
        std::lock_guard lock(m_lock);
        m_running = true;
        m_changed.notify_all();
    }
    // Any event; only the transfers' acknowledgements are kept.
    void event(int32_t code, const uint8_t *record)
    {
        if (code < qx::kEventBiosPacket || code > qx::kEventPlcPacket)
            return;
        std::lock_guard lock(m_lock);
        m_events.push_back({qx::TransferWait::Kind::Answer, code,
                            std::vector<uint8_t>(record, record + qx::TransferReplyLayout::kSize)});
        m_changed.notify_all();
    }
    // The oldest acknowledgement; Nothing after `waitMs`.
    qx::TransferWait next(int waitMs)
    {
        std::unique_lock lock(m_lock);
        if (!m_changed.wait_for(lock, std::chrono::milliseconds(waitMs), [&] { return !m_events.empty(); }))
            return {};
        qx::TransferWait e = std::move(m_events.front());
        m_events.pop_front();
        return e;
    }
    bool waitRunning(std::chrono::milliseconds limit = std::chrono::seconds(5))
    {
        std::unique_lock lock(m_lock);
        return m_changed.wait_for(lock, limit, [&] { return m_running; });
    }
    void clear()
    {
        std::lock_guard lock(m_lock);
        m_events.clear();
        m_running = false;
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<qx::TransferWait> m_events;
    bool m_running = false;
};

// qxsim with `args` and a TCP port on loopback; with `rtu` also a
// pseudo-terminal, whose ready line comes second.
inline std::unique_ptr<QxsimProcess> startTransferQxsim(std::vector<std::string> args, bool rtu)
{
    args.insert(args.end(), {"--tcp", "0"});
    if (rtu)
        args.push_back("--pty");
    return std::make_unique<QxsimProcess>(std::move(args), rtu ? 2 : 1);
}

// The port settings for qxsim's pseudo-terminal at 115200 baud (rtu), else
// for its TCP port.
inline PortSettings transferSettings(bool rtu, const QxsimProcess &sim)
{
    return rtu ? serialSettings(sim.ptyPath(), 115200)
               : tcpClientSettings(static_cast<uint16_t>(sim.port("listening tcp")));
}

// Creates and runs a port to qxsim; 0, with nothing left open, when the
// library refuses or the port does not report that it runs.
inline intptr_t openTransferPort(bool rtu, const QxsimProcess &sim, EventCallback callback, AckQueue &acks)
{
    intptr_t handle = 0;
    if (DLL_API_OBJ_CREATE(transferSettings(rtu, sim), callback, &handle) != 0)
        return 0;
    if (DLL_API_OBJ_RUN(handle) != 0 || !acks.waitRunning()) {
        DLL_API_OBJ_DESTROY(handle);
        return 0;
    }
    return handle;
}

// Places a transfer packet in `slot` as the pages do: counted once to
// address 1, stale received bytes dropped first.
inline void placeTransferPacket(intptr_t handle, int slot, const std::vector<uint8_t> &packet)
{
    const qx::RequestRecord r = qx::transferRequest(packet, 1);
    DLL_API_OBJ_RXBUFF_CLR(handle);
    DLL_API_OBJ_CMD(handle, slot, r.data(), qx::RequestLength::kTransferPacket);
}

// Tests of a transfer into qxsim, over TCP (parameter false) and over RTU on
// a pseudo-terminal (true); qxsim keeps what it stored in `m_dir`.
class QxsimTransferTest : public ::testing::TestWithParam<bool>
{
protected:
    static AckQueue &acks()
    {
        static AckQueue queue;
        return queue;
    }
    static void callback(void *, int32_t code, const void *data)
    {
        const auto *r = static_cast<const uint8_t *>(data);
        if (code == qx::kEventConnection)
            acks().connection(r);
        else
            acks().event(code, r);
    }

    void start(std::vector<std::string> args)
    {
        acks().clear();
        args.insert(args.end(), {"--state", m_dir.path.string()});
        m_sim = startTransferQxsim(std::move(args), GetParam());
        ASSERT_FALSE(m_sim->lines().empty());
        m_handle = openTransferPort(GetParam(), *m_sim, &callback, acks());
        ASSERT_NE(m_handle, 0);
    }
    void TearDown() override
    {
        if (m_handle != 0)
            DLL_API_OBJ_DESTROY(m_handle);
        m_sim.reset();
    }

    // Runs `transfer` from `first` to its end as a page would, with a timer
    // of `timerMs`; the steps placed are kept in `placed`.
    qx::TransferResult run(qx::AckedTransfer &transfer, qx::TransferStep first,
                           int timerMs = qx::kTransferAckTimeoutMs)
    {
        qx::TransferLink link;
        link.place = [&](const qx::TransferStep &s) {
            placed.push_back(s);
            placeTransferPacket(m_handle, s.slot, s.packet);
        };
        link.wait = [&](int ms) {
            const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
            for (;;) {
                const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
                qx::TransferWait e = acks().next(int(std::max<long long>(left.count(), 0)));
                if (e.kind != qx::TransferWait::Kind::Answer || transfer.acknowledgedBy(e.code))
                    return e;
            }
        };
        return qx::runTransfer(transfer, std::move(first), link, timerMs);
    }

    // A file qxsim stored in its state directory (empty when absent).
    std::vector<uint8_t> stored(const char *file) const
    {
        std::ifstream in(m_dir.path / file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    TempDir m_dir;
    std::unique_ptr<QxsimProcess> m_sim;
    intptr_t m_handle = 0;
    std::vector<qx::TransferStep> placed;
};

} // namespace qxtest
