// The identity answer as the connection page shows it: GBK texts in the
// IdentityRecord, names and descriptions from the model catalogue.
#include <string>

#include <gtest/gtest.h>

#include "event_codes.h"
#include "gbk.h"
#include "port_settings.h"
#include "test_frames.h"

namespace qx::test {
namespace {

struct Identity
{
    uint8_t driver[2] = {1, 0};
    uint8_t firmware[2] = {1, 0};
    uint8_t series = 1;
    uint32_t modelCode = 92;
    uint16_t words[10] = {2023, 11, 3, 0, 0, 0, 0, 0, 0, 1};
};

// The 64-byte block in RTU offsets, without the CRC.
Bytes identityBlock(const Identity &id)
{
    Bytes block(IdentityBlock::kRtuMinLength, 0x00);
    block[0] = 0x01;
    block[1] = 0x11;
    block[2] = 0x3E; // not read
    block[IdentityBlock::kDriverMajor] = id.driver[0];
    block[IdentityBlock::kDriverMinor] = id.driver[1];
    block[IdentityBlock::kFirmwareMajor] = id.firmware[0];
    block[IdentityBlock::kFirmwareMinor] = id.firmware[1];
    block[IdentityBlock::kSeries] = id.series;
    putU32le(block.data(), IdentityBlock::kModelCode, id.modelCode);
    for (std::size_t i = 0; i < 10; ++i)
        putU16le(block.data(), IdentityBlock::kSerialWords + 2 * i, id.words[i]);
    return block;
}

std::string text(const uint8_t *record, std::size_t offset)
{
    return std::string(reinterpret_cast<const char *>(record + offset));
}

const uint8_t *decodeRtu(ProtocolEngine &engine, const Identity &id)
{
    EXPECT_TRUE(feed(engine, rtu(identityBlock(id))));
    const auto event = engine.decode();
    EXPECT_EQ(event.code, kEventIdentity);
    return bytesOf(event);
}

struct Shown
{
    std::string name;
    std::string description;
};

Shown shownFor(uint32_t modelCode, uint8_t series)
{
    ProtocolEngine engine(kFramingRtu);
    Identity id;
    id.modelCode = modelCode;
    id.series = series;
    const uint8_t *record = decodeRtu(engine, id);
    return {text(record, IdentityLayout::kModelName), text(record, IdentityLayout::kDescription)};
}

void expectShown(uint32_t code, uint8_t series, const char *name, const char *description)
{
    const Shown shown = shownFor(code, series);
    EXPECT_EQ(shown.name, utf8ToGbk(name)) << "code " << code << " series " << int(series);
    EXPECT_EQ(shown.description, utf8ToGbk(description)) << "code " << code << " series " << int(series);
}

TEST(Identity, RtuAnswerFillsEveryField)
{
    ProtocolEngine engine(kFramingRtu);
    Identity id;
    id.driver[0] = 2;
    id.driver[1] = 15;
    id.firmware[0] = 3;
    id.firmware[1] = 7;
    id.series = 5;
    id.modelCode = 92;
    const uint16_t words[10] = {2023, 11, 3, 12, 0, 345, 6, 7, 80, 9};
    std::copy(std::begin(words), std::end(words), id.words);
    // as a module sends it: 66 bytes with the CRC
    const uint8_t *record = decodeRtu(engine, id);
    EXPECT_EQ(engine.frameLength(), IdentityBlock::kRtuFrameLength);

    EXPECT_EQ(text(record, 13), "Ver2.15");
    EXPECT_EQ(text(record, 45), "Ver3.7");
    EXPECT_EQ(record[77], 5);
    EXPECT_EQ(text(record, 111), utf8ToGbk("QXP_8I8O_RS"));
    EXPECT_EQ(text(record, 143), utf8ToGbk("8进8出串口开关量模块(可编程)"));
    EXPECT_EQ(text(record, 399), "202311312034567809");
    EXPECT_EQ(text(record, 431), "2023-11-3");
}

TEST(Identity, TcpAnswerIsSixBytesFurtherOn)
{
    ProtocolEngine engine(kFramingTcp);
    Identity id;
    id.driver[0] = 4;
    id.driver[1] = 2;
    id.modelCode = 197;
    id.words[0] = 2024;
    id.words[1] = 5;
    id.words[2] = 17;
    const Bytes block = identityBlock(id);
    const Bytes frame = tcp(block);
    ASSERT_EQ(frame.size(), IdentityBlock::kTcpMinLength);
    ASSERT_TRUE(feed(engine, frame));
    const auto event = engine.decode();
    EXPECT_EQ(event.code, kEventIdentity);
    EXPECT_EQ(text(bytesOf(event), IdentityLayout::kDriverVersion), "Ver4.2");
    EXPECT_EQ(text(bytesOf(event), IdentityLayout::kModelName), "QXA_4000_WIFI");
    EXPECT_EQ(text(bytesOf(event), IdentityLayout::kFactoryDate), "2024-5-17");
}

TEST(Identity, ShortAnswerLeavesTheRecordAsItWas)
{
    ProtocolEngine engine(kFramingRtu);
    const uint8_t *record = decodeRtu(engine, Identity {});
    const Bytes before(record, record + IdentityLayout::kSize);

    Identity other;
    other.modelCode = 7;
    const Bytes block = identityBlock(other);
    ASSERT_TRUE(feed(engine, rtu(Bytes(block.begin(), block.begin() + 18)))); // 20 bytes
    const auto event = engine.decode();
    EXPECT_EQ(event.code, kEventIdentity);
    EXPECT_EQ(Bytes(bytesOf(event), bytesOf(event) + IdentityLayout::kSize), before);

    ProtocolEngine tcpEngine(kFramingTcp);
    ASSERT_TRUE(feed(tcpEngine, tcp(Bytes(block.begin(), block.end() - 1)))); // 69 bytes
    const auto tcpEvent = tcpEngine.decode();
    EXPECT_EQ(tcpEvent.code, kEventIdentity);
    EXPECT_EQ(Bytes(bytesOf(tcpEvent), bytesOf(tcpEvent) + IdentityLayout::kSize),
              Bytes(IdentityLayout::kSize, 0));
}

TEST(Identity, LongSerialNumberKeepsItsFirst31Characters)
{
    ProtocolEngine engine(kFramingRtu);
    Identity id;
    std::fill(std::begin(id.words), std::end(id.words), 65535);
    const uint8_t *record = decodeRtu(engine, id);
    EXPECT_EQ(text(record, IdentityLayout::kSerialNumber), std::string("6553565535655356553565535655356"));
    EXPECT_EQ(text(record, IdentityLayout::kFactoryDate), "65535-65535-65535");
}

TEST(Identity, ShorterTextsClearTheWholeField)
{
    ProtocolEngine engine(kFramingRtu);
    Identity id;
    id.modelCode = 121; // long description
    decodeRtu(engine, id);
    id.modelCode = 300;
    const uint8_t *record = decodeRtu(engine, id);
    const std::string unknown = utf8ToGbk("未知描述！");
    EXPECT_EQ(text(record, IdentityLayout::kDescription), unknown);
    EXPECT_EQ(Bytes(record + IdentityLayout::kDescription + unknown.size(),
                    record + IdentityLayout::kDescription + IdentityLayout::kDescriptionSize),
              Bytes(IdentityLayout::kDescriptionSize - unknown.size(), 0));
}

TEST(ModelTexts, FamilyRowsAndTheProgrammableEdition)
{
    expectShown(92, 1, "QXD_8I8O_RS", "8进8出串口开关量模块");
    expectShown(92, 5, "QXP_8I8O_RS", "8进8出串口开关量模块(可编程)");
    expectShown(90, 1, "QXD_2I2O_RS", "2进2出串口开关量模块");
    expectShown(90, 5, "QXP_2I2O_RS", "2进2出串口开关量模块(可编程)");
    expectShown(197, 1, "QXA_4000_WIFI", "4AI WIFI模拟量采集模块");
    expectShown(121, 1, "QXAE_4088_RS", "金属壳4AI+8DI+8DO串口开关量模拟量混合模块");
    expectShown(121, 5, "QXPE_4088_RS", "金属壳4AI+8DI+8DO串口开关量模拟量混合模块(可编程)");
    expectShown(36, 1, "QXD_8I8PO_4G", "8进8出4G开关量/PWM混合模块");
    expectShown(144, 1, "QXD_48O_ETH", "48输出网口开关量模块");
    expectShown(238, 5, "QXP_0400_LORA", "4AO LORA模拟量输出模块(可编程)");
    expectShown(245, 1, "QXAE_4488_LORA", "金属壳4AI+4AO+8DI+8DO LORA开关量模拟量混合模块");
}

TEST(ModelTexts, OlderGenericCodesWinOverTheCatalogue)
{
    expectShown(7, 1, "QXD-XXX-RS", "串口IO控制卡");
    expectShown(7, 5, "QXD-XXX-RS", "串口IO控制卡");
    expectShown(43, 1, "QXA-XXX-RS", "串口AD/DA控制卡");
    expectShown(43, 5, "QXA-XXX-RS", "串口AD/DA控制卡");
    expectShown(4, 1, "QXD-XXX-LORA", "LORA无线IO控制卡");
    expectShown(33, 1, "RUR-1E1L", "RUR 以太网-LORA总线模块");
    expectShown(62, 1, "QXA-XXX-ETH", "以太网AD/DA控制卡");
    expectShown(68, 1, "QXA-XXX-LORA", "LORA无线AD/DA控制卡");
    expectShown(50, 1, "QXA_0088_4G", "8DI+8DO 4G开关量模块"); // between the generic ranges
}

TEST(ModelTexts, GatewaysAndUnknownCodes)
{
    expectShown(80, 1, "RUR_2R1E_R", "串口转以太网网关模块");
    expectShown(72, 1, "QXG_2R1G", "串口转4G5G网关模块(云联版)");
    for (uint32_t code : {80u, 0u, 5u, 26u, 45u, 73u, 300u, 0x10000u + 92}) {
        const uint8_t series = code == 80 ? 5 : 1;
        expectShown(code, series, "未知型号！", "未知描述！");
    }
}

TEST(Gbk, CatalogueTextsRoundTrip)
{
    const std::string unknown = utf8ToGbk("未知型号！");
    EXPECT_EQ(Bytes(unknown.begin(), unknown.end()),
              (Bytes {0xCE, 0xB4, 0xD6, 0xAA, 0xD0, 0xCD, 0xBA, 0xC5, 0xA3, 0xA1}));
    const ModelCatalogue catalogue;
    for (int code = 0; code < 256; ++code) {
        const auto &e = catalogue.entry(static_cast<uint8_t>(code));
        for (const std::string *t : {&e.name, &e.description, &e.altName, &e.altDescription}) {
            const std::string gbk = utf8ToGbk(*t);
            EXPECT_LT(gbk.size(), t == &e.name || t == &e.altName ? 32u : 256u);
            EXPECT_EQ(gbkToUtf8(gbk), *t);
        }
    }
}

TEST(Gbk, IdentityTextsMatchTheCatalogueForEveryCode)
{
    const ModelCatalogue catalogue;
    for (uint32_t code = 0; code < 300; ++code) {
        for (uint8_t series : {1, 5}) {
            const ModelTexts utf8 = catalogue.lookup(code, series);
            const GbkModelTexts gbk = ModelCatalogue::lookupGbk(code, series);
            ASSERT_EQ(gbk.name, utf8ToGbk(utf8.name)) << code;
            ASSERT_EQ(gbk.description, utf8ToGbk(utf8.description)) << code;
        }
    }
}

TEST(Gbk, UnrepresentableAndInvalidInput)
{
    EXPECT_EQ(utf8ToGbk("A\xF0\x9F\x98\x80" "B"), "A?B");
    EXPECT_EQ(gbkToUtf8("A\xFF" "B"), "A\xEF\xBF\xBD" "B");
    EXPECT_EQ(gbkToUtf8(std::string("\xCE", 1)), "\xEF\xBF\xBD");
    EXPECT_EQ(utf8ToGbk(""), "");
}

} // namespace
} // namespace qx::test
