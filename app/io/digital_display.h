// What the DI/DO page shows of the module's bits, and which of its polling
// buttons can be pressed. Input polling and sub-station online polling share
// command slot 2: starting one replaces the other and either "停止轮读"
// stops both; output polling has slot 4 to itself.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "io_requests.h"

namespace qx {

// A bit that arrived is set or cleared; one that did not is left alone.
using BitUpdates = std::array<std::optional<bool>, kDigitalPoints>;

struct InputDisplay {
    BitUpdates inputs; // X1..X24
    std::array<std::optional<bool>, kSubStationCount> online; // "子机1".."子机10"
};

// Input bits (kEventInputs or the status report), bit 0 of the first byte is
// X1. While the online flag is set, bits 0..9 are the sub-stations' online
// states instead of X1..X10.
InputDisplay inputDisplay(std::span<const uint8_t> bits, bool onlineFlag);
// Output bits (kEventCoils or the status report): the new flags of Y1..Y24.
BitUpdates outputDisplay(std::span<const uint8_t> bits);

// "Y5/ON" or "Y5/OFF".
std::string outputCaption(int n, bool on);

struct DidoButtons {
    bool pollInputs = true;
    bool stopInputs = true;
    bool pollOnline = true;
    bool stopOnline = true;
    bool pollOutputs = true;
};

class DidoPollState
{
public:
    void inputsStarted();
    void onlineStarted();
    // Either "停止轮读" of slot 2; the online flag stays as it is.
    void slot2Stopped();
    void outputsStarted();
    void outputsStopped();
    // The port object went away, and with it every poll.
    void portClosed();

    bool onlineFlag() const { return m_onlineFlag; }
    DidoButtons buttons() const;

private:
    enum class Slot2 {
        Idle,
        Inputs,
        Online,
    };
    Slot2 m_slot2 = Slot2::Idle;
    bool m_onlineFlag = false;
    bool m_outputs = false;
};

} // namespace qx
