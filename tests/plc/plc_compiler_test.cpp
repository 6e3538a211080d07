// The check rules table by table, the preview sentences and the image.
#include "plc_compiler.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "plc_texts.h"
#include "text_format.h"

namespace qx {
namespace {

using Kind = PlcRowKind;
using namespace plc_texts;

uint32_t f(float v)
{
    return floatBits(v);
}

// Scaling as a loaded, valid file: AI1 mA (noise 100, coefficient 0.5),
// AO1 V (coefficient 0.001).
ScalingTables validScaling()
{
    ScalingTables t = ScalingTables::zeroed();
    for (std::size_t ch = 0; ch < 8; ++ch) {
        t.aiNoise[ch] = 100;
        t.aiRatio[ch] = 0.5f;
        t.aiUnit[ch] = 6;
        t.aoRatio[ch] = 0.001f;
        t.aoUnit[ch] = 5;
    }
    t.valid = 1;
    return t;
}

// The text written after "  [条件0]:  " (or "  [动作0]:  ") for a block 0 that
// holds just this condition (with a passing action) or this action.
std::string conditionVerdict(const PlcRow &c, const ScalingTables &s = validScaling())
{
    PlcProject p;
    p.setState(0, kBlockRuns);
    p.setRow(0, Kind::Condition, 0, c);
    p.setRow(0, Kind::Action, 0, {1, 1, 1, 1, 0});
    const std::string report = checkPlcProject(p, s).report;
    const std::string head = "  [条件0]:  ";
    const auto at = report.find(head) + head.size();
    return report.substr(at, report.find("\r\n", at) - at);
}

std::string actionVerdict(const PlcRow &a, const ScalingTables &s = validScaling())
{
    PlcProject p;
    p.setState(0, kBlockRuns);
    p.setRow(0, Kind::Condition, 0, {1, 1, 1, 1, 0});
    p.setRow(0, Kind::Action, 0, a);
    const std::string report = checkPlcProject(p, s).report;
    const std::string head = "  [动作0]:  ";
    const auto at = report.find(head) + head.size();
    return report.substr(at, report.find("\r\n", at) - at);
}

const std::string kPass(kCheckPassed);

TEST(PlcCheckReport, LayoutOfABlock)
{
    PlcProject p;
    p.setState(2, kBlockRuns);
    p.setRow(2, Kind::Condition, 1, {1, 1, 1, 1, 0});
    p.setRow(2, Kind::Condition, 3, {1, 1, 2, 1, 0});
    p.setRow(2, Kind::Action, 0, {1, 1, 1, 0, 0});
    const CheckResult r = checkPlcProject(p, ScalingTables());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.report,
              "\r\nprogram2控制块正在编译----------------------------------------------------\r\n"
              "  [条件1]:  编译通过!\r\n"
              "  [条件3]:  错误1:运算符必须为 [=]或[->]!  \r\n"
              "\r\n"
              "  [动作0]:  编译通过!\r\n");
}

TEST(PlcCheckReport, OnlyRunningBlocksAndTheSingleBlockFlag)
{
    PlcProject p;
    p.setState(1, kBlockRuns);
    p.setRow(1, Kind::Condition, 0, {1, 1, 1, 1, 0});
    p.setState(5, kBlockStopped);
    p.setRow(5, Kind::Condition, 0, {1, 9, 9, 9, 9}); // would fail
    const CheckResult all = checkPlcProject(p, ScalingTables());
    EXPECT_TRUE(all.ok);
    EXPECT_NE(all.report.find("program1控制块"), std::string::npos);
    EXPECT_EQ(all.report.find("program5"), std::string::npos);

    const CheckResult stopped = checkPlcProject(p, ScalingTables(), true, 5);
    EXPECT_TRUE(stopped.ok);
    EXPECT_EQ(stopped.report, "");
    const CheckResult one = checkPlcProject(p, ScalingTables(), true, 1);
    EXPECT_EQ(one.report, all.report);
    EXPECT_EQ(previewPlcProject(p).find("<program5>"), std::string::npos);
}

TEST(PlcCheckDigitalCondition, RulesOfInputsAndOutputStates)
{
    EXPECT_EQ(conditionVerdict({1, 1, 7, 0, 1}), kPass); // rising edge
    EXPECT_EQ(conditionVerdict({1, 1, 7, 0, 2}), kCondDigitalValueB);
    EXPECT_EQ(conditionVerdict({32, 1, 1, 2, 0}), kCondDigitalValueA);
    EXPECT_EQ(conditionVerdict({1, 0, 3, 1, 0}), std::string(kCondDigitalOperator) + kCondDigitalUnit);
    EXPECT_EQ(conditionVerdict({240, 1, 1, 1, 0}), kPass);
    EXPECT_EQ(conditionVerdict({209, 2, 2, 5, 5}), std::string(kCondDigitalOperator) + kCondDigitalValueA
                                                       + kCondDigitalValueB + kCondDigitalUnit);
}

TEST(PlcCheckCounterCondition, OperatorUnitAndVariableNumber)
{
    EXPECT_EQ(conditionVerdict({37, 2, 4, 100, 0}), kPass);
    EXPECT_EQ(conditionVerdict({37, 2, 7, 1, 2}), kCondCounterOperator);
    EXPECT_EQ(conditionVerdict({64, 13, 1, 256, 0}), kPass);
    EXPECT_EQ(conditionVerdict({64, 13, 1, 0, 0}), kCondCounterVariable);
    EXPECT_EQ(conditionVerdict({33, 3, 1, 5, 0}), kCondCounterUnit);
}

TEST(PlcCheckAnalogCondition, MissingScalingEndsTheRow)
{
    ScalingTables none; // program start: not valid
    EXPECT_EQ(conditionVerdict({65, 6, 3, f(4.0f), 0}, none), kCondAnalogNoScaling);
    // an earlier rule still reports, nothing after the scaling message
    EXPECT_EQ(conditionVerdict({65, 6, 7, f(4.0f), 0}, none),
              std::string(kCondAnalogOperator) + kCondAnalogNoScaling);
    EXPECT_EQ(conditionVerdict({65, 6, 8, f(4.0f), f(20.0f)}), kPass);
    EXPECT_EQ(conditionVerdict({66, 5, 3, f(1.0f), 0}), kCondAnalogUnitMismatch);
    // ai9..ai16 have no channel in a file: their unit never matches
    EXPECT_EQ(conditionVerdict({73, 6, 3, f(1.0f), 0}), kCondAnalogUnitMismatch);
}

TEST(PlcCheckAnalogCondition, RawAndVariablesNeedNoScaling)
{
    ScalingTables none;
    EXPECT_EQ(conditionVerdict({65, 4, 3, 1200, 0}, none), kPass);
    EXPECT_EQ(conditionVerdict({65, 13, 3, 9, 0}, none), kPass);
    EXPECT_EQ(conditionVerdict({65, 13, 3, 257, 0}, none), kCondAnalogVariable);
    EXPECT_EQ(conditionVerdict({65, 12, 3, 1, 0}, none), kAnalogUnit);
    EXPECT_EQ(conditionVerdict({65, 0, 0, 1, 0}, none), std::string(kCondAnalogOperator) + kAnalogUnit);
}

TEST(PlcCheckTimerCondition, RulesAndConflictNamesTheLaterUse)
{
    EXPECT_EQ(conditionVerdict({85, 3, 1, 500, 0}), kPass);
    EXPECT_EQ(conditionVerdict({200, 3, 2, 0, 0}), std::string(kCondTimerOperator) + kCondTimerValueA);
    EXPECT_EQ(conditionVerdict({81, 1, 1, 1, 0}), kCondTimerUnit);

    PlcProject p;
    for (int b : {1, 4}) {
        p.setState(b, kBlockRuns);
        p.setRow(b, Kind::Action, 0, {1, 1, 1, 1, 0});
    }
    p.setRow(1, Kind::Condition, 0, {85, 3, 1, 100, 0}); // et5
    p.setRow(4, Kind::Condition, 6, {85, 3, 1, 200, 0}); // et5 again, later
    p.setState(9, kBlockStopped);
    p.setRow(9, Kind::Condition, 2, {85, 3, 1, 300, 0}); // stopped: not a use
    const CheckResult r = checkPlcProject(p, validScaling());
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.report.find("  [条件0]:  错误4:与【控制块4,条件6】定时器冲突!\r\n"), std::string::npos);
    EXPECT_NE(r.report.find("  [条件6]:  编译通过!\r\n"), std::string::npos);
    // checking the earlier block alone still sees the later use
    EXPECT_FALSE(checkPlcProject(p, validScaling(), true, 1).ok);
    EXPECT_TRUE(checkPlcProject(p, validScaling(), true, 4).ok);
}

