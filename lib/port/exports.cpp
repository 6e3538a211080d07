// The nine exported functions. The library keeps one current port; the handle
// given to the host is the address of the current-port pointer, which is why
// it is pointer-sized. The object is shared between this layer and its worker
// thread, so a port set aside by CREATE lives on until an abandoned worker has
// really ended.
#include "qxlib.h"

#include <memory>
#include <mutex>
#include <new>

#include "process_platform.h"
#include "socket_com_port.h"
#include "socket_tcp_cli_port.h"
#include "socket_tcp_port.h"
#include "socket_udp_port.h"

namespace {

using qx::PortBase;

std::mutex g_lock;
std::shared_ptr<PortBase> g_owner;
// What the handle designates; non-null exactly when g_owner is set.
qx::ICommBaseInterface *g_currentPort = nullptr;

// A host that unloads without DESTROY must not leave a worker calling into
// code that is going away.
struct StopAtUnload
{
    ~StopAtUnload()
    {
        if (qx::processIsEnding()) {
            // the worker is gone and may have left the port's locks held:
            // the port is neither stopped nor destroyed
            new std::shared_ptr<PortBase>(std::move(g_owner));
            g_currentPort = nullptr;
            return;
        }
        std::shared_ptr<PortBase> port;
        {
            std::lock_guard<std::mutex> lock(g_lock);
            port = g_owner;
        }
        if (port)
            port->stop();
    }
} g_stopAtUnload;

std::shared_ptr<PortBase> currentPort()
{
    std::lock_guard<std::mutex> lock(g_lock);
    return g_owner;
}

void setCurrentPort(std::shared_ptr<PortBase> port)
{
    std::shared_ptr<PortBase> previous;
    {
        std::lock_guard<std::mutex> lock(g_lock);
        previous = std::move(g_owner);
        g_owner = std::move(port);
        g_currentPort = g_owner.get();
    }
    // `previous` is released here, outside the lock; its worker (if it was
    // abandoned) still holds its own reference
}

intptr_t handleValue()
{
    return reinterpret_cast<intptr_t>(&g_currentPort);
}

std::shared_ptr<PortBase> makePort(uint32_t type, const PortSettings &settings,
                                   EventCallback callback)
{
    switch (type) {
    case qx::kTransportTcpServer:
        return std::make_shared<qx::CSocketTcpPort>(settings, callback);
    case qx::kTransportTcpClient:
        return std::make_shared<qx::CSocketTcpCliPort>(settings, callback);
    case qx::kTransportUdp:
        return std::make_shared<qx::CSocketUdpPort>(settings, callback);
    case qx::kTransportSerial:
        return std::make_shared<qx::CSocketComPort>(settings, callback);
    default:
        return nullptr;
    }
}

} // namespace

extern "C" {

int32_t DLL_API_OBJ_CREATE(PortSettings settings, EventCallback callback, intptr_t *handle_out)
{
    if (std::shared_ptr<PortBase> previous = currentPort())
        previous->stop();
    const uint32_t type = settings.word[0];
    int32_t result = 0;
    if (type <= qx::kTransportSerial) {
        try {
            setCurrentPort(makePort(type, settings, callback));
        } catch (const std::bad_alloc &) {
            setCurrentPort(nullptr);
            result = -1;
        }
    } else if (type == qx::kTransportNone) {
        setCurrentPort(nullptr);
        result = -1;
    }
    // any other type keeps the stopped port as the current one
    if (handle_out != nullptr)
        *handle_out = handleValue();
    return result;
}

int32_t DLL_API_OBJ_RUN(intptr_t)
{
    const std::shared_ptr<PortBase> port = currentPort();
    return port ? port->open() : 0;
}

int32_t DLL_API_OBJ_STOP(intptr_t)
{
    const std::shared_ptr<PortBase> port = currentPort();
    return port ? port->stop() : 0;
}

int32_t DLL_API_OBJ_DESTROY(intptr_t)
{
    // returns after at most the stop limit (2000 ms) even when the worker is
    // held in the host's callback
    if (const std::shared_ptr<PortBase> port = currentPort())
        port->stop();
    return 0;
}

int32_t DLL_API_OBJ_CMD(intptr_t, int32_t slot, const void *record, int32_t length)
{
    const std::shared_ptr<PortBase> port = currentPort();
    return port ? port->putCommand(slot, record, length) : 0;
}

void DLL_API_OBJ_RXBUFF_CLR(intptr_t)
{
    if (const std::shared_ptr<PortBase> port = currentPort())
        port->clearReceive();
}

int32_t DLL_API_OBJ_CMD_STOP_ALL(intptr_t)
{
    const std::shared_ptr<PortBase> port = currentPort();
    return port ? port->clearAll() : 0;
}

int32_t DLL_API_OBJ_CLR_STATIS(intptr_t)
{
    const std::shared_ptr<PortBase> port = currentPort();
    return port ? port->clearStatistics() : 0;
}

int32_t DLL_API_OBJ_QUERY(intptr_t)
{
    return 0;
}

} // extern "C"
