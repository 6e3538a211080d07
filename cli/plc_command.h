// `qxcli plc`: check, preview, build and image of PLC sources and projects.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "plc_project.h"
#include "scaling_file.h"

namespace qx::cli {

int runPlcCommand(const std::vector<std::string> &args);

// The loads the PLC commands share with `plc download`: the scaling file if
// one is named (program-start tables otherwise), and a source text or a
// project file, printing what the page's report box shows for the load when
// `report` is set. Failures are printed; nullopt then.
std::optional<ScalingTables> loadScaling(const std::optional<std::string> &path);
std::optional<PlcProject> loadProgram(const std::string &file, const std::optional<std::string> &password,
                                      bool report);

} // namespace qx::cli
