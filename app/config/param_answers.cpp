#include "param_answers.h"

#include "config_texts.h"

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
        a.message = texts::kParamsBadChecksum;
        break;
    case PayloadStatus::Incomplete:
        a.message = texts::kParamsIncomplete;
        break;
    }
    return a;
}

ParamWriteAnswer readParamWriteAnswer(uint8_t status)
{
    ParamWriteAnswer a;
    a.written = status != 0;
    a.message = a.written ? texts::kParamsWritten : texts::kParamsWriteFailed;
    return a;
}

} // namespace qx
