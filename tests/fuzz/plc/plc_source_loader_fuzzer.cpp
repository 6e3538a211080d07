// Source text into the loader, then the loaded program through check,
// preview, image and digest. The first byte picks raw bytes or a text built
// from the grammar's tokens, so that deep rows are reached quickly.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_target.h"
#include "plc_compiler.h"
#include "plc_project_file.h"
#include "plc_source_loader.h"

namespace {

const char *const kTokens[] = {
    "<program0>", "<program1>", "<program3>", "<program99>", "<cond>", "<act>", "\r\n", "\n", "{", "}",
    "x1", "x12", "x32", "x33", "ai1", "ai16", "ao2", "et5", "et96", "it1", "y3", "dly1", "DIO", "DI",
    "DIO+AIO+XCNT", "AIO+XCNT", "AO", "XCNT", "none", "n", "dio", "cnt", "ms", "raw", "mv", "ma", "rat",
    "var", "g", "=", "!=", ">=", ">", "<=", "<", "->", "()", "[]", "(]", "[)", "+", "-", "str",
    "strclr", "rep", "po", "0", "1", "100", "-5", "2.5", "1e40", "nan", "4294967296", "1234567890123456",
    " ", "\xC3\xDC",
};

} // namespace

QX_FUZZ_TARGET(input)
{
    qx::PlcProject project;
    qx::loadPlcSourceText(input.text(kTokens), project);

    qx::ScalingTables scaling;
    scaling.valid = input.mode() & 2 ? 1 : 0;
    scaling.aiUnit.fill(6);
    const qx::CheckResult check = qx::checkPlcProject(project, scaling);
    const std::string preview = qx::previewPlcProject(project);
    const qx::ProgramImage image = qx::buildProgramImage(project, scaling);
    const qx::ProjectSeal seal = qx::projectSeal(project, "pw");
    (void)preview;
    (void)seal;
    QX_FUZZ_CHECK(image.bytes.size() == qx::kPlcProgramSize);
    QX_FUZZ_CHECK(check.ok || !check.report.empty()); // a failed check always says why
}
