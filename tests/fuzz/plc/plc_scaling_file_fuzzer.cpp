// The scaling file reader on raw bytes and on texts built from its section
// and key names, so that complete files with odd values are reached.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_target.h"
#include "scaling_file.h"

namespace {

const char *const kTokens[] = {
    "[AINOISE]", "[AIRATIO]", "[AIUNIT]", "[AONOISE]", "[AORATIO]", "[AOUNIT]", "dwNoiseAI", "fRatioAI",
    "byUnitAI", "dwNoiseAO", "fRatioAO", "byUnitAO", "1", "2", "3", "4", "5", "6", "7", "8", "=", "\r\n",
    "\n", "0.00001", "0.000011", "-1", "nan", "inf", "1e39", "99999999999999999999", "6", "261", " ",
    "0x10", "1.5e-3",
};

} // namespace

QX_FUZZ_TARGET(input)
{
    const qx::ScalingLoadResult r = qx::readScalingText(input.text(kTokens));
    // a valid table never holds a coefficient the image could not divide by
    if (r.complete && r.tables.valid) {
        for (int ch = 0; ch < qx::kScalingFileChannels; ++ch) {
            QX_FUZZ_CHECK(r.tables.aiRatio[static_cast<std::size_t>(ch)] >= 0.00001f * 0.99f
                          && std::isfinite(r.tables.aoRatio[static_cast<std::size_t>(ch)]));
        }
    }
    QX_FUZZ_CHECK(r.complete || !r.tables.valid);
}
