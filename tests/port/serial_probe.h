// Reads back what the library set on a serial line, through the kernel's
// termios2 (kept in its own file: that header cannot live beside <termios.h>).
#pragma once

#include <cstdint>

namespace qxtest {

struct LineReadback
{
    bool ok = false;
    uint32_t outputSpeed = 0;
    uint32_t inputSpeed = 0;
    int dataBits = 0;
    bool parityOn = false;
    bool parityOdd = false;
    bool stickParity = false;
    bool twoStopBits = false;
    bool parityCheck = false;
    bool canonical = false;
    bool echo = false;
    bool hardwareFlow = false;
    bool softwareFlow = false;
    bool outputProcessing = false;
    bool receiverOn = false;
};

LineReadback readLine(int fd);

} // namespace qxtest
