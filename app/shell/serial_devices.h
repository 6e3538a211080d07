// The serial devices this machine offers, for the connection page's list.
#pragma once

#include <string>
#include <vector>

namespace qx {

// Device files in `devDir` named ttyS*, ttyUSB*, ttyACM*, ttyAMA*, ttyXRUSB*
// or rfcomm*, sorted by name and then by number (ttyS2 before ttyS10).
std::vector<std::string> listSerialDevices(const std::string &devDir = "/dev");

} // namespace qx
