// qxlib.dll under Wine against the Linux qxsim, as a Windows host drives it:
// TCP client, UDP, TCP server (qxsim calls in) and a COM port mapped to
// qxsim's pseudo-terminal. qx_wine_run starts qxsim and names its ports and
// the COM port in the environment (QXSIM_TCP_PORT, QXSIM_UDP_PORT,
// QXSIM_SERVER_PORT, QXSIM_COM).
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "byte_io.h"
#include "connection_event.h"
#include "crc16.h"
#include "event_codes.h"
#include "identity_record.h"
#include "port_settings.h"
#include "qxlib_harness.h"
#include "request_record.h"
#include "response_records.h"
#include "transfer_packet_layout.h"

using namespace qxtest;

namespace {

// A peer named by qx_wine_run; the test fails when the suite was started
// without it.
std::string peer(const char *name)
{
    const char *value = std::getenv(name);
    return value != nullptr ? value : "";
}

uint16_t peerPort(const char *name)
{
    const std::string value = peer(name);
    return value.empty() ? 0 : static_cast<uint16_t>(std::stoi(value));
}

std::string textAt(const RecordedEvent &e, std::size_t offset)
{
    return std::string(reinterpret_cast<const char *>(e.data.data() + offset));
}

class AgainstQxsim : public PortTest
{
protected:
    // Runs the port and asks for the identity once; the identity event.
    RecordedEvent runAndReadIdentity(const PortSettings &settings)
    {
        const intptr_t handle = create(settings);
        put(handle, qx::kSlotIdentity, readRequest(qx::kModeCounted, 1, 0, 0),
            qx::RequestLength::kIdentity);
        EXPECT_EQ(DLL_API_OBJ_RUN(handle), 0);
        return EventLog::instance().waitForEvent(qx::kEventIdentity);
    }

    static void expectQxsimIdentity(const RecordedEvent &identity)
    {
        namespace IL = qx::IdentityLayout;
        ASSERT_EQ(identity.code, qx::kEventIdentity);
        EXPECT_EQ(textAt(identity, IL::kDriverVersion), "Ver2.1");
        EXPECT_EQ(textAt(identity, IL::kFirmwareVersion), "Ver7.6");
        EXPECT_EQ(identity.data[IL::kSeries], 5);
        EXPECT_EQ(textAt(identity, IL::kModelName), "QXP_4488_ETH");
        EXPECT_EQ(textAt(identity, IL::kSerialNumber), "20245170000155");
    }
};

using QxsimTcpClient = AgainstQxsim;
using QxsimUdp = AgainstQxsim;
using QxsimCallsTheServer = AgainstQxsim;
using QxsimOnComPort = AgainstQxsim;
using ComPort = PortTest;

} // namespace

TEST_F(QxsimTcpClient, IdentityIsRead)
{
    const uint16_t port = peerPort("QXSIM_TCP_PORT");
    ASSERT_NE(port, 0) << "start the suite with qx_wine_run --qxsim";
    expectQxsimIdentity(runAndReadIdentity(tcpClientSettings(port)));
    EXPECT_EQ(statesOf(EventLog::instance().events()),
              (std::vector<int32_t> {qx::kStateRunning}));
}

TEST_F(QxsimUdp, IdentityIsRead)
{
    const uint16_t port = peerPort("QXSIM_UDP_PORT");
    ASSERT_NE(port, 0) << "start the suite with qx_wine_run --qxsim";
    expectQxsimIdentity(runAndReadIdentity(udpSettings(port, freePort(SOCK_DGRAM))));
}