TEST(PlcCheckDigitalAction, AssignmentRules)
{
    EXPECT_EQ(actionVerdict({1, 1, 1, 1, 0}), kPass);
    EXPECT_EQ(actionVerdict({1, 1, 2, 1, 0}), kActDigitalOperator);
    EXPECT_EQ(actionVerdict({32, 0, 1, 2, 0}), std::string(kActDigitalValueA) + kActDigitalUnit);
}

TEST(PlcCheckDigitalAction, PulseOutputLimits)
{
    EXPECT_EQ(actionVerdict({2, 12, 7, 1000000, f(100.0f)}), kPass);
    EXPECT_EQ(actionVerdict({2, 12, 7, 1000001, f(50.0f)}), kActPulseFrequency);
    EXPECT_EQ(actionVerdict({2, 12, 7, 1000, f(100.5f)}), kActPulseDuty);
    EXPECT_EQ(actionVerdict({2, 12, 7, 1000, f(0.0f)}), kPass);
    EXPECT_EQ(actionVerdict({2, 12, 7, 1000, f(-0.5f)}), kActPulseDuty);
    EXPECT_EQ(actionVerdict({2, 12, 7, 1000, f(std::numeric_limits<float>::quiet_NaN())}), kActPulseDuty);
    EXPECT_EQ(actionVerdict({2, 1, 7, 1000, f(10.0f)}), kActPulseUnit);
}

