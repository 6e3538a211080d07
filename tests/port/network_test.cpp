// The three network transports end to end with scripted peers: the maker's
// functions, modules that connect to the tool, redirects, refused and stalled
// connections (libmodbus as the module: network_libmodbus_test.cpp). The
// suite also runs under Wine against qxlib.dll.
#include <cstring>

#include <gtest/gtest.h>

#include "byte_io.h"
#include "connection_event.h"
#include "event_codes.h"
#include "gbk.h"
#include "identity_record.h"
#include "port_settings.h"
#include "qxlib_harness.h"
#include "response_records.h"
#include "statistics_record.h"

using namespace qxtest;
namespace CL = qx::ConnectionLayout;
namespace TL = qx::TransferReplyLayout;

namespace {

std::vector<uint8_t> slice(const RecordedEvent &e, std::size_t offset, std::size_t n)
{
    return std::vector<uint8_t>(e.data.begin() + static_cast<std::ptrdiff_t>(offset),
                                e.data.begin() + static_cast<std::ptrdiff_t>(offset + n));
}

std::string textAt(const RecordedEvent &e, std::size_t offset)
{
    return std::string(reinterpret_cast<const char *>(e.data.data() + offset));
}

qx::RequestRecord payloadRequest(const std::vector<uint8_t> &payload)
{
    qx::RequestRecord r = readRequest(qx::kModeCounted, 1, 0xffff, 0xffff);
    r.setPayload(payload.data(), payload.size());
    return r;
}

// A listening loopback socket the tool connects to as a TCP client.
struct Listener
{
    explicit Listener(int backlog = 4) { fd = listenTcp(backlog, port); }
    ~Listener()
    {
        closeDescriptor(peer);
        closeDescriptor(fd);
    }
    bool accept(std::chrono::milliseconds limit = 10s)
    {
        peer = acceptTcp(fd, limit);
        return peer != kNoDescriptor;
    }
    Descriptor fd = kNoDescriptor;
    Descriptor peer = kNoDescriptor;
    uint16_t port = 0;
};

using Network = PortTest;

using TcpClient = Network;
using TcpServer = Network;
using Udp = Network;
using MakerFunctions = Network;

} // namespace

TEST_F(TcpClient, RefusedConnectionReportsStateFourNeverConnected)
{
    const intptr_t handle = create(tcpClientSettings(freePort(SOCK_STREAM)));
    ASSERT_EQ(DLL_API_OBJ_RUN(handle), 0);
    ASSERT_TRUE(EventLog::instance().waitForState(qx::kStateConnectTimeout));
    EXPECT_EQ(statesOf(EventLog::instance().events()),
              (std::vector<int32_t> {qx::kStateConnectTimeout}));
    EXPECT_EQ(DLL_API_OBJ_STOP(handle), 0);
}

TEST_F(TcpClient, FullAcceptQueueTimesOutWithStateFour)
{
    Listener listener(0);
    // fill the accept queue; later connection attempts get no answer
    std::vector<Descriptor> fillers;
    for (int i = 0; i < 4; ++i)
        fillers.push_back(startTcpConnect(listener.port));
    const intptr_t handle = create(tcpClientSettings(listener.port));
    put(handle, 8, readRequest(qx::kModeRepeat, 1, 0, 2), qx::RequestLength::kRead);
    ASSERT_EQ(DLL_API_OBJ_RUN(handle), 0);
    ASSERT_TRUE(EventLog::instance().waitForState(qx::kStateConnectTimeout, 15s));
    EXPECT_EQ(statesOf(EventLog::instance().events()),
              (std::vector<int32_t> {qx::kStateConnectTimeout}));
    // nothing was sent
    EXPECT_TRUE(EventLog::instance().events(qx::kEventLog).empty());
    for (Descriptor fd : fillers)
        closeDescriptor(fd);
}

