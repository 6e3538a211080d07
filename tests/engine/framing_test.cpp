// The CRC and the request frames as a module receives them.
#include <random>

#include <gtest/gtest.h>

#include "frame_builder.h"
#include "port_settings.h"
#include "test_frames.h"

namespace qx::test {
namespace {

// The CRC straight from its definition, bit by bit, to check the tables.
uint16_t bitwiseCrc(const uint8_t *data, std::size_t length)
{
    uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
    }
    return crc;
}

Bytes slotFrame(int32_t framing, int slot, const RequestRecord &record)
{
    Bytes out(ProtocolEngine::kTxCapacity, 0xEE);
    out.resize(buildSlotRequest(framing, slot, record.data(), out.data(), out.size()));
    return out;
}

RequestRecord request(uint8_t address, uint32_t start, uint32_t quantity)
{
    RequestRecord r;
    r.setMode(kModeCounted);
    r.setCounter(1);
    r.setAddress(address);
    r.setStart(start);
    r.setQuantity(quantity);
    return r;
}

TEST(Crc16, PublishedValueGoesLowByteFirst)
{
    Bytes frame {0x01, 0x03, 0x00, 0x00, 0x00, 0x01, 0, 0};
    appendCrcLowFirst(frame.data(), 6);
    EXPECT_EQ(frame, (Bytes {0x01, 0x03, 0x00, 0x00, 0x00, 0x01, 0x84, 0x0A}));
    EXPECT_EQ(crc16(frame.data(), 6), 0x0A84);
    EXPECT_TRUE(crcMatchesLowFirst(frame.data(), frame.size()));
}

TEST(Crc16, TablesAgreeWithBitwiseDefinition)
{
    std::mt19937 random(20231103);
    for (int round = 0; round < 500; ++round) {
        Bytes data(random() % 700);
        for (uint8_t &b : data)
            b = static_cast<uint8_t>(random());
        ASSERT_EQ(crc16(data.data(), data.size()), bitwiseCrc(data.data(), data.size()))
            << "length " << data.size();
    }
}

TEST(Crc16, CheckRejectsShortAndDamagedFrames)
{
    Bytes frame = rtu({0x01, 0x03, 0x02, 0x00, 0x2A});
    EXPECT_TRUE(crcMatchesLowFirst(frame.data(), frame.size()));
    frame[3] ^= 0x10;
    EXPECT_FALSE(crcMatchesLowFirst(frame.data(), frame.size()));
    const uint8_t two[] = {0xFF, 0xFF}; // the CRC of nothing, but no frame
    EXPECT_FALSE(crcMatchesLowFirst(two, 2));
}

TEST(RequestFrames, ReadHoldingRegistersInBothFramings)
{
    const RequestRecord r = request(1, 0, 8);
    EXPECT_EQ(slotFrame(kFramingRtu, kSlotReadHoldingRegisters, r),
              (Bytes {0x01, 0x03, 0x00, 0x00, 0x00, 0x08, 0x44, 0x0C}));
    EXPECT_EQ(slotFrame(kFramingTcp, kSlotReadHoldingRegisters, r),
              (Bytes {0x00, 0x00, 0x00, 0x00, 0x00, 0x06, 0x01, 0x03, 0x00, 0x00, 0x00, 0x08}));
}

TEST(RequestFrames, EachReadSlotSendsItsFunctionWithLow16BitFields)
{
    const RequestRecord r = request(7, 0x12345, 0x10018);
    const std::pair<int, uint8_t> kinds[] = {{kSlotReadInputs, 0x02},
                                             {kSlotReadCoils, 0x01},
                                             {kSlotReadInputRegisters, 0x04}};
    for (auto [slot, function] : kinds) {
        EXPECT_EQ(slotFrame(kFramingTcp, slot, r),
                  (Bytes {0, 0, 0, 0, 0x00, 0x06, 0x07, function, 0x23, 0x45, 0x00, 0x18}));
        EXPECT_EQ(slotFrame(kFramingRtu, slot, r), rtu({0x07, function, 0x23, 0x45, 0x00, 0x18}));
    }
}

TEST(RequestFrames, NoFieldRequests)
{
    const RequestRecord r = request(1, 0xFFFF, 0xFFFF);
    EXPECT_EQ(slotFrame(kFramingRtu, kSlotIdentity, r), (Bytes {0x01, 0x11, 0xC0, 0x2C}));
    EXPECT_EQ(slotFrame(kFramingTcp, kSlotIdentity, r), (Bytes {0, 0, 0, 0, 0x00, 0x02, 0x01, 0x11}));
    EXPECT_EQ(slotFrame(kFramingTcp, kSlotReadParams, r), (Bytes {0, 0, 0, 0, 0x00, 0x02, 0x01, 0x41}));
    EXPECT_EQ(slotFrame(kFramingRtu, kSlotReadParams, r), rtu({0x01, 0x41}));
}

TEST(RequestFrames, WriteCoilsByteCountFollowsQuantity)
{
    RequestRecord one = request(1, 5, 1);
    one.payload()[0] = 0x01;
    EXPECT_EQ(slotFrame(kFramingRtu, kSlotWriteCoils, one),
              (Bytes {0x01, 0x0F, 0x00, 0x05, 0x00, 0x01, 0x01, 0x01, 0x23, 0x57}));

    RequestRecord many = request(1, 0, 24);
    many.payload()[0] = 0xA5;
    many.payload()[1] = 0x0F;
    many.payload()[2] = 0xF0;
    many.payload()[3] = 0x99; // beyond the three bytes that 24 coils need
    EXPECT_EQ(slotFrame(kFramingRtu, kSlotWriteCoils, many),
              rtu({0x01, 0x0F, 0x00, 0x00, 0x00, 0x18, 0x03, 0xA5, 0x0F, 0xF0}));
    EXPECT_EQ(slotFrame(kFramingTcp, kSlotWriteCoils, many),
              (Bytes {0, 0, 0, 0, 0x00, 0x0A, 0x01, 0x0F, 0x00, 0x00, 0x00, 0x18, 0x03, 0xA5, 0x0F, 0xF0}));

    // 2000 coils take 250 bytes: the MBAP length needs its high byte
    const Bytes wide = slotFrame(kFramingTcp, kSlotWriteCoils, request(1, 0, 2000));
    ASSERT_EQ(wide.size(), 263u);
    EXPECT_EQ(getU16be(wide.data(), 4), 257);
    EXPECT_EQ(wide[12], 250);
    EXPECT_EQ(slotFrame(kFramingRtu, kSlotWriteCoils, request(1, 0, 2040)).size(), 255u + 9);
    EXPECT_TRUE(slotFrame(kFramingRtu, kSlotWriteCoils, request(1, 0, 2041)).empty());
    // no coils still carries one byte
    EXPECT_EQ(slotFrame(kFramingRtu, kSlotWriteCoils, request(1, 0, 0)).at(6), 1);
}

TEST(RequestFrames, WriteRegistersCarryBigEndianValues)
{
    RequestRecord r = request(1, 0x10, 3);
    const uint8_t values[] = {0x00, 0x01, 0x12, 0x34, 0xFF, 0xFE};
    std::copy(std::begin(values), std::end(values), r.payload());
    const Bytes rtuFrame = slotFrame(kFramingRtu, kSlotWriteRegisters, r);
    EXPECT_EQ(rtuFrame, rtu({0x01, 0x10, 0x00, 0x10, 0x00, 0x03, 0x06, 0x00, 0x01, 0x12, 0x34, 0xFF, 0xFE}));
    EXPECT_EQ(rtuFrame.size(), 15u);
    EXPECT_EQ(slotFrame(kFramingTcp, kSlotWriteRegisters, r),
              (Bytes {0, 0, 0, 0, 0x00, 13, 0x01, 0x10, 0x00, 0x10, 0x00, 0x03, 0x06, 0x00, 0x01, 0x12, 0x34, 0xFF,
                      0xFE}));
}

TEST(RequestFrames, WriteRegistersBeyond124AreNotSentMalformed)
{
    const Bytes largest = slotFrame(kFramingTcp, kSlotWriteRegisters, request(1, 0, 124));
    ASSERT_EQ(largest.size(), 248u + 13);
    EXPECT_EQ(largest[5], 255);
    EXPECT_EQ(largest[12], 248);
    // 125 registers would announce 257 & 0xFF = 1 byte in the header
    EXPECT_TRUE(slotFrame(kFramingTcp, kSlotWriteRegisters, request(1, 0, 125)).empty());
    EXPECT_TRUE(slotFrame(kFramingRtu, kSlotWriteRegisters, request(1, 0, 1000)).empty());
}

TEST(RequestFrames, TransferPacketOf1028Bytes)
{
    Bytes payload(1028);
    for (std::size_t i = 0; i < payload.size(); ++i)
        payload[i] = static_cast<uint8_t>(i * 7);
    const RequestRecord r = transferRequest(payload, 3);
    EXPECT_EQ(r.mode(), kModeCounted);
    EXPECT_EQ(r.counter(), 1);
    EXPECT_EQ(r.subStation(), 0);
    EXPECT_EQ(r.start(), 0xFFFFu);
    EXPECT_EQ(r.quantity(), 0xFFFFu);
    EXPECT_EQ(r.payloadLength(), 1028);

    const Bytes rtuFrame = slotFrame(kFramingRtu, kSlotFirmwarePacket, r);
    ASSERT_EQ(rtuFrame.size(), 1032u);
    EXPECT_EQ(rtuFrame[0], 3);
    EXPECT_EQ(rtuFrame[1], 0x44);
    EXPECT_TRUE(std::equal(payload.begin(), payload.end(), rtuFrame.begin() + 2));
    EXPECT_TRUE(crcMatchesLowFirst(rtuFrame.data(), rtuFrame.size()));

    const Bytes tcpFrame = slotFrame(kFramingTcp, kSlotBiosPacket, r);
    ASSERT_EQ(tcpFrame.size(), 1036u);
    EXPECT_EQ(Bytes(tcpFrame.begin(), tcpFrame.begin() + 8), (Bytes {0, 0, 0, 0, 0x04, 0x06, 0x03, 0x43}));
    EXPECT_TRUE(std::equal(payload.begin(), payload.end(), tcpFrame.begin() + 8));

    EXPECT_EQ(slotFrame(kFramingTcp, kSlotWriteParams, r)[7], 0x42);
    EXPECT_EQ(slotFrame(kFramingTcp, kSlotPlcPacket, r)[7], 0x46);
}

TEST(RequestFrames, PayloadLengthOutsideThePayloadFieldBuildsNothing)
{
    // Reading 1281 or more bytes would take the reserved bytes, or those of
    // the next slot, for payload.
    RequestRecord r = request(1, 0, 0);
    r.setPayloadLength(1281);
    EXPECT_TRUE(slotFrame(kFramingRtu, kSlotWriteParams, r).empty());
    r.setPayloadLength(-1);
    EXPECT_TRUE(slotFrame(kFramingTcp, kSlotPlcPacket, r).empty());
    r.setPayloadLength(1280);
    EXPECT_EQ(slotFrame(kFramingTcp, kSlotPlcPacket, r).size(), 1288u);
}

TEST(RequestFrames, NothingWrittenWithoutRoomOrKnownFraming)
{
    Bytes out(11, 0xEE);
    EXPECT_EQ(buildReadRequest(kFramingTcp, 1, 3, 0, 8, out.data(), out.size()), 0u);
    EXPECT_EQ(out, Bytes(11, 0xEE));
    EXPECT_EQ(buildReadRequest(kFramingRtu, 1, 3, 0, 8, out.data(), 8), 8u);
    EXPECT_TRUE(slotFrame(2, kSlotReadHoldingRegisters, request(1, 0, 8)).empty());
    EXPECT_TRUE(slotFrame(-1, kSlotIdentity, request(1, 0, 8)).empty());
    EXPECT_TRUE(slotFrame(kFramingRtu, 1, request(1, 0, 8)).empty());
}

} // namespace
} // namespace qx::test
