// Loading a parameter block from its INI form (sections SYSTEM, COM, ETH,
// WIFI, LORA, DIO, RESERV), the files operators keep for their modules. The
// lookup is plain text search, so that files edited by hand load as they
// read: a section is found anywhere in the first 8192 bytes, a key is its
// first occurrence after that, the value runs from the "=" after the key to
// the end of the line. There is no writer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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
// szRes9/szRes10 read into their overlay of dwRes25..dwRes32.
bool iniReadsOverlay(uint8_t modelCode);

// One key the reader looks for, in the order it reads them.
struct IniKeyRule
{
    std::string_view section;
    std::string key;
    enum Kind : uint8_t {
        Required, // missing: the whole load fails
        Optional, // missing: the field stays as it is
        Fallback, // missing: the field takes `fallback`
    } kind = Required;
    uint32_t fallback = 0;
    bool onlyWifiModeZero = false; // read only when W1WifiMode (read before) is 0
};

// The SYSTEM keys (read first, for any model code), then the keys of the
// groups the reader reads for a model code. The INI export writes the same.
std::vector<IniKeyRule> iniSystemKeys();
std::vector<IniKeyRule> iniGroupKeys(uint8_t modelCode);

struct IniLoadResult
{
    bool ok = false;
    ParamBlock block;
    // On failure: the first required key that was missing ("SECTION/KEY"
    // and its two parts); a file too short to hold anything misses the
    // first key of all.
    std::string missing;
    std::string missingSection;
    std::string missingKey;
    // The file could not be opened or read: the system's reason.
    std::string openError;
};

// Reads a whole block from INI text, or from the file named `path` (UTF-8;
// its first 8192 bytes are searched). Any missing required key fails the
// whole load.
IniLoadResult loadParamIniText(std::string_view text);
IniLoadResult loadParamIni(const std::string &path);
// The log line of a load that missed a key: "配置文件缺少[SECTION]下的KEY,配置未加载!".
std::string missingKeyLine(const IniLoadResult &result);

} // namespace qx
