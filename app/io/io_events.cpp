#include "io_events.h"

#include <algorithm>
#include <cstring>

#include "byte_io.h"
#include "record_readers.h"
#include "response_records.h"
#include "status_report_layout.h"

namespace qx {

namespace {

// Whole values of sizeof(T) bytes, most significant first, as many as arrived.
template<typename T, std::size_t N>
ArrivedValues<T, N> readBigEndianValues(const uint8_t *record)
{
    ArrivedValues<T, N> v;
    const uint8_t *d = record + RegisterRecordLayout::kData;
    v.count = std::min(readRegisterBytes(record, RegisterRecordLayout::kCapacity).size() / sizeof(T), N);
    for (std::size_t i = 0; i < v.count; ++i) {
        T value = 0;
        for (std::size_t b = 0; b < sizeof(T); ++b)
            value = static_cast<T>(value << 8 | d[i * sizeof(T) + b]);
        v.values[i] = value;
    }
    return v;
}

} // namespace

ArrivedValues<uint32_t, 48> readInputRegisterValues(const uint8_t *record)
{
    return readBigEndianValues<uint32_t, 48>(record);
}

ArrivedValues<uint16_t, 16> readHoldingRegisterValues(const uint8_t *record)
{
    return readBigEndianValues<uint16_t, 16>(record);
}

StatusReport readStatusReport(const uint8_t *record)
{
    namespace L = StatusReportLayout;
    // the arrays hold the layout's sections exactly
    static_assert(sizeof(decltype(StatusReport::inputBits)::value_type) == L::kInputsSize);
    static_assert(sizeof(decltype(StatusReport::coilBits)::value_type) == L::kCoilsSize);
    static_assert(sizeof(decltype(StatusReport::analog32)::value_type) == L::kAnalog32Size);
    static_assert(sizeof(decltype(StatusReport::analog16)::value_type) == L::kAnalog16Size);
    static_assert(sizeof(decltype(StatusReport::pulse)::value_type) == L::kPulseSize);
    StatusReport r;
    const std::size_t n = readRegisterBytes(record, RegisterRecordLayout::kCapacity).size();
    const uint8_t *d = record + RegisterRecordLayout::kData;
    if (n == 0)
        return r;
    r.flags = d[0];
    // The announced section, or null when it is not announced or the data
    // ends before it does.
    const auto section = [&](uint8_t flag, std::size_t size) -> const uint8_t * {
        const std::size_t at = L::sectionOffset(r.flags, flag);
        return at != 0 && at + size <= n ? d + at : nullptr;
    };
    if (const uint8_t *p = section(L::kFlagInputs, L::kInputsSize))
        std::memcpy(r.inputBits.emplace().data(), p, L::kInputsSize);
    if (const uint8_t *p = section(L::kFlagCoils, L::kCoilsSize))
        std::memcpy(r.coilBits.emplace().data(), p, L::kCoilsSize);
    if (const uint8_t *p = section(L::kFlagAnalog32, L::kAnalog32Size)) {
        auto &values = r.analog32.emplace();
        for (std::size_t i = 0; i < values.size(); ++i)
            values[i] = getU32be(p, 4 * i);
    }
    if (const uint8_t *p = section(L::kFlagAnalog16, L::kAnalog16Size)) {
        auto &values = r.analog16.emplace();
        for (std::size_t i = 0; i < values.size(); ++i)
            values[i] = getU16be(p, 2 * i);
    }
    if (const uint8_t *p = section(L::kFlagPulseMask, L::kPulseSize)) {
        auto &values = r.pulse.emplace();
        for (std::size_t i = 0; i < values.size(); ++i)
            values[i] = getU32be(p, 4 * i);
    }
    return r;
}

} // namespace qx
