// Event codes that the library reports through the host's EventCallback.
#pragma once

#include <cstdint>

namespace qx {

enum EventCode : int32_t {
    kEventLog = -2, // StatisticsRecord: a log line is ready, or statistics cleared
    kEventConnection = -1, // ConnectionEvent
    kEventIdentity = 0, // IdentityRecord (0x11)
    kEventOther = 1, // any other function, exception responses included
    kEventInputs = 2, // BitRecord (0x02)
    kEventCoils = 4, // BitRecord (0x01)
    kEventCoilsWritten = 5, // 0x05, 0x0F
    kEventInputRegisters = 6, // RegisterRecord (0x04)
    kEventHoldingRegisters = 8, // RegisterRecord (0x03)
    kEventRegistersWritten = 9, // 0x10
    kEventParamsRead = 14, // RegisterRecord (0x41)
    kEventParamsWritten = 15, // TransferReply (0x42)
    kEventBiosPacket = 16, // TransferReply (0x43)
    kEventFirmwarePacket = 17, // TransferReply (0x44)
    kEventPlcPacket = 18, // TransferReply with data (0x46)
    kEventStatusReport = 19, // RegisterRecord (0x45)
};

} // namespace qx
