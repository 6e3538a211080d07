// qxcli's device commands against qxsim: the identity texts over TCP, UDP,
// the TCP server mode and a pseudo-terminal; writes and reads checked
// through libmodbus; the parameter block read, edited and written back, also
// through lost and broken answers; a firmware image arriving whole through lost answers; a PLC download ending
// in FLASH and one cancelled by Ctrl-C; scans of a bus with several modules;
// silent modules and bad arguments.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <modbus/modbus.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "descriptors.h"
#include "param_block.h"
#include "plc_compiler.h"
#include "plc_source_loader.h"
#include "program_run.h"
#include "qxsim_process.h"
#include "temp_dir.h"

namespace qx {
namespace {

using qxtest::ProgramResult;
using qxtest::QxsimProcess;

const std::string kLatch = std::string(QX_EXAMPLES_DIR) + "/plc_latch.txt";

ProgramResult qxcli(std::vector<std::string> args)
{
    return qxtest::runProgram(QXCLI_PATH, args);
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string> &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<std::string> tcpTo(const QxsimProcess &sim)
{
    return {"--tcp", "127.0.0.1:" + std::to_string(sim.port("listening tcp"))};
}


std::vector<uint8_t> fileBytes(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// --- every transport

enum class Transport { Tcp, Udp, Listen, Pty };

class QxcliTransport : public ::testing::TestWithParam<Transport>
{
protected:
    // qxsim on the transport, and the connection options that reach it.
    std::vector<std::string> start(std::vector<std::string> simArgs = {})
    {
        switch (GetParam()) {
        case Transport::Tcp:
            m_sim = std::make_unique<QxsimProcess>(simArgs + std::vector<std::string> {"--tcp", "0"});
            return tcpTo(*m_sim);
        case Transport::Udp:
            m_sim = std::make_unique<QxsimProcess>(simArgs + std::vector<std::string> {"--udp", "0"});
            return {"--udp", "127.0.0.1:" + std::to_string(m_sim->port("listening udp"))};
        case Transport::Listen: {
            const std::string port = std::to_string(qxtest::freePort(SOCK_STREAM));
            // qxsim calls every second until qxcli listens; no ready line before
            m_sim = std::make_unique<QxsimProcess>(
                simArgs + std::vector<std::string> {"--connect", "127.0.0.1:" + port}, 0);
            return {"--listen", "127.0.0.1:" + port};
        }
        case Transport::Pty:
            m_sim = std::make_unique<QxsimProcess>(simArgs + std::vector<std::string> {"--pty"});
            return {"--serial", m_sim->ptyPath()};
        }
        return {};
    }
    std::unique_ptr<QxsimProcess> m_sim;
};

TEST_P(QxcliTransport, IdentityShowsTheInformationFields)
{
    const auto link = start({"--unit", "9"});
    const ProgramResult r = qxcli(link + std::vector<std::string> {"--address", "9", "identity"});
    ASSERT_EQ(r.exit, 0) << r.err;
    EXPECT_EQ(r.out,
              "固件版本：Ver7.6\n驱动版本：Ver2.1\n设备型号：QXP_4488_ETH\n设备系列：0x05\n"
              "出厂编号：20245170000155\n出厂日期：2024-5-17\n"
              "功能简介：4AI+4AO+8DI+8DO网口开关量模拟量混合模块(可编程)\n");

    // one object per result; what QXLIB prints on its console stays off it
    const ProgramResult j = qxcli(link + std::vector<std::string> {"--address", "9", "--json", "identity"});
    ASSERT_EQ(j.exit, 0) << j.err;
    EXPECT_EQ(j.out.rfind("{\"address\":9,\"firmwareVersion\":\"Ver7.6\",", 0), 0u) << j.out;
    EXPECT_NE(j.out.find("\"model\":\"QXP_4488_ETH\",\"series\":\"0x05\""), std::string::npos);
    EXPECT_EQ(j.out.back(), '\n');
    EXPECT_EQ(j.out.find('\n'), j.out.size() - 1);
}

TEST_P(QxcliTransport, OutputWrittenIsReadBack)
{
    const auto link = start();
    const ProgramResult w = qxcli(link + std::vector<std::string> {"write", "do", "6", "on"});
    ASSERT_EQ(w.exit, 0) << w.err;
    EXPECT_EQ(w.out, "Y6/ON\n");
    const ProgramResult r = qxcli(link + std::vector<std::string> {"read", "do"});
    ASSERT_EQ(r.exit, 0) << r.err;
    EXPECT_NE(r.out.find("Y5/OFF Y6/ON Y7/OFF"), std::string::npos) << r.out;
}

std::string transportName(const ::testing::TestParamInfo<Transport> &info)
{
    static const char *const kNames[] = {"Tcp", "Udp", "Listen", "Pty"};
    return kNames[int(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Links, QxcliTransport,
                         ::testing::Values(Transport::Tcp, Transport::Udp, Transport::Listen, Transport::Pty),
                         transportName);

// --- what the module holds, seen by libmodbus

class QxcliModule : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_sim = std::make_unique<QxsimProcess>(std::vector<std::string> {"--tcp", "0"});
        m_link = tcpTo(*m_sim);
        m_ctx = modbus_new_tcp("127.0.0.1", m_sim->port("listening tcp"));
        ASSERT_NE(m_ctx, nullptr);
        modbus_set_slave(m_ctx, 1);
        ASSERT_EQ(modbus_connect(m_ctx), 0);
    }
    void TearDown() override
    {
        if (m_ctx) {
            modbus_close(m_ctx);
            modbus_free(m_ctx);
        }
    }
    ProgramResult run(std::vector<std::string> args) { return qxcli(m_link + args); }
    int coil(int at)
    {
        uint8_t v = 0xFF;
        return modbus_read_bits(m_ctx, at, 1, &v) == 1 ? v : -1;
    }
    std::vector<uint16_t> holding(int at, int n)
    {
        std::vector<uint16_t> v(std::size_t(n), 0xFFFF);
        modbus_read_registers(m_ctx, at, n, v.data());
        return v;
    }

    std::unique_ptr<QxsimProcess> m_sim;
    std::vector<std::string> m_link;
    modbus_t *m_ctx = nullptr;
};

TEST_F(QxcliModule, OutputsAndSubStationsLandOnTheirPoints)
{
    EXPECT_EQ(run({"write", "do", "5", "on"}).exit, 0);
    EXPECT_EQ(coil(4), 1);
    EXPECT_EQ(run({"write", "do", "5", "on", "--sub", "5"}).exit, 0);
    EXPECT_EQ(coil(132), 1); // 32 x (5 - 1) + 4
    EXPECT_EQ(run({"write", "do", "5", "off"}).exit, 0);
    EXPECT_EQ(coil(4), 0);
    EXPECT_EQ(coil(132), 1);
    const ProgramResult all = run({"write", "do", "all", "on"});
    EXPECT_EQ(all.out, "全开\n");
    uint8_t bits[24] = {};
    ASSERT_EQ(modbus_read_bits(m_ctx, 0, 24, bits), 24);
    EXPECT_EQ(std::count(bits, bits + 24, 1), 24);
}

TEST_F(QxcliModule, AnalogOutputsAndPwmRegisters)
{
    const ProgramResult ao = run({"write", "ao", "2", "1000"});
    EXPECT_EQ(ao.out, "AO2:1000\n");
    EXPECT_EQ(holding(1, 1)[0], 1000);
    ASSERT_EQ(modbus_write_register(m_ctx, 3, 4321), 1);
    const ProgramResult read = run({"--json", "read", "ao"});
    EXPECT_EQ(read.out, "{\"address\":1,\"sub\":0,\"read\":\"ao\",\"values\":[0,1000,0,4321,0,0,0,0]}\n");

    const ProgramResult pwm = run({"pwm", "3", "--unit", "ms", "--high", "1", "--low", "3", "--run", "on"});
    ASSERT_EQ(pwm.exit, 0) << pwm.err;
    EXPECT_EQ(pwm.out, "PWM-Y3 PWM频率(HZ):250.000000 占空比(%):25.000000\nY3输出PWM\n");
    EXPECT_EQ(holding(22, 3), (std::vector<uint16_t> {1, 1, 3}));
    EXPECT_EQ(coil(34), 1);
}

TEST_F(QxcliModule, CountersAreReadAndCleared)
{
    // test mode: coils 416.. drive X1..; each rising edge counts
    ASSERT_EQ(modbus_write_bit(m_ctx, 400, 1), 1);
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(modbus_write_bit(m_ctx, 416, 1), 1);
        ASSERT_EQ(modbus_write_bit(m_ctx, 416, 0), 1);
    }
    const ProgramResult read = run({"read", "counters"});
    ASSERT_EQ(read.exit, 0) << read.err;
    EXPECT_EQ(read.out.rfind("X1计数:2 X2计数:0 ", 0), 0u) << read.out;
    EXPECT_EQ(run({"clear", "counters"}).exit, 0);
    uint16_t r[2] = {9, 9};
    ASSERT_EQ(modbus_read_input_registers(m_ctx, 24, 2, r), 2);
    EXPECT_EQ(r[0] + r[1], 0);
}

// --- configuration

std::string textOf(const std::filesystem::path &path)
{
    const std::vector<uint8_t> b = fileBytes(path);
    return {b.begin(), b.end()};
}

TEST(QxcliConfig, ReadEditWriteReadsBackEqual)
{
    qxtest::TempDir dir;
    QxsimProcess sim({"--pty"});
    const std::vector<std::string> link = {"--serial", sim.ptyPath()};
    const std::string first = (dir.path / "first.ini").string();
    const ProgramResult read = qxcli(link + std::vector<std::string> {"config", "read", "-o", first});
    ASSERT_EQ(read.exit, 0) << read.err;
    EXPECT_EQ(read.out, "配置已导出到文件:" + first + "\n");
    std::string ini = textOf(first);
    const std::size_t at = ini.find("\r\nbyRxDly=10\r\n");
    ASSERT_NE(at, std::string::npos) << ini;
    ini.replace(at, 14, "\r\nbyRxDly=17\r\n");
    const std::filesystem::path edited = dir.path / "edited.ini";
    std::ofstream(edited, std::ios::binary) << ini;

    // no terminal to ask on and no --yes: nothing is written
    const ProgramResult refused = qxcli(link + std::vector<std::string> {"config", "write", edited.string()});
    EXPECT_EQ(refused.exit, 2);
    EXPECT_EQ(qxcli(link + std::vector<std::string> {"config", "read"}).out, textOf(first));

    const ProgramResult write = qxcli(link + std::vector<std::string> {"config", "write", edited.string(), "--yes"});
    ASSERT_EQ(write.exit, 0) << write.err;
    EXPECT_EQ(write.out, "配置下发成功!\n");
    const std::string again = (dir.path / "again.ini").string();
    ASSERT_EQ(qxcli(link + std::vector<std::string> {"config", "read", "-o", again}).exit, 0);
    EXPECT_EQ(textOf(again), ini);

    // a file without a required key is not written either
    std::ofstream(dir.path / "short.ini", std::ios::binary) << "[SYSTEM]\r\nQXMode=155\r\n";
    const ProgramResult bad = qxcli(link + std::vector<std::string> {"config", "write", (dir.path / "short.ini").string(), "--yes"});
    EXPECT_EQ(bad.exit, 2);
    EXPECT_NE(bad.err.find("配置文件缺少["), std::string::npos) << bad.err;
}

// Every fifth request unanswered, every seventh answer broken (a wrong CRC
// or protocol identifier): a read or write that brings no answer goes
// again, and the module holds each block written, as its file and a read
// through the same link show. Counted from the first read, the 5th request
// (a write) is lost, the 7th answer (to a write) broken, the 10th request
// (the last read) lost.
class QxcliLossyLink : public QxcliTransport
{
};

TEST_P(QxcliLossyLink, ConfigWritesLandThroughLostAndBrokenAnswers)
{
    qxtest::TempDir state;
    qxtest::TempDir files;
    const auto link = start({"--drop-every", "5", "--corrupt-every", "7", "--state", state.path.string()});
    const std::string first = (files.path / "first.ini").string();
    const ProgramResult read = qxcli(link + std::vector<std::string> {"config", "read", "-o", first});
    ASSERT_EQ(read.exit, 0) << read.err;
    std::string ini;
    std::string resends;
    for (int rxDly = 11; rxDly <= 16; ++rxDly) {
        ini = textOf(first);
        const std::size_t at = ini.find("\r\nbyRxDly=10\r\n");
        ASSERT_NE(at, std::string::npos) << ini;
        ini.replace(at, 14, "\r\nbyRxDly=" + std::to_string(rxDly) + "\r\n");
        const std::filesystem::path edited = files.path / "edited.ini";
        std::ofstream(edited, std::ios::binary) << ini;
        const ProgramResult write = qxcli(link + std::vector<std::string> {"config", "write", edited.string(), "--yes"});
        ASSERT_EQ(write.exit, 0) << write.err;
        EXPECT_EQ(write.out, "配置下发成功!\n");
        EXPECT_EQ(fileBytes(state.path / "params.bin").at(ParamLayout::kByRxDly), rxDly);
        resends += write.err;
    }
    const ProgramResult back = qxcli(link + std::vector<std::string> {"config", "read"});
    ASSERT_EQ(back.exit, 0) << back.err;
    EXPECT_EQ(back.out, ini);
    resends += back.err;
    const std::string again = "qxcli: no answer from module 1 within 2000 ms, sent again\n";
    std::size_t count = 0;
    for (std::size_t at = resends.find(again); at != std::string::npos; at = resends.find(again, at + 1))
        ++count;
    EXPECT_GE(count, 3u) << resends;
}

INSTANTIATE_TEST_SUITE_P(Links, QxcliLossyLink, ::testing::Values(Transport::Tcp, Transport::Pty), transportName);

// --- firmware

TEST(QxcliFirmware, ImageArrivesWholeThroughLostAnswers)
{
    qxtest::TempDir state;
    qxtest::TempDir files;
    QxsimProcess sim({"--pty", "--drop-every", "3", "--state", state.path.string()});
    std::vector<uint8_t> image(4100);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<uint8_t>(i * 7 + i / 251);
    const std::string file = (files.path / "qx_bios.bin").string();
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char *>(image.data()), std::streamsize(image.size()));
    const std::vector<std::string> link = {"--serial", sim.ptyPath(), "--timeout", "1000"};

    // no terminal and no --yes: nothing is sent
    EXPECT_EQ(qxcli(link + std::vector<std::string> {"firmware", "upgrade", file}).exit, 2);
    EXPECT_FALSE(std::filesystem::exists(state.path / "bios.bin"));

    const ProgramResult r = qxcli(link + std::vector<std::string> {"firmware", "upgrade", file, "--yes"});
    ASSERT_EQ(r.exit, 0) << r.err;
    EXPECT_EQ(r.out, "升级成功!\n");
    EXPECT_NE(r.err.find("升级BIOS:传送超时,准备重新传送\n"), std::string::npos) << r.err;
    const std::vector<uint8_t> stored = fileBytes(state.path / "bios.bin");
    ASSERT_GE(stored.size(), image.size());
    EXPECT_TRUE(std::equal(image.begin(), image.end(), stored.begin()));

    // a module that never answers: three timeouts, then the page's warning
    const ProgramResult silent = qxcli({"--serial", sim.ptyPath(), "--address", "9", "--timeout", "200", "firmware",
                                        "upgrade", file, "--yes"});
    EXPECT_EQ(silent.exit, 1);
    EXPECT_NE(silent.err.find("qxcli: no acknowledgement from module 9 after 3 tries\n"
                              "升级失败,请勿断电,请再次尝试升级,否则系统将无法再次启动!\n"),
              std::string::npos)
        << silent.err;
}

// --- PLC download

TEST(QxcliPlc, DownloadEndsInTheModulesFlash)
{
    qxtest::TempDir dir;
    QxsimProcess sim({"--pty", "--state", dir.path.string()});
    const ProgramResult r =
        qxcli({"--serial", sim.ptyPath(), "plc", "download", kLatch, "--flash-restart", "--block-size", "128"});
    ASSERT_EQ(r.exit, 0) << r.err;
    EXPECT_EQ(r.out, "QXP工程文件传输成功!\n");
    PlcProject project;
    ASSERT_EQ(loadPlcSourceFile(kLatch, project).code, SourceLoadResult::Loaded);
    EXPECT_EQ(fileBytes(dir.path / "plc_flash.bin"), buildProgramImage(project, ScalingTables()).bytes);

    // an empty program over it
    EXPECT_EQ(qxcli({"--serial", sim.ptyPath(), "plc", "clear-flash"}).exit, 0);
    EXPECT_EQ(fileBytes(dir.path / "plc_flash.bin"), std::vector<uint8_t>(kPlcProgramSize, 0));
}

TEST(QxcliPlc, CtrlCCancelsTheDownload)
{
    qxtest::TempDir dir;
    QxsimProcess sim({"--tcp", "0", "--delay-ms", "100", "--state", dir.path.string()});
    qxtest::RunningProgram p(QXCLI_PATH, tcpTo(sim) + std::vector<std::string> {
                                                        "plc", "download", kLatch, "--ram", "--block-size", "8"});
    ASSERT_TRUE(p.waitForErr("升级EPLC:正在传送,Block 0,Byte 8\n"));
    p.interrupt();
    const ProgramResult r = p.finish();
    EXPECT_EQ(r.exit, 1);
    EXPECT_NE(r.err.find("EPLC下载已被取消!\n已取消EPLC下载!\n"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir.path / "plc_ram.bin"));
}

// --- scan and silence

TEST(QxcliScan, FindsExactlyTheModulesOnOneTerminal)
{
    QxsimProcess sim({"--pty", "--units", "3,7,200"});
    const ProgramResult r = qxcli({"--serial", sim.ptyPath(), "scan", "--timeout", "50"});
    ASSERT_EQ(r.exit, 0) << r.err;
    EXPECT_EQ(r.out, "3 QXP_4488_ETH\n7 QXP_4488_ETH\n200 QXP_4488_ETH\n");
}

TEST(QxcliScan, FindsExactlyTheModulesOverTcp)
{
    QxsimProcess sim({"--tcp", "0", "--units", "3,7,200"});
    const ProgramResult r = qxcli(tcpTo(sim) + std::vector<std::string> {"--json", "scan", "--to", "201", "--timeout", "30"});
    ASSERT_EQ(r.exit, 0) << r.err;
    EXPECT_EQ(r.out, "{\"address\":3,\"model\":\"QXP_4488_ETH\",\"series\":\"0x05\"}\n"
                     "{\"address\":7,\"model\":\"QXP_4488_ETH\",\"series\":\"0x05\"}\n"
                     "{\"address\":200,\"model\":\"QXP_4488_ETH\",\"series\":\"0x05\"}\n");
}

TEST(QxcliScan, SilentAddressesEndWithinTheirTimeouts)
{
    QxsimProcess sim({"--pty"});
    const ProgramResult scan = qxcli({"--serial", sim.ptyPath(), "scan", "--from", "2", "--to", "6", "--timeout", "200"});
    EXPECT_EQ(scan.exit, 1);
    EXPECT_EQ(scan.out, "");
    EXPECT_NE(scan.err.find("qxcli: no module answered\n"), std::string::npos) << scan.err;

    const ProgramResult read = qxcli({"--serial", sim.ptyPath(), "--address", "9", "--timeout", "300", "read", "di"});
    EXPECT_EQ(read.exit, 1);
    EXPECT_EQ(read.err, "qxcli: no answer from module 9 within 300 ms\n");
    const ProgramResult plc = qxcli({"--serial", sim.ptyPath(), "--address", "9", "--timeout", "200", "plc",
                                     "download", kLatch, "--ram"});
    EXPECT_EQ(plc.exit, 1);
    EXPECT_NE(plc.err.find("qxcli: no acknowledgement from module 9 after 3 tries\n"), std::string::npos) << plc.err;

    // a module slower than the timeout is missed, and said to be late when
    // its answer comes while the next address is asked
    QxsimProcess slow({"--pty", "--delay-ms", "1300"});
    const ProgramResult late = qxcli({"--serial", slow.ptyPath(), "scan", "--to", "2", "--timeout", "1000"});
    EXPECT_EQ(late.exit, 1);
    EXPECT_NE(late.err.find("qxcli: module 1 answered after the timeout\n"), std::string::npos) << late.err;
}

// --- arguments

TEST(QxcliArguments, BadArgumentsExitTwoWithAUsageLine)
{
    const std::vector<std::vector<std::string>> cases = {
        {"identity"}, // no connection
        {"--tcp", "127.0.0.1:1", "frobnicate"},
        {"--tcp", "127.0.0.1"},
        {"--tcp", "127.0.0.1:1", "--address", "0", "identity"},
        {"--tcp", "127.0.0.1:1", "--udp", "127.0.0.1:2", "identity"},
        {"--tcp", "127.0.0.1:1", "--baud", "9600", "identity"},
        {"--tcp", "127.0.0.1:1", "write", "do", "25", "on"},
        {"--tcp", "127.0.0.1:1", "write", "do", "3", "maybe"},
        {"--tcp", "127.0.0.1:1", "read", "di", "--count", "3"},
        {"--tcp", "127.0.0.1:1", "read", "di", "--sub", "11"},
        {"--tcp", "127.0.0.1:1", "pwm", "2"},
        {"--tcp", "127.0.0.1:1", "identity", "--sub", "1"},
        {"--tcp", "127.0.0.1:1", "plc", "download", kLatch},
        {"--tcp", "127.0.0.1:1", "plc", "download", kLatch, "--ram", "--block-size", "48"},
        {"--tcp", "127.0.0.1:1", "scan", "--from", "10", "--to", "5"},
        {"--serial", "/dev/a-path-longer-than-fifteen", "identity"},
    };
    for (const auto &args : cases) {
        const ProgramResult r = qxcli(args);
        EXPECT_EQ(r.exit, 2) << args.back();
        EXPECT_NE(r.err.find("\nusage: qxcli CONNECTION"), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
    // the pages' own texts where they have one
    const ProgramResult ao = qxcli({"--tcp", "127.0.0.1:1", "write", "ao", "1", "70000"});
    EXPECT_EQ(ao.exit, 2);
    EXPECT_EQ(ao.err.rfind("qxcli: AO1的输出值无效,请输入0~65535之间的整数！\n", 0), 0u) << ao.err;
    const ProgramResult missing = qxcli({"--tcp", "127.0.0.1:1", "plc", "download", "/nonexistent.txt", "--ram"});
    EXPECT_EQ(missing.exit, 2);
}

TEST(QxcliArguments, HelpDocumentsEveryCommand)
{
    const ProgramResult all = qxcli({"--help"});
    EXPECT_EQ(all.exit, 0);
    for (const char *c : {"identity", "read di|do|ai|ao|counters", "write do N", "pwm N", "clear counters",
                          "plc download", "plc clear-flash", "config read", "config write", "firmware upgrade", "scan", "--json",
                          "--timeout"})
        EXPECT_NE(all.out.find(c), std::string::npos) << c;
    for (const char *c : {"identity", "read", "write", "pwm", "clear", "plc", "config", "firmware", "scan"}) {
        const ProgramResult one = qxcli({c, "--help"});
        EXPECT_EQ(one.exit, 0) << c;
        EXPECT_NE(one.out.find(std::string("qxcli CONNECTION ") + c), std::string::npos) << one.out;
    }
}

} // namespace
} // namespace qx
