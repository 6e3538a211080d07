// Output helpers of qxcli: the system's texts use CR LF for the report box;
// on a terminal they are printed with plain line feeds. Results go to
// standard output as text or, with --json, as one JSON object per line;
// progress and notes go to standard error.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qx::cli {

// Exit codes of every subcommand.
inline constexpr int kExitOk = 0;
inline constexpr int kExitCheckFailed = 1;
inline constexpr int kExitNoAnswer = 1; // the module refused or did not answer
inline constexpr int kExitError = 2;

void printOut(std::string_view text);
// Bytes as they are (a file's contents).
void printOutRaw(std::string_view bytes);
// QXLIB prints its console lines ("服务器启动成功..." and the like) on file
// descriptor 1; once this is called they go to standard error, and only
// printOut writes to the original standard output, so --json output stays
// parseable.
void keepStdoutForResults();
// Results as they come, for a reader of a pipe (read --every, scan).
void flushOut();
void printErr(std::string_view text);

// "\r\n" -> "\n"
std::string terminalText(std::string_view text);

// One JSON object, members in the order they are added. Texts are UTF-8
// and escaped as JSON needs.
class JsonObject
{
public:
    JsonObject &add(std::string_view key, std::string_view text);
    JsonObject &add(std::string_view key, const char *text) { return add(key, std::string_view(text)); }
    JsonObject &add(std::string_view key, long long number);
    JsonObject &add(std::string_view key, int number) { return add(key, static_cast<long long>(number)); }
    JsonObject &add(std::string_view key, unsigned number) { return add(key, static_cast<long long>(number)); }
    JsonObject &addBool(std::string_view key, bool value);
    JsonObject &add(std::string_view key, const std::vector<long long> &numbers);
    std::string text() const { return "{" + m_members + "}"; }

private:
    void key(std::string_view key);
    std::string m_members;
};

std::string jsonQuoted(std::string_view text);

// Progress of long work on standard error: a bar redrawn in place on a
// terminal, one line per step otherwise (the system's own log lines where
// the caller has them).
class Progress
{
public:
    Progress(std::string label, int total);
    ~Progress();
    // `line` is printed as the step's line when standard error is no terminal.
    void update(int done, const std::string &line = {});
    // A note that must not be overdrawn (a resend, a late answer).
    void note(const std::string &text);
    // Takes the bar off the line before a result is printed; the next
    // update draws it again.
    void clear();
    void finish();

private:
    void draw();
    std::string m_label;
    int m_total;
    int m_done = 0;
    bool m_terminal;
    bool m_drawn = false;
};

} // namespace qx::cli
