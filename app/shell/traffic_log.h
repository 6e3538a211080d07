// The traffic log's contents beside the pane that shows them: each line with
// the moment it was added (for the saved file), the 100-line rule, and the
// library lines that wait to go into the pane together. At full polling
// rate the library sends a line every few milliseconds; inserting each one
// on its own makes the pane lay out, scroll and repaint for every line,
// while one insertion per refresh (MainWindow::kFrameMs) shows the operator
// the same lines.
#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

namespace qx {

// A log that holds more than 100 lines is emptied before the next library
// line goes in, so that it never grows without bound during a long poll.
inline constexpr std::size_t kLogLineLimit = 100;

inline bool logNeedsClearing(std::size_t lineCount)
{
    return lineCount > kLogLineLimit;
}

// "2026-12-09 21:32:34.123" in the machine's local time.
std::string localTimeStamp(std::chrono::system_clock::time_point at);

class TrafficLog
{
public:
    using Clock = std::chrono::system_clock;

    // What the pane does to catch up: empty itself first when `clearFirst`,
    // then insert `text` at its end (line breaks as '\n').
    struct Insertion
    {
        bool clearFirst = false;
        std::string text;
    };

    // Text as it comes, with its own line breaks ("\r\n" or "\n"); text
    // without a break at its end is continued by the next text.
    void append(std::string_view text, Clock::time_point at);
    // A library line (its break included): when the log holds more than
    // 100 lines it is emptied first.
    void appendLibraryLine(std::string_view line, Clock::time_point at);
    // The pane was emptied ("清空"): lines not yet shown go too.
    void clear();

    bool hasPending() const { return m_pending.clearFirst || !m_pending.text.empty(); }
    // Everything appended since the last call, as one insertion.
    Insertion takePending();

    // Lines of the log, the one still open at its end included.
    std::size_t lineCount() const { return m_lines.size(); }
    // The log as a text file: every line with its time stamp and a space
    // before it, each ended by '\n'.
    std::string savedText() const;

private:
    struct Line
    {
        Clock::time_point at;
        std::string text;
    };

    std::deque<Line> m_lines;
    bool m_lastOpen = false; // the last line has no break yet
    Insertion m_pending;
};

} // namespace qx
