// The PLC examples as a user runs them: built with qxcli, kept as the FLASH
// program of a qxsim state directory, started by qxsim, their inputs driven
// and their outputs read by libmodbus after the scans that must see them.
// Also the status report a program sends, as a host receives it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <modbus/modbus.h>

#include "descriptors.h"
#include "plc_compiler.h"
#include "plc_project.h"
#include "qxsim_process.h"
#include "scaling_file.h"
#include "temp_dir.h"

using namespace qxtest;

namespace {

const std::string kExamples = QX_EXAMPLES_DIR;
const std::string kScaling = kExamples + "/scaling.txt";

int run(const std::string &command)
{
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class PlcExample : public ::testing::Test
{
protected:
    // `qxcli plc build`, then `qxcli plc image` into the state directory,
    // then qxsim on it with test mode switched on and seen by a scan.
    void start(const std::string &example, std::vector<std::string> options = {})
    {
        const std::string project = (m_dir.path / "program.qprj").string();
        const std::string state = (m_dir.path / "state").string();
        std::filesystem::create_directories(state);
        ASSERT_EQ(run(std::string(QXCLI_PATH) + " plc build " + kExamples + "/" + example
                      + " --password demo123 --scaling " + kScaling + " -o " + project),
                  0);
        ASSERT_EQ(run(std::string(QXCLI_PATH) + " plc image " + project + " --password demo123 --scaling "
                      + kScaling + " -o " + state + "/plc_flash.bin"),
                  0);
        options.insert(options.end(), {"--tcp", "0", "--state", state});
        m_sim = std::make_unique<QxsimProcess>(options);
        m_ctx = modbus_new_tcp("127.0.0.1", m_sim->port("listening tcp"));
        ASSERT_NE(m_ctx, nullptr);
        modbus_set_slave(m_ctx, 1);
        ASSERT_EQ(modbus_connect(m_ctx), 0);
        ASSERT_EQ(modbus_write_bit(m_ctx, 400, 1), 1);
        // the program ran on the module's own inputs until now
        scans(1);
    }

    void TearDown() override
    {
        if (m_ctx != nullptr) {
            modbus_close(m_ctx);
            modbus_free(m_ctx);
        }
    }

    void setX(int n, bool on) { ASSERT_EQ(modbus_write_bit(m_ctx, 416 + n - 1, on), 1); }

    void setAi(int n, uint32_t raw)
    {
        const uint16_t regs[2] = {static_cast<uint16_t>(raw >> 16), static_cast<uint16_t>(raw)};
        ASSERT_EQ(modbus_write_registers(m_ctx, 400 + 2 * (n - 1), 2, regs), 2);
    }

    uint32_t inputU32(int reg)
    {
        uint16_t r[2] = {};
        EXPECT_EQ(modbus_read_input_registers(m_ctx, reg, 2, r), 2);
        return (uint32_t(r[0]) << 16) | r[1];
    }

    // Waits until `n` whole scans ran after this call: the last of them saw
    // everything written before.
    void scans(uint32_t n)
    {
        const uint32_t target = inputU32(601) + n;
        const int64_t deadline = nowMs() + kWaitLimit.count();
        while (inputU32(601) < target)
            ASSERT_LT(nowMs(), deadline) << "qxsim does not scan";
    }

    bool coil(int a)
    {
        uint8_t v = 0;
        EXPECT_EQ(modbus_read_bits(m_ctx, a, 1, &v), 1);
        return v != 0;
    }

    // Reads coil `a` until it is `on`; false when that took more than the wait limit.
    bool waitCoil(int a, bool on)
    {
        const int64_t deadline = nowMs() + kWaitLimit.count();
        while (nowMs() < deadline)
            if (coil(a) == on)
                return true;
        return false;
    }

    TempDir m_dir;
    std::unique_ptr<QxsimProcess> m_sim;
    modbus_t *m_ctx = nullptr;
};

} // namespace

TEST_F(PlcExample, LatchStartsAndStopsAndTracesItsBlocks)
{
    start("plc_latch.txt", {"--trace-plc"});
    uint16_t running = 0;
    ASSERT_EQ(modbus_read_input_registers(m_ctx, 600, 1, &running), 1);
    EXPECT_EQ(running, 1);
    setX(1, true);
    scans(1);
    EXPECT_TRUE(coil(2));
    const std::string trace = m_sim->readLine();
    EXPECT_EQ(trace.rfind("plc scan ", 0), 0u) << trace;
    EXPECT_NE(trace.find(" block 0"), std::string::npos) << trace;
    setX(1, false);
    scans(1);
    EXPECT_TRUE(coil(2));
    setX(2, true);
    scans(1);
    EXPECT_FALSE(coil(2));
    setX(1, true); // stop wins while both are pressed
    scans(1);
    EXPECT_FALSE(coil(2));
}

TEST_F(PlcExample, CounterSwitchesAtTheHundredthPulse)
{
    start("plc_counter.txt");
    for (int pulse = 0; pulse < 99; ++pulse) {
        setX(5, true);
        setX(5, false);
    }
    scans(1);
    EXPECT_FALSE(coil(3));
    setX(5, true);
    scans(1);
    EXPECT_TRUE(coil(3));
    EXPECT_EQ(inputU32(24 + 2 * 4), 100u);
    setX(6, true);
    scans(1);
    EXPECT_FALSE(coil(3));
    EXPECT_EQ(inputU32(24 + 2 * 4), 0u);
}

TEST_F(PlcExample, AnalogThresholdHasItsHysteresis)
{
    // the thresholds 5 V and 3 V in converter counts, as the image holds them
    const qx::ScalingLoadResult scaling = qx::loadScalingFile(kScaling);
    ASSERT_TRUE(scaling.complete);
    const uint32_t on = qx::analogRawCount(5.0f, scaling.tables.aiRatio[1], scaling.tables.aiNoise[1]);
    const uint32_t off = qx::analogRawCount(3.0f, scaling.tables.aiRatio[1], scaling.tables.aiNoise[1]);
    start("plc_hysteresis.txt");
    for (const auto &[raw, y2] : std::vector<std::pair<uint32_t, bool>> {
             {on, false}, {on + 1, true}, {(on + off) / 2, true}, {off, true}, {off - 1, false}, {on, false}}) {
        setAi(2, raw);
        scans(1);
        EXPECT_EQ(coil(1), y2) << "raw " << raw;
    }
}

TEST_F(PlcExample, TimerBlinkerSwitchesOnAndOff)
{
    start("plc_timer_blink.txt");
    EXPECT_TRUE(waitCoil(0, true));
    EXPECT_TRUE(waitCoil(0, false));
    EXPECT_TRUE(waitCoil(0, true));
}

TEST_F(PlcExample, PulseOutputRunsThePwmOfY1WhileX1IsOn)
{
    start("plc_blink.txt");
    setX(1, true);
    scans(1);
    uint16_t pwm[3] = {};
    ASSERT_EQ(modbus_read_registers(m_ctx, 16, 3, pwm), 3);
    EXPECT_EQ(pwm[0], 1); // 2 Hz: 250 ms high, 250 ms low
    EXPECT_EQ(pwm[1], 250);
    EXPECT_EQ(pwm[2], 250);
    EXPECT_TRUE(coil(32));
    setX(1, false);
    scans(1);
    EXPECT_FALSE(coil(32));
    EXPECT_FALSE(coil(0));
}

TEST(PlcOnQxsim, ReportActionReachesTheHostsThatAreQuiet)
{
    // x1 rising: report the input bits
    qx::PlcProject p;
    p.setState(0, qx::kBlockRuns);
    p.setRow(0, qx::PlcRowKind::Condition, 0, {1, qx::plc_code::kUnitDio, qx::plc_code::kCondFromTo, 0, 1});
    p.setRow(0, qx::PlcRowKind::Action, 0, {217, qx::plc_code::kUnitNone, qx::plc_code::kActReport, 0, 0});
    TempDir dir;
    std::ofstream(dir.path / "plc_flash.bin", std::ios::binary)
        .write(reinterpret_cast<const char *>(p.bytes().data()), static_cast<std::streamsize>(p.bytes().size()));
    QxsimProcess sim({"--tcp", "0", "--state", dir.path.string()});
    const int listener = connectTcp(sim.port("listening tcp"));
    const int writer = connectTcp(sim.port("listening tcp"));
    ASSERT_GE(listener, 0);
    ASSERT_GE(writer, 0);
    for (const Bytes &pdu : {Bytes {0x05, 0x01, 0x90, 0xFF, 0x00}, Bytes {0x05, 0x01, 0xA0, 0xFF, 0x00}}) {
        writeAll(writer, mbap(1, 1, pdu));
        EXPECT_EQ(readMbap(writer), mbap(1, 1, pdu)); // echoed
    }
    // the writer has just had its answer, so only the listener hears it
    const Bytes report = readMbap(listener);
    EXPECT_EQ(report, mbap(0, 1, {0x45, 0x05, 0x01, 0x01, 0x00, 0x00, 0x00}));
    ::close(listener);
    ::close(writer);
}
