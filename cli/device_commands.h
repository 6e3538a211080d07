// qxcli's device commands: a connection, the module's address and one
// command (identity, read, write, pwm, clear, plc download/clear-flash,
// scan), run through QXLIB with the pages' request records and transfer
// state machines.
#pragma once

#include <string>
#include <vector>

namespace qx::cli {

// The whole command line after the program name; the exit code.
int runDeviceCommand(const std::vector<std::string> &args);

// The general usage text of the device commands.
const char *deviceUsage();

} // namespace qx::cli
