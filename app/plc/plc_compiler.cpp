// The check rules by operand range, the preview sentences and the image.
#include "plc_compiler.h"

#include <array>
#include <cmath>
#include <utility>

#include "plc_catalogues.h"
#include "plc_texts.h"
#include "text_format.h"

namespace qx {

namespace {

using namespace plc_texts;

bool in(int v, int lo, int hi)
{
    return v >= lo && v <= hi;
}

bool isVariableNumber(uint32_t a)
{
    return a >= 1 && a <= 256;
}

bool isScalingUnit(int unit)
{
    return in(unit, 5, 11);
}

bool isAnalogUnit(int unit)
{
    return in(unit, 4, 11) || unit == plc_code::kUnitVar;
}

constexpr uint8_t kUnused = 0xFF;

// For every source code, the block and row of its last use as a condition
// in a running block.
using TimerUse = std::array<std::pair<uint8_t, uint8_t>, 256>;

TimerUse timerUse(const PlcProject &project)
{
    TimerUse use;
    use.fill({kUnused, kUnused});
    for (int b = 0; b < static_cast<int>(kPlcBlockCount); ++b) {
        if (project.state(b) != kBlockRuns)
            continue;
        const uint8_t *block = project.block(b);
        for (int r = 0; r < kPlcRowsPerArea; ++r) {
            const uint8_t src = block[PlcBlock::kCondSource + r]; // only the code counts here
            if (in(src, 81, 240))
                use[src] = {static_cast<uint8_t>(b), static_cast<uint8_t>(r)};
        }
    }
    return use;
}

// Appends the messages of the failed rules; returns false if any failed.
bool checkCondition(const PlcRow &c, int block, int row, const ScalingTables &scaling,
                    const TimerUse &use, std::string &out)
{
    const std::size_t before = out.size();
    auto fail = [&out](std::string_view message) { out += message; };
    const int src = c.code;
    if (in(src, 1, 32) || in(src, 209, 240)) {
        if (c.op != 1 && c.op != 7)
            fail(kCondDigitalOperator);
        if (c.a > 1)
            fail(kCondDigitalValueA);
        if (c.b > 1)
            fail(kCondDigitalValueB);
        if (c.unit != plc_code::kUnitDio)
            fail(kCondDigitalUnit);
    } else if (in(src, 33, 64)) {
        if (c.op == 0 || c.op == 7)
            fail(kCondCounterOperator);
        if (c.unit == plc_code::kUnitVar && !isVariableNumber(c.a))
            fail(kCondCounterVariable);
        if (c.unit != plc_code::kUnitCnt && c.unit != plc_code::kUnitVar)
            fail(kCondCounterUnit);
    } else if (in(src, 65, 80)) {
        if (c.op == 0 || c.op == 7)
            fail(kCondAnalogOperator);
        if (!isAnalogUnit(c.unit))
            fail(kAnalogUnit);
        if (c.unit == plc_code::kUnitVar && !isVariableNumber(c.a))
            fail(kCondAnalogVariable);
        if (isScalingUnit(c.unit)) {
            // either failure ends the row's checks
            if (!scaling.valid)
                fail(kCondAnalogNoScaling);
            else if (c.unit != scaling.aiUnit[static_cast<std::size_t>(src - 65)])
                fail(kCondAnalogUnitMismatch);
        }
    } else if (in(src, 81, 208)) {
        if (c.op != 1)
            fail(kCondTimerOperator);
        if (c.a == 0)
            fail(kCondTimerValueA);
        if (c.unit != plc_code::kUnitMs)
            fail(kCondTimerUnit);
        const auto [useBlock, useRow] = use[static_cast<std::size_t>(src)];
        if (useBlock != block || useRow != row)
            fail(formatText(kCondTimerConflict, static_cast<unsigned>(useBlock), static_cast<unsigned>(useRow)));
    }
    return out.size() == before;
}

bool checkAction(const PlcRow &a, const ScalingTables &scaling, std::string &out)
{
    const std::size_t before = out.size();
    auto fail = [&out](std::string_view message) { out += message; };
    const int obj = a.code;
    const bool arithmetic = a.op == 1 || a.op == 2 || a.op == 3;
    if (in(obj, 1, 32)) {
        if (a.op != 1 && a.op != plc_code::kActPulse)
            fail(kActDigitalOperator);
        if (a.op == 1) {
            if (a.a > 1)
                fail(kActDigitalValueA);
            if (a.unit != plc_code::kUnitDio)
                fail(kActDigitalUnit);
        }
        if (a.op == plc_code::kActPulse) {
            if (a.a > 1000000)
                fail(kActPulseFrequency);
            // the message promises 0..100; NaN and negative duty fail too
            const float duty = bitsFloat(a.b);
            if (!(duty >= 0.0f && duty <= 100.0f))
                fail(kActPulseDuty);
            if (a.unit != plc_code::kUnitRat)
                fail(kActPulseUnit);
        }
    } else if (in(obj, 33, 64)) {
        if (!arithmetic)
            fail(kActArithmeticOperator);
        if (a.unit != plc_code::kUnitCnt)
            fail(kActCounterUnit);
    } else if (in(obj, 65, 80)) {
        if (!arithmetic)
            fail(kActArithmeticOperator);
        if (!isAnalogUnit(a.unit))
            fail(kAnalogUnit);
        if (isScalingUnit(a.unit)) {
            if (!scaling.valid)
                fail(kActAnalogNoScaling);
            else if (a.unit != scaling.aoUnit[static_cast<std::size_t>(obj - 65)])
                fail(kActAnalogUnitMismatch);
        }
        if (a.unit == plc_code::kUnitVar && !isVariableNumber(a.a))
            fail(kActAnalogVariable);
    } else if (in(obj, 81, 208)) {
        if (!arithmetic)
            fail(kActArithmeticOperator);
        if (a.unit != plc_code::kUnitMs)
            fail(kActTimerUnit);
    } else if (in(obj, 209, 216)) {
        if (a.op != 1)
            fail(kActDelayOperator);
        if (a.unit != plc_code::kUnitMs && a.unit != plc_code::kUnitVar)
            fail(kActDelayUnit);
        if (a.unit == plc_code::kUnitVar && !isVariableNumber(a.a))
            fail(kActDelayVariable);
    } else if (in(obj, 217, 232)) {
        if (a.op != 4 && a.op != 5 && a.op != 6)
            fail(kActGroupOperator);
        if (a.unit != plc_code::kUnitNone)
            fail(kActGroupUnit);
    }
    return out.size() == before;
}

// The headers and row labels that every check and preview prints, each
// formatted once rather than once per block and row reported.
template <std::size_t N>
std::array<std::string, N> numberedTexts(const char *format)
{
    std::array<std::string, N> out;
    for (std::size_t i = 0; i < N; ++i)
        out[i] = formatText(format, static_cast<unsigned>(i));
    return out;
}

const std::string &rowLabel(PlcRowKind kind, int r)
{
    static const auto conditions = numberedTexts<kPlcRowsPerArea>(kCheckCondRow);
    static const auto actions = numberedTexts<kPlcRowsPerArea>(kCheckActRow);
    return (kind == PlcRowKind::Condition ? conditions : actions)[static_cast<std::size_t>(r)];
}

const std::string &checkHeader(int b)
{
    static const auto headers = numberedTexts<kPlcBlockCount>(kCheckBlockHeader);
    return headers[static_cast<std::size_t>(b)];
}

const std::string &previewHeader(int b)
{
    static const auto headers = numberedTexts<kPlcBlockCount>(kPreviewBlockHeader);
    return headers[static_cast<std::size_t>(b)];
}

bool checkBlock(const PlcProject &project, int b, const ScalingTables &scaling, const TimerUse &use,
                std::string &out)
{
    bool ok = true;
    out += checkHeader(b);
    for (int r = 0; r < kPlcRowsPerArea; ++r) {
        const PlcRow c = project.row(b, PlcRowKind::Condition, r);
        if (c.code == 0)
            continue;
        out += rowLabel(PlcRowKind::Condition, r);
        if (checkCondition(c, b, r, scaling, use, out))
            out += kCheckPassed;
        else
            ok = false;
        out += "\r\n";
    }
    out += "\r\n";
    for (int r = 0; r < kPlcRowsPerArea; ++r) {
        const PlcRow a = project.row(b, PlcRowKind::Action, r);
        if (a.code == 0)
            continue;
        out += rowLabel(PlcRowKind::Action, r);
        if (checkAction(a, scaling, out))
            out += kCheckPassed;
        else
            ok = false;
        out += "\r\n";
    }
    return ok;
}

// --- preview -----------------------------------------------------------------
// The sentences are appended to the report as they are made: one report of
// a whole program would otherwise build and drop a few strings per row.

template <typename... Parts>
void append(std::string &out, const Parts &...parts)
{
    (out += ... += parts);
}

void appendCode(std::string &out, PlcCatalogue catalogue, uint8_t code)
{
    const std::string &text = plcCatalogueShownText(catalogue, code);
    if (text.empty())
        out += formatText("[%u]", static_cast<unsigned>(code));
    else
        out += text;
}

void appendUnit(std::string &out, uint8_t unit)
{
    if (unit == 0)
        out += ' ';
    else
        appendCode(out, PlcCatalogue::Unit, unit);
}

void appendCondition(std::string &out, const PlcRow &c)
{
    // a value is written out only where the phrase shows it: value a for
    // operators 1..11, value b for 7..11
    const bool isFloat = conditionValueIsFloat(c);
    const std::string a = in(c.op, 1, 11) ? plcValueText(c.a, isFloat) : std::string();
    const std::string b = in(c.op, 7, 11) ? plcValueText(c.b, isFloat) : std::string();
    out += kPreviewIf;
    appendCode(out, PlcCatalogue::Source, c.code);
    // operators 7..11 show value b inside their phrase; for every other one
    // a blank stands in its place
    switch (c.op) {
    case 1: append(out, " = ", a, " "); break;
    case 2: append(out, " != ", a, " "); break;
    case 3: append(out, " > ", a, " "); break;
    case 4: append(out, " ≥ ", a, " "); break;
    case 5: append(out, " < ", a, " "); break;
    case 6: append(out, " ≤ ", a, " "); break;
    case 7: out += formatText(kPreviewFromTo, a.c_str(), b.c_str()); break;
    case 8: out += formatText(kPreviewBetweenOpen, a.c_str(), b.c_str()); break;
    case 9: out += formatText(kPreviewBetweenClosed, a.c_str(), b.c_str()); break;
    case 10: out += formatText(kPreviewBetweenRightClosed, a.c_str(), b.c_str()); break;
    case 11: out += formatText(kPreviewBetweenLeftClosed, a.c_str(), b.c_str()); break;
    default: out += kPreviewNoOperator; break;
    }
    appendUnit(out, c.unit);
}

void appendAction(std::string &out, const PlcRow &a)
{
    out += kPreviewDo;
    const int obj = a.code;
    if (in(obj, 81, 208)) {
        appendCode(out, PlcCatalogue::ActionObject, a.code);
        out += formatText(kPreviewTiming, a.a);
        return;
    }
    if (in(obj, 209, 216)) {
        append(out, std::to_string(a.a), " ");
        out += a.unit == plc_code::kUnitVar ? kPreviewDelayVar : kPreviewDelay;
        return;
    }
    appendCode(out, PlcCatalogue::ActionObject, a.code);
    out += kPreviewOperations[a.op < 8 ? a.op : 0];
    if (!in(obj, 1, 80))
        return;
    // value a whatever the operation; value b only for a pulse, a blank otherwise
    if (a.op == plc_code::kActPulse)
        out += formatText(kPreviewPulse, a.a, plcValueText(a.b, true).c_str());
    else
        append(out, plcValueText(a.a, actionValueIsFloat(a, false)), " ");
    appendUnit(out, a.unit);
}

void previewBlock(const PlcProject &project, int b, std::string &out)
{
    out += previewHeader(b);
    out += kPreviewCondArea;
    for (int r = 0; r < kPlcRowsPerArea; ++r) {
        const PlcRow c = project.row(b, PlcRowKind::Condition, r);
        if (c.code == 0)
            continue;
        out += rowLabel(PlcRowKind::Condition, r);
        appendCondition(out, c);
        out += "\r\n";
    }
    out += kPreviewActArea;
    for (int r = 0; r < kPlcRowsPerArea; ++r) {
        const PlcRow a = project.row(b, PlcRowKind::Action, r);
        if (a.code == 0)
            continue;
        out += rowLabel(PlcRowKind::Action, r);
        appendAction(out, a);
        out += "\r\n";
    }
}

// Rows whose values the image holds as raw counts rather than as written.
bool isConverted(uint8_t code, uint8_t unit)
{
    return isAnalogCode(code) && unit != plc_code::kUnitVar && unit != plc_code::kUnitRaw;
}

} // namespace

CheckResult checkPlcProject(const PlcProject &project, const ScalingTables &scaling, bool singleBlock, int block)
{
    CheckResult result;
    const TimerUse use = timerUse(project);
    for (int b = 0; b < static_cast<int>(kPlcBlockCount); ++b) {
        if ((singleBlock && b != block) || project.state(b) != kBlockRuns)
            continue;
        if (!checkBlock(project, b, scaling, use, result.report))
            result.ok = false;
    }
    return result;
}

std::string previewPlcProject(const PlcProject &project, bool singleBlock, int block)
{
    std::string out;
    if (singleBlock) {
        if (block >= 0 && block < static_cast<int>(kPlcBlockCount))
            previewBlock(project, block, out);
        return out;
    }
    for (int b = 0; b < static_cast<int>(kPlcBlockCount); ++b) {
        if (project.state(b) == kBlockRuns)
            previewBlock(project, b, out);
    }
    return out;
}

uint32_t analogRawCount(float value, float ratio, uint32_t noise)
{
    float scaled = 0.0f;
    if (std::isfinite(ratio) && ratio != 0.0f)
        scaled = value / ratio; // single precision, as the module's tool divides
    double count = 0.0;
    if (!std::isnan(scaled))
        count = std::trunc(static_cast<double>(scaled));
    // bound before converting: beyond these the result saturates anyway
    constexpr double kBound = 1e12;
    count = std::fmax(-kBound, std::fmin(kBound, count));
    const int64_t raw = static_cast<int64_t>(count) + static_cast<int64_t>(noise);
    if (raw < 0)
        return 0;
    if (raw > static_cast<int64_t>(UINT32_MAX))
        return UINT32_MAX;
    return static_cast<uint32_t>(raw);
}

ProgramImage buildProgramImage(const PlcProject &project, const ScalingTables &scaling)
{
    ProgramImage image;
    image.bytes = project.bytes();
    for (int b = 0; b < static_cast<int>(kPlcBlockCount); ++b) {
        uint8_t *block = image.bytes.data() + static_cast<std::size_t>(b) * kPlcBlockSize;
        // only the analog rows change: the others are read no further
        for (int r = 0; r < kPlcRowsPerArea; ++r) {
            if (isConverted(block[PlcBlock::kCondSource + r], block[PlcBlock::kCondUnit + r])) {
                PlcRow c = readPlcRow(block, PlcRowKind::Condition, r);
                const auto ch = static_cast<std::size_t>(c.code - plc_code::kAnalogFirst);
                c.a = analogRawCount(bitsFloat(c.a), scaling.aiRatio[ch], scaling.aiNoise[ch]);
                c.b = analogRawCount(bitsFloat(c.b), scaling.aiRatio[ch], scaling.aiNoise[ch]);
                writePlcRow(block, PlcRowKind::Condition, r, c);
            }
            if (isConverted(block[PlcBlock::kActObject + r], block[PlcBlock::kActUnit + r])) {
                PlcRow a = readPlcRow(block, PlcRowKind::Action, r);
                const auto ch = static_cast<std::size_t>(a.code - plc_code::kAnalogFirst);
                a.a = analogRawCount(bitsFloat(a.a), scaling.aoRatio[ch], 0);
                a.b = analogRawCount(bitsFloat(a.b), scaling.aoRatio[ch], 0);
                writePlcRow(block, PlcRowKind::Action, r, a);
            }
        }
    }
    return image;
}

} // namespace qx
