// The PLC program as the module runs it: 100 packed 256-byte block records,
// each with ten condition rows and ten action rows. The record crosses the
// project file, the program image and the download, so it stays a byte array
// with named offsets; the 32-bit values sit at odd offsets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "transfer_packet_layout.h"

namespace qx {

// The sizes the download packets carry (EplcPacketLayout).
inline constexpr std::size_t kPlcBlockCount = EplcPacketLayout::kBlockCount;
inline constexpr std::size_t kPlcBlockSize = EplcPacketLayout::kBlockSize;
inline constexpr std::size_t kPlcProgramSize = EplcPacketLayout::kProgramSize; // 25,600
inline constexpr int kPlcRowsPerArea = 10;

// Offsets inside one `PlcBlock`, the 256-byte record of one control block.
namespace PlcBlock {
inline constexpr std::size_t kState = 0;
inline constexpr std::size_t kCondSource = 1;
inline constexpr std::size_t kCondUnit = 11;
inline constexpr std::size_t kCondOperator = 21;
inline constexpr std::size_t kCondValueA = 31;
inline constexpr std::size_t kCondValueB = 71;
inline constexpr std::size_t kActObject = 111;
inline constexpr std::size_t kActUnit = 121;
inline constexpr std::size_t kActOperator = 131;
inline constexpr std::size_t kActValueA = 141;
inline constexpr std::size_t kActValueB = 181;
inline constexpr std::size_t kReserved = 221;
inline constexpr std::size_t kReservedSize = 35;
static_assert(kReserved + kReservedSize == kPlcBlockSize);
} // namespace PlcBlock

// Block states: free (grey), runs (green), does not run (blue).
inline constexpr uint8_t kBlockFree = 0;
inline constexpr uint8_t kBlockRuns = 1;
inline constexpr uint8_t kBlockStopped = 2;

enum class PlcRowKind {
    Condition,
    Action,
};

// Codes that recur in the rules; the catalogues hold the full lists.
namespace plc_code {
inline constexpr uint8_t kUnitNone = 0;
inline constexpr uint8_t kUnitDio = 1;
inline constexpr uint8_t kUnitCnt = 2;
inline constexpr uint8_t kUnitMs = 3;
inline constexpr uint8_t kUnitRaw = 4;
inline constexpr uint8_t kUnitRat = 12;
inline constexpr uint8_t kUnitVar = 13;
inline constexpr uint8_t kActPulse = 7;
inline constexpr uint8_t kAnalogFirst = 65;
inline constexpr uint8_t kAnalogLast = 80;

// Code ranges of the source and object catalogues (first code of each run).
inline constexpr uint8_t kPointCount = 32;           // x1..x32, y1..y32
inline constexpr uint8_t kSourceInputFirst = 1;      // x1输入 ..
inline constexpr uint8_t kCounterFirst = 33;         // x1计数 .., in both catalogues
inline constexpr uint8_t kAnalogChannels = 8;        // ai1..ai8, ao1..ao8; then eight 预留
inline constexpr uint8_t kExtTimerFirst = 81;        // et1 .. et96, in both catalogues
inline constexpr uint8_t kExtTimerCount = 96;
inline constexpr uint8_t kSelfTimerFirst = 177;      // it1 .. it32, in both catalogues
inline constexpr uint8_t kSelfTimerCount = 32;
inline constexpr uint8_t kSourceOutputFirst = 209;   // y1输出 .. as condition sources
inline constexpr uint8_t kSourceLast = 240;
inline constexpr uint8_t kObjectOutputFirst = 1;     // y1输出 .. as action objects
inline constexpr uint8_t kObjectDelay = 209;         // dly1延时
inline constexpr uint8_t kObjectGroupFirst = 217;    // DI .. DIO+AIO+XCNT
inline constexpr uint8_t kObjectGroupLast = 227;

// Condition operators.
inline constexpr uint8_t kCondEqual = 1;
inline constexpr uint8_t kCondNotEqual = 2;
inline constexpr uint8_t kCondGreater = 3;
inline constexpr uint8_t kCondGreaterEqual = 4;
inline constexpr uint8_t kCondLess = 5;
inline constexpr uint8_t kCondLessEqual = 6;
inline constexpr uint8_t kCondFromTo = 7;
inline constexpr uint8_t kCondOpen = 8;       // ()
inline constexpr uint8_t kCondClosed = 9;     // []
inline constexpr uint8_t kCondRightClosed = 10; // (]
inline constexpr uint8_t kCondLeftClosed = 11;  // [)

// Action operators (kActPulse above is the seventh).
inline constexpr uint8_t kActAssign = 1;
inline constexpr uint8_t kActAdd = 2;
inline constexpr uint8_t kActSubtract = 3;
inline constexpr uint8_t kActStore = 4;
inline constexpr uint8_t kActStoreClear = 5;
inline constexpr uint8_t kActReport = 6;

inline constexpr uint32_t kVariableCount = 256; // variable numbers 1..256
} // namespace plc_code

// One condition row (source, unit, operator, a, b) or action row (object,
// unit, operator, a, b); a and b are the raw 32-bit patterns.
struct PlcRow {
    uint8_t code = 0;
    uint8_t unit = 0;
    uint8_t op = 0;
    uint32_t a = 0;
    uint32_t b = 0;

    bool operator==(const PlcRow &) const = default;
};

inline bool isAnalogCode(uint8_t code)
{
    return code >= plc_code::kAnalogFirst && code <= plc_code::kAnalogLast;
}

// How the 32-bit values of a row are to be read. Analog values are floats in
// engineering units, except variable numbers and raw counts, which are
// integers everywhere (editor, preview and image); the duty cycle of a pulse
// output is a float.
bool conditionValueIsFloat(const PlcRow &row);
bool actionValueIsFloat(const PlcRow &row, bool valueB);

uint32_t floatBits(float value);
float bitsFloat(uint32_t bits);

// A value as the grid and the preview show it: "%f" for floats, "%u"
// otherwise, with '.' whatever the process locale.
std::string plcValueText(uint32_t bits, bool isFloat);

PlcRow readPlcRow(const uint8_t *block, PlcRowKind kind, int row);
void writePlcRow(uint8_t *block, PlcRowKind kind, int row, const PlcRow &value);

// The program: 100 blocks back to back, all free when created.
class PlcProject
{
public:
    PlcProject();

    uint8_t *block(int n);
    const uint8_t *block(int n) const;
    uint8_t state(int n) const;
    void setState(int n, uint8_t state);
    void clearBlock(int n);

    PlcRow row(int n, PlcRowKind kind, int r) const;
    void setRow(int n, PlcRowKind kind, int r, const PlcRow &value);
    void deleteRow(int n, PlcRowKind kind, int r);
    // Exchanges rows r and r + 1 of the same kind; nothing for r outside 0..8.
    void swapRows(int n, PlcRowKind kind, int r);

    const std::vector<uint8_t> &bytes() const { return m_bytes; }
    std::vector<uint8_t> &bytes() { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
};

// The image downloaded to the module: the project's layout with analog
// engineering values replaced by converter counts.
struct ProgramImage {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(kPlcProgramSize, 0);
};

} // namespace qx
