// DI/DO display rules and polling buttons.
#include "digital_display.h"

#include <algorithm>

#include "io_texts.h"
#include "text_format.h"

namespace qx {

namespace {

// The page reads the first three bytes: X1..X24 or Y1..Y24.
BitUpdates bitsOf(std::span<const uint8_t> bits)
{
    BitUpdates out;
    const std::size_t bytes = std::min<std::size_t>(bits.size(), kDigitalPoints / 8);
    for (std::size_t k = 0; k < 8 * bytes; ++k)
        out[k] = (bits[k / 8] >> (k % 8) & 1) != 0;
    return out;
}

} // namespace

InputDisplay inputDisplay(std::span<const uint8_t> bits, bool onlineFlag)
{
    InputDisplay d;
    d.inputs = bitsOf(bits);
    if (onlineFlag) {
        for (std::size_t s = 0; s < d.online.size(); ++s) {
            d.online[s] = d.inputs[s];
            d.inputs[s].reset();
        }
    }
    return d;
}

BitUpdates outputDisplay(std::span<const uint8_t> bits)
{
    return bitsOf(bits);
}

std::string outputCaption(int n, bool on)
{
    return formatText(on ? io_texts::kOutputOnFormat : io_texts::kOutputOffFormat, n);
}

void DidoPollState::inputsStarted()
{
    m_slot2 = Slot2::Inputs;
    m_onlineFlag = false;
}

void DidoPollState::onlineStarted()
{
    m_slot2 = Slot2::Online;
    m_onlineFlag = true;
}

void DidoPollState::slot2Stopped()
{
    m_slot2 = Slot2::Idle;
}

void DidoPollState::outputsStarted()
{
    m_outputs = true;
}

void DidoPollState::outputsStopped()
{
    m_outputs = false;
}

void DidoPollState::portClosed()
{
    slot2Stopped();
    outputsStopped();
}

DidoButtons DidoPollState::buttons() const
{
    DidoButtons b;
    b.pollOutputs = !m_outputs;
    switch (m_slot2) {
    case Slot2::Idle:
        break;
    case Slot2::Inputs:
        b.pollInputs = false;
        b.pollOnline = false;
        b.stopOnline = false;
        break;
    case Slot2::Online:
        b.pollInputs = false;
        b.stopInputs = false;
        b.pollOnline = false;
        break;
    }
    return b;
}

} // namespace qx
