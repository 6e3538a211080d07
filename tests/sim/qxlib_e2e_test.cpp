// QXLIB driven through its exports against the running qxsim: identity,
// parameter block round trip and PLC packets, in TCP framing (TCP client
// transport) and in RTU framing (serial transport on qxsim's pty).
#include <gtest/gtest.h>

#include <algorithm>

#include "byte_io.h"
#include "connection_event.h"
#include "event_codes.h"
#include "identity_record.h"
#include "param_block.h"
#include "qxlib.h"
#include "qxlib_harness.h"
#include "qxsim_process.h"
#include "request_record.h"
#include "response_records.h"
#include "transfer_packet_layout.h"

using namespace qxtest;

namespace {

// The record of the n-th event with `code` (1-based), empty after the wait
// limit.
Bytes waitRecord(int32_t code, std::size_t n = 1)
{
    return EventLog::instance().waitForEvent(code, n).data;
}

std::string textAt(const Bytes &record, std::size_t off)
{
    return std::string(reinterpret_cast<const char *>(record.data() + off));
}

class QxlibAgainstQxsim : public ::testing::TestWithParam<bool>
{
protected:
    void SetUp() override
    {
        EventLog::instance().clear();
        const bool rtu = GetParam();
        std::vector<std::string> args = rtu ? std::vector<std::string> {"--pty"}
                                            : std::vector<std::string> {"--tcp", "0"};
        for (const std::string &a : extraArgs())
            args.push_back(a);
        sim = std::make_unique<QxsimProcess>(args);
        ASSERT_FALSE(sim->lines().empty());
        const PortSettings settings = rtu ? serialSettings(sim->ptyPath(), 115200)
                                          : tcpClientSettings(static_cast<uint16_t>(sim->port("listening tcp")));
        ASSERT_EQ(DLL_API_OBJ_CREATE(settings, &EventLog::callback, &handle), 0);
        ASSERT_EQ(DLL_API_OBJ_RUN(handle), 0);
        if (!rtu) {
            ASSERT_TRUE(EventLog::instance().waitForState(qx::kStateRunning));
        }
    }
    virtual std::vector<std::string> extraArgs() const { return {}; }
    void TearDown() override
    {
        resetLibrary();
        handle = 0;
        sim.reset();
    }
    void put(int slot, const qx::RequestRecord &r, int length)
    {
        ASSERT_EQ(DLL_API_OBJ_CMD(handle, slot, r.data(), length), 0);
    }
    static qx::RequestRecord counted(uint8_t address)
    {
        qx::RequestRecord r;
        r.setMode(qx::kModeCounted);
        r.setCounter(1);
        r.setAddress(address);
        r.setStart(0xFFFF);
        r.setQuantity(0xFFFF);
        return r;
    }
    Bytes readParams(std::size_t n)
    {
        DLL_API_OBJ_RXBUFF_CLR(handle);
        put(qx::kSlotReadParams, counted(1), qx::RequestLength::kRead);
        const Bytes e = waitRecord(qx::kEventParamsRead, n);
        if (e.empty())
            return e;
        const int32_t length = qx::getI32le(e.data(), qx::RegisterRecordLayout::kLength);
        return Bytes(e.begin() + qx::RegisterRecordLayout::kData,
                     e.begin() + qx::RegisterRecordLayout::kData + length);
    }

    // A firmware part of kind 0x43 or 0x44, acknowledged with event 16 or 17.
    Bytes sendPart(int slot, uint16_t index, int32_t code, std::size_t n)
    {
        Bytes part(qx::FirmwarePartLayout::kChecksum, static_cast<uint8_t>(index));
        qx::putU16be(part.data(), qx::FirmwarePartLayout::kPartIndex, index);
        qx::appendChecksumHighFirst(part);
        qx::RequestRecord r = counted(1);
        r.setPayload(part.data(), part.size());
        DLL_API_OBJ_RXBUFF_CLR(handle);
        put(slot, r, qx::RequestLength::kTransferPacket);
        return waitRecord(code, n);
    }

    std::unique_ptr<QxsimProcess> sim;
    intptr_t handle = 0;
};

class QxlibAgainstFaultyQxsim : public QxlibAgainstQxsim
{
protected:
    std::vector<std::string> extraArgs() const override { return {"--refuse-part", "2", "--report-ms", "100"}; }
};

// Every fifth request unanswered, every seventh answer broken: a wrong CRC
// (RTU) or protocol identifier (TCP).
class QxlibAgainstLossyQxsim : public QxlibAgainstQxsim
{
protected:
    std::vector<std::string> extraArgs() const override { return {"--drop-every", "5", "--corrupt-every", "7"}; }
};

} // namespace

