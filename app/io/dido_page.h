// RO2000Set, the "DI/DO操作" page: inputs X1..X24 as lamps, outputs Y1..Y24
// as buttons that switch one output each, all outputs on or off, input,
// output and sub-station online polling, and the sub-station lamps.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include <QWidget>

#include "digital_display.h"
#include "page_hooks.h"

class QComboBox;
class QPushButton;
class QRadioButton;

namespace qx {

class AppMain;
class WriteSender;

class RO2000Set : public QWidget
{
    Q_OBJECT

public:
    struct Controls
    {
        QComboBox *subStation = nullptr;
        std::array<QRadioButton *, kDigitalButtons> inputs {}; // X1..X32
        std::array<QPushButton *, kDigitalButtons> outputs {}; // Y1..Y32
        std::array<QRadioButton *, kSubStationCount> online {}; // 子机1..子机10
        QPushButton *pollInputs = nullptr;
        QPushButton *stopInputs = nullptr;
        QPushButton *allOn = nullptr;
        QPushButton *allOff = nullptr;
        QPushButton *pollOutputs = nullptr;
        QPushButton *stopOutputs = nullptr;
        QPushButton *pollOnline = nullptr;
        QPushButton *stopOnline = nullptr;
    };

    // Registers for the input and coil bits (kEventInputs, kEventCoils and
    // the status report); its writes go through `writes`, which the three I/O
    // pages share.
    RO2000Set(AppMain &app, WriteSender &writes, QWidget *parent = nullptr);

    const Controls &controls() const { return m_ui; }
    bool outputFlag(int n) const { return m_outputs[static_cast<std::size_t>(n - 1)]; }

    void showInputBits(std::span<const uint8_t> bits);
    void showOutputBits(std::span<const uint8_t> bits);

private:
    void buildControls();
    IoTarget target() const;
    void toggleOutput(int n);
    void setOutputFlag(int n, bool on);
    void applyButtons();
    void portClosed();

    AppMain &m_app;
    WriteSender &m_writes;
    Controls m_ui;
    DidoPollState m_poll;
    std::array<bool, kDigitalPoints> m_outputs {};
    std::vector<PageHooks::Registration> m_events;
};

} // namespace qx
