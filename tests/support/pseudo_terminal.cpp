#include "pseudo_terminal.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace qxtest {

namespace {

void makeRaw(int fd)
{
    termios raw {};
    ::tcgetattr(fd, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(fd, TCSANOW, &raw);
}

} // namespace

PtyPair::PtyPair()
{
    char name[128] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0)
        return;
    slavePath = name;
    // a child process (qxsim) must not inherit the test's own ends
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    makeRaw(master);
    makeRaw(slave);
}

PtyPair::~PtyPair()
{
    close();
}

void PtyPair::close()
{
    if (master >= 0)
        ::close(master);
    if (slave >= 0)
        ::close(slave);
    master = -1;
    slave = -1;
}

int openRawTerminal(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0)
        makeRaw(fd);
    return fd;
}

} // namespace qxtest
