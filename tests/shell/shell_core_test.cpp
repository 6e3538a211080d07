// Rules of the shell that need no window: the settings block, the Modbus
// address, the command line, window sizing, event texts, the library
// binding, serial devices and file filters. The connection page's rules and
// the page dispatch have their own files.
#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "byte_io.h"
#include "command_line.h"
#include "connection_event.h"
#include "event_codes.h"
#include "event_records.h"
#include "page_hooks.h"
#include "file_filter.h"
#include "gbk.h"
#include "identity_record.h"
#include "library_binder.h"
#include "modbus_address.h"
#include "port_settings.h"
#include "port_settings_builder.h"
#include "response_records.h"
#include "serial_devices.h"
#include "shell_texts.h"
#include "statistics_record.h"
#include "window_sizing.h"

namespace {

using namespace qx;

std::string textAt(const std::array<uint8_t, 140> &b, std::size_t off)
{
    return std::string(reinterpret_cast<const char *>(b.data() + off));
}

TEST(SettingsBlock, TcpServerCarriesLocalAddressAndListenPort)
{
    auto r = buildTcpServerSettings("192.168.1.20", 10001);
    ASSERT_TRUE(r.ok);
    auto b = settingsBytes(r.settings);
    EXPECT_EQ(getU32le(b.data(), 0), 0u);
    EXPECT_EQ(getU32le(b.data(), 4), 0u);
    EXPECT_EQ(textAt(b, 8), "192.168.1.20");
    EXPECT_EQ(b[72], 0x11);
    EXPECT_EQ(b[73], 0x27);
}

TEST(SettingsBlock, TcpClientCarriesModuleAddressAndPort)
{
    auto r = buildTcpClientSettings("127.0.0.1", "192.168.0.105", 502);
    ASSERT_TRUE(r.ok);
    auto b = settingsBytes(r.settings);
    EXPECT_EQ(getU32le(b.data(), 0), 1u);
    EXPECT_EQ(getU32le(b.data(), 4), 0u);
    EXPECT_EQ(textAt(b, 8), "127.0.0.1");
    EXPECT_EQ(textAt(b, 72), "192.168.0.105");
    EXPECT_EQ(getU16le(b.data(), 136), 502);
    EXPECT_EQ(r.settings.word[34] & 0xFFFF0000u, 0u);
}

TEST(SettingsBlock, UdpAddsLocalPortAfterModulePort)
{
    auto r = buildUdpSettings("10.0.0.2", "10.0.0.9", 10001, 20002);
    ASSERT_TRUE(r.ok);
    auto b = settingsBytes(r.settings);
    EXPECT_EQ(getU32le(b.data(), 0), 2u);
    EXPECT_EQ(textAt(b, 72), "10.0.0.9");
    EXPECT_EQ(getU16le(b.data(), 136), 10001);
    EXPECT_EQ(getU16le(b.data(), 138), 20002);
    EXPECT_EQ(r.settings.word[34], 10001u | (20002u << 16));
}

TEST(SettingsBlock, SerialUsesRtuFramingAndLineCodes)
{
    SerialChoice c;
    c.path = "/dev/ttyUSB0";
    c.baudRate = 256000;
    c.dataBits = 7;
    c.parity = 3;
    c.stopBits = 2;
    auto r = buildSerialSettings(c);
    ASSERT_TRUE(r.ok);
    auto b = settingsBytes(r.settings);
    EXPECT_EQ(getU32le(b.data(), 0), 3u);
    EXPECT_EQ(getU32le(b.data(), 4), 1u);
    EXPECT_EQ(textAt(b, 8), "/dev/ttyUSB0");
    EXPECT_EQ(getU32le(b.data(), 24), 256000u);
    EXPECT_EQ(b[28], 7);
    EXPECT_EQ(b[29], 3);
    EXPECT_EQ(b[30], 2);
}

TEST(SettingsBlock, SerialPathOfFifteenCharactersFits)
{
    SerialChoice c;
    c.path = "/dev/ttyUSB1234"; // 15
    auto r = buildSerialSettings(c);
    ASSERT_TRUE(r.ok);
    auto b = settingsBytes(r.settings);
    EXPECT_EQ(textAt(b, 8), "/dev/ttyUSB1234");
    EXPECT_EQ(b[23], 0);
}

TEST(SettingsBlock, LongerSerialPathIsRefusedNotCut)
{
    SerialChoice c;
    c.path = "/dev/serial/by-id/usb-FTDI";
    auto r = buildSerialSettings(c);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, shell_texts::kSerialPathTooLong);
    c.path = "/dev/ttyUSB12345"; // 16
    EXPECT_FALSE(buildSerialSettings(c).ok);
}

