// The parameter block's byte layout, compact form, transfer payload and
// the requests that carry it.
#include "param_block.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "param_requests.h"

using namespace qx;

namespace {

std::vector<uint8_t> bytesOf(const char *text)
{
    return std::vector<uint8_t>(text, text + std::strlen(text));
}

} // namespace

TEST(ParamChecksum, AppendedMostSignificantByteFirst)
{
    std::vector<uint8_t> b = bytesOf("123456789");
    appendChecksumHighFirst(b);
    ASSERT_EQ(b.size(), 11u);
    EXPECT_EQ(b[9], 0x4B);
    EXPECT_EQ(b[10], 0x37);
    EXPECT_TRUE(checksumMatchesHighFirst(b.data(), b.size()));
    std::swap(b[9], b[10]);
    EXPECT_FALSE(checksumMatchesHighFirst(b.data(), b.size()));
}

TEST(ParamBlockFields, TimesAreStoredMostSignificantFirstAndIntegersLittleEndian)
{
    ParamBlock block;
    block.setU24be(ParamLayout::kDwRepTwinTm, 70000);
    block.setU32(ParamLayout::kR1BaudRate, 115200);
    EXPECT_EQ(block.data()[25], 0x01);
    EXPECT_EQ(block.data()[26], 0x11);
    EXPECT_EQ(block.data()[27], 0x70);
    EXPECT_EQ(block.data()[48], 0x00);
    EXPECT_EQ(block.data()[49], 0xC2);
    EXPECT_EQ(block.data()[50], 0x01);
    EXPECT_EQ(block.data()[51], 0x00);
    EXPECT_EQ(block.fieldText(*findParamField("dwRepTwinTm")), "70000");
}

TEST(ParamBlockFields, TextFillingItsFieldHasNoTerminator)
{
    ParamBlock block;
    block.setU8(ParamLayout::kE1LocalIP + 16, 0x55); // first byte of E1NetMask
    block.setText(ParamLayout::kE1LocalIP, 16, "192.168.100.1234");
    EXPECT_EQ(block.data()[ParamLayout::kE1LocalIP + 15], '4');
    EXPECT_EQ(block.data()[ParamLayout::kE1LocalIP + 16], 0x55);
    EXPECT_EQ(block.text(ParamLayout::kE1LocalIP, 16), "192.168.100.1234");
    block.setText(ParamLayout::kE1LocalIP, 16, "10.0.0.1");
    EXPECT_EQ(block.text(ParamLayout::kE1LocalIP, 16), "10.0.0.1");
}

TEST(ParamBlockFields, NumberedFamiliesAndOverlaysHaveTheirPlaces)
{
    EXPECT_EQ(findParamField("IO1")->offset, 757);
    EXPECT_EQ(findParamField("IO32")->offset, 788);
    EXPECT_EQ(findParamField("dwRes25")->offset, 930);
    EXPECT_EQ(findParamField("szRes9")->offset, 930);
    EXPECT_EQ(findParamField("szRes10")->offset, 946);
    EXPECT_EQ(findParamField("szRes8")->offset, 1074);
    EXPECT_EQ(findParamField("W1Cloud")->offset, findParamField("E1DOMAIN")->offset);
    EXPECT_FALSE(findParamField("IO33").has_value());
    for (const ParamField &f : paramFields())
        EXPECT_LE(f.offset + f.size, ParamLayout::kSize) << f.name;
}

TEST(ParamPayload, FormFollowsTheModelCode)
{
    ParamBlock block;
    block.setU8(ParamLayout::kQXMode, 255);
    EXPECT_EQ(block.payload().size(), 1092u);
    block.setU8(ParamLayout::kQXMode, 254);
    EXPECT_EQ(block.payload().size(), 108u);
    block.setU8(ParamLayout::kQXMode, 210);
    EXPECT_EQ(block.payload().size(), 108u);
    block.setU8(ParamLayout::kQXMode, 209);
    EXPECT_EQ(block.payload().size(), 1092u);
}

