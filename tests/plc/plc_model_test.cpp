// The block layout, the editing operations and the catalogue codes.
#include "plc_catalogues.h"
#include "plc_project.h"

#include <gtest/gtest.h>

#include "gbk.h"

namespace qx {
namespace {

TEST(PlcBlockLayout, RowFieldsLandAtTheirOffsets)
{
    PlcProject p;
    p.setRow(3, PlcRowKind::Condition, 2, {37, 2, 4, 0x11223344, 0xA1B2C3D4});
    p.setRow(3, PlcRowKind::Action, 9, {219, 0, 6, 0x01020304, 0x05060708});
    const uint8_t *b = p.bytes().data() + 3 * 256;
    EXPECT_EQ(b[1 + 2], 37);
    EXPECT_EQ(b[11 + 2], 2);
    EXPECT_EQ(b[21 + 2], 4);
    // value a of row 2 at 31 + 8, little-endian, unaligned
    EXPECT_EQ(b[39], 0x44);
    EXPECT_EQ(b[42], 0x11);
    EXPECT_EQ(b[71 + 8], 0xD4);
    EXPECT_EQ(b[111 + 9], 219);
    EXPECT_EQ(b[121 + 9], 0);
    EXPECT_EQ(b[131 + 9], 6);
    EXPECT_EQ(b[141 + 36], 0x04);
    EXPECT_EQ(b[181 + 36 + 3], 0x05);
    // nothing else of the project was touched
    int nonZero = 0;
    for (uint8_t v : p.bytes())
        nonZero += v != 0;
    EXPECT_EQ(nonZero, 3 + 4 + 4 + 2 + 4 + 4);
}

TEST(PlcBlockEditing, ClearStateDeleteAndSwap)
{
    PlcProject p;
    p.setState(7, kBlockRuns);
    p.setRow(7, PlcRowKind::Condition, 0, {1, 1, 1, 1, 0});
    p.setRow(7, PlcRowKind::Condition, 1, {2, 1, 7, 0, 1});
    p.setRow(7, PlcRowKind::Action, 0, {3, 1, 1, 1, 0});
    p.swapRows(7, PlcRowKind::Condition, 0);
    EXPECT_EQ(p.row(7, PlcRowKind::Condition, 0), (PlcRow{2, 1, 7, 0, 1}));
    EXPECT_EQ(p.row(7, PlcRowKind::Condition, 1), (PlcRow{1, 1, 1, 1, 0}));
    // the last row has no neighbour below and the halves never mix
    p.swapRows(7, PlcRowKind::Action, 9);
    p.swapRows(7, PlcRowKind::Action, -1);
    EXPECT_EQ(p.row(7, PlcRowKind::Action, 0), (PlcRow{3, 1, 1, 1, 0}));
    p.deleteRow(7, PlcRowKind::Condition, 1);
    EXPECT_EQ(p.row(7, PlcRowKind::Condition, 1), PlcRow{});
    EXPECT_EQ(p.state(7), kBlockRuns);
    p.clearBlock(7);
    EXPECT_EQ(p.state(7), kBlockFree);
    EXPECT_EQ(p.row(7, PlcRowKind::Condition, 0), PlcRow{});
    // out-of-range block numbers are ignored rather than written past the end
    p.setState(100, kBlockRuns);
    p.clearBlock(-1);
    EXPECT_EQ(p.state(100), kBlockFree);
}

TEST(PlcValueEncoding, AnalogFloatsExceptVariablesAndRawCounts)
{
    EXPECT_TRUE(conditionValueIsFloat({65, 6, 8, 0, 0}));
    EXPECT_TRUE(conditionValueIsFloat({80, 5, 1, 0, 0}));
    EXPECT_FALSE(conditionValueIsFloat({65, 13, 1, 0, 0}));
    EXPECT_FALSE(conditionValueIsFloat({65, 4, 1, 0, 0}));
    EXPECT_FALSE(conditionValueIsFloat({37, 2, 4, 0, 0}));
    EXPECT_TRUE(actionValueIsFloat({66, 6, 1, 0, 0}, false));
    EXPECT_FALSE(actionValueIsFloat({2, 12, 7, 0, 0}, false));
    EXPECT_TRUE(actionValueIsFloat({2, 12, 7, 0, 0}, true));
    EXPECT_FALSE(actionValueIsFloat({2, 1, 1, 0, 0}, true));
}

TEST(PlcCatalogues, SizesAndCodesOfEveryList)
{
    const auto &src = plcCatalogue(PlcCatalogue::Source);
    ASSERT_EQ(src.size(), 241u);
    EXPECT_EQ(src[0], "空");
    EXPECT_EQ(src[1], "x1输入");
    EXPECT_EQ(src[32], "x32输入");
    EXPECT_EQ(src[33], "x1计数");
    EXPECT_EQ(src[65], "ai1输入");
    EXPECT_EQ(src[72], "ai8输入");
    EXPECT_EQ(src[73], "预留");
    EXPECT_EQ(src[80], "预留");
    EXPECT_EQ(src[81], "et1外触发定时器");
    EXPECT_EQ(src[176], "et96外触发定时器");
    EXPECT_EQ(src[177], "it1自触发定时器");
    EXPECT_EQ(src[209], "y1输出");
    EXPECT_EQ(src[240], "y32输出");

    const auto &obj = plcCatalogue(PlcCatalogue::ActionObject);
    ASSERT_EQ(obj.size(), 233u);
    EXPECT_EQ(obj[1], "y1输出");
    EXPECT_EQ(obj[64], "x32计数");
    EXPECT_EQ(obj[65], "ao1输出");
    EXPECT_EQ(obj[208], "it32自触发定时器");
    EXPECT_EQ(obj[209], "dly1延时");
    EXPECT_EQ(obj[216], "预留");
    EXPECT_EQ(obj[217], "DI");
    EXPECT_EQ(obj[219], "DIO");
    EXPECT_EQ(obj[224], "DIO+AIO");
    EXPECT_EQ(obj[227], "DIO+AIO+XCNT");
    EXPECT_EQ(obj[232], "预留");

    const auto &units = plcCatalogue(PlcCatalogue::Unit);
    ASSERT_EQ(units.size(), 14u);
    EXPECT_EQ(units[5], "v伏特");
    EXPECT_EQ(units[13], "var变量");
    ASSERT_EQ(plcCatalogue(PlcCatalogue::ConditionOperator).size(), 12u);
    EXPECT_EQ(plcCatalogueText(PlcCatalogue::ConditionOperator, 4), "≥大于等于");
    EXPECT_EQ(plcCatalogueText(PlcCatalogue::ConditionOperator, 11), "[)左包含于");
    ASSERT_EQ(plcCatalogue(PlcCatalogue::ActionOperator).size(), 8u);
    EXPECT_EQ(plcCatalogueText(PlcCatalogue::ActionOperator, 7), "po脉冲输出");
}

TEST(PlcCatalogues, UnknownCodesGiveEmptyTextAndGbkRoundTrips)
{
    EXPECT_EQ(plcCatalogueText(PlcCatalogue::Source, 241), "");
    EXPECT_EQ(plcCatalogueText(PlcCatalogue::ActionOperator, 255), "");
    const std::string gbk = plcCatalogueTextGbk(PlcCatalogue::Source, 1);
    EXPECT_EQ(gbk, std::string("x1\xCA\xE4\xC8\xEB"));
    EXPECT_EQ(gbkToUtf8(gbk), "x1输入");
}

} // namespace
} // namespace qx
