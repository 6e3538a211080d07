#include "param_requests.h"

namespace qx {

SlotRequest paramReadRequest(uint8_t address)
{
    return {kSlotReadParams, RequestLength::kRead, transferRequest({}, address)};
}

SlotRequest paramWriteRequest(const ParamBlock &block, uint8_t address)
{
    return {kSlotWriteParams, RequestLength::kWriteParams, transferRequest(block.payload(), address)};
}

} // namespace qx