TEST(SettingsBlock, ModuleAddressMustBeDottedDecimal)
{
    EXPECT_EQ(buildTcpClientSettings("127.0.0.1", "192.168.0", 1).message, shell_texts::kInvalidModuleIp);
    EXPECT_EQ(buildUdpSettings("127.0.0.1", "1.2.3.256", 1, 1).message, shell_texts::kInvalidModuleIp);
    EXPECT_EQ(buildTcpServerSettings("", 1).message, shell_texts::kListenNeedsAdapter);
}

TEST(ModbusAddress, DecimalOneTo247)
{
    EXPECT_EQ(readModbusAddress("1").address, 1);
    EXPECT_EQ(readModbusAddress("247").address, 247);
    EXPECT_EQ(readModbusAddress(" 12 ").address, 12);
    EXPECT_EQ(readModbusAddress("007").address, 7);
    EXPECT_TRUE(readModbusAddress("240").ok);
}

TEST(ModbusAddress, AnythingElseIsRefusedNeverABroadcast)
{
    for (const char *text : {"", "  ", "abc", "0", "00", "248", "256", "300", "-1", "+5", "12abc", "1.5",
                             "99999999999999999999"}) {
        ModbusAddressResult r = readModbusAddress(text);
        EXPECT_FALSE(r.ok) << text;
        EXPECT_EQ(r.address, 0) << text;
        EXPECT_EQ(r.message, shell_texts::kInvalidModbusAddress) << text;
    }
    // The message names the field as the operator sees it, and the range.
    const std::string message = shell_texts::kInvalidModbusAddress;
    EXPECT_NE(message.find(shell_texts::kLabelModbusAddress), std::string::npos);
    EXPECT_NE(message.find("1~247"), std::string::npos);
}

TEST(PortText, AcceptsDecimalPortsOnly)
{
    EXPECT_EQ(parsePort("10001").port, 10001);
    EXPECT_TRUE(parsePort(" 0 ").ok);
    EXPECT_EQ(parsePort("65535").port, 65535);
    EXPECT_FALSE(parsePort("65536").ok);
    EXPECT_FALSE(parsePort("70000").ok);
    EXPECT_FALSE(parsePort("").ok);
    EXPECT_EQ(parsePort("12a").message, shell_texts::kInvalidPort);
}

TEST(Ipv4Text, RejectsMalformedParts)
{
    EXPECT_TRUE(isIpv4Text("0.0.0.0"));
    EXPECT_TRUE(isIpv4Text("255.255.255.255"));
    EXPECT_FALSE(isIpv4Text("1.2.3"));
    EXPECT_FALSE(isIpv4Text("1.2.3.4."));
    EXPECT_FALSE(isIpv4Text("1..3.4"));
    EXPECT_FALSE(isIpv4Text("1.2.3.1000"));
    EXPECT_FALSE(isIpv4Text("a.b.c.d"));
    EXPECT_TRUE(isLoopbackIpv4("127.0.0.5"));
    EXPECT_FALSE(isLoopbackIpv4("128.0.0.1"));
}

TEST(CommandLine, ConnectTargets)
{
    auto c = parseCommandLine({"--connect", "tcp-client:127.0.0.1:1502", "--address", "7"});
    ASSERT_TRUE(c.ok) << c.error;
    ASSERT_TRUE(c.connect);
    EXPECT_EQ(c.connect->kind, ConnectionKind::TcpClient);
    EXPECT_EQ(c.connect->host, "127.0.0.1");
    EXPECT_EQ(c.connect->port, 1502);
    EXPECT_EQ(*c.address, "7");

    std::string why;
    auto u = parseConnectTarget("udp:10.0.0.9:10001:20002", why);
    ASSERT_TRUE(u);
    EXPECT_EQ(u->kind, ConnectionKind::Udp);
    EXPECT_EQ(*u->localPort, 20002);
    EXPECT_FALSE(parseConnectTarget("udp:10.0.0.9:10001", why)->localPort);

    auto s = parseConnectTarget("tcp-server:10001", why);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->kind, ConnectionKind::TcpServer);
    EXPECT_TRUE(s->host.empty());
    EXPECT_EQ(parseConnectTarget("tcp-server:127.0.0.1:9", why)->host, "127.0.0.1");

    auto p = parseConnectTarget("serial:/dev/pts/3:9600", why);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->path, "/dev/pts/3");
    EXPECT_EQ(*p->baudRate, 9600u);
    EXPECT_FALSE(parseConnectTarget("serial:/dev/ttyS0", why)->baudRate);
}

