// Cutting responses out of the received bytes and the records the host reads.
#include <gtest/gtest.h>

#include "event_codes.h"
#include "port_settings.h"
#include "test_frames.h"

namespace qx::test {
namespace {

Bytes recordBytes(const ProtocolEngine::Event &event, std::size_t from, std::size_t n)
{
    return Bytes(bytesOf(event) + from, bytesOf(event) + from + n);
}

int32_t registerLength(const ProtocolEngine::Event &event)
{
    return getI32le(bytesOf(event), RegisterRecordLayout::kLength);
}

TEST(TcpFraming, PartialFrameWaits)
{
    ProtocolEngine engine(kFramingTcp);
    ASSERT_TRUE(feed(engine, {0x00, 0x00, 0x00, 0x00, 0x00, 0x07, 0x01, 0x03}));
    EXPECT_EQ(engine.decode().data, nullptr);
    EXPECT_EQ(engine.frameLength(), 0u);
    EXPECT_EQ(engine.receivedCount(), 8u);
    ASSERT_TRUE(feed(engine, {0x04, 0x00, 0x2A, 0x01}));
    EXPECT_EQ(engine.decode().data, nullptr);
    ASSERT_TRUE(feed(engine, {0x00}));

    const auto event = engine.decode();
    ASSERT_NE(event.data, nullptr);
    EXPECT_EQ(event.code, kEventHoldingRegisters);
    EXPECT_EQ(registerLength(event), 4);
    EXPECT_EQ(recordBytes(event, RegisterRecordLayout::kData, 4), (Bytes {0x00, 0x2A, 0x01, 0x00}));
    EXPECT_EQ(engine.frameLength(), 13u);
    EXPECT_EQ(engine.receivedCount(), 0u);
}

TEST(TcpFraming, FrameAfterAFrameInTheSameReadIsDecodedNext)
{
    // a status report and an answer arriving in one read
    ProtocolEngine engine(kFramingTcp);
    const Bytes report = tcp({0x01, 0x45, 0x02, 0x01, 0x05});
    const Bytes answer = tcp({0x01, 0x02, 0x01, 0x07});
    const Bytes partial = {0x00, 0x00, 0x00, 0x00, 0x00};
    EXPECT_FALSE(engine.frameWaiting());
    ASSERT_TRUE(feed(engine, concat({report, answer, partial})));
    EXPECT_TRUE(engine.frameWaiting());
    auto event = engine.decode();
    EXPECT_EQ(event.code, kEventStatusReport);
    EXPECT_EQ(Bytes(engine.frame(), engine.frame() + engine.frameLength()), report);
    EXPECT_EQ(engine.receivedCount(), answer.size() + partial.size());
    EXPECT_TRUE(engine.frameWaiting());

    event = engine.decode();
    EXPECT_EQ(event.code, kEventInputs);
    EXPECT_EQ(bytesOf(event)[BitRecordLayout::kData], 0x07);
    EXPECT_EQ(Bytes(engine.frame(), engine.frame() + engine.frameLength()), answer);
    // the start of a third frame waits for the rest
    EXPECT_FALSE(engine.frameWaiting());
    EXPECT_EQ(engine.decode().data, nullptr);
    EXPECT_EQ(engine.receivedCount(), partial.size());
}

TEST(TcpFraming, MalformedHeaderDropsEverything)
{
    ProtocolEngine engine(kFramingTcp);
    Bytes wrongProtocol = tcp({0x01, 0x03, 0x02, 0x00, 0x2A});
    wrongProtocol[3] = 0x01;
    const Bytes headers[] = {wrongProtocol,
                             {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x03},
                             {0x00, 0x00, 0x00, 0x00, 0x0F, 0xFB, 0x01, 0x03}}; // 4091
    for (const Bytes &bytes : headers) {
        ASSERT_TRUE(feed(engine, bytes));
        EXPECT_EQ(engine.decode().data, nullptr);
        EXPECT_EQ(engine.receivedCount(), 0u);
        EXPECT_EQ(engine.frameLength(), 0u);
    }
}

TEST(TcpFraming, HeaderOfSixBytesWaits)
{
    ProtocolEngine engine(kFramingTcp);
    ASSERT_TRUE(feed(engine, {0x00, 0x00, 0x00, 0x01, 0x00, 0x00}));
    EXPECT_EQ(engine.decode().data, nullptr);
    EXPECT_EQ(engine.receivedCount(), 6u);
}

TEST(TcpFraming, LargestFrameFillsTheReceiveBufferAndIsKeptWhole)
{
    ProtocolEngine engine(kFramingTcp);
    Bytes pdu(4090, 0x77);
    pdu[0] = 0x01;
    pdu[1] = 0x65; // no function of ours: event 1
    const Bytes frame = tcp(pdu);
    ASSERT_EQ(frame.size(), ProtocolEngine::kRxCapacity);
    ASSERT_TRUE(feed(engine, frame));
    EXPECT_FALSE(feed(engine, {0x00}));
    const auto event = engine.decode();
    EXPECT_EQ(event.code, kEventOther);
    ASSERT_EQ(engine.frameLength(), 4096u);
    EXPECT_EQ(Bytes(engine.frame(), engine.frame() + 4096), frame);
}

TEST(RtuFraming, HoldingRegistersAtTheRecordOffsets)
{
    ProtocolEngine engine(kFramingRtu);
    ASSERT_TRUE(feed(engine, rtu({0x01, 0x03, 0x02, 0x00, 0x2A})));
    const auto event = engine.decode();
    ASSERT_NE(event.data, nullptr);
    EXPECT_EQ(event.code, kEventHoldingRegisters);
    EXPECT_EQ(recordBytes(event, 16, 6), (Bytes {0x02, 0x00, 0x00, 0x00, 0x00, 0x2A}));
    EXPECT_EQ(engine.frameLength(), 7u);
}

TEST(RtuFraming, NoiseIsKeptUpToSevenBytes)
{
    ProtocolEngine engine(kFramingRtu);
    ASSERT_TRUE(feed(engine, {0x11, 0x22, 0x33, 0x44, 0x55}));
    EXPECT_EQ(engine.decode().data, nullptr);
    EXPECT_EQ(engine.receivedCount(), 5u);
    ASSERT_TRUE(feed(engine, {0x66, 0x77, 0x88, 0x99}));
    EXPECT_EQ(engine.decode().data, nullptr);
    EXPECT_EQ(engine.receivedCount(), 0u);
}

TEST(RtuFraming, ResponseSplitAcrossReadsIsDecodedWhenComplete)
{
    ProtocolEngine engine(kFramingRtu);
    const Bytes frame = rtu({0x01, 0x02, 0x03, 0xFF, 0x00, 0x81});
    ASSERT_TRUE(engine.append(frame.data(), 4));
    EXPECT_EQ(engine.decode().data, nullptr);
    ASSERT_TRUE(engine.append(frame.data() + 4, frame.size() - 4));
    const auto event = engine.decode();
    EXPECT_EQ(event.code, kEventInputs);
    EXPECT_EQ(recordBytes(event, BitRecordLayout::kData, 3), (Bytes {0xFF, 0x00, 0x81}));
    // the count tells a short answer from one with all the bits asked for
    EXPECT_EQ(recordBytes(event, BitRecordLayout::kCount, 1), (Bytes {3}));
}

TEST(Responses, ExceptionIsEventOne)
{
    ProtocolEngine rtuEngine(kFramingRtu);
    ASSERT_TRUE(feed(rtuEngine, rtu({0x01, 0x83, 0x02})));
    const auto event = rtuEngine.decode();
    EXPECT_EQ(event.code, kEventOther);
    EXPECT_NE(event.data, nullptr);

    ProtocolEngine tcpEngine(kFramingTcp);
    ASSERT_TRUE(feed(tcpEngine, tcp({0x01, 0x90, 0x04})));
    EXPECT_EQ(tcpEngine.decode().code, kEventOther);
}

TEST(Responses, WriteAcknowledgementsCarryEmptyRecords)
{
    ProtocolEngine engine(kFramingRtu);
    ASSERT_TRUE(feed(engine, rtu({0x01, 0x0F, 0x00, 0x00, 0x00, 0x18})));
    EXPECT_EQ(engine.decode().code, kEventCoilsWritten);
    ASSERT_TRUE(feed(engine, rtu({0x01, 0x05, 0x00, 0x00, 0xFF, 0x00})));
    EXPECT_EQ(engine.decode().code, kEventCoilsWritten);
    ASSERT_TRUE(feed(engine, rtu({0x01, 0x10, 0x00, 0x00, 0x00, 0x03})));
    EXPECT_EQ(engine.decode().code, kEventRegistersWritten);
}

TEST(Responses, WriteSingleRegisterIsConsumedWithoutEventOrLog)
{
    for (int32_t framing : {kFramingRtu, kFramingTcp}) {
        ProtocolEngine engine(framing);
        const Bytes pdu {0x01, 0x06, 0x00, 0x01, 0x00, 0x03};
        ASSERT_TRUE(feed(engine, framing == kFramingRtu ? rtu(pdu) : tcp(pdu)));
        EXPECT_EQ(engine.decode().data, nullptr);
        EXPECT_EQ(engine.frameLength(), 0u); // nothing for the receive log
        EXPECT_EQ(engine.receivedCount(), 0u);
    }
}

TEST(Responses, BitRecordsAreKeptApart)
{
    ProtocolEngine engine(kFramingTcp);
    ASSERT_TRUE(feed(engine, tcp({0x01, 0x01, 0x02, 0xAA, 0x55})));
    const auto coils = engine.decode();
    ASSERT_TRUE(feed(engine, tcp({0x01, 0x02, 0x02, 0x0F, 0xF0})));
    const auto inputs = engine.decode();
    EXPECT_EQ(coils.code, kEventCoils);
    EXPECT_EQ(inputs.code, kEventInputs);
    EXPECT_NE(coils.data, inputs.data);
    EXPECT_EQ(recordBytes(coils, 13, 2), (Bytes {0xAA, 0x55}));
    EXPECT_EQ(recordBytes(inputs, 13, 2), (Bytes {0x0F, 0xF0}));
}

TEST(Responses, CountBeyondTheFrameNeverShowsStaleBytes)
{
    ProtocolEngine engine(kFramingRtu);
    ASSERT_TRUE(feed(engine, rtu({0x01, 0x04, 0x04, 0x11, 0x22, 0x33, 0x44})));
    engine.decode();
    // announces 200 bytes, brings 1: no CRC byte or older frame byte leaks
    ASSERT_TRUE(feed(engine, rtu({0x01, 0x04, 0xC8, 0x99})));
    const auto event = engine.decode();
    EXPECT_EQ(event.code, kEventInputRegisters);
    EXPECT_EQ(registerLength(event), 200);
    EXPECT_EQ(recordBytes(event, 20, 5), (Bytes {0x99, 0x00, 0x00, 0x00, 0x00}));
}

TEST(Responses, ParameterBlockInBothFramings)
{
    Bytes data(1090);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(i);

    ProtocolEngine rtuEngine(kFramingRtu);
    ASSERT_TRUE(feed(rtuEngine, rtu(concat({{0x01, 0x41}, data}))));
    const auto event = rtuEngine.decode();
    EXPECT_EQ(event.code, kEventParamsRead);
    EXPECT_EQ(registerLength(event), 1090);
    EXPECT_EQ(recordBytes(event, 20, 1090), data);

    ProtocolEngine tcpEngine(kFramingTcp);
    ASSERT_TRUE(feed(tcpEngine, tcp(concat({{0x01, 0x41}, data}))));
    const auto tcpEvent = tcpEngine.decode();
    EXPECT_EQ(registerLength(tcpEvent), 1090);
    EXPECT_EQ(recordBytes(tcpEvent, 20, 1090), data);
}

TEST(Responses, ParameterBlockLongerThan1280KeepsThePreviousContent)
{
    ProtocolEngine engine(kFramingRtu);
    ASSERT_TRUE(feed(engine, rtu({0x01, 0x41, 0xDE, 0xAD})));
    const auto first = engine.decode();
    const Bytes before = recordBytes(first, 0, RegisterRecordLayout::kParamSize);
    EXPECT_EQ(registerLength(first), 2);

    ASSERT_TRUE(feed(engine, rtu(concat({{0x01, 0x41}, Bytes(1278, 0x33)})))); // 1282 bytes
    const auto second = engine.decode();
    EXPECT_EQ(second.code, kEventParamsRead);
    EXPECT_EQ(recordBytes(second, 0, RegisterRecordLayout::kParamSize), before);
}

TEST(Responses, StatusReportInTcpFraming)
{
    ProtocolEngine engine(kFramingTcp);
    ASSERT_TRUE(feed(engine, tcp({0x01, 0x45, 0x04, 0x70, 0x01, 0x02, 0x03})));
    const auto event = engine.decode();
    EXPECT_EQ(event.code, kEventStatusReport);
    EXPECT_EQ(registerLength(event), 4);
    EXPECT_EQ(recordBytes(event, 20, 4), (Bytes {0x70, 0x01, 0x02, 0x03}));
}

TEST(Responses, TransferAcknowledgements)
{
    ProtocolEngine engine(kFramingRtu);
    ASSERT_TRUE(feed(engine, rtu({0x01, 0x42, 0x00})));
    const auto params = engine.decode();
    EXPECT_EQ(params.code, kEventParamsWritten);
    EXPECT_EQ(bytesOf(params)[TransferReplyLayout::kStatus], 0x00);

    ASSERT_TRUE(feed(engine, rtu({0x01, 0x43, 0x01, 0x00, 0x7F})));
    const auto bios = engine.decode();
    EXPECT_EQ(bios.code, kEventBiosPacket);
    EXPECT_EQ(bytesOf(bios)[12], 0x01);
    EXPECT_EQ(getI32le(bytesOf(bios), 16), 127);

    ASSERT_TRUE(feed(engine, rtu({0x01, 0x44, 0x00, 0x01, 0x02})));
    const auto firmware = engine.decode();
    EXPECT_EQ(firmware.code, kEventFirmwarePacket);
    EXPECT_EQ(getI32le(bytesOf(firmware), 16), 258);
    EXPECT_NE(firmware.data, bios.data);
}

TEST(Responses, PlcAcknowledgementInRtuFramingHolds32Bytes)
{
    ProtocolEngine engine(kFramingRtu);
    Bytes ack {0x01, 0x46, 0x00, 0x02, 0x05, 0x00, 0x40, 0x00, 0x40};
    ack.resize(2 + 32, 0xC3);
    ASSERT_TRUE(feed(engine, rtu(ack)));
    const auto event = engine.decode();
    EXPECT_EQ(event.code, kEventPlcPacket);
    EXPECT_EQ(bytesOf(event)[12], 0x00);
    EXPECT_EQ(getI32le(bytesOf(event), 16), 32);
    EXPECT_EQ(recordBytes(event, 20, 32), Bytes(ack.begin() + 2, ack.end()));

    // a shorter acknowledgement: the CRC is not taken for data
    ASSERT_TRUE(feed(engine, rtu({0x01, 0x46, 0x01, 0x03})));
    const auto shortAck = engine.decode();
    EXPECT_EQ(getI32le(bytesOf(shortAck), 16), 32);
    EXPECT_EQ(recordBytes(shortAck, 20, 4), (Bytes {0x01, 0x03, 0x00, 0x00}));
}

TEST(Responses, PlcAcknowledgementInTcpFramingTakesTheHeaderLength)
{
    ProtocolEngine engine(kFramingTcp);
    ASSERT_TRUE(feed(engine, tcp({0x01, 0x46, 0x00, 0x02, 0x05, 0x00, 0x40, 0x00, 0x40})));
    const auto event = engine.decode();
    EXPECT_EQ(event.code, kEventPlcPacket);
    EXPECT_EQ(getI32le(bytesOf(event), 16), 7);
    EXPECT_EQ(recordBytes(event, 20, 7), (Bytes {0x00, 0x02, 0x05, 0x00, 0x40, 0x00, 0x40}));
}

TEST(ReceiveBuffer, AppendNeverOverfillsAndClearReceiveDrops)
{
    ProtocolEngine engine(kFramingRtu);
    ASSERT_TRUE(engine.append(Bytes(4000, 0).data(), 4000));
    EXPECT_FALSE(engine.append(Bytes(97, 0).data(), 97));
    EXPECT_EQ(engine.receivedCount(), 4000u);
    EXPECT_TRUE(engine.append(Bytes(96, 0).data(), 96));
    engine.clearReceive();
    EXPECT_EQ(engine.receivedCount(), 0u);
    ASSERT_TRUE(feed(engine, rtu({0x01, 0x03, 0x02, 0x00, 0x2A})));
    EXPECT_EQ(engine.decode().code, kEventHoldingRegisters);
}

} // namespace
} // namespace qx::test
