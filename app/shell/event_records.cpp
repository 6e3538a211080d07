#include "event_records.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "byte_io.h"
#include "connection_event.h"
#include "event_codes.h"
#include "gbk.h"
#include "identity_record.h"
#include "response_records.h"
#include "shell_texts.h"
#include "statistics_record.h"
#include "status_report_layout.h"
#include "transfer_packet_layout.h"

namespace qx {

namespace {

std::string gbkField(const uint8_t *record, std::size_t off, std::size_t size)
{
    const char *p = reinterpret_cast<const char *>(record + off);
    return gbkToUtf8(std::string_view(p, strnlen(p, size)));
}

// The record's length field, limited to what the record can hold.
std::size_t registerLength(const uint8_t *record, std::size_t capacity)
{
    int32_t n = getI32le(record, RegisterRecordLayout::kLength);
    if (n < 0)
        return 0;
    return static_cast<std::size_t>(n) > capacity ? capacity : static_cast<std::size_t>(n);
}

// Whole values of sizeof(T) bytes, most significant first, as many as arrived.
template<typename T, std::size_t N>
ArrivedValues<T, N> readBigEndianValues(const uint8_t *record)
{
    ArrivedValues<T, N> v;
    const uint8_t *d = record + RegisterRecordLayout::kData;
    v.count = std::min(registerLength(record, RegisterRecordLayout::kCapacity) / sizeof(T), N);
    for (std::size_t i = 0; i < v.count; ++i) {
        T value = 0;
        for (std::size_t b = 0; b < sizeof(T); ++b)
            value = static_cast<T>(value << 8 | d[i * sizeof(T) + b]);
        v.values[i] = value;
    }
    return v;
}

} // namespace

StatisticsView readStatistics(const uint8_t *record)
{
    using namespace StatisticsLayout;
    StatisticsView v;
    const std::size_t offsets[4] = {kTxCmd, kRxCmd, kTxByte, kRxByte};
    for (std::size_t i = 0; i < 4; ++i)
        v.counters[i] = std::to_string(getU32le(record, offsets[i]));
    for (std::size_t i = 0; i < kResponseClassCount; ++i)
        v.counters[4 + i] = std::to_string(getU32le(record, kResponseClass + 4 * i));
    v.hasLogLine = getU32le(record, kLogLength) != 0;
    if (v.hasLogLine)
        v.logLine = gbkField(record, kLogText, kLogTextSize) + "\r\n";
    return v;
}

ConnectionView readConnection(const uint8_t *record)
{
    using namespace ConnectionLayout;
    ConnectionView v;
    v.transportType = getU32le(record, kTransportType);
    v.state = getI32le(record, kState);
    const char *ip = reinterpret_cast<const char *>(record + kPeerAddress);
    v.peer = std::string(ip, strnlen(ip, kPeerAddressSize)) + ":"
        + std::to_string(getU16le(record, kPeerPort));
    return v;
}

IdentityView readIdentity(const uint8_t *record)
{
    using namespace IdentityLayout;
    IdentityView v;
    v.firmwareVersion = gbkField(record, kFirmwareVersion, kVersionSize);
    v.driverVersion = gbkField(record, kDriverVersion, kVersionSize);
    v.modelName = gbkField(record, kModelName, kModelNameSize);
    v.series = "0x0" + std::to_string(record[kSeries]);
    v.serialNumber = gbkField(record, kSerialNumber, kSerialNumberSize);
    v.factoryDate = gbkField(record, kFactoryDate, kFactoryDateSize);
    v.description = gbkField(record, kDescription, kDescriptionSize);
    return v;
}

RegisterBytes readRegisterBytes(const uint8_t *record, std::size_t capacity)
{
    return {record + RegisterRecordLayout::kData, registerLength(record, capacity)};
}

TransferStep readTransferStep(int kind, const uint8_t *record)
{
    TransferStep s;
    s.kind = kind;
    int32_t value = getI32le(record, TransferReplyLayout::kValue);
    if (record[TransferReplyLayout::kStatus] != 0) {
        s.nextPart = value + 1;
    } else {
        s.nextPart = value;
        s.logLine = kind == kEventBiosPacket ? texts::kBiosResend : texts::kFirmwareResend;
    }
    return s;
}

PlcAck readPlcAck(const uint8_t *record)
{
    PlcAck a;
    int32_t received = getI32le(record, TransferReplyLayout::kValue);
    std::size_t n = received < 0 ? 0 : static_cast<std::size_t>(received);
    n = std::min(n, TransferReplyLayout::kCapacity);
    if (n <= EplcReplyLayout::kStatus)
        return a;
    // The reply's data starts with the status byte itself.
    const uint8_t *d = record + TransferReplyLayout::kData;
    a.status = d[EplcReplyLayout::kStatus];
    a.success = a.status == EplcReplyLayout::kStatusOk;
    if (!a.success) {
        char line[128];
        std::snprintf(line, sizeof line, texts::kPlcResendFormat, static_cast<unsigned>(a.status));
        a.logLine = line;
    }
    a.complete = n >= EplcReplyLayout::kLength + 2;
    if (a.complete) {
        a.mode = d[EplcReplyLayout::kMode];
        a.block = d[EplcReplyLayout::kBlock];
        a.offset = getU16be(d, EplcReplyLayout::kOffset);
        a.length = getU16be(d, EplcReplyLayout::kLength);
    }
    return a;
}

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
    const std::size_t n = registerLength(record, RegisterRecordLayout::kCapacity);
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

std::size_t eventRecordSize(int32_t code)
{
    switch (code) {
    case kEventLog:
        return StatisticsLayout::kSize;
    case kEventConnection:
        return ConnectionLayout::kSize;
    case kEventIdentity:
        return IdentityLayout::kSize;
    case kEventOther:
    case kEventCoilsWritten:
    case kEventRegistersWritten:
        return EmptyRecordLayout::kSize;
    case kEventInputs:
    case kEventCoils:
        return BitRecordLayout::kSize;
    case kEventInputRegisters:
    case kEventHoldingRegisters:
    case kEventStatusReport:
        return RegisterRecordLayout::kSize;
    case kEventParamsRead:
        return RegisterRecordLayout::kParamSize;
    case kEventParamsWritten:
    case kEventBiosPacket:
    case kEventFirmwarePacket:
    case kEventPlcPacket:
        return TransferReplyLayout::kSize;
    default:
        return 0;
    }
}

} // namespace qx
