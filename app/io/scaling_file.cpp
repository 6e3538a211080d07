// The scaling file: six sections of eight keys, located like the module's
// INI files (section name as plain text, first occurrence of the key after
// it, value after the first "=" up to the line end).
#include "scaling_file.h"

#include <cmath>
#include <cstring>
#include <optional>

#include "decimal_text.h"
#include "file_bytes.h"
#include "io_texts.h"
#include "text_format.h"

namespace qx {

namespace {

// The value text of `key` in `section`, at most 32 characters, or nothing
// when the section, the key or its "=" is missing.
std::optional<std::string_view> findValue(std::string_view text, std::string_view section,
                                          std::string_view key)
{
    const std::size_t sectionAt = text.find(section);
    if (sectionAt == std::string_view::npos)
        return std::nullopt;
    const std::size_t keyAt = text.find(key, sectionAt);
    if (keyAt == std::string_view::npos)
        return std::nullopt;
    std::string_view line = text.substr(keyAt);
    line = line.substr(0, line.find('\n'));
    line = line.substr(0, line.find('\r'));
    const std::size_t eq = line.find('=', key.size());
    if (eq == std::string_view::npos)
        return std::nullopt;
    return line.substr(eq + 1, kScalingValueLimit);
}

struct KeyGroup {
    const char *section;
    const char *keyPrefix;
};

// The order in which the keys are read, section by section.
constexpr KeyGroup kGroups[] = {
    {"AINOISE", "dwNoiseAI"},
    {"AIRATIO", "fRatioAI"},
    {"AIUNIT", "byUnitAI"},
    {"AONOISE", "dwNoiseAO"},
    {"AORATIO", "fRatioAO"},
    {"AOUNIT", "byUnitAO"},
};

bool isScalingUnit(uint8_t unit)
{
    return unit >= 5 && unit <= 11;
}

bool isUsableRatio(float ratio)
{
    // NaN must fail too, so the comparison is written the accepting way
    return std::isfinite(ratio) && static_cast<double>(ratio) >= kScalingMinRatio;
}

void store(ScalingTables &t, int group, int channel, std::string_view value)
{
    const auto c = static_cast<std::size_t>(channel);
    switch (group) {
    case 0:
        t.aiNoise[c] = static_cast<uint32_t>(parseDecimalInteger(value));
        break;
    case 1:
        t.aiRatio[c] = parseDecimalFloat(value);
        break;
    case 3:
        t.aoNoise[c] = static_cast<uint32_t>(parseDecimalInteger(value));
        break;
    case 4:
        t.aoRatio[c] = parseDecimalFloat(value);
        break;
    default: {
        // a number beyond a byte is no unit at all, not its low bits
        const int64_t unit = parseDecimalInteger(value);
        const uint8_t code = unit >= 0 && unit <= 255 ? static_cast<uint8_t>(unit) : 0;
        (group == 2 ? t.aiUnit : t.aoUnit)[c] = code;
        break;
    }
    }
}

} // namespace

ScalingTables::ScalingTables()
{
    aiRatio.fill(1.0f);
    aoRatio.fill(1.0f);
    aiUnit.fill(4);
    aoUnit.fill(4);
}

ScalingTables ScalingTables::zeroed()
{
    ScalingTables t;
    t.aiRatio.fill(0.0f);
    t.aoRatio.fill(0.0f);
    t.aiUnit.fill(0);
    t.aoUnit.fill(0);
    t.valid = 0;
    return t;
}

std::string scalingUnitName(uint8_t unit)
{
    return std::string(isScalingUnit(unit) ? io_texts::kScalingUnitNames[unit - 5] : io_texts::kNoUnit);
}

ScalingLoadResult readScalingText(std::string_view fileBytes)
{
    ScalingLoadResult r;
    std::string_view text = fileBytes.substr(0, kScalingSearchLimit);
    text = text.substr(0, text.find('\0'));

    ScalingTables read = ScalingTables::zeroed();
    for (int g = 0; g < 6; ++g) {
        for (int ch = 0; ch < kScalingFileChannels; ++ch) {
            const std::string key = kGroups[g].keyPrefix + std::to_string(ch + 1);
            const auto value = findValue(text, kGroups[g].section, key);
            if (!value) {
                r.message = formatText(io_texts::kScalingKeyMissing, kGroups[g].section, key.c_str());
                return r;
            }
            store(read, g, ch, *value);
        }
    }

    read.valid = 1;
    for (int pass = 0; pass < 2; ++pass) {
        const bool units = pass == 0;
        for (int side = 0; side < 2; ++side) {
            const bool ai = side == 0;
            for (int ch = 0; ch < kScalingFileChannels; ++ch) {
                const auto c = static_cast<std::size_t>(ch);
                const auto n = static_cast<unsigned>(ch + 1);
                if (units && !isScalingUnit(ai ? read.aiUnit[c] : read.aoUnit[c])) {
                    read.valid = 0;
                    r.channelMessages.push_back(
                        formatText(ai ? io_texts::kAiUnitWrong : io_texts::kAoUnitWrong, n));
                }
                if (!units && !isUsableRatio(ai ? read.aiRatio[c] : read.aoRatio[c])) {
                    read.valid = 0;
                    r.channelMessages.push_back(
                        formatText(ai ? io_texts::kAiRatioWrong : io_texts::kAoRatioWrong, n));
                }
            }
        }
    }
    r.tables = read;
    r.complete = true;
    return r;
}

ScalingLoadResult loadScalingFile(const std::string &path)
{
    const FileReadResult file = readFileBytes(path, kScalingSearchLimit);
    if (!file.ok) {
        ScalingLoadResult r;
        r.message = file.message;
        return r;
    }
    return readScalingText(file.bytes);
}

} // namespace qx
