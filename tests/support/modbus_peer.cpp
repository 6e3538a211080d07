#include "modbus_peer.h"

#include <cerrno>
#include <cstring>

#include <poll.h>
#include <unistd.h>

#include "connection_event.h"
#include "event_codes.h"
#include "qxlib_harness.h"
#include "response_records.h"

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

void runLibmodbusScenario(ModbusPeer &module, const PortSettings &settings, intptr_t &handle)
{
    module.withMap([](modbus_mapping_t &m) {
        const uint8_t coils[8] = {1, 0, 1, 1, 0, 0, 1, 0};
        const uint8_t inputs[8] = {0, 1, 1, 0, 1, 0, 0, 1};
        std::memcpy(m.tab_bits, coils, 8);
        std::memcpy(m.tab_input_bits, inputs, 8);
        m.tab_registers[0] = 0x1234;
        m.tab_registers[1] = 0xabcd;
        m.tab_registers[2] = 7;
        m.tab_input_registers[0] = 0x0102;
        m.tab_input_registers[1] = 0xfffe;
    });
    handle = 0;
    ASSERT_EQ(DLL_API_OBJ_CREATE(settings, &EventLog::callback, &handle), 0);
    const auto put = [&](int slot, const qx::RequestRecord &r, int length) {
        EXPECT_EQ(DLL_API_OBJ_CMD(handle, slot, r.data(), length), 0);
    };
    put(qx::kSlotReadCoils, readRequest(qx::kModeCounted, 1, 0, 8), qx::RequestLength::kRead);
    put(qx::kSlotReadInputs, readRequest(qx::kModeCounted, 1, 0, 8), qx::RequestLength::kRead);
    put(qx::kSlotReadHoldingRegisters, readRequest(qx::kModeCounted, 1, 0, 3), qx::RequestLength::kRead);
    put(qx::kSlotReadInputRegisters, readRequest(qx::kModeCounted, 1, 0, 2),
        qx::RequestLength::kReadInputRegisters);
    qx::RequestRecord coils = readRequest(qx::kModeCounted, 1, 10, 10);
    coils.payload()[0] = 0xff;
    coils.payload()[1] = 0x02;
    put(qx::kSlotWriteCoils, coils, qx::RequestLength::kWriteCoils);
    qx::RequestRecord regs = readRequest(qx::kModeCounted, 1, 20, 3);
    const uint8_t values[6] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
    std::memcpy(regs.payload(), values, 6);
    put(qx::kSlotWriteRegisters, regs, qx::RequestLength::kWriteRegisters);
    ASSERT_EQ(DLL_API_OBJ_RUN(handle), 0);
    ASSERT_TRUE(EventLog::instance().waitForState(qx::kStateRunning));

    EventLog &log = EventLog::instance();
    const RecordedEvent coilBits = log.waitForEvent(qx::kEventCoils);
    ASSERT_EQ(coilBits.code, qx::kEventCoils);
    EXPECT_EQ(coilBits.data[qx::BitRecordLayout::kData], 0x4d);
    const RecordedEvent inputBits = log.waitForEvent(qx::kEventInputs);
    ASSERT_EQ(inputBits.code, qx::kEventInputs);
    EXPECT_EQ(inputBits.data[qx::BitRecordLayout::kData], 0x96);
    const RecordedEvent holding = log.waitForEvent(qx::kEventHoldingRegisters);
    ASSERT_EQ(holding.code, qx::kEventHoldingRegisters);
    EXPECT_EQ(registerData(holding), (Bytes {0x12, 0x34, 0xab, 0xcd, 0x00, 0x07}));
    const RecordedEvent input = log.waitForEvent(qx::kEventInputRegisters);
    ASSERT_EQ(input.code, qx::kEventInputRegisters);
    EXPECT_EQ(registerData(input), (Bytes {0x01, 0x02, 0xff, 0xfe}));
    ASSERT_EQ(log.waitForEvent(qx::kEventCoilsWritten).code, qx::kEventCoilsWritten);
    ASSERT_EQ(log.waitForEvent(qx::kEventRegistersWritten).code, qx::kEventRegistersWritten);

    module.withMap([](modbus_mapping_t &m) {
        EXPECT_EQ(Bytes(m.tab_bits + 10, m.tab_bits + 20), (Bytes {1, 1, 1, 1, 1, 1, 1, 1, 0, 1}));
        EXPECT_EQ(m.tab_bits[9], 0);
        EXPECT_EQ(m.tab_bits[20], 0);
        EXPECT_EQ(m.tab_registers[20], 0x0011);
        EXPECT_EQ(m.tab_registers[21], 0x2233);
        EXPECT_EQ(m.tab_registers[22], 0x4455);
        EXPECT_EQ(m.tab_registers[23], 0);
    });
    EXPECT_EQ(module.served(), 6);
}

} // namespace qxtest
