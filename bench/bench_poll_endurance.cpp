// bench_poll_endurance: whether QXTools holds its memory over a long poll.
// The window (offscreen unless a display is given) connects to qxsim as TCP
// client and polls the digital inputs ("轮读DI") the whole time, and in turn
// the analog inputs ("轮读AI") and all counters ("轮读全部") for half a
// minute each, since both read the module's input registers. Every minute
// it prints the resident memory and the events handled since the last line;
// at the end the process's descriptors, threads and resident memory beside
// those after the first minute.
//
//   bench_poll_endurance [seconds, default 600] [seconds per line, default 60]
#include <algorithm>
#include <cstdio>
#include <map>

#include <QApplication>
#include <QPushButton>

#include "aiao_page.h"
#include "app_main.h"
#include "dido_page.h"
#include "event_codes.h"
#include "io_page_parts.h"
#include "main_window.h"
#include "page_host.h"
#include "process_figures.h"
#include "pwm_page.h"
#include "window_bench.h"

int main(int argc, char *argv[])
{
    qxbench::preferOffscreen();
    QApplication application(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 600;
    const int lineSeconds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 60;
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    qxbench::WindowRig rig;
    if (!rig.start())
        return 1;
    qx::AppMain &app = rig.app();
    qx::ScalingStore scalingTables;
    qx::placeIoPages(app, scalingTables);
    app.mainWindow().show();
    if (!qxbench::connectToQxsim(app, rig.port()))
        return 1;
    auto *dido = qobject_cast<qx::RO2000Set *>(app.pageHost().page(qx::PageHost::kDidoPage));
    auto *aiao = qobject_cast<qx::RO2000Tag *>(app.pageHost().page(qx::PageHost::kAiaoPage));
    auto *pipo = qobject_cast<qx::RO2000Scan *>(app.pageHost().page(qx::PageHost::kPipoPage));
    if (!dido || !aiao || !pipo) {
        std::fprintf(stderr, "the I/O pages are not in place\n");
        return 1;
    }
    std::map<int, long> events;
    QObject::connect(&app, &qx::AppMain::eventHandled, [&events](int code) { ++events[code]; });

    dido->controls().pollInputs->click();
    bool counters = false;
    auto swapInputRegisterPoll = [&] {
        if (counters) {
            pipo->controls().stop->click();
            aiao->controls().pollAi->click();
        } else {
            aiao->controls().stopAi->click();
            pipo->controls().pollAll->click();
        }
        counters = !counters;
    };
    aiao->controls().pollAi->click();

    std::printf("DI polled throughout, AI and counters in turn every 30 s, against qxsim for %d s\n", seconds);
    std::printf("%8s %12s %10s %16s\n", "time", "resident", "DI events", "AI/counter events");
    bench::ProcessFigures first;
    std::map<int, long> lastLine;
    int elapsed = 0;
    int sinceSwap = 0;
    while (elapsed < seconds) {
        const int step = std::min({lineSeconds - elapsed % lineSeconds, seconds - elapsed, 30 - sinceSwap});
        qxbench::settle(step * 1000);
        elapsed += step;
        sinceSwap += step;
        if (sinceSwap == 30) {
            swapInputRegisterPoll();
            sinceSwap = 0;
        }
        if (elapsed % lineSeconds != 0 && elapsed != seconds)
            continue;
        auto count = [&](int code) { return events[code] - lastLine[code]; };
        const bench::ProcessFigures f = bench::processFigures();
        if (first.residentKiB == 0)
            first = f;
        std::printf("%6d s %8ld KiB %10ld %16ld\n", elapsed, f.residentKiB, count(qx::kEventInputs),
                    count(qx::kEventInputRegisters));
        lastLine = events;
    }
    bench::printFigures("after the first line:", first);
    bench::printFigures("at the end:", bench::processFigures());
    std::printf("messages shown: %d\n", rig.dialogs.messages);
    app.mainWindow().close();
    return 0;
}
