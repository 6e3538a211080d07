// PWM figures, PWM time checks and the counter display.
#include "pwm_values.h"

#include "analog_values.h"
#include "io_texts.h"
#include "text_format.h"

namespace qx {

PwmFigures pwmFigures(PwmUnit unit, uint16_t high, uint16_t low)
{
    const auto period = static_cast<float>(high + low);
    if (period == 0.0f)
        return {std::string(io_texts::kNoFigure), std::string(io_texts::kNoFigure)};
    double perSecond = 1.0;
    if (unit == kPwmMicroseconds)
        perSecond = 1000000.0;
    else if (unit == kPwmMilliseconds)
        perSecond = 1000.0;
    const auto frequency = static_cast<float>(perSecond / period);
    const float duty = static_cast<float>(high) / period * 100.0f;
    return {fixedText(frequency), fixedText(duty)};
}

PwmTimeCheck checkPwmTime(std::string_view text, int index, bool high)
{
    PwmTimeCheck r;
    const std::optional<uint16_t> value = parseWordField(text);
    if (!value) {
        // the caption without its closing colon reads better inside a sentence
        std::string field(high ? io_texts::kLabelHighTime : io_texts::kLabelLowTime);
        if (!field.empty() && field.back() == ':')
            field.pop_back();
        const std::string box = formatText(io_texts::kBoxPwmFormat, pwmOutputNumber(index));
        r.message = formatText(io_texts::kPwmTimeWrong, box.c_str(), field.c_str());
        return r;
    }
    r.ok = true;
    r.value = *value;
    return r;
}

CounterUpdates counterUpdates(std::span<const uint32_t> values, uint8_t groups)
{
    struct Group {
        uint8_t bit;
        std::size_t first;
        std::size_t count;
    };
    static constexpr Group kGroups[] = {
        {kCountersX1to4, 0, 4},
        {kCountersX5to12, 4, 8},
        {kCountersX13to24, 12, 12},
    };
    CounterUpdates out;
    std::size_t cursor = 0;
    for (const Group &g : kGroups) {
        if ((groups & g.bit) == 0)
            continue;
        for (std::size_t i = 0; i < g.count && cursor + i < values.size(); ++i)
            out[g.first + i] = values[cursor + i];
        cursor += g.count;
    }
    return out;
}

CounterButtons counterButtons(uint8_t groups)
{
    CounterButtons b;
    if (groups == kCountersAll) {
        b.all = false;
    } else if (groups != kCountersNone) {
        b = {false, false, false, false};
    }
    return b;
}

} // namespace qx
