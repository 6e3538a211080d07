// Request records of the I/O pages.
#include "io_requests.h"

#include "byte_io.h"

namespace qx {

namespace {

// The first point of sub-station s with a stride of `stride` points from
// `origin`; with no sub-station, `none`.
uint32_t subStationStart(IoTarget t, uint32_t stride, uint32_t origin, uint32_t none)
{
    return t.subStation == 0 ? none : origin + stride * (t.subStation - 1u);
}

SlotRequest request(int slot, int32_t length, IoTarget t, uint8_t mode, uint32_t start,
                    uint32_t quantity)
{
    SlotRequest r;
    r.slot = slot;
    r.length = length;
    r.record.setMode(mode);
    r.record.setCounter(mode == kModeCounted ? 1 : 0);
    r.record.setAddress(t.address);
    r.record.setSubStation(t.subStation);
    r.record.setStart(start);
    r.record.setQuantity(quantity);
    return r;
}

SlotRequest poll(int slot, int32_t length, IoTarget t, uint32_t start, uint32_t quantity)
{
    return request(slot, length, t, kModeRepeat, start, quantity);
}

SlotRequest stop(int slot, int32_t length, IoTarget t)
{
    return request(slot, length, t, kModeIdle, 0, 0);
}

SlotRequest writeCoils(IoTarget t, uint32_t start, uint32_t quantity)
{
    return request(kSlotWriteCoils, RequestLength::kWriteCoils, t, kModeCounted, start, quantity);
}

SlotRequest writeRegisters(IoTarget t, uint32_t start, uint32_t quantity)
{
    return request(kSlotWriteRegisters, RequestLength::kWriteRegisters, t, kModeCounted, start,
                   quantity);
}

uint32_t digitalBase(IoTarget t)
{
    return subStationStart(t, 32, 0, 0);
}

constexpr uint32_t kOnlineInputs = 512;
constexpr uint32_t kSubStationCounters = 256;
constexpr uint32_t kCounterRegisters = 24;
constexpr uint32_t kClearCoils = 64;
constexpr uint32_t kSubStationClearCoils = 512;
constexpr uint32_t kPwmRegisters = 16;
constexpr uint32_t kPwmRunCoils = 32;

} // namespace

SlotRequest pollInputsRequest(IoTarget t)
{
    return poll(kSlotReadInputs, RequestLength::kRead, t, digitalBase(t), kDigitalPoints);
}

SlotRequest stopInputsRequest(IoTarget t)
{
    return stop(kSlotReadInputs, RequestLength::kRead, t);
}

SlotRequest pollOnlineRequest(IoTarget t)
{
    return poll(kSlotReadInputs, RequestLength::kRead, t, kOnlineInputs, 32);
}

SlotRequest pollOutputsRequest(IoTarget t)
{
    return poll(kSlotReadCoils, RequestLength::kRead, t, digitalBase(t), kDigitalPoints);
}

SlotRequest stopOutputsRequest(IoTarget t)
{
    return stop(kSlotReadCoils, RequestLength::kRead, t);
}

SlotRequest writeAllOutputsRequest(IoTarget t, bool on)
{
    SlotRequest r = writeCoils(t, digitalBase(t), kDigitalPoints);
    putU32le(r.record.payload(), 0, on ? 0xFFFFFFFFu : 0u);
    return r;
}

std::optional<SlotRequest> writeOutputRequest(IoTarget t, int n, bool on)
{
    if (n < 1 || n > kDigitalPoints)
        return std::nullopt;
    SlotRequest r = writeCoils(t, digitalBase(t) + static_cast<uint32_t>(n - 1), 1);
    r.record.payload()[0] = on ? 1 : 0;
    return r;
}

SlotRequest pollAnalogInputsRequest(IoTarget t)
{
    return poll(kSlotReadInputRegisters, RequestLength::kReadInputRegisters, t,
                subStationStart(t, 16, 0, 0), 2 * kAnalogChannels);
}

SlotRequest stopAnalogInputsRequest(IoTarget t)
{
    return stop(kSlotReadInputRegisters, RequestLength::kReadInputRegisters, t);
}

SlotRequest pollAnalogOutputsRequest(IoTarget t)
{
    return poll(kSlotReadHoldingRegisters, RequestLength::kRead, t, subStationStart(t, 8, 0, 0),
                kAnalogChannels);
}

SlotRequest stopAnalogOutputsRequest(IoTarget t)
{
    return stop(kSlotReadHoldingRegisters, RequestLength::kRead, t);
}

SlotRequest writeAnalogOutputRequest(IoTarget t, int n, uint16_t value)
{
    SlotRequest r = writeRegisters(t, subStationStart(t, 8, 0, 0) + static_cast<uint32_t>(n - 1), 1);
    putU16be(r.record.payload(), 0, value);
    return r;
}

int pwmOutputNumber(int index)
{
    return 2 * index + 1;
}

SlotRequest pwmSettingsRequest(IoTarget t, int index, PwmUnit unit, uint16_t high, uint16_t low)
{
    const auto n = static_cast<uint32_t>(pwmOutputNumber(index));
    SlotRequest r = writeRegisters(t, kPwmRegisters + 3 * (n - 1), 3);
    putU16be(r.record.payload(), 0, unit);
    putU16be(r.record.payload(), 2, high);
    putU16be(r.record.payload(), 4, low);
    return r;
}

SlotRequest pwmRunRequest(IoTarget t, int index, bool run)
{
    const auto n = static_cast<uint32_t>(pwmOutputNumber(index));
    SlotRequest r = writeCoils(t, kPwmRunCoils + (n - 1), 1);
    r.record.payload()[0] = run ? 0xFF : 0x00;
    return r;
}

SlotRequest pollCountersRequest(IoTarget t, CounterGroups groups)
{
    // first counter of the group (X1, X5, X13) and how many counters
    uint32_t first = 0;
    uint32_t count = 4;
    switch (groups) {
    case kCountersX5to12:
        first = 4;
        count = 8;
        break;
    case kCountersX13to24:
        first = 12;
        count = 12;
        break;
    case kCountersAll:
        count = kDigitalPoints;
        break;
    default:
        break;
    }
    const uint32_t start = subStationStart(t, 24, kSubStationCounters, kCounterRegisters) + 2 * first;
    return poll(kSlotReadInputRegisters, RequestLength::kReadInputRegisters, t, start, 2 * count);
}

SlotRequest stopCountersRequest(IoTarget t)
{
    return stop(kSlotReadInputRegisters, RequestLength::kReadInputRegisters, t);
}

SlotRequest clearCountersRequest(IoTarget t)
{
    SlotRequest r = writeCoils(t, subStationStart(t, 32, kSubStationClearCoils, kClearCoils),
                               kDigitalPoints);
    putU32le(r.record.payload(), 0, 0xFFFFFFFFu);
    return r;
}

} // namespace qx