TEST(CommandLine, RefusesWhatItCannotUse)
{
    EXPECT_FALSE(parseCommandLine({"--connect", "tcp-client:localhost:1"}).ok);
    EXPECT_FALSE(parseCommandLine({"--connect", "tcp-client:127.0.0.1:70000"}).ok);
    EXPECT_FALSE(parseCommandLine({"--connect", "tcp-client:127.0.0.1"}).ok);
    EXPECT_FALSE(parseCommandLine({"--connect", "modem:1"}).ok);
    EXPECT_FALSE(parseCommandLine({"--connect"}).ok);
    EXPECT_FALSE(parseCommandLine({"--bogus"}).ok);
    EXPECT_FALSE(parseCommandLine({"--quit-after", "soon"}).ok);
    EXPECT_FALSE(parseCommandLine({"--address", "0"}).ok);
    EXPECT_FALSE(parseCommandLine({"--address", "abc"}).ok);
    auto h = parseCommandLine({"--help"});
    EXPECT_TRUE(h.ok && h.help);
    EXPECT_NE(commandLineHelp().find("tcp-server:[ADDR:]PORT"), std::string::npos);
}

TEST(WindowSizing, FactorsChangeAfterEachBoundary)
{
    EXPECT_DOUBLE_EQ(widthFactor(1024), 1.0);
    EXPECT_DOUBLE_EQ(widthFactor(1025), 0.95);
    EXPECT_DOUBLE_EQ(widthFactor(1366), 0.85);
    EXPECT_DOUBLE_EQ(widthFactor(1920), 0.7);
    EXPECT_DOUBLE_EQ(widthFactor(3720), 0.4);
    EXPECT_DOUBLE_EQ(widthFactor(3840), 0.35);
    EXPECT_DOUBLE_EQ(heightFactor(768), 0.95);
    EXPECT_DOUBLE_EQ(heightFactor(1080), 0.7);
    EXPECT_DOUBLE_EQ(heightFactor(2140), 0.15);
    EXPECT_DOUBLE_EQ(heightFactor(2160), 0.1);
}

TEST(WindowSizing, CentredAtTheTopEdge)
{
    auto g = mainWindowGeometry(1920, 1080);
    EXPECT_EQ(g.width, 1344);
    EXPECT_EQ(g.height, 756);
    EXPECT_EQ(g.x, 288);
    EXPECT_EQ(g.y, 0);
    auto small = mainWindowGeometry(1024, 768);
    EXPECT_EQ(small.x, 0);
    EXPECT_EQ(small.width, 1024);
}

// Registrations: handlers in order, each removed by its own token only,
// also while an event is being handed out.
TEST(PageHooks, RegistrationRemovesOnlyItsOwnHandler)
{
    PageHooks hooks;
    std::vector<std::string> calls;
    const uint8_t record[4] = {};
    auto old = hooks.add(kEventInputs, [&](const uint8_t *) { calls.push_back("old"); });
    PageHooks::Registration replacement =
        hooks.add(kEventInputs, [&](const uint8_t *) { calls.push_back("new"); });
    auto other = hooks.add(kEventCoils, [&](const uint8_t *) { calls.push_back("coils"); });
    hooks.dispatch(kEventInputs, record);
    EXPECT_EQ(calls, (std::vector<std::string> {"old", "new"}));

    // the page that registered first goes: its replacement stays
    old.reset();
    calls.clear();
    hooks.dispatch(kEventInputs, record);
    EXPECT_EQ(calls, (std::vector<std::string> {"new"}));

    // a handler that removes a later one of the same event: that one is not called
    PageHooks::Registration later;
    auto first = hooks.add(kEventCoils, [&](const uint8_t *) { later.reset(); });
    later = hooks.add(kEventCoils, [&](const uint8_t *) { calls.push_back("later"); });
    calls.clear();
    hooks.dispatch(kEventCoils, record);
    EXPECT_EQ(calls, (std::vector<std::string> {"coils"}));
    EXPECT_EQ(hooks.handlers(kEventCoils), 2u);
    {
        PageHooks::Registration moved = std::move(replacement);
    }
    EXPECT_EQ(hooks.handlers(kEventInputs), 0u);
}

