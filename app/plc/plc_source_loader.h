// The PLC source text loader: finds blocks, condition rows and action rows by
// their tags and braces and writes their codes and values into a project.
// Whether the combinations make sense is the compiler's check.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "plc_project.h"

namespace qx {

// Files of this size or more are refused instead of being cut.
inline constexpr std::size_t kPlcSourceLimit = 1048576;

struct SourceLoadResult {
    enum Code {
        Loaded = 0,
        SyntaxError = -1, // rows read before the error stay in the project
        FileError = 1,    // the project is left as it was
    };
    int code = Loaded;
    std::string message; // UTF-8; the error text for the report box
};

// Loads `text` into `project` in place: blocks absent from the text keep what
// the project held. The text ends at its first zero byte.
SourceLoadResult loadPlcSourceText(std::string_view text, PlcProject &project);

SourceLoadResult loadPlcSourceFile(const std::string &path, PlcProject &project);

} // namespace qx
