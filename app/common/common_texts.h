// The operator's texts that every area shows the same way. UTF-8 here, as
// in the areas' own text headers (shell_texts, io_texts, config_texts,
// plc_texts).
#pragma once

#include <string>
#include <string_view>

#include "text_catalogue.h"

namespace qx::common_texts {

// A value that has not been read (yet).
inline constexpr const char *kNotAvailable = "N/A";
// The log line of every file loaded or saved: kFilePathLog, the path.
inline constexpr Text kFilePathLog = "文件路径:";
// A file that cannot be opened or written (path, cause; the system's text).
inline constexpr const char *kCantOpenFile = "Can't open file %s, error = %u\n";
inline constexpr const char *kErrorMessage = "Error message = %s\n";

// "文件路径:" and the path, with the log's line end.
inline std::string filePathLine(std::string_view path)
{
    return std::string(kFilePathLog).append(path).append("\r\n");
}

} // namespace qx::common_texts
