// The traffic log's size rule: a log that holds more than 100 lines is
// emptied before the next library line goes in, so that it never grows
// without bound during a long poll.
#pragma once

#include <cstddef>

namespace qx {

inline constexpr std::size_t kLogLineLimit = 100;

inline bool logNeedsClearing(std::size_t lineCount)
{
    return lineCount > kLogLineLimit;
}

} // namespace qx
