// A transfer driver's link to qxsim through QXLIB, as the transfer tests and
// benchmarks use it: qxsim over Modbus TCP, or over RTU on a pseudo-terminal
// with its TCP port beside it; one running port of the library to it; and
// the acknowledgements the callback hands over, queued until the driver asks.
#pragma once

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

#include "byte_io.h"
#include "connection_event.h"
#include "event_codes.h"
#include "qxlib.h"
#include "qxlib_harness.h"
#include "qxsim_process.h"
#include "request_record.h"
#include "temp_dir.h"

namespace qxtest {

// Acknowledgements in the order the library delivered them, and whether the
// port has reported that it runs.
template<typename Ack>
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
    void push(const Ack &ack)
    {
        std::lock_guard lock(m_lock);
        m_acks.push_back(ack);
        m_changed.notify_all();
    }
    // The oldest acknowledgement; none after `waitMs`.
    std::optional<Ack> next(int waitMs)
    {
        std::unique_lock lock(m_lock);
        if (!m_changed.wait_for(lock, std::chrono::milliseconds(waitMs), [&] { return !m_acks.empty(); }))
            return std::nullopt;
        const Ack ack = m_acks.front();
        m_acks.pop_front();
        return ack;
    }
    bool waitRunning(std::chrono::milliseconds limit = std::chrono::seconds(5))
    {
        std::unique_lock lock(m_lock);
        return m_changed.wait_for(lock, limit, [&] { return m_running; });
    }
    void clear()
    {
        std::lock_guard lock(m_lock);
        m_acks.clear();
        m_running = false;
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<Ack> m_acks;
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
template<typename Ack>
intptr_t openTransferPort(bool rtu, const QxsimProcess &sim, EventCallback callback, AckQueue<Ack> &acks)
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
// a pseudo-terminal (true); qxsim keeps what it stored in `m_dir`. `Decode`
// turns the events the transfer waits for into acknowledgements.
template<typename Ack, std::optional<Ack> (*Decode)(int32_t code, const uint8_t *record)>
class QxsimTransferTest : public ::testing::TestWithParam<bool>
{
protected:
    static AckQueue<Ack> &acks()
    {
        static AckQueue<Ack> queue;
        return queue;
    }
    static void callback(void *, int32_t code, const void *data)
    {
        const auto *r = static_cast<const uint8_t *>(data);
        if (code == qx::kEventConnection)
            acks().connection(r);
        else if (const std::optional<Ack> ack = Decode(code, r))
            acks().push(*ack);
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

    // A file qxsim stored in its state directory (empty when absent).
    std::vector<uint8_t> stored(const char *file) const
    {
        std::ifstream in(m_dir.path / file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    TempDir m_dir;
    std::unique_ptr<QxsimProcess> m_sim;
    intptr_t m_handle = 0;
};

} // namespace qxtest