TEST(ParamPayload, RequestsCarryItInTheirSlotsAndLengths)
{
    const SlotRequest read = paramReadRequest(7);
    EXPECT_EQ(read.slot, kSlotReadParams);
    EXPECT_EQ(read.length, RequestLength::kRead);
    EXPECT_EQ(read.record.address(), 7);
    EXPECT_EQ(read.record.payloadLength(), 0);
    ParamBlock block;
    block.setU8(ParamLayout::kQXMode, 220);
    const SlotRequest write = paramWriteRequest(block, 7);
    EXPECT_EQ(write.slot, kSlotWriteParams);
    EXPECT_EQ(write.length, RequestLength::kWriteParams);
    EXPECT_EQ(write.record.address(), 7);
    ASSERT_EQ(write.record.payloadLength(), 108);
    EXPECT_EQ(std::memcmp(write.record.payload(), block.payload().data(), 108), 0);
}

TEST(ParamPayload, FullPayloadRoundTrips)
{
    ParamBlock block;
    for (std::size_t i = 0; i < ParamBlock::size(); ++i)
        block.data()[i] = static_cast<uint8_t>(i * 7 + 1);
    block.setU8(ParamLayout::kQXMode, 155);
    const std::vector<uint8_t> p = block.payload();
    PayloadResult r = acceptPayload(p.data(), p.size());
    ASSERT_EQ(r.status, PayloadStatus::Ok);
    EXPECT_FALSE(r.compact);
    EXPECT_EQ(r.block, block);
}

TEST(ParamPayload, CompactPayloadExpandsIntoZeroedBlock)
{
    ParamBlock block;
    for (std::size_t i = 0; i < ParamBlock::size(); ++i)
        block.data()[i] = 0xA5;
    block.setU8(ParamLayout::kQXMode, 230);
    block.setU8(ParamLayout::kQXAddr1, 9);
    block.setU32(ParamLayout::kDwIOReverse, 0x11223344);
    const std::vector<uint8_t> p = block.payload();
    ASSERT_EQ(p.size(), 108u);
    EXPECT_EQ(p[2], 9);
    EXPECT_EQ(p[5], 0xA5); // block byte 22 leads the second stretch
    PayloadResult r = acceptPayload(p.data(), p.size());
    ASSERT_EQ(r.status, PayloadStatus::Ok);
    EXPECT_TRUE(r.compact);
    EXPECT_EQ(r.block.u8(ParamLayout::kQXAddr1), 9);
    EXPECT_EQ(r.block.u32(ParamLayout::kDwIOReverse), 0x11223344u);
    EXPECT_EQ(r.block.u8(5), 0); // outside the stretches
    EXPECT_EQ(r.block.u8(ParamLayout::kE1LocalIP), 0);
    EXPECT_EQ(r.block.u8(ParamLayout::kByRes1), 0);
    EXPECT_EQ(r.block.compact(), block.compact());
}

TEST(ParamPayload, ShortBadAndOddPayloadsAreRefused)
{
    const uint8_t two[] = {0x12, 0x34};
    EXPECT_EQ(acceptPayload(two, 1).status, PayloadStatus::Incomplete);
    EXPECT_EQ(acceptPayload(two, 2).status, PayloadStatus::Incomplete);

    ParamBlock block;
    block.setU8(ParamLayout::kQXMode, 155);
    std::vector<uint8_t> p = block.payload();
    p[100] ^= 0x01;
    EXPECT_EQ(acceptPayload(p.data(), p.size()).status, PayloadStatus::BadChecksum);

    std::vector<uint8_t> odd(500, 0x3C);
    appendChecksumHighFirst(odd);
    EXPECT_EQ(acceptPayload(odd.data(), odd.size()).status, PayloadStatus::Incomplete);
}
