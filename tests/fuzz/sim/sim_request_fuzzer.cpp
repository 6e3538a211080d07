// The simulated module's slave side on arbitrary bytes: RTU and MBAP request
// cutting in chunks, then every cut request through the module model. A
// malformed request must never crash the module or produce an empty answer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz_target.h"
#include "sim_framing.h"
#include "sim_module.h"

namespace {

qx::sim::SimModule &module()
{
    // one module per process: the model keeps its state in memory only
    static qx::sim::SimModule m {qx::sim::ModuleSettings {}};
    return m;
}

void answer(const qx::sim::Request &request)
{
    if (request.pdu.empty())
        return;
    const std::vector<uint8_t> pdu = module().handle(request.pdu.data(), request.pdu.size());
    QX_FUZZ_CHECK(!pdu.empty());
    // the answer must still wrap into a frame of either kind
    (void)qx::sim::wrapRtu(request.unit, pdu);
    (void)qx::sim::wrapMbap(request.transaction, request.unit, pdu);
}

} // namespace

// The mode byte picks the framing, the first body byte the chunk size.
QX_FUZZ_TARGET(input)
{
    if (input.body().empty())
        return;
    const bool rtu = input.mode() & 1;
    const std::size_t chunk = 1 + (input.body()[0] % 32);
    const uint8_t *data = input.body().data() + 1;
    const std::size_t size = input.body().size() - 1;

    std::vector<qx::sim::Request> requests;
    qx::sim::RtuReceiver receiver(2000);
    std::vector<uint8_t> stream;
    uint64_t now = 0;
    for (std::size_t at = 0; at < size; at += chunk) {
        const std::size_t n = std::min(chunk, size - at);
        now += 500;
        if (rtu) {
            receiver.feed(data + at, n, now, requests);
        } else {
            stream.insert(stream.end(), data + at, data + at + n);
            qx::sim::Request request;
            for (;;) {
                const qx::sim::CutResult r = qx::sim::cutMbap(stream, request);
                if (r == qx::sim::CutResult::Wait)
                    break;
                if (r == qx::sim::CutResult::Malformed) {
                    stream.clear();
                    break;
                }
                requests.push_back(request);
            }
        }
        for (const qx::sim::Request &request : requests)
            answer(request);
        requests.clear();
    }
    if (rtu) {
        receiver.idle(now + 1000000, requests);
        for (const qx::sim::Request &request : requests)
            answer(request);
    }
}
