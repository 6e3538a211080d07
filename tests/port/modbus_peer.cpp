#include "modbus_peer.h"

#include <cerrno>

#include <poll.h>
#include <unistd.h>

#include "port_test_support.h"

namespace qxtest {

ModbusPeer::ModbusPeer()
{
    m_ctx = modbus_new_tcp("127.0.0.1", 0);
    m_map = modbus_mapping_new(kPoints, kPoints, kPoints, kPoints);
    m_listener = modbus_tcp_listen(m_ctx, 1);
    m_port = localPortOf(m_listener);
    modbus_set_indication_timeout(m_ctx, 0, 100000);
    m_thread = std::thread(&ModbusPeer::serve, this);
}

ModbusPeer::ModbusPeer(int fd, int unit)
    : m_tcp(false)
{
    m_ctx = modbus_new_rtu("/dev/null", 9600, 'N', 8, 1);
    m_map = modbus_mapping_new(kPoints, kPoints, kPoints, kPoints);
    modbus_set_slave(m_ctx, unit);
    modbus_set_socket(m_ctx, fd);
    modbus_set_indication_timeout(m_ctx, 0, 100000);
    m_thread = std::thread(&ModbusPeer::serve, this);
}

ModbusPeer::~ModbusPeer()
{
    m_stop = true;
    m_thread.join();
    if (m_tcp) {
        modbus_close(m_ctx);
        if (m_listener >= 0)
            ::close(m_listener);
    }
    // the RTU descriptor belongs to the test; libmodbus must not restore a
    // line setting it never read
    modbus_free(m_ctx);
    modbus_mapping_free(m_map);
}

void ModbusPeer::withMap(const std::function<void(modbus_mapping_t &)> &f)
{
    std::lock_guard<std::mutex> lock(m_lock);
    f(*m_map);
}

void ModbusPeer::serve()
{
    if (m_tcp) {
        for (;;) {
            if (m_stop)
                return;
            pollfd p {m_listener, POLLIN, 0};
            if (::poll(&p, 1, 50) == 1)
                break;
        }
        int listener = m_listener;
        if (modbus_tcp_accept(m_ctx, &listener) < 0)
            return;
    }
    uint8_t query[MODBUS_TCP_MAX_ADU_LENGTH];
    while (!m_stop) {
        const int n = modbus_receive(m_ctx, query);
        if (n > 0) {
            std::lock_guard<std::mutex> lock(m_lock);
            modbus_reply(m_ctx, query, n, m_map);
            ++m_served;
        } else if (n < 0 && errno != ETIMEDOUT && m_tcp) {
            return; // the tool closed the connection
        } else if (n < 0 && !m_tcp && errno != ETIMEDOUT) {
            modbus_flush(m_ctx);
        }
    }
}

} // namespace qxtest
