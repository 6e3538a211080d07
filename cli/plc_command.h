// `qxcli plc`: check, preview, build and image of PLC sources and projects.
#pragma once

#include <string>
#include <vector>

namespace qx::cli {

int runPlcCommand(const std::vector<std::string> &args);

} // namespace qx::cli
