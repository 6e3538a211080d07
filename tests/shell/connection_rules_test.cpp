// The connection page's rules without its widgets: the kind and transport
// numbers, the controls in each phase, open results, what each connection
// event shows, and the adapter order with the local address it leads to.
#include <gtest/gtest.h>

#include "command_line.h"
#include "connection_event.h"
#include "connection_rules.h"
#include "network_adapters.h"
#include "port_settings.h"
#include "shell_texts.h"

namespace {

using namespace qx;

TEST(ConnectionKindNumbers, PageKindsAreOneAboveTheLibrarysTransportTypes)
{
    EXPECT_EQ(transportTypeOf(ConnectionKind::TcpServer), uint32_t(kTransportTcpServer));
    EXPECT_EQ(transportTypeOf(ConnectionKind::Serial), uint32_t(kTransportSerial));
    for (ConnectionKind kind : kConnectionKinds) {
        EXPECT_EQ(kindOfTransport(transportTypeOf(kind)), kind);
        EXPECT_EQ(static_cast<uint32_t>(kind), transportTypeOf(kind) + 1);
    }
    EXPECT_EQ(kindOfTransport(kTransportNone), ConnectionKind::None);
    EXPECT_EQ(kindOfTransport(99), ConnectionKind::None);
}

TEST(ControlStates, EachPhaseEnablesWhatTheOperatorMayDoNext)
{
    auto idle = controlStates(LinkPhase::Idle);
    EXPECT_TRUE(idle.radios);
    EXPECT_FALSE(idle.group.settings || idle.group.open || idle.group.close);

    auto selected = controlStates(LinkPhase::Selected);
    EXPECT_TRUE(selected.radios);
    EXPECT_TRUE(selected.group.settings && selected.group.open && selected.group.close);

    auto open = controlStates(LinkPhase::Open);
    EXPECT_FALSE(open.radios);
    EXPECT_FALSE(open.group.settings || open.group.open);
    EXPECT_TRUE(open.group.close);

    // The module closed the client link: connect again or close, but the
    // port object still exists, so no other transport yet.
    auto peerClosed = controlStates(LinkPhase::PeerClosed);
    EXPECT_FALSE(peerClosed.radios);
    EXPECT_TRUE(peerClosed.group.settings && peerClosed.group.open && peerClosed.group.close);
}

TEST(LinkState, PhasesFollowTheOperatorAndTheModule)
{
    LinkState s;
    EXPECT_TRUE(s.choose(ConnectionKind::TcpServer));
    EXPECT_FALSE(s.choose(ConnectionKind::TcpServer)); // the same radio again: nothing to reset
    EXPECT_EQ(s.phase(), LinkPhase::Selected);
    s.opened(ConnectionKind::TcpServer, openOutcome(ConnectionKind::TcpServer, -1)); // could not listen
    EXPECT_EQ(s.phase(), LinkPhase::Selected);

    EXPECT_TRUE(s.choose(ConnectionKind::TcpClient));
    s.opened(ConnectionKind::TcpClient, openOutcome(ConnectionKind::TcpClient, 0));
    EXPECT_EQ(s.phase(), LinkPhase::Open);
    EXPECT_EQ(s.liveGroup(), ConnectionKind::TcpClient);
    s.peerClosed();
    EXPECT_EQ(s.phase(), LinkPhase::PeerClosed);
    s.closed(ConnectionKind::TcpClient);
    EXPECT_EQ(s.kind(), ConnectionKind::None);
    EXPECT_EQ(s.liveGroup(), ConnectionKind::TcpClient);
    EXPECT_EQ(s.phase(), LinkPhase::Selected);
}

TEST(OpenOutcome, FailedListenLeavesThePageOthersStillOfferClose)
{
    auto listening = openOutcome(ConnectionKind::TcpServer, 0);
    EXPECT_EQ(listening.phase, LinkPhase::Open);
    EXPECT_EQ(listening.message, nullptr);
    EXPECT_STREQ(listening.status, shell_texts::kWaitingForModule);

    auto notListening = openOutcome(ConnectionKind::TcpServer, -1);
    EXPECT_EQ(notListening.phase, LinkPhase::Selected);
    EXPECT_STREQ(notListening.message, shell_texts::kListenFailed);
    EXPECT_EQ(notListening.status, nullptr);

    auto client = openOutcome(ConnectionKind::TcpClient, -1);
    EXPECT_EQ(client.phase, LinkPhase::Open);
    EXPECT_STREQ(client.message, shell_texts::kConnectFailed);
    EXPECT_STREQ(client.status, shell_texts::kConnecting);
    EXPECT_STREQ(openOutcome(ConnectionKind::Udp, 0).status, shell_texts::kUdpConnecting);
    EXPECT_EQ(openOutcome(ConnectionKind::Udp, 0).message, nullptr);

    auto serial = openOutcome(ConnectionKind::Serial, -1);
    EXPECT_EQ(serial.phase, LinkPhase::Open);
    EXPECT_STREQ(serial.message, shell_texts::kConnectFailed);
    EXPECT_STREQ(serial.status, shell_texts::kSerialFailed);
    EXPECT_STREQ(openOutcome(ConnectionKind::Serial, 0).status, shell_texts::kSerialOpenedReading);
}

TEST(ConnectionEffect, ProgressOfClientAndUdpLinks)
{
    auto clientUp = connectionEffect(kTransportTcpClient, kStateRunning);
    EXPECT_EQ(clientUp.statusOf, ConnectionKind::TcpClient);
    EXPECT_STREQ(clientUp.status, shell_texts::kPeerConnectedReading);
    EXPECT_TRUE(clientUp.requestIdentity);
    EXPECT_FALSE(clientUp.linkClosed);

    auto udpUp = connectionEffect(kTransportUdp, kStateRunning);
    EXPECT_EQ(udpUp.statusOf, ConnectionKind::Udp);
    EXPECT_STREQ(udpUp.status, shell_texts::kReading);

    auto udpFailed = connectionEffect(kTransportUdp, kStateConnectTimeout);
    EXPECT_EQ(udpFailed.statusOf, ConnectionKind::Udp);
    EXPECT_STREQ(udpFailed.status, shell_texts::kConnectionFailed);
    EXPECT_TRUE(udpFailed.requestIdentity);

    // The serial line starts its worker with state 12 too: no text of its
    // own changes, but the identity is asked for.
    auto serialUp = connectionEffect(kTransportSerial, kStateRunning);
    EXPECT_EQ(serialUp.status, nullptr);
    EXPECT_TRUE(serialUp.requestIdentity);
}

TEST(ConnectionEffect, ModuleComingAndGoing)
{
    auto came = connectionEffect(kTransportTcpServer, kStatePeerConnected);
    EXPECT_EQ(came.statusOf, ConnectionKind::TcpServer);
    EXPECT_STREQ(came.status, shell_texts::kPeerConnectedReading);
    EXPECT_TRUE(came.showPeer && came.requestIdentity);

    auto serverLost = connectionEffect(kTransportTcpServer, kStatePeerDisconnected);
    EXPECT_EQ(serverLost.statusOf, ConnectionKind::TcpServer);
    EXPECT_STREQ(serverLost.status, shell_texts::kNotConnected);
    EXPECT_TRUE(serverLost.clearPeer && serverLost.resetIdentity);
    // the port object waits for the module to come back: no port-closed notice
    EXPECT_FALSE(serverLost.peerClosed || serverLost.linkClosed);

    auto clientLost = connectionEffect(kTransportTcpClient, kStateClosedByPeer);
    EXPECT_EQ(clientLost.statusOf, ConnectionKind::TcpClient);
    EXPECT_STREQ(clientLost.status, shell_texts::kNotConnected);
    EXPECT_TRUE(clientLost.resetIdentity && clientLost.peerClosed && clientLost.linkClosed);
    EXPECT_FALSE(clientLost.requestIdentity);

    // Open failures come from DLL_API_OBJ_RUN's result, not from here.
    for (int32_t state : {kStateOpenFailed, kStateBindFailed, kStateListenFailed, kStateWaitFailed}) {
        auto e = connectionEffect(kTransportTcpServer, state);
        EXPECT_EQ(e.status, nullptr);
        EXPECT_FALSE(e.requestIdentity || e.linkClosed || e.resetIdentity);
    }
}

NetworkAdapter adapter(const std::string &name, std::vector<std::string> addresses, bool loopback = false)
{
    return {name, std::move(addresses), loopback};
}

std::vector<std::string> names(const std::vector<NetworkAdapter> &adapters)
{
    std::vector<std::string> out;
    for (const auto &a : adapters)
        out.push_back(a.description);
    return out;
}

TEST(AdapterOrder, RealAdaptersFirstInSystemOrderLoopbackLast)
{
    auto ordered = orderAdapters({
        adapter("lo", {"127.0.0.1"}, true),
        adapter("eth0", {"192.168.1.20"}),
        adapter("lo2", {"127.0.0.2"}), // not flagged, but only loopback addresses
        adapter("wlan0", {"10.0.0.7", "10.0.0.8"}),
    });
    EXPECT_EQ(names(ordered), (std::vector<std::string> {"eth0", "wlan0", "lo", "lo2"}));
    // The page selects the first entry at start: a real adapter's address.
    EXPECT_EQ(ordered[0].addresses[0], "192.168.1.20");
    EXPECT_EQ(names(orderAdapters({adapter("lo", {"127.0.0.1"}, true)})), std::vector<std::string> {"lo"});
}

TEST(AdapterOrder, LocalAddressMustBelongToAnAdapter)
{
    std::vector<NetworkAdapter> adapters {adapter("eth0", {"192.168.1.20", "0.0.0.0"}),
                                          adapter("lo", {"127.0.0.1"}, true)};
    EXPECT_TRUE(isUsableLocalAddress("192.168.1.20", adapters));
    EXPECT_TRUE(isUsableLocalAddress("127.0.0.1", adapters)); // the simulated module
    EXPECT_FALSE(isUsableLocalAddress("0.0.0.0", adapters));
    EXPECT_FALSE(isUsableLocalAddress("10.1.1.1", adapters));
    EXPECT_FALSE(isUsableLocalAddress("", adapters));
    auto at = findAdapterAddress(adapters, "127.0.0.1");
    ASSERT_TRUE(at);
    EXPECT_EQ(at->adapter, 1u);
    EXPECT_EQ(at->address, 0u);
}

TEST(AdapterOrder, CommandLineChoosesLoopbackOnlyForALocalModule)
{
    const std::vector<NetworkAdapter> adapters = orderAdapters({
        adapter("lo", {"127.0.0.1"}, true),
        adapter("eth0", {"0.0.0.0", "192.168.1.20"}),
    });
    ConnectTarget local;
    local.kind = ConnectionKind::TcpClient;
    local.host = "127.0.0.1";
    auto at = localAddressFor(local, adapters);
    ASSERT_TRUE(at);
    EXPECT_EQ(adapters[at->adapter].addresses[at->address], "127.0.0.1");

    ConnectTarget remote = local;
    remote.kind = ConnectionKind::Udp;
    remote.host = "192.168.1.50";
    at = localAddressFor(remote, adapters);
    ASSERT_TRUE(at);
    EXPECT_EQ(adapters[at->adapter].addresses[at->address], "192.168.1.20");

    ConnectTarget server;
    server.kind = ConnectionKind::TcpServer;
    EXPECT_FALSE(localAddressFor(server, adapters)); // keeps the selection
    server.host = "127.0.0.1";
    at = localAddressFor(server, adapters);
    ASSERT_TRUE(at);
    EXPECT_EQ(adapters[at->adapter].description, "lo");
    server.host = "10.9.9.9";
    EXPECT_FALSE(localAddressFor(server, adapters));

    ConnectTarget serial;
    serial.kind = ConnectionKind::Serial;
    EXPECT_FALSE(localAddressFor(serial, adapters));
}

} // namespace