TEST(StatisticsText, CountersAndGbkLogLine)
{
    std::vector<uint8_t> r(StatisticsLayout::kSize, 0);
    putU32le(r.data(), StatisticsLayout::kTxCmd, 12);
    putU32le(r.data(), StatisticsLayout::kRxCmd, 11);
    putU32le(r.data(), StatisticsLayout::kPendingCmd, 1);
    putU32le(r.data(), StatisticsLayout::kTxByte, 4000000000u);
    putU32le(r.data(), StatisticsLayout::kRxByte, 99);
    for (uint32_t i = 0; i < 6; ++i)
        putU32le(r.data(), StatisticsLayout::kResponseClass + 4 * i, i + 1);
    std::string gbk = utf8ToGbk("发送数据(HEX): 01 11");
    std::memcpy(r.data() + StatisticsLayout::kLogText, gbk.data(), gbk.size());
    putU32le(r.data(), StatisticsLayout::kLogLength, static_cast<uint32_t>(gbk.size()));
    auto v = readStatistics(r.data());
    std::array<std::string, 10> expected {"12", "11", "4000000000", "99", "1", "2", "3", "4", "5", "6"};
    EXPECT_EQ(v.counters, expected);
    ASSERT_TRUE(v.hasLogLine);
    EXPECT_EQ(v.logLine, "发送数据(HEX): 01 11\r\n");
}

TEST(StatisticsText, ClearedRecordHasNoLine)
{
    std::vector<uint8_t> r(StatisticsLayout::kSize, 0);
    auto v = readStatistics(r.data());
    EXPECT_FALSE(v.hasLogLine);
    for (const auto &c : v.counters)
        EXPECT_EQ(c, "0");
}

TEST(StatisticsText, UnterminatedLogTextStopsAtTheField)
{
    std::vector<uint8_t> r(StatisticsLayout::kSize, 'A');
    putU32le(r.data(), StatisticsLayout::kLogLength, 5);
    auto v = readStatistics(r.data());
    EXPECT_EQ(v.logLine.size(), StatisticsLayout::kLogTextSize + 2);
}

TEST(IdentityText, FieldsFromGbkAndSeriesFormat)
{
    std::vector<uint8_t> r(IdentityLayout::kSize, 0);
    auto put = [&](std::size_t off, std::size_t size, const std::string &utf8) {
        putText(r.data(), off, size, utf8ToGbk(utf8).c_str());
    };
    put(IdentityLayout::kDriverVersion, 32, "Ver2.1");
    put(IdentityLayout::kFirmwareVersion, 32, "Ver3.4");
    put(IdentityLayout::kModelName, 32, "QX-8A8D");
    put(IdentityLayout::kDescription, 256, "8路模拟量输入,8路数字量输出");
    put(IdentityLayout::kSerialNumber, 32, "2024031500001");
    put(IdentityLayout::kFactoryDate, 33, "2024-03-15");
    r[IdentityLayout::kSeries] = 7;
    auto v = readIdentity(r.data());
    EXPECT_EQ(v.driverVersion, "Ver2.1");
    EXPECT_EQ(v.firmwareVersion, "Ver3.4");
    EXPECT_EQ(v.modelName, "QX-8A8D");
    EXPECT_EQ(v.description, "8路模拟量输入,8路数字量输出");
    EXPECT_EQ(v.serialNumber, "2024031500001");
    EXPECT_EQ(v.factoryDate, "2024-03-15");
    EXPECT_EQ(v.series, "0x07");
    r[IdentityLayout::kSeries] = 12;
    EXPECT_EQ(readIdentity(r.data()).series, "0x012");
}

TEST(ConnectionText, PeerAddressAndPort)
{
    std::vector<uint8_t> r(ConnectionLayout::kSize, 0);
    putU32le(r.data(), ConnectionLayout::kTransportType, 0);
    putI32le(r.data(), ConnectionLayout::kState, kStatePeerConnected);
    putText(r.data(), ConnectionLayout::kPeerAddress, 64, "127.0.0.1");
    putU16le(r.data(), ConnectionLayout::kPeerPort, 50123);
    auto v = readConnection(r.data());
    EXPECT_EQ(v.state, kStatePeerConnected);
    EXPECT_EQ(v.peer, "127.0.0.1:50123");
}