TEST_F(TcpClient, ModuleClosingReportsStateTen)
{
    Listener module;
    const intptr_t handle = create(tcpClientSettings(module.port));
    ASSERT_EQ(DLL_API_OBJ_RUN(handle), 0);
    ASSERT_TRUE(module.accept());
    ASSERT_TRUE(EventLog::instance().waitForState(qx::kStateRunning));
    closeDescriptor(module.peer);
    module.peer = kNoDescriptor;
    ASSERT_TRUE(EventLog::instance().waitForState(qx::kStateClosedByPeer));
    EXPECT_EQ(statesOf(EventLog::instance().events()),
              (std::vector<int32_t> {qx::kStateRunning, qx::kStateClosedByPeer}));

    // a new RUN makes a new connection
    ASSERT_EQ(DLL_API_OBJ_RUN(handle), 0);
    ASSERT_TRUE(module.accept());
    ASSERT_TRUE(EventLog::instance().waitFor([](const std::vector<RecordedEvent> &events) {
        return statesOf(events).size() == 3;
    }));
    EXPECT_EQ(statesOf(EventLog::instance().events()).back(), qx::kStateRunning);
    EXPECT_EQ(DLL_API_OBJ_STOP(handle), 0);
}

TEST_F(TcpClient, ReportAndAnswerInOneReadBothArrive)
{
    Listener module;
    const intptr_t handle = create(tcpClientSettings(module.port));
    put(handle, 8, readRequest(qx::kModeCounted, 1, 0, 1), qx::RequestLength::kRead);
    ASSERT_EQ(DLL_API_OBJ_RUN(handle), 0);
    ASSERT_TRUE(module.accept());
    ASSERT_EQ(readExactly(module.peer, 12).size(), 12u);
    // the module's status report went out just before its answer: one send
    writeAll(module.peer, concat({mbap(1, {0x45, 4, 9, 8, 7, 6}), mbap(1, {0x03, 2, 0x00, 0x2a})}));

    const RecordedEvent holding = EventLog::instance().waitForEvent(qx::kEventHoldingRegisters);
    ASSERT_EQ(holding.code, qx::kEventHoldingRegisters);
    EXPECT_EQ(registerData(holding), (std::vector<uint8_t> {0x00, 0x2a}));
    std::vector<int32_t> codes;
    for (const RecordedEvent &e : EventLog::instance().events())
        if (e.code == qx::kEventStatusReport || e.code == qx::kEventHoldingRegisters)
            codes.push_back(e.code);
    EXPECT_EQ(codes, (std::vector<int32_t> {qx::kEventStatusReport, qx::kEventHoldingRegisters}));
}

TEST_F(TcpClient, LocalAddressThatCannotBeBoundFailsWithStateZero)
{
    // 192.0.2.1 (TEST-NET-1) is no address of this machine
    const intptr_t handle = create(tcpClientSettings(freePort(SOCK_STREAM), "127.0.0.1", "192.0.2.1"));
    EXPECT_EQ(DLL_API_OBJ_RUN(handle), -1);
    const auto events = EventLog::instance().events();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(stateOf(events[0]), qx::kStateOpenFailed);
    EXPECT_EQ(events[0].thread, std::this_thread::get_id());
}

TEST_F(TcpClient, LongResponseIsLoggedUpTo2725Bytes)
{
    Listener module;
    const intptr_t handle = create(tcpClientSettings(module.port));
    put(handle, 14, readRequest(qx::kModeCounted, 1, 0xffff, 0xffff), qx::RequestLength::kRead);
    ASSERT_EQ(DLL_API_OBJ_RUN(handle), 0);
    ASSERT_TRUE(module.accept());
    EXPECT_EQ(readExactly(module.peer, 8), (std::vector<uint8_t> {0, 0, 0, 0, 0, 2, 1, 0x41}));

    std::vector<uint8_t> pdu(2993);
    pdu[0] = 0x41;
    for (std::size_t i = 1; i < pdu.size(); ++i)
        pdu[i] = static_cast<uint8_t>(i * 7);
    const std::vector<uint8_t> frame = mbap(1, pdu);
    ASSERT_EQ(frame.size(), 3000u);
    writeAll(module.peer, frame);

    ASSERT_EQ(EventLog::instance().waitForEvent(qx::kEventParamsRead).code, qx::kEventParamsRead);
    const RecordedEvent logged = EventLog::instance().waitForEvent(qx::kEventLog, 2);
    ASSERT_EQ(logged.code, qx::kEventLog);
    namespace SL = qx::StatisticsLayout;
    EXPECT_EQ(qx::getU32le(logged.data.data(), SL::kLogLength), 14u + 3u * 2725u);
    EXPECT_EQ(qx::getU32le(logged.data.data(), SL::kRxByte), 3000u);
    std::string expected = qx::utf8ToGbk("接收数据(HEX):");
    char hex[4];
    for (std::size_t i = 0; i < 2725; ++i) {
        std::snprintf(hex, sizeof hex, " %02x", frame[i]);
        expected += hex;
    }
    EXPECT_EQ(textAt(logged, SL::kLogText), expected);
}

