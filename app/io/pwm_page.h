// RO2000Scan, the "PI/PO操作" page: the PWM outputs on Y1, Y3, Y5 and Y7
// (times, frequency and duty, start and stop) and the pulse counters of
// X1..X24, polled in groups through command slot 6 and cleared at once.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include <QWidget>

#include "io_requests.h"
#include "page_hooks.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace qx {

class AppMain;
class WriteSender;

class RO2000Scan : public QWidget
{
    Q_OBJECT

public:
    struct PwmBox
    {
        QComboBox *unit = nullptr;
        QLineEdit *high = nullptr;
        QLineEdit *low = nullptr;
        QLineEdit *frequency = nullptr;
        QLineEdit *duty = nullptr;
        QPushButton *set = nullptr;
        QPushButton *run = nullptr;
    };

    struct Controls
    {
        QComboBox *subStation = nullptr;
        std::array<PwmBox, kPwmOutputs> pwm {};
        std::array<QLineEdit *, kCounterFields> counters {};
        QPushButton *pollX1to4 = nullptr;
        QPushButton *pollX5to12 = nullptr;
        QPushButton *pollX13to24 = nullptr;
        QPushButton *pollAll = nullptr;
        QPushButton *stop = nullptr;
        QPushButton *clear = nullptr;
    };

    // Registers for the counters (kEventInputRegisters while a counter poll
    // runs, and the status report); its writes go through `writes`, which the
    // three I/O pages share.
    RO2000Scan(AppMain &app, WriteSender &writes, QWidget *parent = nullptr);

    const Controls &controls() const { return m_ui; }
    // The counter group mask: not 0 while a counter poll owns slot 6's results.
    uint8_t groupMask() const { return m_mask; }
    bool running(int index) const { return m_running[static_cast<std::size_t>(index)]; }

    void showCounters(std::span<const uint32_t> values, uint8_t groups);

private:
    void buildControls();
    QWidget *buildPwmBox(int index);
    IoTarget target() const;
    void applySettings(int index);
    void toggleRun(int index);
    void startCounters(CounterGroups groups);
    void setMask(uint8_t mask);
    void portClosed();

    AppMain &m_app;
    WriteSender &m_writes;
    Controls m_ui;
    std::array<bool, kPwmOutputs> m_running {};
    uint8_t m_mask = kCountersNone;
    std::vector<PageHooks::Registration> m_events;
};

} // namespace qx