TEST_F(QxsimCallsTheServer, ModuleConnectsAndIsRead)
{
    const uint16_t port = peerPort("QXSIM_SERVER_PORT");
    ASSERT_NE(port, 0) << "start the suite with qx_wine_run --qxsim";
    const intptr_t handle = create(tcpServerSettings(port));
    ASSERT_EQ(DLL_API_OBJ_RUN(handle), 0);
    // qxsim tries to connect once a second
    const RecordedEvent connected = EventLog::instance().waitForEvent(qx::kEventConnection);
    ASSERT_EQ(stateOf(connected), qx::kStatePeerConnected);
    EXPECT_EQ(textAt(connected, qx::ConnectionLayout::kPeerAddress), "127.0.0.1");
    put(handle, qx::kSlotIdentity, readRequest(qx::kModeCounted, 1, 0, 0),
        qx::RequestLength::kIdentity);
    expectQxsimIdentity(EventLog::instance().waitForEvent(qx::kEventIdentity));
    EXPECT_EQ(DLL_API_OBJ_STOP(handle), 0);
}

TEST_F(QxsimOnComPort, NamesAsTypedAndOddLineSettingsWork)
{
    const std::string com = peer("QXSIM_COM");
    ASSERT_FALSE(com.empty()) << "start the suite with qx_wine_run --qxsim";
    // a pseudo-terminal passes every byte whatever the line settings; that
    // the port runs and the module answers shows SetCommState took them
    struct Case
    {
        std::string name;
        uint32_t baud;
        uint8_t dataBits;
        uint8_t parity;
        uint8_t stopBits;
    };
    const Case cases[] = {
        {com, 115200, 8, 0, 0},
        {"\\\\.\\" + com, 14400, 7, 3, 2},
        {com, 256000, 8, 2, 0},
    };
    for (const Case &c : cases) {
        EventLog::instance().clear();
        expectQxsimIdentity(runAndReadIdentity(
            serialSettings(c.name, c.baud, c.dataBits, c.parity, c.stopBits)));
        EXPECT_EQ(statesOf(EventLog::instance().events()),
                  (std::vector<int32_t> {qx::kStateRunning}))
            << c.name << " " << c.baud;
        EXPECT_EQ(DLL_API_OBJ_STOP(0), 1);
    }
}

TEST_F(QxsimOnComPort, FirmwarePartArrivesWholeAndIsAcknowledged)
{
    const std::string com = peer("QXSIM_COM");
    ASSERT_FALSE(com.empty()) << "start the suite with qx_wine_run --qxsim";
    const intptr_t handle = create(serialSettings(com, 115200));
    ASSERT_EQ(DLL_API_OBJ_RUN(handle), 0);
    // a 1032-byte request: one write, answered only when it arrived whole
    namespace FP = qx::FirmwarePartLayout;
    for (uint16_t index = 0; index < 2; ++index) {
        Bytes part(FP::kChecksum, static_cast<uint8_t>(0x5a + index));
        qx::putU16be(part.data(), FP::kPartIndex, index);
        qx::appendChecksumHighFirst(part);
        qx::RequestRecord r = readRequest(qx::kModeCounted, 1, 0xffff, 0xffff);
        r.setPayload(part.data(), part.size());
        put(handle, qx::kSlotFirmwarePacket, r, qx::RequestLength::kTransferPacket);
        const RecordedEvent ack =
            EventLog::instance().waitForEvent(qx::kEventFirmwarePacket, index + 1u);
        ASSERT_EQ(ack.code, qx::kEventFirmwarePacket) << index;
        EXPECT_EQ(ack.data[qx::TransferReplyLayout::kStatus],
                  qx::FirmwareReplyLayout::kStatusStored);
        EXPECT_EQ(qx::getI32le(ack.data.data(), qx::TransferReplyLayout::kValue), index);
    }
}

TEST_F(ComPort, MissingPortReportsStateZero)
{
    const intptr_t handle = create(serialSettings("COMQXNONE"));
    EXPECT_EQ(DLL_API_OBJ_RUN(handle), -1);
    EXPECT_EQ(statesOf(EventLog::instance().events()),
              (std::vector<int32_t> {qx::kStateOpenFailed}));
    EXPECT_EQ(DLL_API_OBJ_STOP(handle), 1);
}
