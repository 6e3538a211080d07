// CSocketUdpPort: datagrams to and from one module (type 2, Modbus TCP
// framing). Requests follow the source of the last datagram received, so a
// module that answers from another address or port is still reached.
#pragma once

#include <array>

#include "port_base.h"

namespace qx {

class CSocketUdpPort : public PortBase
{
public:
    CSocketUdpPort(const PortSettings &settings, EventCallback callback);
    ~CSocketUdpPort() override;

protected:
    void threadBody() override;
    bool openTransport() override;
    void closeTransport() override;
    int32_t stopResult() const override { return 0; }
    void writeFrame(const uint8_t *data, std::size_t length) override;

private:
    SocketHandle m_socket = kNoSocket;
    sockaddr_in m_destination {};
    std::array<uint8_t, 2048> m_receive {};
};

} // namespace qx
