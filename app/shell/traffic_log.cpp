#include "traffic_log.h"

#include <ctime>
#include <utility>

#include "text_format.h"

namespace qx {

std::string localTimeStamp(std::chrono::system_clock::time_point at)
{
    using namespace std::chrono;
    const std::time_t seconds = system_clock::to_time_t(at);
    std::tm local {};
    localtime_r(&seconds, &local);
    const auto ms = duration_cast<milliseconds>(at.time_since_epoch()).count() % 1000;
    return formatText("%04d-%02d-%02d %02d:%02d:%02d.%03d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                      local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(ms < 0 ? ms + 1000 : ms));
}

void TrafficLog::append(std::string_view text, Clock::time_point at)
{
    // "\r\n" is one break; a lone '\r' or '\n' is one too, as the pane
    // itself starts a new line at either.
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", i);
        const std::string_view piece = text.substr(i, end == std::string_view::npos ? end : end - i);
        if (!m_lastOpen) {
            m_lines.push_back({at, {}});
            m_lastOpen = true;
        }
        m_lines.back().text.append(piece);
        m_pending.text.append(piece);
        if (end == std::string_view::npos)
            break;
        i = end + 1;
        if (text[end] == '\r' && i < text.size() && text[i] == '\n')
            ++i;
        m_lastOpen = false;
        m_pending.text.push_back('\n');
    }
}

void TrafficLog::appendLibraryLine(std::string_view line, Clock::time_point at)
{
    if (logNeedsClearing(lineCount())) {
        m_lines.clear();
        m_lastOpen = false;
        m_pending.clearFirst = true;
        m_pending.text.clear();
    }
    append(line, at);
}

void TrafficLog::clear()
{
    m_lines.clear();
    m_lastOpen = false;
    m_pending = {};
}

TrafficLog::Insertion TrafficLog::takePending()
{
    return std::exchange(m_pending, {});
}

std::string TrafficLog::savedText() const
{
    std::string out;
    for (const Line &line : m_lines) {
        out += localTimeStamp(line.at);
        out += ' ';
        out += line.text;
        out += '\n';
    }
    return out;
}

} // namespace qx
