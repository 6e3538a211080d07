// The numbers of the AI/AO page: scaled values formed in single precision
// and shown with "%f", the scaling columns after a file was loaded, and the
// check of an AO value typed by the operator.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "scaling_file.h"

namespace qx {

// (raw - noise) x coefficient; the noise is only taken off a raw value
// that is at least as large.
float scaledInput(uint32_t raw, uint32_t noise, float ratio);
// Outputs have no noise taken off: value x coefficient.
float scaledOutput(uint32_t value, float ratio);

// "%u" and "%f" as the page shows them ("%f" with a '.', whatever the
// process locale).
std::string unsignedText(uint32_t value);
std::string fixedText(float value);

// A 16-bit value typed by the operator: a whole number from 0 to 65535.
std::optional<uint16_t> parseWordField(std::string_view text);

// AIn or AOn (n = 1..8) after a raw value arrived or was typed.
std::string scaledInputText(const ScalingTables &tables, int n, uint32_t raw);
std::string scaledOutputText(const ScalingTables &tables, int n, uint32_t value);

// The noise, coefficient and unit columns of one channel.
struct ScalingColumns {
    std::string noise;
    std::string ratio;
    std::string unit;
};
ScalingColumns inputScalingColumns(const ScalingTables &tables, int n);
ScalingColumns outputScalingColumns(const ScalingTables &tables, int n);

struct AnalogOutputCheck {
    bool ok = false;
    uint16_t value = 0;
    std::string message; // names the channel's field when refused
};
// The AOn edit's text: a whole number from 0 to 65535.
AnalogOutputCheck checkAnalogOutput(std::string_view text, int n);

// Which of the page's two polls run (AI in slot 6, AO in slot 8): a running
// poll's "轮读" button is off until its "停止" or the port's end.
class AnalogPollState
{
public:
    void inputsStarted() { m_inputs = true; }
    void inputsStopped() { m_inputs = false; }
    void outputsStarted() { m_outputs = true; }
    void outputsStopped() { m_outputs = false; }
    void portClosed() { m_inputs = m_outputs = false; }

    bool canPollInputs() const { return !m_inputs; }
    bool canPollOutputs() const { return !m_outputs; }

private:
    bool m_inputs = false;
    bool m_outputs = false;
};

} // namespace qx