TEST(PlcCheckOtherActions, CountersAnalogTimersDelayGroups)
{
    EXPECT_EQ(actionVerdict({35, 2, 2, 1, 0}), kPass);
    EXPECT_EQ(actionVerdict({35, 3, 4, 1, 0}), std::string(kActArithmeticOperator) + kActCounterUnit);

    EXPECT_EQ(actionVerdict({65, 5, 1, f(2.5f), 0}), kPass);
    EXPECT_EQ(actionVerdict({65, 6, 1, f(2.5f), 0}), kActAnalogUnitMismatch);
    EXPECT_EQ(actionVerdict({65, 5, 1, f(2.5f), 0}, ScalingTables()), kActAnalogNoScaling);
    EXPECT_EQ(actionVerdict({65, 13, 3, 0, 0}), kActAnalogVariable);
    EXPECT_EQ(actionVerdict({65, 3, 6, 0, 0}), std::string(kActArithmeticOperator) + kAnalogUnit);
    EXPECT_EQ(actionVerdict({65, 4, 1, 4000, 0}, ScalingTables()), kPass);

    EXPECT_EQ(actionVerdict({81, 3, 1, 1000, 0}), kPass);
    EXPECT_EQ(actionVerdict({208, 1, 6, 1000, 0}), std::string(kActArithmeticOperator) + kActTimerUnit);

    EXPECT_EQ(actionVerdict({209, 13, 1, 12, 0}), kPass);
    EXPECT_EQ(actionVerdict({209, 13, 2, 0, 0}), std::string(kActDelayOperator) + kActDelayVariable);
    EXPECT_EQ(actionVerdict({216, 1, 1, 5, 0}), kActDelayUnit);

    EXPECT_EQ(actionVerdict({219, 0, 6, 0, 0}), kPass);
    EXPECT_EQ(actionVerdict({232, 1, 1, 0, 0}), std::string(kActGroupOperator) + kActGroupUnit);
    EXPECT_EQ(actionVerdict({240, 9, 9, 9, 9}), kPass); // beyond the catalogue: no rule
}

