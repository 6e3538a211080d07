// The blocking driver of an acknowledged transfer.
#include "acked_transfer.h"

#include <algorithm>
#include <chrono>

namespace qx {

TransferResult runTransfer(AckedTransfer &transfer, TransferStep step, const TransferLink &link, int ackTimeoutMs)
{
    using Clock = std::chrono::steady_clock;
    TransferResult result;
    Clock::time_point deadline;
    int silentWaits = 0;
    for (;;) {
        if (step.kind == TransferStep::Kind::Send) {
            link.place(step);
            deadline = Clock::now() + std::chrono::milliseconds(ackTimeoutMs);
        }
        if (link.report && (step.kind != TransferStep::Kind::Nothing || !step.log.empty()))
            link.report(step);
        if (step.kind == TransferStep::Kind::Finished || !transfer.running()) {
            result.end = std::move(step);
            return result;
        }
        if (link.cancel != nullptr && link.cancel->load()) {
            result.cancelled = true;
            step = transfer.cancel(TransferStop::Operator);
            continue;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            if (link.silentWaitsLimit > 0 && ++silentWaits >= link.silentWaitsLimit) {
                result.gaveUp = true;
                step = transfer.cancel(TransferStop::NoAnswer);
            } else {
                step = transfer.timeout();
            }
            continue;
        }
        // in slices while a cancel may come, so that it is seen in time
        const int wait = link.cancel != nullptr ? int(std::min<long long>(left, kTransferCancelPollMs)) : int(left);
        const TransferWait got = link.wait(wait);
        switch (got.kind) {
        case TransferWait::Kind::LinkLost:
            result.gaveUp = true;
            step = transfer.cancel(TransferStop::LinkGone);
            break;
        case TransferWait::Kind::Answer:
            // an answer the transfer ignores leaves the deadline where it was
            step = transfer.acknowledge(got.code, got.record.data());
            if (step.kind != TransferStep::Kind::Nothing)
                silentWaits = 0;
            break;
        case TransferWait::Kind::Nothing:
            step = {};
            break;
        }
    }
}

} // namespace qx
