// stdout/stderr writing for qxcli.
#include "cli_output.h"

#include <cstdio>

#include "cli_platform.h"

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

namespace {

FILE *g_results = nullptr;

FILE *results()
{
    return g_results ? g_results : stdout;
}

} // namespace

void keepStdoutForResults()
{
    if (!g_results)
        g_results = platform::moveStdoutAside();
}

void flushOut()
{
    std::fflush(results());
}

void printOutRaw(std::string_view bytes)
{
    std::fwrite(bytes.data(), 1, bytes.size(), results());
}

void printOut(std::string_view text)
{
    platform::writeText(results(), terminalText(text));
}

void printErr(std::string_view text)
{
    // stdout is buffered when it is a pipe; without this a message would
    // overtake the report it concludes when both streams share one pipe
    std::fflush(results());
    platform::writeText(stderr, terminalText(text));
}

} // namespace qx::cli

namespace qx::cli {

std::string jsonQuoted(std::string_view text)
{
    std::string out = "\"";
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (u < 0x20) {
            char b[8];
            std::snprintf(b, sizeof b, "\\u%04x", u);
            out += b;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

void JsonObject::key(std::string_view k)
{
    if (!m_members.empty())
        m_members += ',';
    m_members += jsonQuoted(k) + ':';
}

JsonObject &JsonObject::add(std::string_view k, std::string_view text)
{
    key(k);
    m_members += jsonQuoted(text);
    return *this;
}

JsonObject &JsonObject::add(std::string_view k, long long number)
{
    key(k);
    m_members += std::to_string(number);
    return *this;
}

JsonObject &JsonObject::addBool(std::string_view k, bool value)
{
    key(k);
    m_members += value ? "true" : "false";
    return *this;
}

JsonObject &JsonObject::add(std::string_view k, const std::vector<long long> &numbers)
{
    key(k);
    m_members += '[';
    for (std::size_t i = 0; i < numbers.size(); ++i)
        m_members += (i ? "," : "") + std::to_string(numbers[i]);
    m_members += ']';
    return *this;
}

Progress::Progress(std::string label, int total)
    : m_label(std::move(label))
    , m_total(total > 0 ? total : 1)
    , m_terminal(platform::isTerminal(stderr))
{
}

Progress::~Progress()
{
    finish();
}

void Progress::draw()
{
    constexpr int kWidth = 30;
    const int filled = m_done * kWidth / m_total;
    std::string bar = "\r" + m_label + " [" + std::string(std::size_t(filled), '#')
        + std::string(std::size_t(kWidth - filled), '-') + "] " + std::to_string(m_done) + "/"
        + std::to_string(m_total);
    std::fflush(results());
    platform::writeText(stderr, bar);
    std::fflush(stderr);
    m_drawn = true;
}

void Progress::update(int done, const std::string &line)
{
    m_done = done < m_total ? done : m_total;
    if (m_terminal) {
        draw();
        return;
    }
    printErr(line.empty() ? m_label + " " + std::to_string(m_done) + "/" + std::to_string(m_total) + "\n"
                          : terminalText(line) + (line.ends_with('\n') ? "" : "\n"));
}

void Progress::note(const std::string &text)
{
    if (m_terminal && m_drawn)
        platform::writeText(stderr, "\r\033[K");
    printErr(text.ends_with('\n') ? text : text + "\n");
    if (m_terminal && m_drawn)
        draw();
}

void Progress::clear()
{
    if (m_terminal && m_drawn) {
        platform::writeText(stderr, "\r\033[K");
        std::fflush(stderr);
    }
    m_drawn = false;
}

void Progress::finish()
{
    if (m_terminal && m_drawn) {
        platform::writeText(stderr, "\n");
        std::fflush(stderr);
    }
    m_drawn = false;
}

} // namespace qx::cli
