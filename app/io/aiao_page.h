// RO2000Tag, the "AI/AO操作" page: AI1..AI8 and AO1..AO8 polled from the
// module, raw and scaled through the scaling file ("加载量纲文件"), single
// AO writes, and a live trend of the analog inputs beside their table.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include <QWidget>

#include "analog_values.h"
#include "io_requests.h"
#include "page_hooks.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace qx {

class AiTrendView;
class AppMain;
class ScalingStore;
class WriteSender;

class RO2000Tag : public QWidget
{
    Q_OBJECT

public:
    struct AnalogRow
    {
        QLineEdit *raw = nullptr; // the AO rows' raw value is the operator's edit
        QLineEdit *noise = nullptr;
        QLineEdit *ratio = nullptr;
        QLineEdit *scaled = nullptr;
        QLineEdit *unit = nullptr;
    };

    struct Controls
    {
        QComboBox *subStation = nullptr;
        QPushButton *loadScaling = nullptr;
        std::array<AnalogRow, kAnalogChannels> ai {};
        std::array<AnalogRow, kAnalogChannels> ao {};
        std::array<QPushButton *, kAnalogChannels> aoWrite {};
        QPushButton *pollAi = nullptr;
        QPushButton *stopAi = nullptr;
        QPushButton *pollAo = nullptr;
        QPushButton *stopAo = nullptr;
        QPushButton *aiDenoise = nullptr;
        QPushButton *aiCalibrate = nullptr;
        QPushButton *aoCalibrate = nullptr;
        QCheckBox *trendSwitch = nullptr;
        AiTrendView *trend = nullptr;
    };

    // Registers for the analog values (kEventInputRegisters,
    // kEventHoldingRegisters and the status report); its writes go through
    // `writes`, which the three I/O pages share. While `countersPolling` says
    // so, kEventInputRegisters carries the counters and is not this page's.
    RO2000Tag(AppMain &app, WriteSender &writes, ScalingStore &scaling, std::function<bool()> countersPolling,
              QWidget *parent = nullptr);

    const Controls &controls() const { return m_ui; }

    void showInputs(std::span<const uint32_t> values);
    void showOutputs(std::span<const uint16_t> values);
    void loadScalingFile();

private:
    void buildControls();
    QWidget *buildAiBox(const char *title, int first);
    QWidget *buildAoBox(const char *title, int first);
    IoTarget target() const;
    void writeOutput(int n);
    void showScalingColumns();
    void clearScalingColumns();
    void recomputeScaled();
    void addTrendSample();
    void portClosed();
    void applyButtons();

    AppMain &m_app;
    WriteSender &m_writes;
    ScalingStore &m_scaling;
    Controls m_ui;
    std::array<uint32_t, kAnalogChannels> m_aiRaw {};
    AnalogPollState m_poll;
    std::function<bool()> m_countersPolling;
    std::vector<PageHooks::Registration> m_events;
};

} // namespace qx
