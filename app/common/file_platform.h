// What file_bytes.cpp needs of the operating system, one declaration for
// both platforms (file_bytes_posix.cpp, file_bytes_win32.cpp). File names
// are UTF-8 on both; failures are errno values, so that the operator's
// message reads the same everywhere.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

namespace qx::file_platform {

// fopen(path, "rb"); null with errno set (EISDIR for a folder on both).
std::FILE *openForReading(const std::string &path);

// The open file's length; 0, or the errno value (EISDIR for a folder).
int lengthOf(std::FILE *file, uint64_t &length);

// Writes `bytes` to a new file beside `path`, flushes it to the disk and
// renames it over `path` (replacing an existing file). 0, or the errno
// value; on failure `path` is as it was and no temporary file is left.
int replaceFile(const std::string &path, std::string_view bytes);

// Creates the temporary file beside `path` (the same folder, so that the
// rename stays on one file system) under a name nobody else holds:
// `create` opens one name exclusively and returns its descriptor, or -1
// with errno set. The descriptor and the name in `temp`, or -1 with errno
// set (file_bytes.cpp).
int createTemporary(const std::string &path, const std::function<int(const std::string &)> &create,
                    std::string &temp);

} // namespace qx::file_platform
