// CSocketTcpPort: the PC listens and modules connect to it (type 0, Modbus
// TCP). Up to 64 modules are served at once; every one of them is both read
// and written, and requests go to the first one that is writable.
#pragma once

#include <array>
#include <vector>

#include "port_base.h"

namespace qx {

class CSocketTcpPort : public PortBase
{
public:
    static constexpr std::size_t kMaxClients = 64;
    static constexpr std::chrono::milliseconds kAfterAccept {1000};

    CSocketTcpPort(const PortSettings &settings, EventCallback callback);
    ~CSocketTcpPort() override;

protected:
    void threadBody() override;
    bool openTransport() override;
    void closeTransport() override;
    int32_t stopResult() const override { return 0; }
    void writeFrame(const uint8_t *data, std::size_t length) override;

private:
    void acceptOne();
    void readClients(const std::vector<pollfd> &polled);
    void sendToClients();

    SocketHandle m_listener = kNoSocket;
    // the listening socket's read list shares this order: clients in the
    // order they connected
    std::vector<PeerInfo> m_clients;
    std::vector<pollfd> m_pollSet;
    SocketHandle m_target = kNoSocket;
    std::array<uint8_t, 2048> m_receive {};
};

} // namespace qx