TEST(PlcPreview, SentencesOfConditionsAndActions)
{
    PlcProject p;
    p.setState(3, kBlockRuns);
    p.setRow(3, Kind::Condition, 0, {1, 1, 1, 1, 0});
    p.setRow(3, Kind::Condition, 1, {65, 6, 8, f(4.0f), f(20.0f)});
    p.setRow(3, Kind::Condition, 2, {37, 2, 4, 100, 0});
    p.setRow(3, Kind::Condition, 4, {66, 4, 3, 1200, 0});
    p.setRow(3, Kind::Action, 0, {1, 1, 1, 1, 0});
    p.setRow(3, Kind::Action, 1, {2, 12, 7, 1000, f(50.0f)});
    p.setRow(3, Kind::Action, 2, {81, 3, 1, 1500, 0});
    p.setRow(3, Kind::Action, 3, {209, 13, 1, 7, 0});
    p.setRow(3, Kind::Action, 4, {209, 3, 1, 500, 0});
    p.setRow(3, Kind::Action, 5, {219, 0, 6, 0, 0});
    p.setRow(3, Kind::Action, 6, {65, 5, 1, f(2.5f), 0});
    EXPECT_EQ(previewPlcProject(p),
              "\r\n<program3>控制块预览-------------------------------------------------------\r\n"
              "\r\n<cond>\r\n"
              "  [条件0]:  如果 x1输入 = 1 dio开关量\r\n"
              "  [条件1]:  如果 ai1输入 介于 4.000000 和 20.000000 之间(不含) ma毫安\r\n"
              "  [条件2]:  如果 x5计数 ≥ 100 cnt计数值\r\n"
              "  [条件4]:  如果 ai2输入 > 1200 raw原始值\r\n"
              "\r\n<act>\r\n"
              "  [动作0]:  执行 y1输出 赋值为 1 dio开关量\r\n"
              "  [动作1]:  执行 y2输出 脉冲 频率1000 HZ 占空比50.000000 rat百分比\r\n"
              "  [动作2]:  执行 et1外触发定时器 定时 1500ms\r\n"
              "  [动作3]:  执行 7 var变量ms延时\r\n"
              "  [动作4]:  执行 500 ms延时\r\n"
              "  [动作5]:  执行 DIO 主动上报 \r\n"
              "  [动作6]:  执行 ao1输出 赋值为 2.500000 v伏特\r\n");
}

TEST(PlcPreview, SingleBlockWhateverItsStateAndEmptyRows)
{
    PlcProject p;
    EXPECT_EQ(previewPlcProject(p), "");
    EXPECT_EQ(previewPlcProject(p, true, 42),
              "\r\n<program42>控制块预览-------------------------------------------------------\r\n"
              "\r\n<cond>\r\n\r\n<act>\r\n");
    p.setState(42, kBlockStopped);
    p.setRow(42, Kind::Condition, 0, {1, 0, 0, 0, 0});
    // the operator phrase, the blank standing in for value b, the unit's blank
    EXPECT_NE(previewPlcProject(p, true, 42).find("  [条件0]:  如果 x1输入 运算符空   \r\n"), std::string::npos);
}

TEST(PlcPreview, ValueBSlotAndValueAOfEveryOutputRow)
{
    PlcProject p;
    p.setState(5, kBlockRuns);
    p.setRow(5, Kind::Condition, 0, {1, 1, 7, 0, 1});
    p.setRow(5, Kind::Condition, 1, {33, 2, 0, 9, 0});
    p.setRow(5, Kind::Action, 0, {1, 1, 4, 0, 0});
    p.setRow(5, Kind::Action, 1, {34, 2, 0, 3, 0});
    p.setRow(5, Kind::Action, 2, {65, 5, 6, f(1.5f), 0});
    EXPECT_EQ(previewPlcProject(p),
              "\r\n<program5>控制块预览-------------------------------------------------------\r\n"
              "\r\n<cond>\r\n"
              // "->" shows value b itself, so no blank stands after it
              "  [条件0]:  如果 x1输入 由 0 到 1dio开关量\r\n"
              "  [条件1]:  如果 x1计数 运算符空  cnt计数值\r\n"
              "\r\n<act>\r\n"
              // outputs and counters always show value a, whatever the operation
              "  [动作0]:  执行 y1输出 进行存储 0 dio开关量\r\n"
              "  [动作1]:  执行 x2计数 操作符空 3 cnt计数值\r\n"
              "  [动作2]:  执行 ao1输出 主动上报 1.500000 v伏特\r\n");
}

