// bench_shell_reconnect: what reconnecting costs the operator while a poll
// is running. QXTools' window (offscreen) connects to qxsim as TCP client,
// polls holding registers, and then alternately closes with "断开" and opens
// again over the running poll, the given number of times; it prints the
// time from "连接" to the module's identity on the page, the time "断开"
// takes while events arrive at full rate, and the time the window takes to
// close at the end.
//
//   bench_shell_reconnect [rounds, default 50]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>

#include "app_main.h"
#include "dialogs.h"
#include "library_binder.h"
#include "main_window.h"
#include "port_settings_builder.h"
#include "request_record.h"
#include "window_bench.h"

namespace {

struct Figures
{
    std::vector<double> ms;

    void print(const char *what) const
    {
        std::vector<double> v = ms;
        std::sort(v.begin(), v.end());
        if (v.empty())
            return;
        std::printf("%-34s n=%-3zu min %7.1f ms  median %7.1f ms  max %7.1f ms\n", what, v.size(), v.front(),
                    v[v.size() / 2], v.back());
    }
};

double msSince(const QElapsedTimer &t)
{
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    qxbench::preferOffscreen();
    QApplication application(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;

    qxbench::WindowRig rig;
    if (!rig.start())
        return 1;
    qx::AppMain &app = rig.app();
    const quint16 port = rig.port();
    const auto &ui = app.connectionPage().controls();
    qxbench::chooseQxsim(app.connectionPage(), port);

    int handled = 0;
    int identities = 0;
    QObject::connect(&app, &qx::AppMain::eventHandled, [&handled] { ++handled; });
    QObject::connect(&app, &qx::AppMain::identityShown, [&identities] { ++identities; });
    auto pollAndWait = [&] {
        qx::RequestRecord r;
        r.setMode(qx::kModeRepeat);
        r.setQuantity(8);
        app.sendRequest(qx::kSlotReadHoldingRegisters, r, qx::RequestLength::kRead);
        const int seen = handled;
        return qxbench::waitFor([&] { return handled > seen + 6; }, 10000);
    };

    Figures toIdentity;
    Figures reopenToIdentity;
    Figures closing;
    QElapsedTimer total;
    total.start();
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer t;
        t.start();
        const int shown = identities;
        const bool reopen = round % 2 == 1;
        if (reopen) {
            // Opening again destroys the polling port object first.
            qx::SettingsResult s = qx::buildTcpClientSettings("127.0.0.1", "127.0.0.1", port);
            app.openPort(s.settings);
        } else {
            ui.clientConnect->click();
        }
        if (!qxbench::waitFor([&] { return identities > shown; }, 10000)) {
            std::fprintf(stderr, "round %d: no identity within 10 s\n", round);
            return 1;
        }
        (reopen ? reopenToIdentity : toIdentity).ms.push_back(msSince(t));
        if (!pollAndWait()) {
            std::fprintf(stderr, "round %d: polling did not start\n", round);
            return 1;
        }
        if (!reopen)
            continue;
        t.restart();
        ui.clientClose->click();
        closing.ms.push_back(msSince(t));
    }
    const int shown = identities;
    ui.clientConnect->click();
    qxbench::waitFor([&] { return identities > shown; }, 10000);
    pollAndWait();
    QElapsedTimer closeTime;
    closeTime.start();
    app.mainWindow().close();
    const double closeMs = msSince(closeTime);

    std::printf("reconnects while polling: %d rounds in %.1f s\n", rounds, msSince(total) / 1000.0);
    toIdentity.print("connect button to identity:");
    reopenToIdentity.print("open over a poll to identity:");
    closing.print("close button while polling:");
    std::printf("%-34s %7.1f ms\n", "closing the window while polling:", closeMs);
    std::printf("messages shown: %d\n", rig.dialogs.messages);
    return 0;
}
