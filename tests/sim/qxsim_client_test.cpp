// Real Modbus masters against the running qxsim: libmodbus client code and
// the mbpoll program, over TCP and over RTU through a pseudo-terminal.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <modbus/modbus.h>

#include "qxsim_process.h"

using namespace qxtest;

namespace {

struct ModbusContext
{
    modbus_t *ctx = nullptr;
    ~ModbusContext()
    {
        if (ctx != nullptr) {
            modbus_close(ctx);
            modbus_free(ctx);
        }
    }
};

// Runs a command and returns its standard output and exit status.
std::pair<std::string, int> run(const std::string &command)
{
    std::string out;
    FILE *p = ::popen((command + " 2>&1").c_str(), "r");
    if (p == nullptr)
        return {out, -1};
    char buf[512];
    while (std::fgets(buf, sizeof buf, p) != nullptr)
        out += buf;
    const int status = ::pclose(p);
    return {out, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

void exerciseModule(modbus_t *ctx)
{
    // AO1..AO3, then read back with the PWM defaults behind them
    const uint16_t values[3] = {100, 200, 300};
    ASSERT_EQ(modbus_write_registers(ctx, 0, 3, values), 3);
    uint16_t regs[19] = {};
    ASSERT_EQ(modbus_read_registers(ctx, 0, 19, regs), 19);
    EXPECT_EQ(regs[0], 100);
    EXPECT_EQ(regs[2], 300);
    EXPECT_EQ(regs[17], 50000);

    // Y1..Y8 wired back to X1..X8
    const uint8_t on[8] = {1, 0, 1, 0, 0, 0, 0, 1};
    ASSERT_EQ(modbus_write_bits(ctx, 0, 8, on), 8);
    uint8_t inputs[8] = {};
    ASSERT_EQ(modbus_read_input_bits(ctx, 0, 8, inputs), 8);
    EXPECT_EQ(std::vector<uint8_t>(inputs, inputs + 8), std::vector<uint8_t>(on, on + 8));
    ASSERT_EQ(modbus_write_bit(ctx, 1, 1), 1);
    uint8_t coils[3] = {};
    ASSERT_EQ(modbus_read_bits(ctx, 0, 3, coils), 3);
    EXPECT_EQ(coils[1], 1);
    ASSERT_EQ(modbus_write_register(ctx, 5, 0xABCD), 1);

    // counters of X1 (one rising edge) and the AI values in range
    uint16_t counters[2] = {};
    ASSERT_EQ(modbus_read_input_registers(ctx, 24, 2, counters), 2);
    EXPECT_EQ(counters[0], 0);
    EXPECT_EQ(counters[1], 1);

    // exceptions as a device sends them
    EXPECT_EQ(modbus_read_registers(ctx, 1020, 8, regs), -1);
    EXPECT_EQ(errno, EMBXILADD);
    EXPECT_EQ(modbus_write_bit(ctx, 1024, 1), -1);
    EXPECT_EQ(errno, EMBXILADD);
    uint8_t raw[] = {0x01, 0x07};
    ASSERT_GT(modbus_send_raw_request(ctx, raw, sizeof raw), 0);
    uint8_t rsp[MODBUS_MAX_ADU_LENGTH];
    const int header = modbus_get_header_length(ctx);
    ASSERT_EQ(modbus_receive_confirmation(ctx, rsp), header + 2 + (header == 1 ? 2 : 0));
    EXPECT_EQ(rsp[header], 0x87);
    EXPECT_EQ(rsp[header + 1], 0x01);

    // the identity through the standard report-server-id call
    uint8_t id[64] = {};
    ASSERT_EQ(modbus_report_slave_id(ctx, sizeof id, id), 61);
    EXPECT_EQ(id[0], 0xFF); // run indicator
    EXPECT_EQ(id[5], 5); // series
}

} // namespace

TEST(LibmodbusClient, TcpReadsWritesAndExceptions)
{
    QxsimProcess sim({"--tcp", "0"});
    ModbusContext m;
    m.ctx = modbus_new_tcp("127.0.0.1", sim.port("listening tcp"));
    ASSERT_NE(m.ctx, nullptr);
    modbus_set_slave(m.ctx, 1);
    ASSERT_EQ(modbus_connect(m.ctx), 0);
    exerciseModule(m.ctx);
}

TEST(LibmodbusClient, RtuOverPtyReadsWritesAndExceptions)
{
    QxsimProcess sim({"--pty"});
    ModbusContext m;
    m.ctx = modbus_new_rtu(sim.ptyPath().c_str(), 115200, 'N', 8, 1);
    ASSERT_NE(m.ctx, nullptr);
    modbus_set_slave(m.ctx, 1);
    ASSERT_EQ(modbus_connect(m.ctx), 0);
    exerciseModule(m.ctx);
}

TEST(LibmodbusClient, RtuOtherAddressTimesOut)
{
    QxsimProcess sim({"--pty", "--unit", "5"});
    ModbusContext m;
    m.ctx = modbus_new_rtu(sim.ptyPath().c_str(), 115200, 'N', 8, 1);
    ASSERT_NE(m.ctx, nullptr);
    modbus_set_response_timeout(m.ctx, 0, 200'000);
    ASSERT_EQ(modbus_connect(m.ctx), 0);
    uint16_t r = 0;
    modbus_set_slave(m.ctx, 4);
    EXPECT_EQ(modbus_read_registers(m.ctx, 0, 1, &r), -1);
    modbus_set_slave(m.ctx, 5);
    EXPECT_EQ(modbus_read_registers(m.ctx, 16, 1, &r), 1);
}

TEST(MbpollClient, TcpWritesAndReadsHoldingRegisters)
{
    QxsimProcess sim({"--tcp", "0"});
    const std::string port = std::to_string(sim.port("listening tcp"));
    auto [written, rc] = run("mbpoll -m tcp -a 1 -r 1 -t 4 -1 127.0.0.1 -p " + port + " 11 22 33");
    ASSERT_EQ(rc, 0) << written;
    EXPECT_NE(written.find("Written 3 references"), std::string::npos) << written;
    auto [read, rc2] = run("mbpoll -m tcp -a 1 -r 1 -c 8 -t 4 -1 127.0.0.1 -p " + port);
    ASSERT_EQ(rc2, 0) << read;
    EXPECT_NE(read.find("[1]: \t11"), std::string::npos) << read;
    EXPECT_NE(read.find("[3]: \t33"), std::string::npos) << read;
    EXPECT_NE(read.find("[8]: \t0"), std::string::npos) << read;
}

TEST(MbpollClient, RtuThroughPtyWritesCoilsAndReadsInputs)
{
    QxsimProcess sim({"--pty"});
    const std::string dev = sim.ptyPath();
    const std::string rtu = "mbpoll -m rtu -b 115200 -P none -a 1 -1 ";
    auto [written, rc] = run(rtu + "-r 1 -t 0 " + dev + " 1 1 0 1");
    ASSERT_EQ(rc, 0) << written;
    EXPECT_NE(written.find("Written 4 references"), std::string::npos) << written;
    auto [inputs, rc2] = run(rtu + "-r 1 -c 4 -t 1 " + dev);
    ASSERT_EQ(rc2, 0) << inputs;
    EXPECT_NE(inputs.find("[1]: \t1"), std::string::npos) << inputs;
    EXPECT_NE(inputs.find("[3]: \t0"), std::string::npos) << inputs;
    EXPECT_NE(inputs.find("[4]: \t1"), std::string::npos) << inputs;
    auto [regs, rc3] = run(rtu + "-r 17 -c 3 -t 4 " + dev);
    ASSERT_EQ(rc3, 0) << regs;
    EXPECT_NE(regs.find("[18]: \t50000"), std::string::npos) << regs;
}
