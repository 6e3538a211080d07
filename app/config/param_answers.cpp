#include "param_answers.h"

#include "config_texts.h"
#include "record_readers.h"
#include "response_records.h"

namespace qx {

ParamReadAnswer readParamAnswer(const uint8_t *payload, std::size_t length)
{
    ParamReadAnswer a;
    PayloadResult r = acceptPayload(payload, length);
    switch (r.status) {
    case PayloadStatus::Ok:
        a.ok = true;
        a.compact = r.compact;
        a.block = r.block;
        break;
    case PayloadStatus::BadChecksum:
        a.message = config_texts::kParamsBadChecksum;
        break;
    case PayloadStatus::Incomplete:
        a.message = config_texts::kParamsIncomplete;
        break;
    }
    return a;
}

ParamReadAnswer readParamReadEvent(const uint8_t *record)
{
    const std::span<const uint8_t> bytes = readRegisterBytes(record, RegisterRecordLayout::kParamCapacity);
    return readParamAnswer(bytes.data(), bytes.size());
}

ParamWriteAnswer readParamWriteEvent(const uint8_t *record)
{
    ParamWriteAnswer a;
    a.written = record[TransferReplyLayout::kStatus] != 0;
    a.message = a.written ? config_texts::kParamsWritten : config_texts::kParamsWriteFailed;
    return a;
}

} // namespace qx
