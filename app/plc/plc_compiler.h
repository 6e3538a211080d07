// The PLC "compiler": the rule check of every running block with its report,
// the readable preview, and the program image with analog engineering values
// turned into converter counts through the scaling tables.
#pragma once

#include <cstdint>
#include <string>

#include "plc_project.h"
#include "scaling_file.h"

namespace qx {

struct CheckResult {
    bool ok = true;     // no rule failed
    std::string report; // the report box's new content (UTF-8, CR LF)
};

// Checks every block in state 1, or with `singleBlock` only `block` (and
// only if it runs). The timer-use table always covers all running blocks.
CheckResult checkPlcProject(const PlcProject &project, const ScalingTables &scaling,
                            bool singleBlock = false, int block = 0);

// One sentence per row: of every running block, or of `block` whatever its
// state.
std::string previewPlcProject(const PlcProject &project, bool singleBlock = false, int block = 0);

// The converter count of an analog value: truncate(value / ratio) toward
// zero, plus the noise (inputs only). Results outside 0..2^32-1 saturate,
// an unusable ratio (0, NaN, infinite) or NaN value counts as 0 before the
// noise, instead of the undefined conversion the plain cast would be.
uint32_t analogRawCount(float value, float ratio, uint32_t noise);

// The image of all 100 blocks, whatever their state. Analog rows with unit
// var (variable numbers) or raw (counts already) are copied unconverted.
ProgramImage buildProgramImage(const PlcProject &project, const ScalingTables &scaling);

} // namespace qx
