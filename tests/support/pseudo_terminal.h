// Pseudo-terminals for the serial tests: a fresh pair, or the raw opening of
// one that another program created.
#pragma once

#include <string>

namespace qxtest {

// A pseudo-terminal pair in raw mode: the program under test opens
// `slavePath`, the test talks on `master`. The test keeps one slave
// descriptor open too, so the master never sees a hang-up between two opens.
// Both descriptors are closed on exec.
struct PtyPair
{
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;
    // Closes both ends now, as an unplugged adapter would.
    void close();

    int master = -1;
    int slave = -1;
    std::string slavePath;
};

// Opens a terminal device in raw mode; -1 on failure.
int openRawTerminal(const std::string &path);

} // namespace qxtest
