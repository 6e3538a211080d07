// The live trend of AI1..AI8 beside the AI table: the last ten minutes from
// a TrendRing, drawn with Qt Charts. Adding a sample costs one ring write;
// the chart is redrawn at most once a second, only while it is visible and
// only when samples came since the last redraw.
#pragma once

#include <array>
#include <chrono>

#include <QWidget>

#include "trend_ring.h"

class QChart;
class QChartView;
class QLineSeries;
class QTimer;
class QValueAxis;

namespace qx {

class AiTrendView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kRedrawMs = 1000;

    explicit AiTrendView(QWidget *parent = nullptr);

    void addSample(const std::array<float, kAnalogChannels> &values);
    // A sample at `timeMs` on the view's clock (benchmarks fill the ten
    // minutes at once this way).
    void addSampleAt(int64_t timeMs, const std::array<float, kAnalogChannels> &values);
    int64_t clockMs() const;
    // Scaled values or raw counts from now on; what was drawn so far goes.
    void setScaled(bool scaled);
    void clear();

    // Puts the samples that came since the last redraw on the chart; the
    // view's timer calls it while the chart is on screen.
    void redraw();

    const TrendRing &ring() const { return m_ring; }
    QLineSeries *series(int channel) const { return m_series[static_cast<std::size_t>(channel)]; }
    int redrawCount() const { return m_redraws; }
    // True while the chart is on screen and redrawn every kRedrawMs.
    bool redrawing() const;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    TrendRing m_ring;
    std::chrono::steady_clock::time_point m_origin = std::chrono::steady_clock::now();
    QChart *m_chart = nullptr;
    QChartView *m_view = nullptr;
    QValueAxis *m_timeAxis = nullptr;
    QValueAxis *m_valueAxis = nullptr;
    std::array<QLineSeries *, kAnalogChannels> m_series {};
    QTimer *m_timer = nullptr;
    bool m_dirty = false;
    int m_redraws = 0;
};

} // namespace qx
