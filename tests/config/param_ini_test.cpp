// Loading the parameter block from its INI form.
#include "param_ini.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "temp_dir.h"

using namespace qx;

namespace {

std::string systemSection(int model, bool withDiscAct = true)
{
    std::string s = "[SYSTEM]\r\nQXMode=" + std::to_string(model)
        + "\r\nQXExtConf=0\r\nQXAddr1=5\r\nbyRepTwin=1\r\nbyRepCont=3\r\ndwRepTwinTm=70000\r\n"
          "byRxDly=10\r\nbyTxDly=20\r\ndwDiscTm=300\r\n";
    if (withDiscAct)
        s += "byDiscAct=2\r\n";
    return s;
}

const std::string kCom = "[COM]\nR1BaudRate=115200\nR1BitCS=8\nR1Parity=2\nR1BitStop=1\nR1Type=1\nR1HoldTime=50\n";

std::string eth(bool withActChk2)
{
    std::string s = "[ETH]\nE1Dhcp=0\nE1ProbDHCP=0\nE1ProbGW=1\nE1LocalIP=192.168.1.20\nE1NetMask=255.255.255.0\n"
                    "E1GateWay=192.168.1.1\nE1MAC=00-11-22-33-44-55\nE1DNS=8.8.8.8\nE1DOMAIN=qx.example\n"
                    "E1LocalPort1=502\nE1RemoteIP1=192.168.1.100\nE1RemotePort1=10001\nE1SocketType1=2\n"
                    "E1ActChk1=5\nE1HoldTime1=7\n";
    if (withActChk2)
        s += "E1ActChk2=44\n";
    return s;
}

std::string dio()
{
    std::string s = "[DIO]\ndwIOFilterWin=11\ndwIOFilterHig=12\nbyIOReverse=1\ndwIOReverse=99\n";
    for (int i = 1; i <= 32; ++i)
        s += "IO" + std::to_string(i) + "=" + std::to_string(i % 5) + "\n";
    return s;
}

std::string wifi(int mode)
{
    return "[WIFI]\nW1WifiMode=" + std::to_string(mode)
        + "\nW1EncType=3\nW1SsidAP=apname\nW1PwdAP=appass\nW1SsidRouter=router\nW1PwdRouter=secret\n"
          "W1APDhcps=1\nW1APBeginIP=10.0.0.2\nW1APEndIP=10.0.0.9\nW1APNetMask=255.0.0.0\n"
          "W1APGateway=10.0.0.1\nW1LocalIP=10.0.0.5\nW1DNS=1.1.1.1\nW1DOMAIN=wifi.example\n"
          "W1LocalPort1=503\nW1RemoteIP1=10.0.0.100\nW1RemotePort1=9000\nW1SocketType1=1\n"
          "W1IdleAllow1=30\nW1TimeRecon1=6\nW1HoldTime1=2\nW1Cloud=cloud.example\n";
}

} // namespace

TEST(IniLookupRules, ResultCodesOfOneLookup)
{
    std::string v;
    EXPECT_EQ(iniLookup("", "SYSTEM", "QXMode", 16, v), kIniEmptyFile);
    EXPECT_EQ(iniLookup("x", "SYSTEM", "QXMode", 16, v), kIniEmptyFile);
    EXPECT_EQ(iniLookup("[COM]\nQXMode=1\n", "SYSTEM", "QXMode", 16, v), kIniNoSection);
    EXPECT_EQ(iniLookup("[SYSTEM]\nQXAddr1=1\n", "SYSTEM", "QXMode", 16, v), kIniNoKey);
    // the section name is plain text, brackets or not, and a key is found
    // after it even in a later section
    EXPECT_EQ(iniLookup("SYSTEM\n[COM]\nQXMode= 7 \r\nnext", "SYSTEM", "QXMode", 16, v), kIniFound);
    EXPECT_EQ(v, " 7 ");
    EXPECT_EQ(iniLookup("[SYSTEM]\nQXMode\nQXAddr1=3\n", "SYSTEM", "QXMode", 16, v), kIniNoKey);
    EXPECT_EQ(iniLookup("[ETH]\nE1MAC=0123456789abcdef0123456789abcdefXYZ\n", "ETH", "E1MAC", 32, v), kIniFound);
    EXPECT_EQ(v.size(), 32u);
}

