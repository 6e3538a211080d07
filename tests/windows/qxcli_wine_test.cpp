// qxcli.exe under Wine against the Linux qxsim, as an operator on Windows
// runs it: the identity over TCP and over a COM port, outputs written and
// read back, a PLC download to RAM, the parameter block read into a file
// with a Chinese name and written back, a firmware image, the exit codes,
// and Ctrl-C cancelling a download. Every text is compared byte for byte
// with what qxcli prints on Linux: UTF-8, lines ending in "\n".
//
//   qxcli_wine_test --prefix DIR --wine WINE --qxcli QXCLI.EXE [--gtest_filter=...]
//
// Each test is one ctest entry of the Windows build (tests/windows), in the
// prefix that its wine_prefix fixture made.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include <sys/socket.h>

#include "descriptors.h"
#include "plc_compiler.h"
#include "plc_source_loader.h"
#include "program_run.h"
#include "qxsim_process.h"
#include "temp_dir.h"
#include "wine_session.h"

namespace qx {
namespace {

using qxtest::ProgramResult;
using qxtest::QxsimProcess;

struct WineSetup {
    std::string prefix;
    std::string wine;
    std::string qxcli;
};
WineSetup g_setup;

using Args = std::vector<std::string>;

Args operator+(Args a, const Args &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

ProgramResult qxcliExe(const Args &args)
{
    return qxtest::runProgram(g_setup.wine, Args {g_setup.qxcli} + args);
}

// The name a Windows program gives a Linux file: Wine's drive Z: is "/".
std::string windowsPath(const std::filesystem::path &path)
{
    std::string name = "Z:" + std::filesystem::absolute(path).string();
    for (char &c : name)
        if (c == '/')
            c = '\\';
    return name;
}

Args tcpTo(const QxsimProcess &sim)
{
    return {"--tcp", "127.0.0.1:" + std::to_string(sim.port("listening tcp"))};
}

std::string fileText(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

const std::string kExamples = QX_EXAMPLES_DIR;

TEST(QxcliExe, IdentityOverTcp)
{
    QxsimProcess sim({"--tcp", "0"});
    const ProgramResult r = qxcliExe(tcpTo(sim) + Args {"identity"});
    ASSERT_EQ(r.exit, 0) << r.err;
    EXPECT_EQ(r.out,
              "固件版本：Ver7.6\n驱动版本：Ver2.1\n设备型号：QXP_4488_ETH\n设备系列：0x05\n"
              "出厂编号：20245170000155\n出厂日期：2024-5-17\n"
              "功能简介：4AI+4AO+8DI+8DO网口开关量模拟量混合模块(可编程)\n");

    // one object on one line; what QXLIB prints stays off standard output
    const ProgramResult j = qxcliExe(tcpTo(sim) + Args {"--json", "identity"});
    ASSERT_EQ(j.exit, 0) << j.err;
    EXPECT_EQ(j.out.rfind("{\"address\":1,\"firmwareVersion\":\"Ver7.6\",", 0), 0u) << j.out;
    EXPECT_EQ(j.out.find('\n'), j.out.size() - 1) << j.out;
}

TEST(QxcliExe, OutputWrittenIsReadBack)
{
    QxsimProcess sim({"--tcp", "0"});
    const ProgramResult w = qxcliExe(tcpTo(sim) + Args {"write", "do", "5", "on"});
    ASSERT_EQ(w.exit, 0) << w.err;
    EXPECT_EQ(w.out, "Y5/ON\n");
    const ProgramResult r = qxcliExe(tcpTo(sim) + Args {"read", "do"});
    ASSERT_EQ(r.exit, 0) << r.err;
    EXPECT_NE(r.out.find("Y4/OFF Y5/ON Y6/OFF"), std::string::npos) << r.out;
    const ProgramResult di = qxcliExe(tcpTo(sim) + Args {"--json", "read", "di"});
    ASSERT_EQ(di.exit, 0) << di.err;
    EXPECT_EQ(di.out.rfind("{\"address\":1,\"sub\":0,\"read\":\"di\",", 0), 0u) << di.out;
}

TEST(QxcliExe, IdentityOverComPort)
{
    QxsimProcess sim({"--pty"});
    const qxtest::ComMapping com(g_setup.prefix, sim.ptyPath());
    ASSERT_FALSE(com.name().empty());
    // as operators type it, and in the device namespace
    for (const std::string &port : {com.name(), "\\\\.\\" + com.name()}) {
        const ProgramResult r = qxcliExe({"--serial", port, "identity"});
        ASSERT_EQ(r.exit, 0) << port << ": " << r.err;
        EXPECT_NE(r.out.find("设备型号：QXP_4488_ETH\n"), std::string::npos) << r.out;
    }
}

TEST(QxcliExe, PlcDownloadToRam)
{
    qxtest::TempDir state;
    QxsimProcess sim({"--tcp", "0", "--state", state.path.string()});
    const std::string blink = kExamples + "/plc_blink.txt";
    const ProgramResult r = qxcliExe(tcpTo(sim) + Args {"plc", "download", windowsPath(blink), "--ram"});
    ASSERT_EQ(r.exit, 0) << r.err;
    EXPECT_EQ(r.out, "QXP工程文件传输成功!\n");
    PlcProject project;
    ASSERT_EQ(loadPlcSourceFile(blink, project).code, SourceLoadResult::Loaded);
    const std::vector<uint8_t> image = buildProgramImage(project, ScalingTables()).bytes;
    EXPECT_EQ(fileText(state.path / "plc_ram.bin"), std::string(image.begin(), image.end()));
}

TEST(QxcliExe, ConfigReadIntoAFileAndWrittenBack)
{
    qxtest::TempDir dir;
    QxsimProcess sim({"--tcp", "0"});
    // a name in Chinese: it reaches the file system whole only as UTF-16
    const std::filesystem::path first = dir.path / "模块配置.ini";
    const ProgramResult read = qxcliExe(tcpTo(sim) + Args {"config", "read", "-o", windowsPath(first)});
    ASSERT_EQ(read.exit, 0) << read.err;
    EXPECT_EQ(read.out, "配置已导出到文件:" + windowsPath(first) + "\n");
    std::string ini = fileText(first);
    const std::size_t at = ini.find("\r\nbyRxDly=10\r\n");
    ASSERT_NE(at, std::string::npos) << ini;
    ini.replace(at, 14, "\r\nbyRxDly=17\r\n");
    const std::filesystem::path edited = dir.path / "改过.ini";
    std::ofstream(edited, std::ios::binary) << ini;

    // standard input is no console: without --yes nothing is written
    EXPECT_EQ(qxcliExe(tcpTo(sim) + Args {"config", "write", windowsPath(edited)}).exit, 2);
    const ProgramResult write = qxcliExe(tcpTo(sim) + Args {"config", "write", windowsPath(edited), "--yes"});
    ASSERT_EQ(write.exit, 0) << write.err;
    EXPECT_EQ(write.out, "配置下发成功!\n");
    // written over the first file: the new block replaces it whole
    ASSERT_EQ(qxcliExe(tcpTo(sim) + Args {"config", "read", "-o", windowsPath(first)}).exit, 0);
    EXPECT_EQ(fileText(first), ini);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path), {}), 2);
}

TEST(QxcliExe, FirmwareImageArrivesWhole)
{
    qxtest::TempDir state;
    qxtest::TempDir files;
    QxsimProcess sim({"--tcp", "0", "--state", state.path.string()});
    std::string image(1100, '\0');
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<char>(i * 7 + i / 251);
    const std::filesystem::path file = files.path / "qx_bios.bin";
    std::ofstream(file, std::ios::binary) << image;
    const ProgramResult r = qxcliExe(tcpTo(sim) + Args {"firmware", "upgrade", windowsPath(file), "--yes"});
    ASSERT_EQ(r.exit, 0) << r.err;
    EXPECT_EQ(r.out, "升级成功!\n");
    EXPECT_EQ(fileText(state.path / "bios.bin").substr(0, image.size()), image);
}

TEST(QxcliExe, ExitCodesAsDocumented)
{
    const ProgramResult help = qxcliExe({"--help"});
    EXPECT_EQ(help.exit, 0);
    EXPECT_NE(help.out.find("Exit status: 0 done, 1 the module refused"), std::string::npos) << help.out;

    // bad arguments and files: 2
    const ProgramResult none = qxcliExe({"identity"});
    EXPECT_EQ(none.exit, 2);
    EXPECT_NE(none.err.find("\nusage: qxcli CONNECTION"), std::string::npos) << none.err;
    EXPECT_EQ(none.out, "");
    const ProgramResult ao = qxcliExe({"--tcp", "127.0.0.1:1", "write", "ao", "1", "70000"});
    EXPECT_EQ(ao.exit, 2);
    EXPECT_EQ(ao.err.rfind("qxcli: AO1的输出值无效,请输入0~65535之间的整数！\n", 0), 0u) << ao.err;
    qxtest::TempDir dir;
    const ProgramResult missing =
        qxcliExe({"--tcp", "127.0.0.1:1", "plc", "download", windowsPath(dir.path / "无.txt"), "--ram"});
    EXPECT_EQ(missing.exit, 2);

    // no answer: 1
    QxsimProcess sim({"--pty"});
    const qxtest::ComMapping com(g_setup.prefix, sim.ptyPath());
    const ProgramResult silent = qxcliExe({"--serial", com.name(), "--address", "9", "--timeout", "300", "read", "di"});
    EXPECT_EQ(silent.exit, 1);
    EXPECT_EQ(silent.err, "qxcli: no answer from module 9 within 300 ms\n");
}

TEST(QxcliExe, CtrlCCancelsTheDownload)
{
    qxtest::TempDir state;
    QxsimProcess sim({"--tcp", "0", "--delay-ms", "100", "--state", state.path.string()});
    qxtest::RunningProgram p(g_setup.wine, Args {g_setup.qxcli} + tcpTo(sim)
                                               + Args {"plc", "download", windowsPath(kExamples + "/plc_latch.txt"),
                                                       "--ram", "--block-size", "8"});
    ASSERT_TRUE(p.waitForErr("升级EPLC:正在传送,Block 0,Byte 8\n"));
    // Wine turns SIGINT into the console's CTRL_C_EVENT
    p.interrupt();
    const ProgramResult r = p.finish();
    EXPECT_EQ(r.exit, 1);
    EXPECT_NE(r.err.find("EPLC下载已被取消!\n已取消EPLC下载!\n"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(state.path / "plc_ram.bin"));
}

} // namespace
} // namespace qx

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--prefix") == 0)
            qx::g_setup.prefix = argv[i + 1];
        else if (std::strcmp(argv[i], "--wine") == 0)
            qx::g_setup.wine = argv[i + 1];
        else if (std::strcmp(argv[i], "--qxcli") == 0)
            qx::g_setup.qxcli = argv[i + 1];
    }
    if (qx::g_setup.prefix.empty() || qx::g_setup.wine.empty() || qx::g_setup.qxcli.empty()) {
        std::fprintf(stderr, "usage: qxcli_wine_test --prefix DIR --wine WINE --qxcli QXCLI.EXE\n");
        return 2;
    }
    qx::g_setup.prefix = qxtest::useWinePrefix(qx::g_setup.prefix);
    const int status = RUN_ALL_TESTS();
    // a filter that names no test must not pass
    if (::testing::UnitTest::GetInstance()->test_to_run_count() == 0) {
        std::fprintf(stderr, "qxcli_wine_test: no test selected\n");
        return 1;
    }
    return status;
}
