// Project files: arbitrary bytes for the first blocks of the program, with a
// seal that matches or not, then check, preview and image of what loaded.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_target.h"
#include "plc_compiler.h"
#include "plc_project_file.h"

QX_FUZZ_TARGET(input)
{
    const uint8_t mode = input.mode();
    const std::string_view body = input.bodyText();

    std::string file;
    if (mode & 1) {
        // taken as the whole file: mostly a wrong length
        file = std::string(body);
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
    QX_FUZZ_CHECK(r.ok == r.project.has_value());
    if (!r.ok)
        return;
    QX_FUZZ_CHECK((mode & 3) != 2); // a changed seal must never load

    qx::ScalingTables scaling = qx::ScalingTables::zeroed();
    scaling.valid = mode & 4 ? 1 : 0;
    const qx::CheckResult check = qx::checkPlcProject(*r.project, scaling);
    qx::previewPlcProject(*r.project, true, static_cast<int>(body.size() % qx::kPlcBlockCount));
    qx::previewPlcProject(*r.project);
    const qx::ProgramImage image = qx::buildProgramImage(*r.project, scaling);
    (void)check;
    QX_FUZZ_CHECK(image.bytes.size() == qx::kPlcProgramSize);
}