TEST(PlcImage, AnalogInputValuesBecomeCountsWithNoise)
{
    PlcProject p;
    p.setState(0, kBlockRuns);
    p.setRow(0, Kind::Condition, 0, {65, 6, 8, f(10.0f), f(20.0f)});
    p.setRow(0, Kind::Action, 0, {65, 5, 1, f(2.5f), 0});
    p.setRow(0, Kind::Action, 1, {2, 12, 7, 1000, f(50.0f)});
    const ProgramImage img = buildProgramImage(p, validScaling());
    ASSERT_EQ(img.bytes.size(), 25600u);
    const PlcRow c = readPlcRow(img.bytes.data(), Kind::Condition, 0);
    EXPECT_EQ(c.a, 120u); // 10.0 / 0.5 + 100
    EXPECT_EQ(c.b, 140u);
    const PlcRow a = readPlcRow(img.bytes.data(), Kind::Action, 0);
    EXPECT_EQ(a.a, 2500u); // 2.5 / 0.001, no noise for outputs
    EXPECT_EQ(a.b, 0u);
    // the duty cycle of a pulse output stays a float
    EXPECT_EQ(readPlcRow(img.bytes.data(), Kind::Action, 1), (PlcRow{2, 12, 7, 1000, f(50.0f)}));
    // the project itself keeps its engineering values
    EXPECT_EQ(p.row(0, Kind::Condition, 0).a, f(10.0f));
}

TEST(PlcImage, RawVariablesAndEverythingElsePassUnchanged)
{
    PlcProject p;
    p.setState(0, kBlockRuns);
    p.setRow(0, Kind::Condition, 0, {65, 4, 3, 1200, 0});
    p.setRow(0, Kind::Condition, 1, {65, 13, 3, 9, 0});
    p.setRow(0, Kind::Condition, 2, {37, 2, 4, 100, 0});
    p.setRow(0, Kind::Action, 0, {66, 4, 1, 3000, 0});
    p.bytes()[221] = 0x5A; // reserved bytes are copied too
    p.setState(7, kBlockStopped);
    p.setRow(7, Kind::Condition, 0, {65, 6, 3, f(1.0f), 0});
    const ProgramImage img = buildProgramImage(p, validScaling());
    for (std::size_t i = 0; i < 256; ++i)
        EXPECT_EQ(img.bytes[i], p.bytes()[i]) << i;
    // stopped blocks are converted as well
    EXPECT_EQ(readPlcRow(img.bytes.data() + 7 * 256, Kind::Condition, 0).a, 102u);
}

TEST(PlcImage, CountConversionTruncatesAndSaturates)
{
    EXPECT_EQ(analogRawCount(10.0f, 0.5f, 100), 120u);
    EXPECT_EQ(analogRawCount(10.9f, 1.0f, 0), 10u);
    EXPECT_EQ(analogRawCount(-10.9f, 1.0f, 100), 90u); // toward zero, then noise
    EXPECT_EQ(analogRawCount(-10.0f, 1.0f, 0), 0u);
    EXPECT_EQ(analogRawCount(1e30f, 0.001f, 0), UINT32_MAX);
    EXPECT_EQ(analogRawCount(5.0f, 0.0f, 7), 7u);
    EXPECT_EQ(analogRawCount(std::numeric_limits<float>::quiet_NaN(), 1.0f, 3), 3u);
    EXPECT_EQ(analogRawCount(std::numeric_limits<float>::infinity(), 1.0f, 0), UINT32_MAX);
}

} // namespace
} // namespace qx
