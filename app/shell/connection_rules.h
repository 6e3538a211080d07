// The connection page's rules without its widgets: which transport is chosen
// (ConnectionKind), which controls are live in each phase, what an open's
// result does to the page, and what each connection event shows. The page
// and AppMain apply these; they decide nothing of their own.
#pragma once

#include <cstdint>

namespace qx {

// ConnectionKind: the transport the page works with; it also names the
// status text an event writes. Its numbers are the page's own (0 none); the
// library's transport type (0 TCP server ... 3 serial) converts below.
enum class ConnectionKind : int32_t {
    None = 0,
    TcpServer = 1,
    TcpClient = 2,
    Udp = 3,
    Serial = 4,
};
inline constexpr ConnectionKind kConnectionKinds[] = {
    ConnectionKind::TcpServer,
    ConnectionKind::TcpClient,
    ConnectionKind::Udp,
    ConnectionKind::Serial,
};

// The PortSettings transport type of a kind, and back (None for unknown types).
uint32_t transportTypeOf(ConnectionKind kind);
ConnectionKind kindOfTransport(uint32_t transportType);

// Where the page stands with its enabled group of controls.
enum class LinkPhase {
    Idle, // no group chosen yet: only the transport radios are live
    Selected, // one group's settings and both its buttons are live
    Open, // the port object runs: only the group's close button is live
    PeerClosed, // the module closed a TCP client link: the group is live again, the radios not
};

// Enabled state of the controls for one phase.
struct GroupControls
{
    bool settings = false; // the group's edits and lists
    bool open = false; // "监听" / "连接" / "打开"
    bool close = false; // "断开" / "关闭"
};
struct ControlStates
{
    bool radios = false;
    GroupControls group; // the enabled group's controls; every other group is off
};
ControlStates controlStates(LinkPhase phase);

// What the result of DLL_API_OBJ_RUN does to the page. A TCP server that
// cannot listen leaves the page as it was; the other transports switch to
// the open state even when their start failed, so that the close button is
// the way back.
struct OpenOutcome
{
    LinkPhase phase = LinkPhase::Selected;
    const char *message = nullptr; // message box, or none
    const char *status = nullptr; // the kind's status text, or none (unchanged)
};
OpenOutcome openOutcome(ConnectionKind kind, int32_t runResult);

// Where the page stands: the transport chosen (ConnectionKind, the page's
// radio), the group whose controls are live, and its phase.
class LinkState
{
public:
    ConnectionKind kind() const { return m_kind; }
    ConnectionKind liveGroup() const { return m_group; }
    LinkPhase phase() const { return m_phase; }
    ControlStates controls() const { return controlStates(m_phase); }

    // A transport radio. Another transport than before starts its group
    // afresh: true, and the page clears its status texts, peer and identity.
    bool choose(ConnectionKind kind);
    // What DLL_API_OBJ_RUN's result made of an open of `kind`.
    void opened(ConnectionKind kind, const OpenOutcome &outcome);
    // "断开"/"关闭" in `kind`'s group: nothing is open, the group is live
    // again from scratch (the page clears its texts as for choose).
    void closed(ConnectionKind kind);
    // The module closed the TCP client's link: its group comes back.
    void peerClosed();

private:
    void startGroup(ConnectionKind kind);

    ConnectionKind m_kind = ConnectionKind::None;
    ConnectionKind m_group = ConnectionKind::None;
    LinkPhase m_phase = LinkPhase::Idle;
};

// What a connection event (-1) changes, by its transport type and state.
struct ConnectionEffect
{
    ConnectionKind statusOf = ConnectionKind::None; // whose status text changes
    const char *status = nullptr;
    bool showPeer = false; // the peer's "IP:port"
    bool clearPeer = false; // "---.---.---.---:---"
    bool resetIdentity = false; // the information fields back to "N/A"
    bool requestIdentity = false; // ask the module for its identity until it answers
    bool peerClosed = false; // the TCP client's group comes back (LinkPhase::PeerClosed)
    bool linkClosed = false; // the module is gone: pages hear the port-closed notice
};
ConnectionEffect connectionEffect(uint32_t transportType, int32_t state);

} // namespace qx
