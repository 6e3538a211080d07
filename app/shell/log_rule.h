// The traffic log's size rule: a log that holds more than 100 lines is
// emptied before the next library line goes in, so that it never grows
// without bound during a long poll.
#pragma once

#include <cstddef>
#include <string_view>

namespace qx {

inline constexpr std::size_t kLogLineLimit = 100;

// Lines of a log text: each line break ends one, and text after the last
// break is one more.
std::size_t countLogLines(std::string_view text);

inline bool logNeedsClearing(std::size_t lineCount)
{
    return lineCount > kLogLineLimit;
}

} // namespace qx
