// The settings block a transport is opened with and the texts that go into
// it: addresses, ports, the Modbus address, serial paths.
#include <array>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "modbus_address.h"
#include "port_settings.h"
#include "port_settings_builder.h"
#include "shell_texts.h"

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
    const std::string message(shell_texts::kInvalidModbusAddress);
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

} // namespace
