// ICommBaseInterface: the six operations every port object offers, in the
// order of the exported functions that reach them. The library's current-port
// pointer designates this part of the object.
#pragma once

#include <cstdint>

namespace qx {

class ICommBaseInterface
{
public:
    // slot 0: open the transport and start the worker (DLL_API_OBJ_RUN)
    virtual int32_t open() = 0;
    // slot 1: stop the worker and close the transport (STOP, DESTROY, CREATE)
    virtual int32_t stop() = 0;
    // slot 2: clear all command slots and engine buffers (CMD_STOP_ALL)
    virtual int32_t clearAll() = 0;
    // slot 3: clear the statistics and report them (CLR_STATIS)
    virtual int32_t clearStatistics() = 0;
    // slot 4: put a request record into a command slot (CMD)
    virtual int32_t putCommand(int32_t slot, const void *record, int32_t length) = 0;
    // slot 5: drop received bytes not yet decoded (RXBUFF_CLR)
    virtual void clearReceive() = 0;

    // declared after the six operations so that they keep their slots
    virtual ~ICommBaseInterface() = default;
};

} // namespace qx
