// AI/AO values and their texts.
#include "analog_values.h"

#include "decimal_text.h"
#include "io_texts.h"
#include "text_format.h"

namespace qx {

namespace {

std::size_t channel(int n)
{
    return static_cast<std::size_t>(n - 1);
}

} // namespace

float scaledInput(uint32_t raw, uint32_t noise, float ratio)
{
    const uint32_t d = raw >= noise ? raw - noise : raw;
    return static_cast<float>(d) * ratio;
}

float scaledOutput(uint32_t value, float ratio)
{
    return static_cast<float>(value) * ratio;
}

std::string unsignedText(uint32_t value)
{
    return formatText("%u", static_cast<unsigned>(value));
}

std::string fixedText(float value)
{
    return formatFixed6(value);
}

std::optional<uint16_t> parseWordField(std::string_view text)
{
    const std::optional<int64_t> value = parseWholeInteger(text);
    if (!value || *value < 0 || *value > 0xFFFF)
        return std::nullopt;
    return static_cast<uint16_t>(*value);
}

std::string scaledInputText(const ScalingTables &t, int n, uint32_t raw)
{
    const std::size_t c = channel(n);
    return fixedText(scaledInput(raw, t.aiNoise[c], t.aiRatio[c]));
}

std::string scaledOutputText(const ScalingTables &t, int n, uint32_t value)
{
    return fixedText(scaledOutput(value, t.aoRatio[channel(n)]));
}

ScalingColumns inputScalingColumns(const ScalingTables &t, int n)
{
    const std::size_t c = channel(n);
    return {unsignedText(t.aiNoise[c]), fixedText(t.aiRatio[c]), scalingUnitName(t.aiUnit[c])};
}

ScalingColumns outputScalingColumns(const ScalingTables &t, int n)
{
    const std::size_t c = channel(n);
    return {unsignedText(t.aoNoise[c]), fixedText(t.aoRatio[c]), scalingUnitName(t.aoUnit[c])};
}

AnalogOutputCheck checkAnalogOutput(std::string_view text, int n)
{
    AnalogOutputCheck r;
    const std::optional<uint16_t> value = parseWordField(text);
    if (!value) {
        r.message = formatText(io_texts::kAoValueWrong, n);
        return r;
    }
    r.ok = true;
    r.value = *value;
    return r;
}

} // namespace qx