TEST_F(TcpClient, LongRequestGoesOutIn448BytePieces)
{
    Listener module;
    const intptr_t handle = create(tcpClientSettings(module.port));
    std::vector<uint8_t> exact(440, 0x11);
    std::vector<uint8_t> longer(441, 0x22);
    put(handle, 15, payloadRequest(exact), qx::RequestLength::kWriteParams);
    ASSERT_EQ(DLL_API_OBJ_RUN(handle), 0);
    ASSERT_TRUE(module.accept());

    uint8_t buffer[1024];
    ASSERT_TRUE(waitReadable(module.peer, 5s));
    // 448 bytes: one piece
    std::ptrdiff_t n = readSome(module.peer, buffer, sizeof buffer);
    ASSERT_EQ(n, 448);
    EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 8),
              (std::vector<uint8_t> {0, 0, 0, 0, 0x01, 0xba, 1, 0x42}));
    writeAll(module.peer, mbap(1, {0x42, 0}));
    ASSERT_EQ(EventLog::instance().waitForEvent(qx::kEventParamsWritten).code,
              qx::kEventParamsWritten);

    // 449 bytes: 448, a pause, then the last byte
    put(handle, 15, payloadRequest(longer), qx::RequestLength::kWriteParams);
    ASSERT_TRUE(waitReadable(module.peer, 5s));
    n = readSome(module.peer, buffer, sizeof buffer);
    ASSERT_EQ(n, 448);
    EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 8),
              (std::vector<uint8_t> {0, 0, 0, 0, 0x01, 0xbb, 1, 0x42}));
    ASSERT_TRUE(waitReadable(module.peer, 5s));
    n = readSome(module.peer, buffer, sizeof buffer);
    ASSERT_EQ(n, 1);
    EXPECT_EQ(buffer[0], 0x22);
}

TEST_F(TcpServer, ModuleConnectsIsPolledAndLeaves)
{
    const uint16_t port = freePort(SOCK_STREAM);
    const intptr_t handle = create(tcpServerSettings(port));
    ASSERT_EQ(DLL_API_OBJ_RUN(handle), 0);
    const Descriptor module = connectTcp(port);
    ASSERT_NE(module, kNoDescriptor);
    const RecordedEvent connected = EventLog::instance().waitForEvent(qx::kEventConnection);
    ASSERT_EQ(stateOf(connected), qx::kStatePeerConnected);
    EXPECT_EQ(textAt(connected, CL::kPeerAddress), "127.0.0.1");
    EXPECT_EQ(qx::getU16le(connected.data.data(), CL::kPeerPort), localPortOf(module));
    EXPECT_GT(qx::getI32le(connected.data.data(), CL::kPeerSocket), 0);
    EXPECT_EQ(qx::getU32le(connected.data.data(), CL::kTransportType), qx::kTransportTcpServer);

    put(handle, 8, readRequest(qx::kModeRepeat, 1, 0, 2), qx::RequestLength::kRead);
    EXPECT_EQ(readExactly(module, 12), (std::vector<uint8_t> {0, 0, 0, 0, 0, 6, 1, 3, 0, 0, 0, 2}));
    writeAll(module, mbap(1, {3, 4, 0, 9, 0, 8}));
    const RecordedEvent holding = EventLog::instance().waitForEvent(qx::kEventHoldingRegisters);
    ASSERT_EQ(holding.code, qx::kEventHoldingRegisters);
    EXPECT_EQ(registerData(holding), (std::vector<uint8_t> {0, 9, 0, 8}));

    const uint16_t modulePort = localPortOf(module);
    closeDescriptor(module);
    const RecordedEvent gone = EventLog::instance().waitForEvent(qx::kEventConnection, 2);
    ASSERT_EQ(stateOf(gone), qx::kStatePeerDisconnected);
    EXPECT_EQ(textAt(gone, CL::kPeerAddress), "127.0.0.1");
    EXPECT_EQ(qx::getU16le(gone.data.data(), CL::kPeerPort), modulePort);
    EXPECT_EQ(qx::getI32le(gone.data.data(), CL::kPeerSocket),
              qx::getI32le(connected.data.data(), CL::kPeerSocket));

    // still listening
    const Descriptor again = connectTcp(port);
    ASSERT_NE(again, kNoDescriptor);
    ASSERT_EQ(stateOf(EventLog::instance().waitForEvent(qx::kEventConnection, 3)),
              qx::kStatePeerConnected);
    EXPECT_EQ(readExactly(again, 12).size(), 12u);

    // stopping closes the modules' connections and the listener
    EXPECT_EQ(DLL_API_OBJ_STOP(handle), 0);
    // (requests still in flight come first)
    uint8_t buffer[64];
    std::ptrdiff_t n = 1;
    while (n > 0 && waitReadable(again, 5s))
        n = readSome(again, buffer, sizeof buffer);
    EXPECT_EQ(n, 0);
    closeDescriptor(again);
    EXPECT_EQ(connectTcp(port), kNoDescriptor);
}

