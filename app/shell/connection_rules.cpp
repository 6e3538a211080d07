#include "connection_rules.h"

#include "connection_event.h"
#include "port_settings.h"
#include "shell_texts.h"

namespace qx {

uint32_t transportTypeOf(ConnectionKind kind)
{
    switch (kind) {
    case ConnectionKind::TcpServer:
        return kTransportTcpServer;
    case ConnectionKind::TcpClient:
        return kTransportTcpClient;
    case ConnectionKind::Udp:
        return kTransportUdp;
    case ConnectionKind::Serial:
        return kTransportSerial;
    case ConnectionKind::None:
        break;
    }
    return kTransportNone;
}

ConnectionKind kindOfTransport(uint32_t transportType)
{
    switch (transportType) {
    case kTransportTcpServer:
        return ConnectionKind::TcpServer;
    case kTransportTcpClient:
        return ConnectionKind::TcpClient;
    case kTransportUdp:
        return ConnectionKind::Udp;
    case kTransportSerial:
        return ConnectionKind::Serial;
    default:
        return ConnectionKind::None;
    }
}

ControlStates controlStates(LinkPhase phase)
{
    switch (phase) {
    case LinkPhase::Idle:
        return {true, {false, false, false}};
    case LinkPhase::Selected:
        return {true, {true, true, true}};
    case LinkPhase::Open:
        return {false, {false, false, true}};
    case LinkPhase::PeerClosed:
        return {false, {true, true, true}};
    }
    return {};
}

OpenOutcome openOutcome(ConnectionKind kind, int32_t runResult)
{
    const bool failed = runResult != 0;
    switch (kind) {
    case ConnectionKind::TcpServer:
        if (failed)
            return {LinkPhase::Selected, shell_texts::kListenFailed, nullptr};
        return {LinkPhase::Open, nullptr, shell_texts::kWaitingForModule};
    case ConnectionKind::TcpClient:
        return {LinkPhase::Open, failed ? shell_texts::kConnectFailed : nullptr, shell_texts::kConnecting};
    case ConnectionKind::Udp:
        return {LinkPhase::Open, failed ? shell_texts::kConnectFailed : nullptr, shell_texts::kUdpConnecting};
    case ConnectionKind::Serial:
        return {LinkPhase::Open, failed ? shell_texts::kConnectFailed : nullptr,
                failed ? shell_texts::kSerialFailed : shell_texts::kSerialOpenedReading};
    case ConnectionKind::None:
        break;
    }
    return {};
}

bool LinkState::choose(ConnectionKind kind)
{
    const bool changed = kind != m_kind;
    if (changed)
        startGroup(kind);
    m_kind = kind;
    return changed;
}

void LinkState::opened(ConnectionKind kind, const OpenOutcome &outcome)
{
    if (outcome.phase != LinkPhase::Open)
        return;
    m_kind = kind;
    m_group = kind;
    m_phase = LinkPhase::Open;
}

void LinkState::closed(ConnectionKind kind)
{
    m_kind = ConnectionKind::None;
    startGroup(kind);
}

void LinkState::peerClosed()
{
    m_group = ConnectionKind::TcpClient;
    m_phase = LinkPhase::PeerClosed;
}

void LinkState::startGroup(ConnectionKind kind)
{
    m_group = kind;
    m_phase = kind == ConnectionKind::None ? LinkPhase::Idle : LinkPhase::Selected;
}

ConnectionEffect connectionEffect(uint32_t transportType, int32_t state)
{
    const ConnectionKind kind = kindOfTransport(transportType);
    // Only the network links that connect after the open report progress in
    // their status text; the server and the serial line have their own states.
    const bool reportsProgress = kind == ConnectionKind::TcpClient || kind == ConnectionKind::Udp;
    ConnectionEffect e;
    switch (state) {
    case kStateConnectTimeout:
        if (reportsProgress) {
            e.statusOf = kind;
            e.status = shell_texts::kConnectionFailed;
        }
        e.requestIdentity = true;
        break;
    case kStatePeerConnected:
        e.statusOf = ConnectionKind::TcpServer;
        e.status = shell_texts::kPeerConnectedReading;
        e.showPeer = true;
        e.requestIdentity = true;
        break;
    case kStateClosedByPeer:
        e.statusOf = ConnectionKind::TcpClient;
        e.status = shell_texts::kNotConnected;
        e.resetIdentity = true;
        e.peerClosed = true;
        e.linkClosed = true;
        break;
    case kStateRunning:
        if (reportsProgress) {
            e.statusOf = kind;
            e.status = kind == ConnectionKind::Udp ? shell_texts::kReading : shell_texts::kPeerConnectedReading;
        }
        e.requestIdentity = true;
        break;
    case kStatePeerDisconnected:
        // The port object and its polling slots live on: the library takes
        // up the slots again when a module reconnects, so the pages keep
        // their polling state and transfers keep resending.
        e.statusOf = ConnectionKind::TcpServer;
        e.status = shell_texts::kNotConnected;
        e.clearPeer = true;
        e.resetIdentity = true;
        break;
    default:
        // Failures at open are reported from DLL_API_OBJ_RUN's result.
        break;
    }
    return e;
}

} // namespace qx
