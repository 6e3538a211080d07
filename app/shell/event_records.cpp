#include "event_records.h"

#include <cstdio>
#include <cstring>

#include "byte_io.h"
#include "connection_event.h"
#include "crc16.h"
#include "event_codes.h"
#include "gbk.h"
#include "identity_record.h"
#include "response_records.h"
#include "shell_texts.h"
#include "statistics_record.h"

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

ParamBlockCheck checkParamBlock(const uint8_t *record)
{
    ParamBlockCheck r;
    std::size_t n = registerLength(record, RegisterRecordLayout::kParamCapacity);
    if (n <= 2) {
        r.message = texts::kParamsIncomplete;
        return r;
    }
    const uint8_t *data = record + RegisterRecordLayout::kData;
    // The block carries its checksum high-order byte first, unlike a frame.
    if (crc16(data, n - 2) != getU16be(data, n - 2)) {
        r.message = texts::kParamsBadChecksum;
        return r;
    }
    r.ok = true;
    r.block.assign(data, data + n - 2);
    return r;
}

ParamWriteAnswer readParamWriteAnswer(const uint8_t *record)
{
    ParamWriteAnswer a;
    a.written = record[TransferReplyLayout::kStatus] != 0;
    a.message = a.written ? texts::kParamsWritten : texts::kParamsWriteFailed;
    return a;
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

PlcStep readPlcStep(const uint8_t *record)
{
    PlcStep s;
    s.status = record[TransferReplyLayout::kStatus];
    s.value = getI32le(record, TransferReplyLayout::kValue);
    s.success = s.status == 0;
    s.data.assign(record + TransferReplyLayout::kData,
                  record + TransferReplyLayout::kData + TransferReplyLayout::kCapacity);
    if (!s.success) {
        char line[128];
        std::snprintf(line, sizeof line, texts::kPlcResendFormat, static_cast<unsigned>(s.status));
        s.logLine = line;
    }
    return s;
}

std::array<uint32_t, 48> readInputRegisterValues(const uint8_t *record)
{
    std::array<uint32_t, 48> v {};
    std::size_t n = registerLength(record, RegisterRecordLayout::kCapacity);
    const uint8_t *d = record + RegisterRecordLayout::kData;
    for (std::size_t i = 0; i < v.size() && 4 * i + 4 <= n; ++i)
        v[i] = static_cast<uint32_t>(getU16be(d, 4 * i)) << 16 | getU16be(d, 4 * i + 2);
    return v;
}

std::array<uint16_t, 16> readHoldingRegisterValues(const uint8_t *record)
{
    std::array<uint16_t, 16> v {};
    std::size_t n = registerLength(record, RegisterRecordLayout::kCapacity);
    const uint8_t *d = record + RegisterRecordLayout::kData;
    for (std::size_t i = 0; i < v.size() && 2 * i + 2 <= n; ++i)
        v[i] = getU16be(d, 2 * i);
    return v;
}

StatusReport readStatusReport(const uint8_t *record)
{
    StatusReport r;
    std::size_t n = registerLength(record, RegisterRecordLayout::kCapacity);
    const uint8_t *d = record + RegisterRecordLayout::kData;
    if (n == 0)
        return r;
    r.flags = d[0];
    std::size_t at = 1;
    auto room = [&](std::size_t bytes) { return at + bytes <= n; };
    if (r.flags & 0x01) {
        if (!room(4))
            return r;
        r.inputBits.emplace();
        std::memcpy(r.inputBits->data(), d + at, 4);
        at += 4;
    }
    if (r.flags & 0x02) {
        if (!room(4))
            return r;
        r.coilBits.emplace();
        std::memcpy(r.coilBits->data(), d + at, 4);
        at += 4;
    }
    if (r.flags & 0x04) {
        if (!room(32))
            return r;
        r.analog32.emplace();
        for (std::size_t i = 0; i < 8; ++i)
            (*r.analog32)[i] = static_cast<uint32_t>(getU16be(d, at + 4 * i)) << 16
                | getU16be(d, at + 4 * i + 2);
        at += 32;
    }
    if (r.flags & 0x08) {
        if (!room(16))
            return r;
        r.analog16.emplace();
        for (std::size_t i = 0; i < 8; ++i)
            (*r.analog16)[i] = getU16be(d, at + 2 * i);
        at += 16;
    }
    if (r.flags & 0x70) {
        if (!room(128))
            return r;
        r.pulse.emplace();
        for (std::size_t i = 0; i < 32; ++i)
            (*r.pulse)[i] = static_cast<uint32_t>(getU16be(d, at + 4 * i)) << 16
                | getU16be(d, at + 4 * i + 2);
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
