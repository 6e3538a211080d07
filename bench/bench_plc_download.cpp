// bench_plc_download: a 100-block PLC program downloaded into qxsim's RAM
// through QXLIB with the page's state machine, over loopback Modbus TCP and
// over a pseudo-terminal in RTU framing at 115200 baud. Prints the total
// time, the packets, the mean round trip (request written to acknowledgement
// delivered) and the ratio to the ideal of one round trip plus the library's
// 8 ms pacing per packet. A pseudo-terminal moves bytes at once whatever its
// baud rate, so for RTU the time the same frames would take on a real
// 115200 baud line is printed beside it. Then the time the PLC check takes
// over 100 full blocks (it should stay under 5 ms).
//
//   bench_plc_download [check repetitions, default 200]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "bench_support.h"
#include "event_codes.h"
#include "plc_compiler.h"
#include "plc_download.h"
#include "response_records.h"
#include "transfer_packet_layout.h"

namespace {

using bench::Clock;
using bench::kPacingMs;
using bench::kRtuOverhead;
using bench::ms;

struct Timing
{
    std::mutex lock;
    uint32_t lastTx = 0;
    Clock::time_point sentAt;
    double roundTripMs = 0;
    long roundTrips = 0;
};

Timing g_link;
qxtest::AckQueue g_acks;

void onEvent(void *, int32_t code, const void *data)
{
    const auto *r = static_cast<const uint8_t *>(data);
    if (code == qx::kEventConnection) {
        g_acks.connection(r);
        return;
    }
    std::lock_guard lock(g_link.lock);
    if (code == qx::kEventLog) {
        if (bench::txMoved(r, g_link.lastTx))
            g_link.sentAt = Clock::now();
    } else if (code == qx::kEventPlcPacket) {
        g_link.roundTripMs += ms(Clock::now() - g_link.sentAt);
        ++g_link.roundTrips;
        g_acks.event(code, r);
    }
}

qx::PlcProject fullProgram()
{
    qx::PlcProject p;
    for (int b = 0; b < static_cast<int>(qx::kPlcBlockCount); ++b) {
        p.setState(b, qx::kBlockRuns);
        for (int r = 0; r < qx::kPlcRowsPerArea; ++r) {
            p.setRow(b, qx::PlcRowKind::Condition, r, {uint8_t(1 + (b + r) % 32), 1, 1, uint32_t(r & 1), 0});
            p.setRow(b, qx::PlcRowKind::Action, r, {uint8_t(1 + (b * 7 + r) % 32), 1, 1, uint32_t(b & 1), 0});
        }
    }
    return p;
}

bool download(bool rtu, uint16_t blockSize, const qx::ProgramImage &image)
{
    {
        std::lock_guard lock(g_link.lock);
        g_link.lastTx = 0;
        g_link.roundTripMs = 0;
        g_link.roundTrips = 0;
    }
    bench::TransferRig rig;
    if (!rig.open(rtu, &onEvent, g_acks))
        return false;
    double wireMs = 0; // RTU frames at 115200 baud, 10 bits a byte
    qx::TransferLink link;
    link.place = [&](const qx::TransferStep &s) {
        wireMs += double(s.packet.size() + kRtuOverhead + qx::EplcReplyLayout::kSize + kRtuOverhead) * 10.0
            * 1000.0 / 115200.0;
        qxtest::placeTransferPacket(rig.handle(), qx::kSlotPlcPacket, s.packet);
    };
    link.wait = [](int waitMs) { return g_acks.next(waitMs); };
    qx::PlcDownload d;
    const Clock::time_point t0 = Clock::now();
    const qx::TransferStep end = qx::runTransfer(d, d.start(image, qx::kEplcRamRun, blockSize), link).end;
    const double totalMs = ms(Clock::now() - t0);
    rig.close();

    std::lock_guard lock(g_link.lock);
    const long packets = g_link.roundTrips;
    const double rtt = packets > 0 ? g_link.roundTripMs / double(packets) : 0;
    const double ideal = double(d.packetsPlanned()) * (rtt + kPacingMs);
    std::printf("%-22s block %3u: %s, %ld packets (%d planned) in %.0f ms, %.2f ms each; "
                "round trip %.3f ms; ideal %.0f ms, ratio %.2f\n",
                bench::transportName(rtu), unsigned(blockSize),
                end.success ? "stored" : "FAILED", packets, d.packetsPlanned(), totalMs,
                packets > 0 ? totalMs / double(packets) : 0, rtt, ideal, ideal > 0 ? totalMs / ideal : 0);
    if (rtu)
        std::printf("%-22s            on a real 115200 baud line the frames alone take %.0f ms; "
                    "ideal %.0f ms\n",
                    "", wireMs, wireMs + double(d.packetsPlanned()) * kPacingMs);
    return end.success;
}

} // namespace

int main(int argc, char **argv)
{
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    const qx::PlcProject program = fullProgram();
    const qx::ScalingTables scaling;
    const qx::ProgramImage image = qx::buildProgramImage(program, scaling);

    bool ok = true;
    for (bool rtu : {false, true})
        for (uint16_t size : {uint16_t(64), uint16_t(256)})
            ok = download(rtu, size, image) && ok;

    double best = 1e9;
    double sum = 0;
    bool passed = true;
    for (int i = 0; i < repetitions; ++i) {
        const Clock::time_point t0 = Clock::now();
        passed = qx::checkPlcProject(program, scaling).ok && passed;
        const double took = ms(Clock::now() - t0);
        best = std::min(best, took);
        sum += took;
    }
    std::printf("PLC check of 100 full blocks (%s): mean %.3f ms, best %.3f ms over %d runs (%s 5 ms)\n",
                passed ? "passed" : "FAILED", sum / repetitions, best, repetitions,
                sum / repetitions < 5.0 ? "under" : "OVER");
    return ok && passed ? 0 : 1;
}
