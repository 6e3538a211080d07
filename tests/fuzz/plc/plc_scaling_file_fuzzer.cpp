// The scaling file reader on raw bytes and on texts built from its section
// and key names, so that complete files with odd values are reached.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "scaling_file.h"

namespace {

const char *const kTokens[] = {
    "[AINOISE]", "[AIRATIO]", "[AIUNIT]", "[AONOISE]", "[AORATIO]", "[AOUNIT]", "dwNoiseAI", "fRatioAI",
    "byUnitAI", "dwNoiseAO", "fRatioAO", "byUnitAO", "1", "2", "3", "4", "5", "6", "7", "8", "=", "\r\n",
    "\n", "0.00001", "0.000011", "-1", "nan", "inf", "1e39", "99999999999999999999", "6", "261", " ",
    "0x10", "1.5e-3",
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    std::string text;
    if (data[0] & 1) {
        text.assign(reinterpret_cast<const char *>(data + 1), size - 1);
    } else {
        constexpr std::size_t count = sizeof kTokens / sizeof kTokens[0];
        for (std::size_t i = 1; i < size; ++i)
            text += kTokens[data[i] % count];
    }
    const qx::ScalingLoadResult r = qx::readScalingText(text);
    // a valid table never holds a coefficient the image could not divide by
    if (r.complete && r.tables.valid) {
        for (int ch = 0; ch < qx::kScalingFileChannels; ++ch) {
            if (!(r.tables.aiRatio[static_cast<std::size_t>(ch)] >= 0.00001f * 0.99f)
                || !std::isfinite(r.tables.aoRatio[static_cast<std::size_t>(ch)]))
                __builtin_trap();
        }
    }
    if (!r.complete && r.tables.valid)
        __builtin_trap();
    return 0;
}
