#include "param_requests.h"

#include <vector>

namespace qx {

namespace {

RequestRecord onceRecord()
{
    RequestRecord r;
    r.setMode(kModeCounted);
    r.setCounter(1);
    r.setSubStation(0);
    // these slots take no start and quantity
    r.setStart(65535);
    r.setQuantity(65535);
    return r;
}

} // namespace

RequestRecord paramReadRecord()
{
    return onceRecord();
}

RequestRecord paramWriteRecord(const ParamBlock &block)
{
    RequestRecord r = onceRecord();
    const std::vector<uint8_t> payload = block.payload();
    r.setPayload(payload.data(), payload.size());
    return r;
}

} // namespace qx
