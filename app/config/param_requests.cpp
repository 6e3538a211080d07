#include "param_requests.h"

namespace qx {

RequestRecord paramReadRecord()
{
    return transferRequest({}, 0);
}

RequestRecord paramWriteRecord(const ParamBlock &block)
{
    return transferRequest(block.payload(), 0);
}

} // namespace qx
