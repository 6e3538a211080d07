// The per-channel scaling of the analog inputs and outputs, loaded from a
// text file ("量纲文件") and read by the AI/AO page and the PLC compiler.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

inline constexpr int kScalingChannels = 16; // the files fill channels 1..8
inline constexpr int kScalingFileChannels = 8;
inline constexpr std::size_t kScalingSearchLimit = 4096;
inline constexpr std::size_t kScalingValueLimit = 32;
// Coefficients below this (single precision widened to double) are refused.
inline constexpr double kScalingMinRatio = 0.00001;

struct ScalingTables {
    std::array<uint32_t, kScalingChannels> aiNoise{};
    std::array<float, kScalingChannels> aiRatio;
    std::array<uint8_t, kScalingChannels> aiUnit;
    std::array<uint32_t, kScalingChannels> aoNoise{};
    std::array<float, kScalingChannels> aoRatio;
    std::array<uint8_t, kScalingChannels> aoUnit;
    uint8_t valid = 0;

    // The state at program start: no noise, coefficient 1.0, unit raw.
    ScalingTables();
    // Every entry and the flag 0, as before a file is read.
    static ScalingTables zeroed();
};

struct ScalingLoadResult {
    // false: the file could not be read or a key is missing; the tables are
    // then all zero and `message` says why (the page shows nothing).
    bool complete = false;
    std::string message;
    ScalingTables tables = ScalingTables::zeroed();
    // One text per faulty unit or coefficient, in the order the page shows
    // its boxes; an empty list with `complete` means tables.valid == 1.
    std::vector<std::string> channelMessages;
};

// Reads the file's text (only the first 4096 bytes count) and checks it.
ScalingLoadResult readScalingText(std::string_view fileBytes);
ScalingLoadResult loadScalingFile(const std::string &path);

// The name of a scaling unit code 5..11 ("v伏特" ...), or "无" otherwise.
std::string scalingUnitName(uint8_t unit);

} // namespace qx
