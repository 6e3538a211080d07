// Live behaviour of the simulated module's I/O.
#include "io_map.h"

#include <cmath>
#include <numbers>

namespace qx::sim {

namespace {

using namespace IoMap;

constexpr uint64_t kToggleStepUs = 250'000;

// X9..X24 toggle by themselves, each at its own rate: X9 every 0.5 s, each
// further input 0.25 s slower.
uint64_t toggleHalfPeriodUs(std::size_t index)
{
    return kToggleStepUs * (index - 6);
}

uint64_t toggleRisingEdges(std::size_t index, uint64_t elapsedUs)
{
    return (elapsedUs / toggleHalfPeriodUs(index) + 1) / 2;
}

// Raw converter counts between 12768 and 52768, a sine on odd channels and a
// triangle on even ones, each with its own period of tens of seconds.
uint32_t analogValue(std::size_t channel, uint64_t elapsedUs)
{
    const double periodS = 20.0 + 7.0 * static_cast<double>(channel);
    const double phase = std::fmod(static_cast<double>(elapsedUs) / 1e6, periodS) / periodS;
    double wave;
    if (channel % 2 == 0)
        wave = std::sin(2.0 * std::numbers::pi * phase);
    else
        wave = phase < 0.5 ? 4.0 * phase - 1.0 : 3.0 - 4.0 * phase;
    return static_cast<uint32_t>(32768.0 + 20000.0 * wave);
}

void putU32(std::vector<uint16_t> &regs, std::size_t reg, uint32_t v)
{
    regs[reg] = static_cast<uint16_t>(v >> 16);
    regs[reg + 1] = static_cast<uint16_t>(v);
}

} // namespace

IoState::IoState()
    : m_coils(kCoilCount, 0)
    , m_inputs(kInputCount, 0)
    , m_inputRegisters(kInputRegisterCount, 0)
    , m_holding(kHoldingRegisterCount, 0)
{
    // PWM parameters as the page proposes them: 50 ms high, 50 ms low.
    for (std::size_t p = 0; p < kPwmCount; ++p) {
        m_holding[kPwmRegister + 6 * p] = 0;
        m_holding[kPwmRegister + 6 * p + 1] = 50000;
        m_holding[kPwmRegister + 6 * p + 2] = 50000;
    }
    // Sub-stations behind the gateway: recognisable analog values and
    // counters, so that a page addressing them shows something.
    for (std::size_t s = 2; s <= kSubStations; ++s)
        for (std::size_t ch = 0; ch < kAnalogCount; ++ch)
            putU32(m_inputRegisters, 16 * (s - 1) + 2 * ch, static_cast<uint32_t>(1000 * s + ch + 1));
    for (std::size_t s = 1; s <= kSubStations; ++s)
        for (std::size_t k = 0; k < kSubCounterCount; ++k)
            putU32(m_inputRegisters, kSubCounterRegister + 24 * (s - 1) + 2 * k,
                   static_cast<uint32_t>(100 * s + k + 1));
    for (std::size_t s = 1; s <= kOnlineSubStations; ++s)
        m_inputs[kOnlineInput + s - 1] = 1;
    refreshInputs();
    publishCounters();
}

uint64_t IoState::pwmPeriodUs(std::size_t pwm, uint64_t &highUs) const
{
    const std::size_t base = kPwmRegister + 6 * pwm;
    uint64_t scale = 1;
    switch (m_holding[base]) {
    case 1:
        scale = 1000;
        break;
    case 2:
        scale = 1'000'000;
        break;
    default:
        scale = 1;
        break;
    }
    highUs = m_holding[base + 1] * scale;
    const uint64_t lowUs = m_holding[base + 2] * scale;
    if (highUs == 0 || lowUs == 0)
        return 0; // a constant level, no pulses
    return highUs + lowUs;
}

bool IoState::pwmLevel(std::size_t pwm, uint64_t t) const
{
    uint64_t highUs = 0;
    const uint64_t period = pwmPeriodUs(pwm, highUs);
    if (period == 0)
        return highUs != 0;
    return (t - m_pwmStartUs[pwm]) % period < highUs;
}

uint64_t IoState::pwmRisingEdges(std::size_t pwm, uint64_t t) const
{
    uint64_t highUs = 0;
    const uint64_t period = pwmPeriodUs(pwm, highUs);
    if (period == 0)
        return 0;
    return (t - m_pwmStartUs[pwm]) / period;
}

void IoState::advance(uint64_t nowUs)
{
    if (!m_started) {
        m_started = true;
        m_originUs = nowUs;
        m_nowUs = nowUs;
    }
    if (nowUs < m_nowUs)
        nowUs = m_nowUs;
    const uint64_t prev = m_nowUs;
    if (!testMode()) {
        for (std::size_t i = kWiredBack; i < kPointCount; ++i)
            m_counters[i] += static_cast<uint32_t>(toggleRisingEdges(i, nowUs - m_originUs)
                                                   - toggleRisingEdges(i, prev - m_originUs));
        for (std::size_t p = 0; p < kPwmCount; ++p)
            if (m_pwmRunning[p])
                m_counters[2 * p] += static_cast<uint32_t>(pwmRisingEdges(p, nowUs) - pwmRisingEdges(p, prev));
    }
    m_nowUs = nowUs;
    refreshInputs();
    publishCounters();
}

void IoState::refreshInputs()
{
    const uint64_t elapsed = m_nowUs - m_originUs;
    if (testMode()) {
        for (std::size_t i = 0; i < kPointCount; ++i)
            m_inputs[i] = m_coils[kTestInputCoil + i];
    } else {
        for (std::size_t i = 0; i < kWiredBack; ++i)
            m_inputs[i] = m_coils[i];
        for (std::size_t p = 0; p < kPwmCount; ++p)
            if (m_pwmRunning[p])
                m_inputs[2 * p] = pwmLevel(p, m_nowUs) ? 1 : 0;
        for (std::size_t i = kWiredBack; i < kPointCount; ++i)
            m_inputs[i] = (elapsed / toggleHalfPeriodUs(i)) % 2 == 1 ? 1 : 0;
    }
    // Sub-stations 2..10 (sub-station 1 shares the module's own points) have
    // their outputs wired back to their inputs.
    for (std::size_t s = 2; s <= kSubStations; ++s)
        for (std::size_t k = 0; k < kPointCount; ++k)
            m_inputs[32 * (s - 1) + k] = m_coils[32 * (s - 1) + k];
    for (std::size_t ch = 0; ch < kAnalogCount; ++ch) {
        if (testMode()) {
            m_inputRegisters[kAiRegister + 2 * ch] = m_holding[kTestAiRegister + 2 * ch];
            m_inputRegisters[kAiRegister + 2 * ch + 1] = m_holding[kTestAiRegister + 2 * ch + 1];
        } else {
            putU32(m_inputRegisters, kAiRegister + 2 * ch, analogValue(ch, elapsed));
        }
    }
}

void IoState::publishCounters()
{
    for (std::size_t i = 0; i < kPointCount; ++i)
        putU32(m_inputRegisters, kCounterRegister + 2 * i, m_counters[i]);
}

void IoState::writeCoil(std::size_t a, bool on)
{
    if (a >= kClearCoil && a < kClearCoil + kPointCount) {
        // a clear coil acts once and reads back 0
        if (on)
            m_counters[a - kClearCoil] = 0;
        publishCounters();
        return;
    }
    if (a >= kSubClearCoil && a < kSubClearCoil + 32 * kSubStations) {
        const std::size_t s = (a - kSubClearCoil) / 32;
        const std::size_t k = (a - kSubClearCoil) % 32;
        if (on && k < kSubCounterCount)
            putU32(m_inputRegisters, kSubCounterRegister + 24 * s + 2 * k, 0);
        return;
    }
    if (a >= kPwmRunCoil && a < kPwmRunCoil + 2 * kPwmCount && (a - kPwmRunCoil) % 2 == 0) {
        const std::size_t p = (a - kPwmRunCoil) / 2;
        const bool was = m_pwmRunning[p];
        m_coils[a] = on ? 1 : 0;
        // in test mode the PWM drives its output but no longer its input
        const bool wired = !testMode();
        if (on && !was) {
            const bool before = m_inputs[2 * p] != 0;
            m_pwmRunning[p] = true;
            m_pwmStartUs[p] = m_nowUs;
            if (wired && !before && pwmLevel(p, m_nowUs))
                ++m_counters[2 * p];
        } else if (!on && was) {
            const bool before = m_inputs[2 * p] != 0;
            m_pwmRunning[p] = false;
            if (wired && !before && m_coils[2 * p])
                ++m_counters[2 * p];
        }
        refreshInputs();
        publishCounters();
        return;
    }
    if (a < kWiredBack && !testMode()) {
        const bool pwmHere = a % 2 == 0 && m_pwmRunning[a / 2];
        if (!pwmHere && on && !m_coils[a])
            ++m_counters[a];
    }
    if (a >= kTestInputCoil && a < kTestInputCoil + kPointCount && testMode() && on && !m_coils[a])
        ++m_counters[a - kTestInputCoil];
    m_coils[a] = on ? 1 : 0;
    refreshInputs();
    publishCounters();
}

void IoState::setCounter(std::size_t index, uint32_t value)
{
    m_counters[index] = value;
    publishCounters();
}

void IoState::writeHoldingRegister(std::size_t a, uint16_t value)
{
    m_holding[a] = value;
    if (a >= kTestAiRegister && a < kTestAiRegister + 2 * kAnalogCount)
        refreshInputs();
    if (a >= kPwmRegister && a < kPwmRegister + 6 * kPwmCount && (a - kPwmRegister) % 6 < 3) {
        // new parameters restart the waveform of a running output
        const std::size_t p = (a - kPwmRegister) / 6;
        if (m_pwmRunning[p])
            m_pwmStartUs[p] = m_nowUs;
    }
}

} // namespace qx::sim