TEST_F(TcpServer, PortInUseFailsWithStateOne)
{
    Listener other;
    const intptr_t handle = create(tcpServerSettings(other.port));
    EXPECT_EQ(DLL_API_OBJ_RUN(handle), -1);
    const auto events = EventLog::instance().events();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(stateOf(events[0]), qx::kStateBindFailed);
    EXPECT_EQ(qx::getU32le(events[0].data.data(), CL::kTransportType), qx::kTransportTcpServer);
}

TEST_F(TcpServer, SixtyFifthModuleIsClosedNotLeftUnserved)
{
    const uint16_t port = freePort(SOCK_STREAM);
    const intptr_t handle = create(tcpServerSettings(port));
    ASSERT_EQ(DLL_API_OBJ_RUN(handle), 0);
    std::vector<Descriptor> modules;
    for (int i = 0; i < 64; ++i) {
        modules.push_back(connectTcp(port));
        ASSERT_NE(modules.back(), kNoDescriptor);
    }
    ASSERT_TRUE(EventLog::instance().waitFor(
        [](const std::vector<RecordedEvent> &events) { return statesOf(events).size() == 64; },
        120s));
    const Descriptor extra = connectTcp(port);
    ASSERT_NE(extra, kNoDescriptor);
    // the tool closes the 65th connection: the module reads end of stream
    uint8_t byte;
    ASSERT_TRUE(waitReadable(extra, 10s));
    EXPECT_EQ(readSome(extra, &byte, 1), 0);
    EXPECT_EQ(statesOf(EventLog::instance().events()),
              std::vector<int32_t>(64, qx::kStatePeerConnected));

    // the request goes to the module accepted first; under load the kernel
    // may queue the connections in another order than they were made
    put(handle, 8, readRequest(qx::kModeCounted, 1, 0, 1), qx::RequestLength::kRead);
    const std::vector<Descriptor> asked = readableAmong(modules, 10s);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(readExactly(asked.front(), 12).size(), 12u);
    // the 64th module is served: its answer is decoded
    writeAll(modules.back(), mbap(1, {3, 2, 0, 64}));
    const RecordedEvent holding = EventLog::instance().waitForEvent(qx::kEventHoldingRegisters);
    ASSERT_EQ(holding.code, qx::kEventHoldingRegisters);
    EXPECT_EQ(registerData(holding), (std::vector<uint8_t> {0, 64}));
    closeDescriptor(extra);
    for (Descriptor fd : modules)
        closeDescriptor(fd);
}

