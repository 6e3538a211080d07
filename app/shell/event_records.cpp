#include "event_records.h"

#include <cstring>

#include "byte_io.h"
#include "connection_event.h"
#include "event_codes.h"
#include "gbk.h"
#include "identity_record.h"
#include "model_catalogue.h"
#include "response_records.h"
#include "statistics_record.h"
#include "text_catalogue.h"

namespace qx {

namespace {

std::string gbkField(const uint8_t *record, std::size_t off, std::size_t size)
{
    const char *p = reinterpret_cast<const char *>(record + off);
    return gbkToUtf8(std::string_view(p, strnlen(p, size)));
}

// The module's description in the operator's language: the library joins
// it from the model catalogue's words, which translate one by one.
std::string shownDescription(std::string description)
{
    if (!textCatalogueInstalled())
        return description;
    return ModelCatalogue::translateDescription(
        description, [](std::string_view word) { return std::string(translatedText(word)); });
}

// A log line in the operator's language: the library starts it with one of
// two headers, and the hex bytes after it are the same in every language.
std::string shownLogLine(std::string line)
{
    if (!textCatalogueInstalled())
        return line;
    for (const char *header : {kLogHeaderSent, kLogHeaderReceived}) {
        if (line.starts_with(header))
            return translatedText(header) + line.substr(std::strlen(header));
    }
    return line;
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
        v.logLine = shownLogLine(gbkField(record, kLogText, kLogTextSize)) + "\r\n";
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
    v.description = shownDescription(gbkField(record, kDescription, kDescriptionSize));
    return v;
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