TEST_P(QxlibAgainstQxsim, IdentityIsDecodedIntoTheRecord)
{
    qx::RequestRecord r;
    r.setMode(qx::kModeRepeat);
    r.setAddress(1);
    put(qx::kSlotIdentity, r, qx::RequestLength::kIdentity);
    const Bytes id = waitRecord(qx::kEventIdentity);
    ASSERT_EQ(id.size(), qx::IdentityLayout::kSize);
    r.setMode(qx::kModeIdle);
    put(qx::kSlotIdentity, r, qx::RequestLength::kIdentity);
    EXPECT_EQ(textAt(id, qx::IdentityLayout::kDriverVersion), "Ver2.1");
    EXPECT_EQ(textAt(id, qx::IdentityLayout::kFirmwareVersion), "Ver7.6");
    EXPECT_EQ(id[qx::IdentityLayout::kSeries], 5);
    EXPECT_EQ(textAt(id, qx::IdentityLayout::kModelName), "QXP_4488_ETH");
    EXPECT_EQ(textAt(id, qx::IdentityLayout::kSerialNumber), "20245170000155");
    EXPECT_EQ(textAt(id, qx::IdentityLayout::kFactoryDate), "2024-5-17");
}

TEST_P(QxlibAgainstQxsim, ParameterBlockRoundTrip)
{
    const Bytes first = readParams(1);
    ASSERT_EQ(first.size(), 1092u);
    qx::PayloadResult r = qx::acceptPayload(first.data(), first.size());
    ASSERT_EQ(r.status, qx::PayloadStatus::Ok);
    EXPECT_EQ(r.block.u8(qx::ParamLayout::kQXMode), 155);

    r.block.setText(qx::ParamLayout::kE1RemoteIP1, 16, "172.16.5.9");
    r.block.setU16(qx::ParamLayout::kE1RemotePort1, 4321);
    const Bytes payload = r.block.payload();
    qx::RequestRecord w = counted(1);
    w.setPayload(payload.data(), payload.size());
    DLL_API_OBJ_RXBUFF_CLR(handle);
    put(qx::kSlotWriteParams, w, qx::RequestLength::kWriteParams);
    const Bytes ack = waitRecord(qx::kEventParamsWritten);
    ASSERT_FALSE(ack.empty());
    EXPECT_EQ(ack[qx::TransferReplyLayout::kStatus], 1);

    const Bytes second = readParams(2);
    ASSERT_EQ(second.size(), 1092u);
    qx::PayloadResult again = qx::acceptPayload(second.data(), second.size());
    ASSERT_EQ(again.status, qx::PayloadStatus::Ok);
    EXPECT_EQ(again.block, r.block);
    EXPECT_EQ(again.block.text(qx::ParamLayout::kE1RemoteIP1, 16), "172.16.5.9");
}

TEST_P(QxlibAgainstQxsim, PlcPacketIsAcknowledgedWithItsFieldsEchoed)
{
    Bytes packet = {qx::EplcPacketLayout::kModeData, 4, 0x00, 0x40, 0x00, 0x08, 1, 2, 3, 4, 5, 6, 7, 8};
    qx::appendChecksumHighFirst(packet);
    qx::RequestRecord r = counted(1);
    r.setPayload(packet.data(), packet.size());
    DLL_API_OBJ_RXBUFF_CLR(handle);
    put(qx::kSlotPlcPacket, r, qx::RequestLength::kTransferPacket);
    const Bytes ack = waitRecord(qx::kEventPlcPacket);
    ASSERT_FALSE(ack.empty());
    EXPECT_EQ(ack[qx::TransferReplyLayout::kStatus], qx::EplcReplyLayout::kStatusOk);
    EXPECT_EQ(qx::getI32le(ack.data(), qx::TransferReplyLayout::kValue), 32);
    const uint8_t *d = ack.data() + qx::TransferReplyLayout::kData;
    EXPECT_EQ(d[qx::EplcReplyLayout::kMode], qx::EplcPacketLayout::kModeData);
    EXPECT_EQ(d[qx::EplcReplyLayout::kBlock], 4);
    EXPECT_EQ(qx::getU16be(d, qx::EplcReplyLayout::kOffset), 0x40);
    EXPECT_EQ(qx::getU16be(d, qx::EplcReplyLayout::kLength), 8);
}

TEST_P(QxlibAgainstQxsim, FirmwarePartsAreAcknowledgedWithTheirIndex)
{
    for (uint16_t index = 0; index < 3; ++index) {
        const Bytes ack = sendPart(qx::kSlotFirmwarePacket, index, qx::kEventFirmwarePacket, index + 1u);
        ASSERT_FALSE(ack.empty()) << index;
        EXPECT_EQ(ack[qx::TransferReplyLayout::kStatus], qx::FirmwareReplyLayout::kStatusStored);
        EXPECT_EQ(qx::getI32le(ack.data(), qx::TransferReplyLayout::kValue), index);
    }
}