TEST_F(Udp, AnswerFromAnotherPortRedirectsLaterRequests)
{
    UdpPeer module;
    UdpPeer other;
    const intptr_t handle = create(udpSettings(module.port, freePort(SOCK_DGRAM)));
    put(handle, 8, readRequest(qx::kModeRepeat, 1, 0, 2), qx::RequestLength::kRead);
    ASSERT_EQ(DLL_API_OBJ_RUN(handle), 0);
    ASSERT_TRUE(EventLog::instance().waitForState(qx::kStateRunning));
    const UdpPeer::Datagram first = module.receive();
    ASSERT_TRUE(first.received);
    other.send(mbap(1, {3, 4, 0, 1, 0, 2}), first.from);
    ASSERT_EQ(EventLog::instance().waitForEvent(qx::kEventHoldingRegisters).code,
              qx::kEventHoldingRegisters);
    const UdpPeer::Datagram next = other.receive();
    ASSERT_TRUE(next.received);
    EXPECT_EQ(next.bytes, (std::vector<uint8_t> {0, 0, 0, 0, 0, 6, 1, 3, 0, 0, 0, 2}));
    EXPECT_FALSE(module.receive(0ms).received);
}

TEST_F(Udp, LocalPortInUseFailsWithStateZero)
{
    UdpPeer taken;
    const intptr_t handle = create(udpSettings(freePort(SOCK_DGRAM), taken.port));
    EXPECT_EQ(DLL_API_OBJ_RUN(handle), -1);
    EXPECT_EQ(statesOf(EventLog::instance().events()),
              (std::vector<int32_t> {qx::kStateOpenFailed}));
}

TEST_F(MakerFunctions, IdentityAnswerIsDecoded)
{
    UdpPeer module;
    const intptr_t handle = create(udpSettings(module.port, freePort(SOCK_DGRAM)));
    put(handle, 0, readRequest(qx::kModeCounted, 1, 0, 0), qx::RequestLength::kIdentity);
    ASSERT_EQ(DLL_API_OBJ_RUN(handle), 0);
    const UdpPeer::Datagram d = module.receive();
    ASSERT_TRUE(d.received);
    EXPECT_EQ(d.bytes, (std::vector<uint8_t> {0, 0, 0, 0, 0, 2, 1, 0x11}));

    std::vector<uint8_t> pdu(63, 0);
    pdu[0] = 0x11;
    pdu[3] = 1; // driver 1.2
    pdu[4] = 2;
    pdu[5] = 3; // firmware 3.4
    pdu[6] = 4;
    pdu[7] = 1; // series
    pdu[8] = 2; // model code 2: an older Ethernet board
    const uint16_t serial[10] = {2024, 5, 17, 1, 2, 3, 4, 5, 6, 7};
    for (int i = 0; i < 10; ++i)
        qx::putU16le(pdu.data(), 12 + 2 * static_cast<std::size_t>(i), serial[i]);
    module.send(mbap(1, pdu), d.from);

    const RecordedEvent identity = EventLog::instance().waitForEvent(qx::kEventIdentity);
    ASSERT_EQ(identity.code, qx::kEventIdentity);
    namespace IL = qx::IdentityLayout;
    EXPECT_EQ(textAt(identity, IL::kDriverVersion), "Ver1.2");
    EXPECT_EQ(textAt(identity, IL::kFirmwareVersion), "Ver3.4");
    EXPECT_EQ(identity.data[IL::kSeries], 1);
    EXPECT_EQ(textAt(identity, IL::kModelName), "QXD-XXX-ETH");
    EXPECT_EQ(textAt(identity, IL::kDescription), qx::utf8ToGbk("以太网IO控制卡"));
    EXPECT_EQ(textAt(identity, IL::kSerialNumber), "20245171234567");
    EXPECT_EQ(textAt(identity, IL::kFactoryDate), "2024-5-17");
}

