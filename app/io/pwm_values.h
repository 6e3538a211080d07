// The numbers of the PWM/counter page: frequency and duty of a PWM output,
// the check of the times the operator types, which counter fields a
// slot-6 result fills, and which poll buttons the group mask leaves free.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "io_requests.h"

namespace qx {

// "%f" of the frequency in Hz and the duty in percent; "--" for both when
// the period is 0, which has neither.
struct PwmFigures {
    std::string frequency;
    std::string duty;
};
PwmFigures pwmFigures(PwmUnit unit, uint16_t high, uint16_t low);

struct PwmTimeCheck {
    bool ok = false;
    uint16_t value = 0;
    std::string message; // names the output's box and the field when refused
};
// The high-level (`high` true) or low-level time of output index 0..3: a
// whole number from 0 to 65535.
PwmTimeCheck checkPwmTime(std::string_view text, int index, bool high);

// The counter fields X1..X24 that a result fills: the groups in `groups`
// (the page's mask, or a status report's flag byte) take the values in
// turn, X1..X4, then X5..X12, then X13..X24. Fields whose value did not
// arrive are left alone.
using CounterUpdates = std::array<std::optional<uint32_t>, kDigitalPoints>;
CounterUpdates counterUpdates(std::span<const uint32_t> values, uint8_t groups);

// The four poll buttons ("轮读X1-4", "轮读X5-12", "读X13~24", "全部轮读").
struct CounterButtons {
    bool x1to4 = true;
    bool x5to12 = true;
    bool x13to24 = true;
    bool all = true;
};
CounterButtons counterButtons(uint8_t groups);

} // namespace qx
