// stdout/stderr writing for qxcli.
#include "cli_output.h"

#include <cstdio>

namespace qx::cli {

std::string terminalText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out += text[i];
    }
    return out;
}

void printOut(std::string_view text)
{
    const std::string t = terminalText(text);
    std::fwrite(t.data(), 1, t.size(), stdout);
}

void printErr(std::string_view text)
{
    // stdout is buffered when it is a pipe; without this a message would
    // overtake the report it concludes when both streams share one pipe
    std::fflush(stdout);
    const std::string t = terminalText(text);
    std::fwrite(t.data(), 1, t.size(), stderr);
}

} // namespace qx::cli
