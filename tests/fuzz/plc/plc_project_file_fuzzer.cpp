// Project files: arbitrary bytes for the first blocks of the program, with a
// seal that matches or not, then check, preview and image of what loaded.
#include <cstddef>
#include <cstdint>
#include <string>

#include "plc_compiler.h"
#include "plc_project_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const uint8_t mode = data[0];
    const std::string body(reinterpret_cast<const char *>(data + 1), size - 1);

    std::string file;
    if (mode & 1) {
        // taken as the whole file: mostly a wrong length
        file = body;
    } else {
        qx::PlcProject project;
        // the first blocks from the input, the rest free (as in most files)
        for (std::size_t i = 0; i < body.size() && i < qx::kPlcProgramSize; ++i)
            project.bytes()[i] = static_cast<uint8_t>(body[i]);
        file = qx::projectFileBytes(project, "pw");
        if (mode & 2)
            file[qx::kPlcProgramSize + (mode >> 3) % qx::kProjectSealSize] ^= 1;
    }
    const qx::ProjectLoadResult r = qx::readProjectBytes(file, "pw");
    if (r.ok != r.project.has_value())
        __builtin_trap();
    if (!r.ok)
        return 0;
    if ((mode & 3) == 2)
        __builtin_trap(); // a changed seal must never load

    qx::ScalingTables scaling = qx::ScalingTables::zeroed();
    scaling.valid = mode & 4 ? 1 : 0;
    const qx::CheckResult check = qx::checkPlcProject(*r.project, scaling);
    for (int b = 0; b < static_cast<int>(qx::kPlcBlockCount); b += 33)
        qx::previewPlcProject(*r.project, true, b);
    qx::previewPlcProject(*r.project);
    const qx::ProgramImage image = qx::buildProgramImage(*r.project, scaling);
    (void)check;
    if (image.bytes.size() != qx::kPlcProgramSize)
        __builtin_trap();
    return 0;
}
