// Writing a parameter block in its INI form ("导出配置"), for the page and
// the command line: the sections and keys the reader (param_ini.h) reads for
// the block's model code, in its order, so that the file loads back to the
// same block. A value the reader could not take back as it is (a text with a
// line break, a key found inside another value, a file past the reader's
// 8192 bytes) refuses the export instead of writing a file that loads
// differently.
#pragma once

#include <string>

#include "param_block.h"

namespace qx {

struct IniExportResult
{
    bool ok = false;
    std::string message; // the refusal or the failure, for the operator
    std::string text; // the file's bytes (texts as the block holds them, GBK)
};

// The file's contents, checked by reading them back.
IniExportResult paramIniText(const ParamBlock &block);

// Writes the file named `path` (UTF-8) atomically: a temporary file in the
// same folder, then a rename over `path`. A refusal or a failure leaves
// `path` as it was.
IniExportResult exportParamIni(const ParamBlock &block, const std::string &path);

} // namespace qx