TEST_P(QxlibAgainstFaultyQxsim, RefusedPartIsStoredWhenSentAgain)
{
    for (uint16_t index = 0; index < 2; ++index)
        ASSERT_EQ(sendPart(qx::kSlotBiosPacket, index, qx::kEventBiosPacket, index + 1u)[qx::TransferReplyLayout::kStatus], 1);
    Bytes ack = sendPart(qx::kSlotBiosPacket, 2, qx::kEventBiosPacket, 3);
    ASSERT_FALSE(ack.empty());
    EXPECT_EQ(ack[qx::TransferReplyLayout::kStatus], qx::FirmwareReplyLayout::kStatusRefused);
    EXPECT_EQ(qx::getI32le(ack.data(), qx::TransferReplyLayout::kValue), 2);
    ack = sendPart(qx::kSlotBiosPacket, 2, qx::kEventBiosPacket, 4);
    ASSERT_FALSE(ack.empty());
    EXPECT_EQ(ack[qx::TransferReplyLayout::kStatus], qx::FirmwareReplyLayout::kStatusStored);
}

TEST_P(QxlibAgainstFaultyQxsim, StatusReportsArriveAsEvent19)
{
    // on a serial line the module reports once a host has spoken
    qx::RequestRecord r;
    r.setMode(qx::kModeCounted);
    r.setCounter(1);
    r.setAddress(1);
    put(qx::kSlotIdentity, r, qx::RequestLength::kIdentity);
    ASSERT_FALSE(waitRecord(qx::kEventIdentity).empty());
    const Bytes report = waitRecord(qx::kEventStatusReport);
    ASSERT_FALSE(report.empty());
    EXPECT_EQ(qx::getI32le(report.data(), qx::RegisterRecordLayout::kLength), 185);
    EXPECT_EQ(report[qx::RegisterRecordLayout::kData], 0x7F);
}

// A poll goes on past lost and broken answers, and every answer delivered
// is a whole one: 15 answers take 21 requests, the 5th, 10th, 15th and 20th
// of them unanswered, the 7th and 14th answer broken.
TEST_P(QxlibAgainstLossyQxsim, PollingGoesOnThroughLostAndBrokenAnswers)
{
    put(qx::kSlotReadHoldingRegisters, readRequest(qx::kModeRepeat, 1, 0, 4), qx::RequestLength::kRead);
    const auto answers = [](const std::vector<RecordedEvent> &events) {
        return std::count_if(events.begin(), events.end(),
                             [](const RecordedEvent &e) { return e.code == qx::kEventHoldingRegisters; });
    };
    EXPECT_TRUE(EventLog::instance().waitFor([&](const auto &events) { return answers(events) >= 15; }, 60s));
    put(qx::kSlotReadHoldingRegisters, readRequest(qx::kModeIdle, 1, 0, 4), qx::RequestLength::kRead);
    const std::vector<RecordedEvent> read = EventLog::instance().events(qx::kEventHoldingRegisters);
    ASSERT_FALSE(read.empty());
    for (const RecordedEvent &e : read)
        EXPECT_EQ(registerData(e), registerData(read.front()));
    EXPECT_EQ(registerData(read.front()).size(), 8u);
}

TEST(QxlibTcpServer, QxsimConnectsAndAnswersTheIdentity)
{
    EventLog::instance().clear();
    const uint16_t port = freePort(SOCK_STREAM);
    intptr_t handle = 0;
    ASSERT_EQ(DLL_API_OBJ_CREATE(tcpServerSettings(port), &EventLog::callback, &handle), 0);
    ASSERT_EQ(DLL_API_OBJ_RUN(handle), 0);
    QxsimProcess sim({"--connect", "127.0.0.1:" + std::to_string(port), "--unit", "8"});
    EXPECT_TRUE(EventLog::instance().waitForState(qx::kStatePeerConnected));
    qx::RequestRecord r;
    r.setMode(qx::kModeRepeat);
    r.setAddress(8);
    ASSERT_EQ(DLL_API_OBJ_CMD(handle, qx::kSlotIdentity, r.data(), qx::RequestLength::kIdentity), 0);
    const Bytes id = waitRecord(qx::kEventIdentity);
    ASSERT_FALSE(id.empty());
    EXPECT_EQ(textAt(id, qx::IdentityLayout::kModelName), "QXP_4488_ETH");
    resetLibrary();
}

INSTANTIATE_TEST_SUITE_P(Framing, QxlibAgainstLossyQxsim, ::testing::Values(false, true),
                         [](const auto &info) { return info.param ? "Rtu" : "Tcp"; });

INSTANTIATE_TEST_SUITE_P(Framing, QxlibAgainstFaultyQxsim, ::testing::Values(false, true),
                         [](const auto &info) { return info.param ? "Rtu" : "Tcp"; });

INSTANTIATE_TEST_SUITE_P(Framing, QxlibAgainstQxsim, ::testing::Values(false, true),
                         [](const auto &info) { return info.param ? "Rtu" : "Tcp"; });
