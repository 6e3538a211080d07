// The serial devices this machine offers, for the connection page's list.
#pragma once

#include <string>
#include <vector>

namespace qx {

// Device files in `devDir` named ttyUSB*, ttyACM*, ttyXRUSB*, rfcomm*,
// ttyAMA* or ttyS*, in that order of kinds: the USB and ACM adapters an
// RS485 line is usually plugged into come first, the board's own ttyS ports
// (mostly absent hardware) last. Within a kind by number (ttyS2 before ttyS10).
std::vector<std::string> listSerialDevices(const std::string &devDir = "/dev");

} // namespace qx
