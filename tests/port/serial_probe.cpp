#include "serial_probe.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace qxtest {

LineReadback readLine(int fd)
{
    LineReadback r;
    struct termios2 tio {};
    if (::ioctl(fd, TCGETS2, &tio) != 0)
        return r;
    r.ok = true;
    r.outputSpeed = tio.c_ospeed;
    r.inputSpeed = tio.c_ispeed;
    switch (tio.c_cflag & CSIZE) {
    case CS5:
        r.dataBits = 5;
        break;
    case CS6:
        r.dataBits = 6;
        break;
    case CS7:
        r.dataBits = 7;
        break;
    default:
        r.dataBits = 8;
        break;
    }
    r.parityOn = (tio.c_cflag & PARENB) != 0;
    r.parityOdd = (tio.c_cflag & PARODD) != 0;
    r.stickParity = (tio.c_cflag & CMSPAR) != 0;
    r.twoStopBits = (tio.c_cflag & CSTOPB) != 0;
    r.parityCheck = (tio.c_iflag & INPCK) != 0;
    r.canonical = (tio.c_lflag & ICANON) != 0;
    r.echo = (tio.c_lflag & ECHO) != 0;
    r.hardwareFlow = (tio.c_cflag & CRTSCTS) != 0;
    r.softwareFlow = (tio.c_iflag & (IXON | IXOFF)) != 0;
    r.outputProcessing = (tio.c_oflag & OPOST) != 0;
    r.receiverOn = (tio.c_cflag & CREAD) != 0;
    return r;
}

} // namespace qxtest