TEST_F(MakerFunctions, TransferRequestsAndRepliesRoundTrip)
{
    UdpPeer module;
    const intptr_t handle = create(udpSettings(module.port, freePort(SOCK_DGRAM)));
    ASSERT_EQ(DLL_API_OBJ_RUN(handle), 0);

    struct Case
    {
        int slot;
        int length;
        uint8_t function;
        std::vector<uint8_t> reply; // PDU after the function code
        int32_t event;
    };
    const std::vector<uint8_t> payload {0xde, 0xad, 0xbe, 0xef};
    const Case cases[] = {
        {14, qx::RequestLength::kRead, 0x41, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, qx::kEventParamsRead},
        {15, qx::RequestLength::kWriteParams, 0x42, {0x00}, qx::kEventParamsWritten},
        {16, qx::RequestLength::kTransferPacket, 0x43, {0x01, 0x12, 0x34}, qx::kEventBiosPacket},
        {17, qx::RequestLength::kTransferPacket, 0x44, {0x00, 0x00, 0x05},
         qx::kEventFirmwarePacket},
        {18, qx::RequestLength::kTransferPacket, 0x46, {0x00, 0xaa, 0xbb}, qx::kEventPlcPacket},
    };
    for (const Case &c : cases) {
        const bool carriesPayload = c.slot != 14;
        put(handle, c.slot,
            carriesPayload ? payloadRequest(payload)
                           : readRequest(qx::kModeCounted, 1, 0xffff, 0xffff),
            c.length);
        const UdpPeer::Datagram d = module.receive();
        ASSERT_TRUE(d.received) << c.slot;
        std::vector<uint8_t> expected {0, 0, 0, 0, 0, 2, 1, c.function};
        if (carriesPayload) {
            expected[5] = static_cast<uint8_t>(2 + payload.size());
            expected.insert(expected.end(), payload.begin(), payload.end());
        }
        EXPECT_EQ(d.bytes, expected) << c.slot;
        std::vector<uint8_t> pdu {c.function};
        pdu.insert(pdu.end(), c.reply.begin(), c.reply.end());
        module.send(mbap(1, pdu), d.from);
        ASSERT_EQ(EventLog::instance().waitForEvent(c.event).code, c.event) << c.slot;
    }
    const RecordedEvent params = EventLog::instance().waitForEvent(qx::kEventParamsRead);
    EXPECT_EQ(registerData(params), (std::vector<uint8_t> {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    const RecordedEvent written = EventLog::instance().waitForEvent(qx::kEventParamsWritten);
    EXPECT_EQ(written.data[TL::kStatus], 0);
    const RecordedEvent bios = EventLog::instance().waitForEvent(qx::kEventBiosPacket);
    EXPECT_EQ(bios.data[TL::kStatus], 1);
    EXPECT_EQ(qx::getI32le(bios.data.data(), TL::kValue), 0x1234);
    const RecordedEvent firmware = EventLog::instance().waitForEvent(qx::kEventFirmwarePacket);
    EXPECT_EQ(qx::getI32le(firmware.data.data(), TL::kValue), 5);
    const RecordedEvent plc = EventLog::instance().waitForEvent(qx::kEventPlcPacket);
    EXPECT_EQ(qx::getI32le(plc.data.data(), TL::kValue), 3);
    EXPECT_EQ(slice(plc, TL::kData, 3), (std::vector<uint8_t> {0x00, 0xaa, 0xbb}));
}

TEST_F(MakerFunctions, StatusReportAndExceptionArriveAsEvents)
{
    UdpPeer module;
    const intptr_t handle = create(udpSettings(module.port, freePort(SOCK_DGRAM)));
    put(handle, 8, readRequest(qx::kModeCounted, 1, 0, 2), qx::RequestLength::kRead);
    ASSERT_EQ(DLL_API_OBJ_RUN(handle), 0);
    const UdpPeer::Datagram d = module.receive();
    ASSERT_TRUE(d.received);
    module.send(mbap(1, {0x83, 0x02}), d.from);
    ASSERT_EQ(EventLog::instance().waitForEvent(qx::kEventOther).code, qx::kEventOther);
    // the module reports its status unasked
    module.send(mbap(1, {0x45, 4, 9, 8, 7, 6}), d.from);
    const RecordedEvent report = EventLog::instance().waitForEvent(qx::kEventStatusReport);
    ASSERT_EQ(report.code, qx::kEventStatusReport);
    EXPECT_EQ(registerData(report), (std::vector<uint8_t> {9, 8, 7, 6}));
}
