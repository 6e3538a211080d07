#include "ai_trend_view.h"

#include <algorithm>
#include <limits>

#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>

#include "io_page_parts.h"
#include "io_texts.h"
#include "ui_text.h"

namespace qx {

AiTrendView::AiTrendView(QWidget *parent)
    : QWidget(parent)
{
    m_chart = new QChart;
    m_chart->legend()->setAlignment(Qt::AlignBottom);
    m_chart->setMargins(QMargins(2, 2, 2, 2));
    m_timeAxis = new QValueAxis(m_chart);
    m_timeAxis->setRange(-static_cast<double>(m_ring.windowMs()) / 1000.0, 0.0);
    m_timeAxis->setLabelFormat(QStringLiteral("%d"));
    m_timeAxis->setTitleText(uiText(io_texts::kTrendTimeAxis));
    m_valueAxis = new QValueAxis(m_chart);
    m_valueAxis->setRange(0.0, 1.0);
    m_chart->addAxis(m_timeAxis, Qt::AlignBottom);
    m_chart->addAxis(m_valueAxis, Qt::AlignLeft);
    for (int ch = 0; ch < kAnalogChannels; ++ch) {
        auto *series = new QLineSeries(m_chart);
        series->setName(uiTextOf(io_texts::kTrendSeriesFormat, ch + 1));
        m_chart->addSeries(series);
        series->attachAxis(m_timeAxis);
        series->attachAxis(m_valueAxis);
        m_series[static_cast<std::size_t>(ch)] = series;
    }
    setScaled(false);

    m_view = new QChartView(m_chart, this);
    m_view->setRenderHint(QPainter::Antialiasing, false);
    m_view->setAccessibleName(uiText(io_texts::kTrendSwitch));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);

    m_timer = new QTimer(this);
    m_timer->setInterval(kRedrawMs);
    connect(m_timer, &QTimer::timeout, this, &AiTrendView::redraw);
}

void AiTrendView::addSample(const std::array<float, kAnalogChannels> &values)
{
    addSampleAt(clockMs(), values);
}

void AiTrendView::addSampleAt(int64_t timeMs, const std::array<float, kAnalogChannels> &values)
{
    m_ring.add(timeMs, values);
    m_dirty = true;
}

int64_t AiTrendView::clockMs() const
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now() - m_origin).count();
}

void AiTrendView::setScaled(bool scaled)
{
    m_valueAxis->setTitleText(uiText(scaled ? io_texts::kTrendScaledAxis : io_texts::kTrendRawAxis));
    clear();
}

void AiTrendView::clear()
{
    m_ring.clear();
    for (QLineSeries *s : m_series)
        s->clear();
    m_dirty = false;
}

bool AiTrendView::redrawing() const
{
    return m_timer->isActive();
}

void AiTrendView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    redraw();
    m_timer->start();
}

void AiTrendView::hideEvent(QHideEvent *event)
{
    m_timer->stop();
    QWidget::hideEvent(event);
}

void AiTrendView::redraw()
{
    if (!m_dirty || m_ring.size() == 0)
        return;
    m_dirty = false;
    ++m_redraws;
    // time runs to the left from the newest sample, in seconds
    const int64_t newest = m_ring.at(m_ring.size() - 1).timeMs;
    const std::size_t count = m_ring.countSince(newest);
    const std::size_t first = m_ring.size() - count;
    float low = std::numeric_limits<float>::max();
    float high = std::numeric_limits<float>::lowest();
    for (int ch = 0; ch < kAnalogChannels; ++ch) {
        QList<QPointF> points;
        points.reserve(static_cast<qsizetype>(count));
        for (std::size_t i = first; i < m_ring.size(); ++i) {
            const TrendSample &s = m_ring.at(i);
            const float v = s.values[static_cast<std::size_t>(ch)];
            low = std::min(low, v);
            high = std::max(high, v);
            points.append(QPointF(static_cast<double>(s.timeMs - newest) / 1000.0, v));
        }
        m_series[static_cast<std::size_t>(ch)]->replace(points);
    }
    if (high - low < 1e-6f) {
        low -= 1.0f;
        high += 1.0f;
    }
    const float margin = (high - low) * 0.05f;
    m_valueAxis->setRange(low - margin, high + margin);
}

} // namespace qx
