// Reading a whole (bounded) file and replacing a file without ever leaving a
// partial one behind, with the operator's message on failure.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qx {

struct FileReadResult {
    bool ok = false;
    std::string message; // "Can't open file ..." and the system's text
    int error = 0;       // the errno value when the read failed
    std::string bytes;   // at most `limit` bytes
    uint64_t size = 0;   // the file's real length
};

// Reads up to `limit` bytes of the file named `path` (UTF-8); `size`
// tells whether the file was longer.
FileReadResult readFileBytes(const std::string &path, std::size_t limit);

struct FileWriteResult {
    bool ok = false;
    std::string message; // "Can't open file ..." and the system's text
    int error = 0;       // the errno value when the write failed
};

// Writes to a temporary file beside `path`, flushes it to the disk and
// renames it over `path`, so a reader sees either the old file or the whole
// new one. `path` is UTF-8 on every platform.
FileWriteResult writeFileAtomically(const std::string &path, std::string_view bytes);

// The two-line open failure text for `path` with the errno value `error`.
std::string cantOpenFileMessage(const std::string &path, int error);

} // namespace qx
