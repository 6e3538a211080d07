// Files of the --state directory: read whole, written atomically (a
// temporary file in the same directory, flushed, then renamed over the old
// one), so that a crash or a kill never leaves half a file behind.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace qx::sim {

bool writeFileAtomically(const std::filesystem::path &path, const std::vector<uint8_t> &bytes,
                         std::string &error);

// nullopt when the file does not exist or cannot be read.
std::optional<std::vector<uint8_t>> readWholeFile(const std::filesystem::path &path);

} // namespace qx::sim
