// bench_io_pages: how the window copes with the I/O pages polling at full
// rate. QXTools' window (offscreen unless a display is given) connects to
// qxsim as TCP client, starts "轮读DI", "轮读DO" and "轮读AI" with the log
// shown and the AI/AO page in front, and measures on the window thread the
// lateness of a 10 ms timer (p50, p99, max) and the thread's CPU time, with
// the AI trend shown (its ring full: ten minutes of samples) and with it
// switched off. Then it times one trend redraw (new data and a repaint of
// the chart) on the thread's CPU clock.
//
// With --screenshots DIR it then saves the three pages, live, as
// DIR/dido_page.png, DIR/aiao_page.png and DIR/pwm_page.png (the AI/AO page
// with the scaling file given by --scaling).
//
// With --lang en the window runs in English (each text from the catalogue).
//
//   bench_io_pages [seconds per phase, default 20] [--lang zh|en] [--screenshots DIR [--scaling FILE]]
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <vector>

#include <string>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QProcess>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>

#include "ai_trend_view.h"
#include "aiao_page.h"
#include "app_main.h"
#include "dialogs.h"
#include "dido_page.h"
#include "io_page_parts.h"
#include "language.h"
#include "library_binder.h"
#include "main_window.h"
#include "page_host.h"
#include "pwm_page.h"
#include "scaling_store.h"
#include "window_bench.h"

namespace {

double threadCpuSeconds()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

struct Phase
{
    std::vector<double> latenessMs;
    double cpuSeconds = 0;
    double wallSeconds = 0;
    int events = 0;
    int aiEvents = 0;
    int redraws = 0;
    int logPaints = 0;

    double percentile(double p) const
    {
        std::vector<double> v = latenessMs;
        std::sort(v.begin(), v.end());
        if (v.empty())
            return 0;
        return v[std::min(v.size() - 1, static_cast<std::size_t>(p * static_cast<double>(v.size())))];
    }

    void print(const char *what) const
    {
        std::printf("%s\n", what);
        std::printf("  events handled %d (%.0f/s), AI values %d (%.0f/s), trend redraws %d, log repaints %.0f/s\n",
                    events, events / wallSeconds, aiEvents, aiEvents / wallSeconds, redraws, logPaints / wallSeconds);
        std::printf("  10 ms timer lateness: p50 %.2f ms  p99 %.2f ms  max %.2f ms  (n=%zu)\n",
                    percentile(0.5), percentile(0.99), latenessMs.empty() ? 0.0 : *std::max_element(
                        latenessMs.begin(), latenessMs.end()), latenessMs.size());
        std::printf("  window thread CPU: %.1f %% of a core\n", 100.0 * cpuSeconds / wallSeconds);
    }
};

// Counts the paint events of the widget it filters.
class PaintCounter : public QObject
{
public:
    int count = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return QObject::eventFilter(watched, event);
    }
};

void grabPage(qx::AppMain &app, qx::PageHost::Page page, const QString &file)
{
    app.pageHost().setCurrentIndex(page);
    qxbench::settle(1500);
    if (app.mainWindow().grab().save(file))
        std::printf("saved %s\n", qPrintable(file));
    else
        std::fprintf(stderr, "could not save %s\n", qPrintable(file));
}

// The pages as an operator sees them while they poll.
void saveScreenshots(qx::AppMain &app, const QString &dir, const QString &scaling, qxbench::PrintingDialogs &dialogs)
{
    auto *dido = qobject_cast<qx::RO2000Set *>(app.pageHost().page(qx::PageHost::kDidoPage));
    auto *aiao = qobject_cast<qx::RO2000Tag *>(app.pageHost().page(qx::PageHost::kAiaoPage));
    auto *pwm = qobject_cast<qx::RO2000Scan *>(app.pageHost().page(qx::PageHost::kPipoPage));
    QDir().mkpath(dir);
    // pressed together: the writes wait for their slot in turn
    for (int n : {1, 3, 6})
        dido->controls().outputs[static_cast<std::size_t>(n - 1)]->click();
    grabPage(app, qx::PageHost::kDidoPage, dir + QStringLiteral("/dido_page.png"));

    if (!scaling.isEmpty()) {
        dialogs.file = scaling;
        aiao->controls().loadScaling->click();
    }
    aiao->controls().pollAo->click();
    aiao->controls().trendSwitch->setChecked(true);
    qxbench::settle(30000);
    grabPage(app, qx::PageHost::kAiaoPage, dir + QStringLiteral("/aiao_page.png"));

    const qx::RO2000Scan::PwmBox &y1 = pwm->controls().pwm[0];
    y1.unit->setCurrentIndex(1);
    y1.high->setText(QStringLiteral("100"));
    y1.low->setText(QStringLiteral("400"));
    y1.set->click();
    y1.run->click();
    pwm->controls().pollAll->click();
    grabPage(app, qx::PageHost::kPipoPage, dir + QStringLiteral("/pwm_page.png"));
}

} // namespace

