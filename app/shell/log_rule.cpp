#include "log_rule.h"

namespace qx {

std::size_t countLogLines(std::string_view text)
{
    std::size_t lines = 0;
    for (char c : text) {
        if (c == '\n')
            ++lines;
    }
    if (!text.empty() && text.back() != '\n')
        ++lines;
    return lines;
}

} // namespace qx
