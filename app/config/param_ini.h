// Loading a parameter block from its INI form (sections SYSTEM, COM, ETH,
// WIFI, LORA, DIO, RESERV), the files operators keep for their modules. The
// lookup is plain text search, so that files edited by hand load as they
// read: a section is found anywhere in the first 8192 bytes, a key is its
// first occurrence after that, the value runs from the "=" after the key to
// the end of the line. There is no writer.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "param_block.h"

namespace qx {

// Results of one key lookup; the numbers are the reader's own status codes.
enum IniLookup : int {
    kIniFound = 0,
    kIniEmptyFile = 1, // a file of 0 or 1 byte (or one that cannot be read)
    kIniNoKey = 254,
    kIniNoSection = 255,
};

constexpr std::size_t kIniSearchLimit = 8192;
constexpr std::size_t kIniNumberChars = 15;

// One lookup over the file's text (already cut to the search limit). `value`
// receives at most `room` bytes of the value.
IniLookup iniLookup(std::string_view text, std::string_view section, std::string_view key,
                    std::size_t room, std::string &value);

// Which groups the INI reader reads for a model code.
bool iniReadsCom(uint8_t modelCode);
bool iniReadsEth(uint8_t modelCode);
bool iniReadsWifi(uint8_t modelCode);
bool iniReadsLora(uint8_t modelCode);
bool iniReadsDio(uint8_t modelCode);

struct IniLoadResult
{
    bool ok = false;
    ParamBlock block;
    // On failure: the first required key (or section) that was missing, for
    // diagnostics; the page itself shows nothing.
    std::string missing;
};

// Reads a whole block from INI text, or from a file (whose first 8192 bytes
// are searched). Any missing required key fails the whole load.
IniLoadResult loadParamIniText(std::string_view text);
IniLoadResult loadParamIni(const std::filesystem::path &path);

} // namespace qx