TEST(IniLoad, EthModelReadsSystemEthDioAndDefaults)
{
    const IniLoadResult r = loadParamIniText(systemSection(130) + eth(false) + dio());
    ASSERT_TRUE(r.ok) << r.missing;
    const ParamBlock &b = r.block;
    EXPECT_EQ(b.modelCode(), 130);
    EXPECT_EQ(b.u8(ParamLayout::kQXAddr1), 5);
    EXPECT_EQ(b.data()[25], 0x01);
    EXPECT_EQ(b.data()[26], 0x11);
    EXPECT_EQ(b.data()[27], 0x70);
    EXPECT_EQ(b.text(ParamLayout::kE1LocalIP, 16), "192.168.1.20");
    EXPECT_EQ(b.u16(ParamLayout::kE1LocalPort1), 502);
    EXPECT_EQ(b.fieldText(*findParamField("E1ActChk2")), "10");
    EXPECT_EQ(b.fieldText(*findParamField("E1HoldTime3")), "100");
    EXPECT_EQ(b.fieldText(*findParamField("E1HoldTime2")), "3");
    EXPECT_EQ(b.u8(ParamLayout::kIO1 + 9), 0); // IO10 = 10 % 5
    EXPECT_EQ(b.u8(ParamLayout::kIO1 + 31), 2); // IO32
    EXPECT_EQ(b.u32(ParamLayout::kDwIOReverse), 99u);
    EXPECT_EQ(b.u32(ParamLayout::kR1BaudRate), 0u); // no COM group for 130
}

TEST(IniLoad, OptionalKeyPresentIsTaken)
{
    const IniLoadResult r = loadParamIniText(systemSection(130) + eth(true) + dio());
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.block.fieldText(*findParamField("E1ActChk2")), "44");
}

TEST(IniLoad, MissingRequiredKeysOrSectionsFail)
{
    IniLoadResult r = loadParamIniText(systemSection(130, false) + eth(true) + dio());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.missing, "SYSTEM/byDiscAct");
    r = loadParamIniText(systemSection(80) + eth(true));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.missing, "COM/R1BaudRate");
    EXPECT_TRUE(loadParamIniText(systemSection(80) + kCom + eth(true)).ok);
    r = loadParamIniText(systemSection(130) + eth(true));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.missing, "DIO/dwIOFilterWin");
}

TEST(IniLoad, WifiModeZeroOverlaysDnsAndDomain)
{
    IniLoadResult r = loadParamIniText(systemSection(71) + kCom + wifi(0));
    ASSERT_TRUE(r.ok) << r.missing;
    EXPECT_EQ(r.block.text(findParamField("W1PwdAP")->offset, 64), "1.1.1.1");
    EXPECT_EQ(r.block.text(findParamField("W1SsidAP")->offset, 64), "wifi.example");
    EXPECT_EQ(r.block.text(findParamField("E1DOMAIN")->offset, 64), "cloud.example");
    r = loadParamIniText(systemSection(71) + kCom + wifi(1));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.block.text(findParamField("W1PwdAP")->offset, 64), "appass");
    EXPECT_EQ(r.block.text(findParamField("W1SsidAP")->offset, 64), "apname");
}

TEST(IniLoad, LongTextFillsItsFieldAndNumbersKeepLowBits)
{
    std::string text = systemSection(130) + eth(true) + dio();
    text.replace(text.find("192.168.1.20"), 12, "192.168.100.2000");
    text.replace(text.find("E1LocalPort1=502"), 16, "E1LocalPort1= 70000x");
    const IniLoadResult r = loadParamIniText(text);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.block.data()[ParamLayout::kE1LocalIP + 15], '0');
    EXPECT_EQ(r.block.text(ParamLayout::kE1LocalIP, 16), "192.168.100.2000");
    EXPECT_EQ(r.block.data()[ParamLayout::kE1LocalIP + 16], '2'); // E1NetMask untouched
    EXPECT_EQ(r.block.u16(ParamLayout::kE1LocalPort1), 70000 & 0xFFFF);
}

TEST(IniLoad, ReservedOverlayForGatewayCodes)
{
    const std::string reserv = "[RESERV]\nbyRes1=9\ndwRes25=123456\nszRes1=hello\nszRes9=overlay-text\n";
    IniLoadResult r = loadParamIniText(systemSection(80) + kCom + eth(true) + reserv);
    ASSERT_TRUE(r.ok) << r.missing;
    EXPECT_EQ(r.block.u8(ParamLayout::kByRes1), 9);
    EXPECT_EQ(r.block.text(ParamLayout::kSzRes1, 16), "hello");
    EXPECT_EQ(r.block.text(ParamLayout::kSzRes9, 16), "overlay-text");
    r = loadParamIniText(systemSection(130) + eth(true) + dio() + reserv);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.block.u32(ParamLayout::kDwRes1 + 24 * 4), 123456u);
}

TEST(IniLoad, FilesAreSearchedInTheirFirst8192Bytes)
{
    qxtest::TempDir dir;
    const std::filesystem::path name = dir.path / "module.ini";
    {
        std::ofstream out(name, std::ios::binary);
        out << systemSection(130) << eth(true) << std::string(9000, ' ') << dio();
    }
    IniLoadResult r = loadParamIni(name);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.missing, "DIO/dwIOFilterWin");
    {
        std::ofstream out(name, std::ios::binary);
        out << systemSection(130) << eth(true) << dio();
    }
    EXPECT_TRUE(loadParamIni(name).ok);
    {
        std::ofstream out(name, std::ios::binary);
        out << "x";
    }
    EXPECT_FALSE(loadParamIni(name).ok);
    std::filesystem::remove(name);
    EXPECT_FALSE(loadParamIni(name).ok);
}