int main(int argc, char *argv[])
{
    qxbench::preferOffscreen();
    QApplication application(argc, argv);
    int seconds = 20;
    QString screenshots;
    QString scaling;
    std::string language = "zh";
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QStringLiteral("--screenshots") && i + 1 < argc)
            screenshots = QString::fromLocal8Bit(argv[++i]);
        else if (arg == QStringLiteral("--scaling") && i + 1 < argc)
            scaling = QString::fromLocal8Bit(argv[++i]);
        else if (arg == QStringLiteral("--lang") && i + 1 < argc)
            language = argv[++i];
        else
            seconds = std::max(1, arg.toInt());
    }

    if (!qx::installLanguage(language)) {
        std::fprintf(stderr, "no catalogue for --lang %s\n", language.c_str());
        return 1;
    }
    qxbench::WindowRig rig;
    if (!rig.start())
        return 1;
    qx::AppMain &app = rig.app();
    qx::ScalingStore scalingTables;
    qx::placeIoPages(app, scalingTables);
    qx::MainWindow &window = app.mainWindow();
    window.show();
    if (!qxbench::connectToQxsim(app, rig.port()))
        return 1;

    auto *dido = qobject_cast<qx::RO2000Set *>(app.pageHost().page(qx::PageHost::kDidoPage));
    auto *aiao = qobject_cast<qx::RO2000Tag *>(app.pageHost().page(qx::PageHost::kAiaoPage));
    if (!dido || !aiao) {
        std::fprintf(stderr, "the I/O pages are not in place\n");
        return 1;
    }
    window.topTabs()->setCurrentIndex(1);
    app.pageHost().setCurrentIndex(qx::PageHost::kAiaoPage);
    dido->controls().pollInputs->click();
    dido->controls().pollOutputs->click();
    aiao->controls().pollAi->click();

    int events = 0;
    QObject::connect(&app, &qx::AppMain::eventHandled, [&events] { ++events; });
    int aiEvents = 0;
    QObject::connect(&app, &qx::AppMain::eventHandled, [&aiEvents](int code) {
        if (code == 6)
            ++aiEvents;
    });

    PaintCounter logPaints;
    window.log()->viewport()->installEventFilter(&logPaints);
    auto run = [&](Phase &phase) {
        QTimer tick;
        tick.setTimerType(Qt::PreciseTimer);
        tick.setInterval(10);
        QElapsedTimer between;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            phase.latenessMs.push_back(std::max(0.0, between.nsecsElapsed() / 1e6 - 10.0));
            between.restart();
        });
        const int events0 = events;
        const int ai0 = aiEvents;
        const int redraws0 = aiao->controls().trend->redrawCount();
        const int logPaints0 = logPaints.count;
        const double cpu0 = threadCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        between.start();
        tick.start();
        qxbench::settle(seconds * 1000);
        tick.stop();
        phase.wallSeconds = wall.nsecsElapsed() / 1e9;
        phase.cpuSeconds = threadCpuSeconds() - cpu0;
        phase.events = events - events0;
        phase.aiEvents = aiEvents - ai0;
        phase.redraws = aiao->controls().trend->redrawCount() - redraws0;
        phase.logPaints = logPaints.count - logPaints0;
    };

    // the worst case: ten minutes of samples, every slot of the ring in use
    qx::AiTrendView &trend = *aiao->controls().trend;
    const int64_t now = trend.clockMs();
    for (int64_t t = now - trend.ring().windowMs(); t < now; t += 500) {
        std::array<float, qx::kAnalogChannels> values {};
        for (std::size_t ch = 0; ch < values.size(); ++ch)
            values[ch] = static_cast<float>(32768.0 + 20000.0 * std::sin(static_cast<double>(t) / (3000.0 + 700.0 * ch)));
        trend.addSampleAt(t, values);
    }
    qxbench::settle(2000);
    window.setFrameMs(0);
    Phase perLine;
    run(perLine);
    window.setFrameMs(qx::MainWindow::kFrameMs);
    Phase withTrend;
    run(withTrend);
    aiao->controls().trendSwitch->setChecked(false);
    Phase withoutTrend;
    run(withoutTrend);

    std::printf("DI, DO and AI polls against qxsim, log shown, %d s per phase\n", seconds);
    perLine.print("AI trend shown, each log line and counter shown as it comes (before):");
    withTrend.print("AI trend shown, log and counters shown ten times a second (after):");
    withoutTrend.print("AI trend switched off, log and counters ten times a second:");
    std::printf("window thread CPU with the trend shown: %.1f %% of a core before, %.1f %% after "
                "(goal: under 10 %%)\n",
                100.0 * perLine.cpuSeconds / perLine.wallSeconds, 100.0 * withTrend.cpuSeconds / withTrend.wallSeconds);
    // The redraw itself, timed on this thread's CPU clock so that other
    // work on the machine does not count: new data and a repaint of the
    // chart with every slot of the ring in use, as the timer does it.
    aiao->controls().trendSwitch->setChecked(true);
    qxbench::settle(500);
    constexpr int kRedraws = 50;
    const double cpu0 = threadCpuSeconds();
    for (int i = 0; i < kRedraws; ++i) {
        std::array<float, qx::kAnalogChannels> values {};
        values.fill(static_cast<float>(30000 + 100 * i));
        trend.addSampleAt(trend.clockMs() + 500 * (i + 1), values);
        trend.redraw();
        trend.repaint();
    }
    const double perRedrawMs = 1000.0 * (threadCpuSeconds() - cpu0) / kRedraws;
    std::printf("trend redraw with %zu samples per channel: %.2f ms CPU each; at one redraw per %d ms "
                "that is %.2f %% of a core\n",
                trend.ring().size(), perRedrawMs, qx::AiTrendView::kRedrawMs,
                100.0 * perRedrawMs / qx::AiTrendView::kRedrawMs);
    std::printf("window thread CPU, trend shown minus trend off: %+.1f %% of a core (noisy on a shared "
                "machine)\n",
                100.0 * (withTrend.cpuSeconds / withTrend.wallSeconds
                         - withoutTrend.cpuSeconds / withoutTrend.wallSeconds));

    if (!screenshots.isEmpty())
        saveScreenshots(app, screenshots, scaling, rig.dialogs);

    window.close();
    return 0;
}