TEST(LibraryBinding, MissingFileNamesTheLibrary)
{
    auto r = bindLibrary("/nonexistent/libqxlib.so");
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.missingSymbol.empty());
    EXPECT_NE(r.message.find("/nonexistent/libqxlib.so"), std::string::npos);
    EXPECT_EQ(r.message.rfind(shell_texts::kLibraryMissingPrefix, 0), 0u);
}

TEST(LibraryBinding, LibraryWithoutTheExportsNamesTheFirstMissingSymbol)
{
    auto r = bindLibrary("libc.so.6");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.missingSymbol, "DLL_API_OBJ_CREATE");
    EXPECT_EQ(r.message, std::string("通讯库 libc.so.6 中缺少函数 DLL_API_OBJ_CREATE，程序无法启动！"));
    EXPECT_FALSE(r.functions.complete());
}

TEST(LibraryBinding, CandidatesPreferExplicitThenExecutableDir)
{
    EXPECT_EQ(libraryCandidates("/x/lib.so", "/bin", "/b").size(), 1u);
    auto c = libraryCandidates("", "/opt/qx/bin", "/build/lib/port");
    ASSERT_EQ(c.size(), 4u);
    EXPECT_EQ(c[0], "/opt/qx/bin/libqxlib.so");
    EXPECT_EQ(c[1], "/build/lib/port/libqxlib.so");
    EXPECT_EQ(c[2], kLibrarySoname);
    EXPECT_EQ(c[3], "libqxlib.so");
    EXPECT_EQ(libraryCandidates("", "/usr/bin", "").size(), 3u);
    auto r = bindFirstLibrary({"/nonexistent/a.so", "libc.so.6", "/nonexistent/b.so"});
    EXPECT_EQ(r.missingSymbol, "DLL_API_OBJ_CREATE");
}

#ifdef QX_QXLIB_FILE
TEST(LibraryBinding, BindsTheBuiltLibrary)
{
    auto r = bindLibrary(QX_QXLIB_FILE);
    EXPECT_TRUE(r.ok) << r.message;
    EXPECT_TRUE(r.functions.complete());
    // an installation without the development link has only this name
    EXPECT_EQ(std::string(kLibrarySoname).rfind(std::string(kLibraryName) + ".", 0), 0u);
}
#endif

TEST(SerialDevices, UsbAndAcmFirstThenByNumber)
{
    std::string dir = ::testing::TempDir() + "shell_serial_devices";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    for (const char *n : {"ttyS10", "ttyS2", "ttyUSB10", "ttyUSB2", "tty0", "ttyACM1", "null", "ttyS", "ttyUSB0x"})
        std::ofstream(dir + "/" + n).put('x');
    auto list = listSerialDevices(dir);
    // USB and ACM adapters first, the board's ttyS ports last
    std::vector<std::string> expected {dir + "/ttyUSB2", dir + "/ttyUSB10", dir + "/ttyACM1", dir + "/ttyS2",
                                       dir + "/ttyS10"};
    EXPECT_EQ(list, expected);
    std::filesystem::remove_all(dir);
}

TEST(FileFilter, PageFiltersBecomeQtFilters)
{
    EXPECT_EQ(fileDialogFilters("配置文件(*.txt)|*.txt|所有文件(*.*)|*.*||"),
              (std::vector<std::string> {"配置文件(*.txt)", "所有文件(*.*)"}));
    EXPECT_EQ(fileDialogFilters("工程文件(*.qprj)|*.qprj|源码文件(*.txt)|*.txt||"),
              (std::vector<std::string> {"工程文件(*.qprj)", "源码文件(*.txt)"}));
    // A description that does not name its patterns gets them; several
    // patterns are listed with blanks.
    EXPECT_EQ(fileDialogFilters("固件|*.bin||"), std::vector<std::string> {"固件 (*.bin)"});
    EXPECT_EQ(fileDialogFilters("文本(*.txt;*.ini)|*.txt;*.ini||"),
              std::vector<std::string> {"文本(*.txt *.ini)"});
    EXPECT_EQ(fileDialogFilters("全部"), std::vector<std::string> {"全部 (*)"});
    EXPECT_TRUE(fileDialogFilters("").empty());
}

} // namespace
