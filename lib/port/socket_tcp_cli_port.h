// CSocketTcpCliPort: the PC connects to one module (type 1, Modbus TCP).
#pragma once

#include <array>
#include <atomic>

#include "port_base.h"

namespace qx {

class CSocketTcpCliPort : public PortBase
{
public:
    static constexpr std::chrono::milliseconds kConnectLimit {5000};
    static constexpr std::chrono::milliseconds kAfterConnect {100};

    CSocketTcpCliPort(const PortSettings &settings, EventCallback callback);
    ~CSocketTcpCliPort() override;

protected:
    void threadBody() override;
    bool openTransport() override;
    void closeTransport() override;
    int32_t stopResult() const override { return 0; }
    void writeFrame(const uint8_t *data, std::size_t length) override;

private:
    enum class Connect {
        Pending,
        Established,
        Failed,
    };
    Connect startConnect();
    Connect checkConnect(int waitMs);
    // The worker ends after a failed connect or a closed connection.
    void endConnection(int32_t state);

    SocketHandle m_socket = kNoSocket;
    std::array<uint8_t, 2048> m_receive {};
};

} // namespace qx
