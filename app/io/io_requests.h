// The requests of the three I/O pages (DI/DO, AI/AO, PWM/counters): which
// command slot, which record and how many of its bytes the library takes.
// Each request carries the module address read when it is built and the
// "子机号" value (0 for "无", 1..10); the first point moves with the
// sub-station by each page's own stride.
#pragma once

#include <cstdint>
#include <optional>

#include "request_record.h"

namespace qx {

inline constexpr int kSubStationCount = 10; // "子机1" .. "子机10"
inline constexpr int kDigitalPoints = 24; // X1..X24, Y1..Y24 are live
inline constexpr int kDigitalButtons = 32; // the pages show X1..X32, Y1..Y32
inline constexpr int kAnalogChannels = 8;
inline constexpr int kPwmOutputs = 4; // Y1, Y3, Y5, Y7
inline constexpr int kCounterFields = 32; // "X1计数:" .. "X32计数:"; X1..X24 filled

struct IoTarget {
    uint8_t address = 1; // the connection page's Modbus address
    uint8_t subStation = 0; // 0 none, 1..10
};

// DI/DO page: points move by 32 per sub-station.
SlotRequest pollInputsRequest(IoTarget target);
SlotRequest stopInputsRequest(IoTarget target); // both "停止轮读" of slot 2
SlotRequest pollOnlineRequest(IoTarget target); // always from point 512
SlotRequest pollOutputsRequest(IoTarget target);
SlotRequest stopOutputsRequest(IoTarget target);
SlotRequest writeAllOutputsRequest(IoTarget target, bool on);
// Yn, n = 1..24; Y25..Y32 send nothing.
std::optional<SlotRequest> writeOutputRequest(IoTarget target, int n, bool on);

// AI/AO page: AI registers move by 16, AO registers by 8.
SlotRequest pollAnalogInputsRequest(IoTarget target);
SlotRequest stopAnalogInputsRequest(IoTarget target);
SlotRequest pollAnalogOutputsRequest(IoTarget target);
SlotRequest stopAnalogOutputsRequest(IoTarget target);
// AOn, n = 1..8.
SlotRequest writeAnalogOutputRequest(IoTarget target, int n, uint16_t value);

// PWM/counter page. The counter groups are also the page's group mask.
enum CounterGroups : uint8_t {
    kCountersNone = 0,
    kCountersX1to4 = 16,
    kCountersX5to12 = 32,
    kCountersX13to24 = 64,
    kCountersAll = 112,
};

enum PwmUnit : uint16_t {
    kPwmMicroseconds = 0,
    kPwmMilliseconds = 1,
    kPwmSeconds = 2,
};

// Output index 0..3 is Y1, Y3, Y5, Y7. PWM registers and coils do not move
// with the sub-station; the record still names it.
int pwmOutputNumber(int index);
SlotRequest pwmSettingsRequest(IoTarget target, int index, PwmUnit unit, uint16_t high,
                               uint16_t low);
SlotRequest pwmRunRequest(IoTarget target, int index, bool run);
// One of the four polls (16, 32, 64 or 112); counters move by 24 registers
// per sub-station from 256.
SlotRequest pollCountersRequest(IoTarget target, CounterGroups groups);
SlotRequest stopCountersRequest(IoTarget target);
// All 24 clear coils; they move by 32 per sub-station from 512.
SlotRequest clearCountersRequest(IoTarget target);

} // namespace qx
