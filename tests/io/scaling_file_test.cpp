// The scaling file reader: key lookup, the per-channel unit and coefficient
// messages, and the tables the compiler gets.
#include "scaling_file.h"

#include <cmath>
#include <cstdio>
#include <fstream>

#include <gtest/gtest.h>

#include "decimal_text.h"
#include "scaling_store.h"

namespace qx {
namespace {

// A complete file; `patch` replaces one "key=value" line.
std::string scalingText(const std::string &key = "", const std::string &value = "")
{
    std::string out = "; test file\r\n";
    const char *sections[] = {"AINOISE", "AIRATIO", "AIUNIT", "AONOISE", "AORATIO", "AOUNIT"};
    const char *prefixes[] = {"dwNoiseAI", "fRatioAI", "byUnitAI", "dwNoiseAO", "fRatioAO", "byUnitAO"};
    const char *values[] = {"100", "0.5", "6", "0", "0.001", "5"};
    for (int s = 0; s < 6; ++s) {
        out += std::string("[") + sections[s] + "]\r\n";
        for (int ch = 1; ch <= 8; ++ch) {
            const std::string k = prefixes[s] + std::to_string(ch);
            out += k + "=" + (k == key ? value : values[s]) + "\r\n";
        }
    }
    return out;
}

TEST(ScalingFileRead, CompleteFileFillsTablesAndIsValid)
{
    const ScalingLoadResult r = readScalingText(scalingText());
    ASSERT_TRUE(r.complete);
    EXPECT_TRUE(r.channelMessages.empty());
    EXPECT_EQ(r.tables.valid, 1);
    EXPECT_EQ(r.tables.aiNoise[0], 100u);
    EXPECT_FLOAT_EQ(r.tables.aiRatio[7], 0.5f);
    EXPECT_EQ(r.tables.aiUnit[3], 6);
    EXPECT_FLOAT_EQ(r.tables.aoRatio[0], 0.001f);
    EXPECT_EQ(r.tables.aoUnit[7], 5);
    // channels 9..16 are never in a file and stay zero
    EXPECT_EQ(r.tables.aiUnit[8], 0);
    EXPECT_EQ(r.tables.aiRatio[15], 0.0f);
}

TEST(ScalingFileRead, MissingKeyLeavesEverythingZero)
{
    std::string text = scalingText();
    text.replace(text.find("byUnitAO8"), 9, "byUnitAOx");
    const ScalingLoadResult r = readScalingText(text);
    EXPECT_FALSE(r.complete);
    EXPECT_EQ(r.message, "量纲文件缺少[AOUNIT]下的byUnitAO8,量纲未加载!");
    EXPECT_EQ(r.tables.valid, 0);
    EXPECT_EQ(r.tables.aiNoise[0], 0u);
    EXPECT_EQ(r.tables.aiRatio[0], 0.0f);
    EXPECT_EQ(r.tables.aiUnit[0], 0);
}

TEST(ScalingFileRead, KeyWithoutEqualsSignCountsAsMissing)
{
    std::string text = scalingText();
    text.replace(text.find("fRatioAI2="), 10, "fRatioAI2 0.5");
    const ScalingLoadResult r = readScalingText(text);
    EXPECT_FALSE(r.complete);
    EXPECT_EQ(r.message, "量纲文件缺少[AIRATIO]下的fRatioAI2,量纲未加载!");
}

TEST(ScalingFileRead, OnlyTheFirst4096BytesAreSearched)
{
    std::string text = std::string(4000, ';') + scalingText();
    EXPECT_FALSE(readScalingText(text).complete);
}

TEST(ScalingFileRead, ValueEndsAtLineEndAndIsReadLeniently)
{
    const ScalingLoadResult r = readScalingText(scalingText("dwNoiseAI2", " 250 counts"));
    ASSERT_TRUE(r.complete);
    EXPECT_EQ(r.tables.aiNoise[1], 250u);
}

TEST(ScalingFileCheck, BadUnitNamesTheChannelAndClearsValid)
{
    const ScalingLoadResult r = readScalingText(scalingText("byUnitAI3", "4"));
    ASSERT_TRUE(r.complete);
    ASSERT_EQ(r.channelMessages.size(), 1u);
    EXPECT_EQ(r.channelMessages[0], "模拟量AI通道3量纲不正确！");
    EXPECT_EQ(r.tables.valid, 0);
    // the entries stay as loaded
    EXPECT_EQ(r.tables.aiUnit[2], 4);
    EXPECT_EQ(scalingUnitName(r.tables.aiUnit[2]), "无");
    EXPECT_EQ(scalingUnitName(r.tables.aiUnit[1]), "ma毫安");
}

TEST(ScalingFileCheck, UnitOfMoreThanAByteIsNotItsLowBits)
{
    const ScalingLoadResult r = readScalingText(scalingText("byUnitAO2", "261"));
    ASSERT_EQ(r.channelMessages.size(), 1u);
    EXPECT_EQ(r.channelMessages[0], "模拟量AO通道2量纲不正确！");
}

TEST(ScalingFileCheck, CoefficientLimitInSinglePrecision)
{
    const ScalingLoadResult refused = readScalingText(scalingText("fRatioAO8", "0.00001"));
    ASSERT_EQ(refused.channelMessages.size(), 1u);
    EXPECT_EQ(refused.channelMessages[0], "模拟量AO通道8量纲系数不正确！");
    EXPECT_EQ(refused.tables.valid, 0);

    const ScalingLoadResult accepted = readScalingText(scalingText("fRatioAO8", "0.000011"));
    EXPECT_TRUE(accepted.channelMessages.empty());
    EXPECT_EQ(accepted.tables.valid, 1);
}

TEST(ScalingFileCheck, NonNumbersAndNaNAreRefusedAsCoefficients)
{
    for (const char *v : {"abc", "nan", "-1", "inf"}) {
        const ScalingLoadResult r = readScalingText(scalingText("fRatioAI1", v));
        ASSERT_EQ(r.channelMessages.size(), 1u) << v;
        EXPECT_EQ(r.channelMessages[0], "模拟量AI通道1量纲系数不正确！") << v;
    }
}

TEST(ScalingFileCheck, UnitMessagesComeBeforeCoefficientMessages)
{
    std::string text = scalingText("fRatioAI1", "0");
    text.replace(text.find("byUnitAO5=5"), 11, "byUnitAO5=0");
    const ScalingLoadResult r = readScalingText(text);
    ASSERT_EQ(r.channelMessages.size(), 2u);
    EXPECT_EQ(r.channelMessages[0], "模拟量AO通道5量纲不正确！");
    EXPECT_EQ(r.channelMessages[1], "模拟量AI通道1量纲系数不正确！");
}

TEST(ScalingTablesStart, ProgramStartValues)
{
    const ScalingTables t;
    EXPECT_EQ(t.valid, 0);
    EXPECT_EQ(t.aiNoise[5], 0u);
    EXPECT_EQ(t.aiRatio[5], 1.0f);
    EXPECT_EQ(t.aoUnit[5], 4);
}

TEST(ScalingStore, EachLoadReplacesTheTablesWhole)
{
    const std::string path = ::testing::TempDir() + "scaling_store_test.txt";
    ScalingStore store;
    EXPECT_EQ(store.tables().aiRatio[0], 1.0f); // program start

    std::ofstream(path, std::ios::binary) << scalingText();
    EXPECT_TRUE(store.load(path).complete);
    EXPECT_EQ(store.tables().valid, 1);
    EXPECT_EQ(store.tables().aiNoise[0], 100u);

    // A file that lacks a key leaves nothing of the good one behind.
    std::string broken = scalingText();
    broken.erase(broken.find("dwNoiseAO3"), 2);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << broken;
    EXPECT_FALSE(store.load(path).complete);
    EXPECT_EQ(store.tables().valid, 0);
    EXPECT_EQ(store.tables().aiNoise[0], 0u);
    EXPECT_EQ(store.tables().aiRatio[0], 0.0f);
    std::remove(path.c_str());
}

TEST(DecimalText, LenientAndLocaleFree)
{
    EXPECT_EQ(parseDecimalInteger("  -42abc"), -42);
    EXPECT_EQ(parseDecimalInteger("+7"), 7);
    EXPECT_EQ(parseDecimalInteger("x1"), 0);
    EXPECT_EQ(parseDecimalInt32("99999999999"), 2147483647);
    EXPECT_EQ(parseDecimalInt32("-99999999999"), -2147483647 - 1);
    EXPECT_EQ(parseDecimalInteger("99999999999999999999999"), INT64_MAX);
    EXPECT_FLOAT_EQ(parseDecimalFloat("20.5mA"), 20.5f);
    EXPECT_FLOAT_EQ(parseDecimalFloat(" +1e-3"), 0.001f);
    EXPECT_FLOAT_EQ(parseDecimalFloat("-.5"), -0.5f);
    EXPECT_EQ(parseDecimalFloat("abc"), 0.0f);
    EXPECT_EQ(parseDecimalFloat("+-1"), 0.0f);
    EXPECT_TRUE(std::isinf(parseDecimalFloat("1e99")));
    EXPECT_EQ(parseDecimalFloat("1e-99"), 0.0f);
    EXPECT_EQ(parseDecimalFloat("0.00001"), 0.00001f);
}

} // namespace
} // namespace qx
