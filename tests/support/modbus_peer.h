// libmodbus as the module: a TCP server on loopback or an RTU server on the
// master side of a pseudo-terminal, serving one register map from a thread.
// The map is read and written under a lock, so the test can check what the
// tool wrote and set what it will read. Also the exchange every transport
// runs against it.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

#include <modbus/modbus.h>

#include "qxlib.h"

namespace qxtest {

class ModbusPeer
{
public:
    // TCP: listens on a free loopback port.
    static constexpr int kTcp = 0;
    // Coils, inputs and registers of each kind: every point the pages
    // address, the sub-stations' included.
    static constexpr int kPoints = 1024;
    ModbusPeer();
    // RTU on an already open descriptor (the pty master), unit `unit`.
    ModbusPeer(int fd, int unit);
    ~ModbusPeer();
    ModbusPeer(const ModbusPeer &) = delete;
    ModbusPeer &operator=(const ModbusPeer &) = delete;

    uint16_t port() const { return m_port; }
    int served() const { return m_served.load(); }

    // Runs `f` on the map under its lock.
    void withMap(const std::function<void(modbus_mapping_t &)> &f);

private:
    void serve();

    modbus_t *m_ctx = nullptr;
    modbus_mapping_t *m_map = nullptr;
    std::mutex m_lock;
    int m_listener = -1;
    bool m_tcp = true;
    uint16_t m_port = 0;
    std::atomic<bool> m_stop {false};
    std::atomic<int> m_served {0};
    std::thread m_thread;
};

// Reads coils, inputs, holding and input registers and writes coils and
// registers through a port created from `settings` (requests placed before
// RUN), then checks the events and the module's map. `handle` is the port,
// still running.
void runLibmodbusScenario(ModbusPeer &module, const PortSettings &settings, intptr_t &handle);

} // namespace qxtest
