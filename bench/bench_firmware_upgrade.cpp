// bench_firmware_upgrade: a firmware image of 128 parts (131071 bytes, the
// largest there is) sent to qxsim through QXLIB with the page's state
// machine, over loopback Modbus TCP and over a pseudo-terminal in RTU framing
// at 115200 baud. Prints the total time and the time per part, split into
//   send   request placed until the library has written it (TxCmd moves):
//          over TCP the 1036-byte frame goes in 448-byte pieces with 500 ms
//          between them, two pauses per part
//   answer written until the acknowledgement is delivered (round trip)
//   next   acknowledgement delivered until the next part is placed
// and the ratio to the ideal of one round trip plus the library's pacing per
// part (8 ms after each response, and the piece pauses where the transport
// has them). A pseudo-terminal moves bytes at once whatever its baud rate,
// so for RTU the time the same frames take on a real 115200 baud line is
// printed beside it.
//
//   bench_firmware_upgrade [parts, default 128]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "bench_support.h"
#include "event_codes.h"
#include "firmware_upgrade.h"
#include "response_records.h"

namespace {

using bench::Clock;
using bench::kPacingMs;
using bench::kRtuOverhead;
using bench::ms;
constexpr double kPiecePauseMs = 500.0; // between 448-byte pieces on the network transports
constexpr std::size_t kPieceSize = 448;
constexpr std::size_t kMbapOverhead = 7 + 1; // header and function code

struct Timing
{
    std::mutex lock;
    uint32_t lastTx = 0;
    Clock::time_point placedAt;
    Clock::time_point writtenAt;
    Clock::time_point ackAt;
    double sendMs = 0;
    double answerMs = 0;
    double nextMs = 0;
    long sends = 0;
    long answers = 0;
    long nexts = 0;
};

Timing g_link;
qxtest::AckQueue g_acks;

void onEvent(void *, int32_t code, const void *data)
{
    const auto *r = static_cast<const uint8_t *>(data);
    const Clock::time_point now = Clock::now();
    if (code == qx::kEventConnection) {
        g_acks.connection(r);
        return;
    }
    std::lock_guard lock(g_link.lock);
    if (code == qx::kEventLog) {
        if (bench::txMoved(r, g_link.lastTx)) {
            g_link.writtenAt = now;
            g_link.sendMs += ms(now - g_link.placedAt);
            ++g_link.sends;
        }
    } else if (code == qx::kEventBiosPacket) {
        g_link.ackAt = now;
        g_link.answerMs += ms(now - g_link.writtenAt);
        ++g_link.answers;
        g_acks.event(code, r);
    }
}

bool upgrade(bool rtu, const std::vector<uint8_t> &image)
{
    {
        std::lock_guard lock(g_link.lock);
        g_link.lastTx = 0;
        g_link.sendMs = g_link.answerMs = g_link.nextMs = 0;
        g_link.sends = g_link.answers = g_link.nexts = 0;
    }
    bench::TransferRig rig;
    if (!rig.open(rtu, &onEvent, g_acks))
        return false;
    // the TCP client's worker rests 100 ms once connected; that is the
    // link's start, not part of the transfer
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    qx::TransferLink link;
    link.place = [&](const qx::TransferStep &s) {
        {
            std::lock_guard lock(g_link.lock);
            g_link.placedAt = Clock::now();
            if (g_link.answers > 0) {
                g_link.nextMs += ms(g_link.placedAt - g_link.ackAt);
                ++g_link.nexts;
            }
        }
        qxtest::placeTransferPacket(rig.handle(), s.slot, s.packet);
    };
    link.wait = [](int waitMs) { return g_acks.next(waitMs); };
    qx::FirmwareUpgrade u;
    u.loadImage(image, "bench.bin");
    const Clock::time_point t0 = Clock::now();
    const qx::TransferStep end = qx::runTransfer(u, u.start(), link).end;
    const double totalMs = ms(Clock::now() - t0);
    rig.close();

    std::lock_guard lock(g_link.lock);
    const double parts = double(u.partsTotal());
    const double send = g_link.sends > 0 ? g_link.sendMs / double(g_link.sends) : 0;
    const double answer = g_link.answers > 0 ? g_link.answerMs / double(g_link.answers) : 0;
    const double next = g_link.nexts > 0 ? g_link.nextMs / double(g_link.nexts) : 0;
    const std::size_t frame = rtu ? qx::FirmwarePartLayout::kPayloadSize + kRtuOverhead
                                  : qx::FirmwarePartLayout::kPayloadSize + kMbapOverhead;
    const double pauses = rtu ? 0.0 : double((frame - 1) / kPieceSize) * kPiecePauseMs;
    // no pacing before the first part, none needed after the last answer
    const double ideal = parts * (answer + pauses) + (parts - 1) * kPacingMs;
    std::printf("%-20s %s, %.0f parts (%ld sent) in %.0f ms, %.1f ms per part: send %.1f, answer %.2f, "
                "next %.1f ms\n",
                bench::transportName(rtu), end.success ? "stored" : "FAILED", parts,
                g_link.sends, totalMs, totalMs / parts, send, answer, next);
    std::printf("%-20s   frame %zu bytes, %.0f ms of piece pauses per part; ideal (round trip + %.0f ms "
                "pacing + pauses) %.0f ms, ratio %.3f\n",
                "", frame, pauses, kPacingMs, ideal, ideal > 0 ? totalMs / ideal : 0);
    if (rtu) {
        // request and the 7-byte reply, 10 bits a byte
        const double wire = double(frame + 3 + kRtuOverhead) * 10.0 * 1000.0 / 115200.0;
        std::printf("%-20s   on a real 115200 baud line the frames alone take %.1f ms per part; "
                    "ideal %.0f ms\n",
                    "", wire, parts * wire + (parts - 1) * kPacingMs);
    }
    return end.success;
}

} // namespace

int main(int argc, char **argv)
{
    const int parts = argc > 1 ? std::clamp(std::atoi(argv[1]), 1, 128) : 128;
    // parts - 1 whole parts and one that is not full
    std::vector<uint8_t> image(std::size_t(parts) * 1024 - 1);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<uint8_t>(i * 31 + i / 1024);
    bool ok = true;
    for (bool rtu : {true, false})
        ok = upgrade(rtu, image) && ok;
    return ok ? 0 : 1;
}
