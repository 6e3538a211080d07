// The block record accessors and the project's editing operations.
#include "plc_project.h"

#include <bit>
#include <cstring>

#include "byte_io.h"
#include "decimal_text.h"

namespace qx {

namespace {

struct RowOffsets {
    std::size_t code;
    std::size_t unit;
    std::size_t op;
    std::size_t a;
    std::size_t b;
};

RowOffsets offsetsOf(PlcRowKind kind)
{
    using namespace PlcBlock;
    if (kind == PlcRowKind::Condition)
        return {kCondSource, kCondUnit, kCondOperator, kCondValueA, kCondValueB};
    return {kActObject, kActUnit, kActOperator, kActValueA, kActValueB};
}

bool validBlock(int n)
{
    return n >= 0 && n < static_cast<int>(kPlcBlockCount);
}

bool validRow(int r)
{
    return r >= 0 && r < kPlcRowsPerArea;
}

} // namespace

bool conditionValueIsFloat(const PlcRow &row)
{
    return isAnalogCode(row.code) && row.unit != plc_code::kUnitVar && row.unit != plc_code::kUnitRaw;
}

bool actionValueIsFloat(const PlcRow &row, bool valueB)
{
    if (isAnalogCode(row.code))
        return row.unit != plc_code::kUnitVar && row.unit != plc_code::kUnitRaw;
    return row.op == plc_code::kActPulse && valueB;
}

uint32_t floatBits(float value)
{
    return std::bit_cast<uint32_t>(value);
}

float bitsFloat(uint32_t bits)
{
    return std::bit_cast<float>(bits);
}

std::string plcValueText(uint32_t bits, bool isFloat)
{
    return isFloat ? formatFixed6(bitsFloat(bits)) : std::to_string(bits);
}

PlcRow readPlcRow(const uint8_t *block, PlcRowKind kind, int row)
{
    const RowOffsets o = offsetsOf(kind);
    const auto r = static_cast<std::size_t>(row);
    PlcRow v;
    v.code = block[o.code + r];
    v.unit = block[o.unit + r];
    v.op = block[o.op + r];
    v.a = getU32le(block, o.a + 4 * r);
    v.b = getU32le(block, o.b + 4 * r);
    return v;
}

void writePlcRow(uint8_t *block, PlcRowKind kind, int row, const PlcRow &value)
{
    const RowOffsets o = offsetsOf(kind);
    const auto r = static_cast<std::size_t>(row);
    block[o.code + r] = value.code;
    block[o.unit + r] = value.unit;
    block[o.op + r] = value.op;
    putU32le(block, o.a + 4 * r, value.a);
    putU32le(block, o.b + 4 * r, value.b);
}

PlcProject::PlcProject()
    : m_bytes(kPlcProgramSize, 0)
{
}

uint8_t *PlcProject::block(int n)
{
    return m_bytes.data() + static_cast<std::size_t>(n) * kPlcBlockSize;
}

const uint8_t *PlcProject::block(int n) const
{
    return m_bytes.data() + static_cast<std::size_t>(n) * kPlcBlockSize;
}

uint8_t PlcProject::state(int n) const
{
    return validBlock(n) ? block(n)[PlcBlock::kState] : kBlockFree;
}

void PlcProject::setState(int n, uint8_t state)
{
    if (validBlock(n))
        block(n)[PlcBlock::kState] = state;
}

void PlcProject::clearBlock(int n)
{
    if (validBlock(n))
        std::memset(block(n), 0, kPlcBlockSize);
}

PlcRow PlcProject::row(int n, PlcRowKind kind, int r) const
{
    if (!validBlock(n) || !validRow(r))
        return {};
    return readPlcRow(block(n), kind, r);
}

void PlcProject::setRow(int n, PlcRowKind kind, int r, const PlcRow &value)
{
    if (validBlock(n) && validRow(r))
        writePlcRow(block(n), kind, r, value);
}

void PlcProject::deleteRow(int n, PlcRowKind kind, int r)
{
    setRow(n, kind, r, PlcRow{});
}

void PlcProject::swapRows(int n, PlcRowKind kind, int r)
{
    if (!validBlock(n) || !validRow(r) || !validRow(r + 1))
        return;
    const PlcRow upper = row(n, kind, r);
    setRow(n, kind, r, row(n, kind, r + 1));
    setRow(n, kind, r + 1, upper);
}

} // namespace qx
