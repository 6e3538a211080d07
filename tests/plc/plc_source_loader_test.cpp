// The source loader: what each row becomes in the block record, and which
// error text each malformed input produces.
#include "plc_source_loader.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "gbk.h"
#include "plc_texts.h"
#include "text_format.h"

namespace qx {
namespace {

using Kind = PlcRowKind;

// One block with the given condition and action lines, CR LF line ends.
std::string block(int n, const std::string &cond, const std::string &act)
{
    return "<program" + std::to_string(n) + ">\r\n<cond>\r\n" + cond + "<act>\r\n" + act;
}

SourceLoadResult load(const std::string &text, PlcProject &p)
{
    return loadPlcSourceText(text, p);
}

std::string loadError(const std::string &text)
{
    PlcProject p;
    const SourceLoadResult r = load(text, p);
    EXPECT_EQ(r.code, SourceLoadResult::SyntaxError);
    return r.message;
}

TEST(PlcSourceRows, CounterConditionRaisesTheSource)
{
    PlcProject p;
    ASSERT_EQ(load(block(0, "{x5}{cnt}{>=}{100}\r\n", "{y3}{dio}{=}{1}\r\n"), p).code, 0);
    EXPECT_EQ(p.row(0, Kind::Condition, 0), (PlcRow{37, 2, 4, 100, 0}));
    EXPECT_EQ(p.row(0, Kind::Action, 0), (PlcRow{3, 1, 1, 1, 0}));
    EXPECT_EQ(p.state(0), kBlockRuns);
}

TEST(PlcSourceRows, AnalogRangeValuesAreFloats)
{
    PlcProject p;
    ASSERT_EQ(load(block(4, "{ai1}{ma}{()}{4}{20}\r\n", "{DIO}{none}{rep}\r\n"), p).code, 0);
    const PlcRow c = p.row(4, Kind::Condition, 0);
    EXPECT_EQ(c.code, 65);
    EXPECT_EQ(c.unit, 6);
    EXPECT_EQ(c.op, 8);
    EXPECT_EQ(c.a, floatBits(4.0f));
    EXPECT_EQ(c.b, floatBits(20.0f));
    EXPECT_EQ(p.row(4, Kind::Action, 0), (PlcRow{219, 0, 6, 0, 0}));
}

TEST(PlcSourceRows, RawAndVariableValuesStayIntegers)
{
    PlcProject p;
    ASSERT_EQ(load(block(0, "{ai2}{raw}{>}{1200}\r\n{x2}{var}{=}{7}\r\n", "{ao1}{raw}{=}{3000}\r\n"), p).code, 0);
    EXPECT_EQ(p.row(0, Kind::Condition, 0), (PlcRow{66, 4, 3, 1200, 0}));
    EXPECT_EQ(p.row(0, Kind::Condition, 1), (PlcRow{34, 13, 1, 7, 0}));
    EXPECT_EQ(p.row(0, Kind::Action, 0), (PlcRow{65, 4, 1, 3000, 0}));
}

TEST(PlcSourceRows, PulseOutputHasIntegerFrequencyAndFloatDuty)
{
    PlcProject p;
    ASSERT_EQ(load(block(0, "{x1}{dio}{=}{1}\r\n", "{y2}{rat}{po}{1000}{50.5}\r\n"), p).code, 0);
    EXPECT_EQ(p.row(0, Kind::Action, 0), (PlcRow{2, 12, 7, 1000, floatBits(50.5f)}));
}

TEST(PlcSourceKeywords, NumbersAreTriedUpwardAndPrefixesOrdered)
{
    PlcProject p;
    const std::string cond = "{x12}{dio}{=}{1}\r\n{ai9}{mv}{<=}{1.5}\r\n{et96}{ms}{=}{10}\r\n"
                             "{it3}{ms}{=}{5}\r\n{y32}{dio}{->}{0}{1}\r\n{x1}{n}{<}{3}\r\n"
                             "{x1}{none}{!=}{0}\r\n{ai1}{g}{[]}{1}{2}\r\n{ai1}{deg}{(]}{1}{2}\r\n"
                             "{ai1}{rh}{[)}{-1}{2}\r\n";
    const std::string act = "{x3}{cnt}{+}{1}\r\n{ao16}{mpa}{-}{0.5}\r\n{dly1}{ms}{=}{200}\r\n"
                            "{DIO+AIO+XCNT}{none}{str}\r\n{DIO+AIO}{none}{strclr}\r\n"
                            "{DIO+XCNT}{none}{rep}\r\n{DI}{none}{rep}\r\n{DO}{none}{rep}\r\n"
                            "{AIO+XCNT}{none}{rep}\r\n{AIO}{none}{rep}\r\n";
    ASSERT_EQ(load(block(0, cond, act), p).code, 0) << load(block(0, cond, act), p).message;
    const int sources[] = {12, 73, 176, 179, 240, 1, 1, 65, 65, 65};
    const int units[] = {1, 5, 3, 3, 1, 11, 0, 10, 8, 9};
    const int ops[] = {1, 6, 1, 1, 7, 5, 2, 9, 10, 11};
    for (int r = 0; r < 10; ++r) {
        const PlcRow c = p.row(0, Kind::Condition, r);
        EXPECT_EQ(c.code, sources[r]) << r;
        EXPECT_EQ(c.unit, units[r]) << r;
        EXPECT_EQ(c.op, ops[r]) << r;
    }
    // the loader decides by unit alone: "none" is not an integer unit
    EXPECT_EQ(p.row(0, Kind::Condition, 6).a, floatBits(0.0f));
    EXPECT_EQ(p.row(0, Kind::Condition, 9).a, floatBits(-1.0f));
    const int objects[] = {35, 80, 209, 227, 224, 225, 217, 218, 226, 222};
    const int actOps[] = {2, 3, 1, 4, 5, 6, 6, 6, 6, 6};
    for (int r = 0; r < 10; ++r) {
        EXPECT_EQ(p.row(0, Kind::Action, r).code, objects[r]) << r;
        EXPECT_EQ(p.row(0, Kind::Action, r).op, actOps[r]) << r;
    }
    EXPECT_EQ(p.row(0, Kind::Action, 1).a, floatBits(0.5f));
    EXPECT_EQ(p.row(0, Kind::Action, 2).a, 200u);
}

TEST(PlcSourceKeywords, NumberPrefixStopsAtTheRangeEnd)
{
    PlcProject p;
    const std::string cond = "{x33}{dio}{=}{1}\r\n{ai16}{raw}{=}{1}\r\n{et100}{ms}{=}{1}\r\n{y05}{dio}{=}{1}\r\n";
    EXPECT_EQ(load(block(0, cond, "{y1}{dio}{=}{1}\r\n"), p).message, formatText(plc_texts::kErrCondSource, 0, 3));
    EXPECT_EQ(p.row(0, Kind::Condition, 0).code, 3);  // "x3" is the last keyword that matched
    EXPECT_EQ(p.row(0, Kind::Condition, 1).code, 80);
    EXPECT_EQ(p.row(0, Kind::Condition, 2).code, 90); // et10
}

TEST(PlcSourceKeywords, RemainingGroupsAndOperators)
{
    PlcProject p;
    const std::string act = "{AI}{none}{rep}\r\n{AO}{none}{rep}\r\n{XCNT}{none}{rep}\r\n"
                            "{et1}{ms}{=}{100}\r\n{it32}{ms}{+}{1}\r\n{DIO}{none}{strclr}\r\n";
    ASSERT_EQ(load(block(9, "{x1}{dio}{=}{1}\r\n", act), p).code, 0);
    const int objects[] = {220, 221, 223, 81, 208, 219};
    for (int r = 0; r < 6; ++r)
        EXPECT_EQ(p.row(9, Kind::Action, r).code, objects[r]) << r;
    EXPECT_EQ(p.row(9, Kind::Action, 5).op, 5);
}

TEST(PlcSourceKeywords, RatIsForActionsOnly)
{
    EXPECT_EQ(loadError(block(2, "{ai1}{rat}{=}{1}\r\n", "{y1}{dio}{=}{1}\r\n")),
              formatText(plc_texts::kErrCondUnit, 2, 0));
}

TEST(PlcSourceLayout, EleventhRowsAreIgnored)
{
    std::string cond, act;
    for (int i = 1; i <= 11; ++i) {
        cond += "{x" + std::to_string(i) + "}{dio}{=}{1}\r\n";
        act += "{y" + std::to_string(i) + "}{dio}{=}{0}\r\n";
    }
    PlcProject p;
    ASSERT_EQ(load(block(0, cond, act), p).code, 0);
    EXPECT_EQ(p.row(0, Kind::Condition, 9).code, 10);
    EXPECT_EQ(p.row(0, Kind::Action, 9).code, 10);
    // nothing spilled into the next block
    EXPECT_EQ(p.state(1), kBlockFree);
    EXPECT_EQ(p.block(1)[0], 0);
}

TEST(PlcSourceLayout, CommentsAndGbkTextBetweenPartsAreIgnored)
{
    const std::string comment = utf8ToGbk("注释:启动泵");
    const std::string text = comment + "\r\n<program1>" + comment + "\r\n<cond>\r\n" + comment
        + "{x1}{dio}{=}{1} " + comment + "\r\n<act>\r\n{y1}{dio}{=}{1}\r\n" + comment;
    PlcProject p;
    ASSERT_EQ(load(text, p).code, 0);
    EXPECT_EQ(p.row(1, Kind::Condition, 0), (PlcRow{1, 1, 1, 1, 0}));
}

TEST(PlcSourceLayout, TextEndsAtTheFirstZeroByte)
{
    std::string text = block(0, "{x1}{dio}{=}{1}\r\n", "{y1}{dio}{=}{1}\r\n");
    text += std::string(1, '\0') + block(5, "garbage", "");
    PlcProject p;
    EXPECT_EQ(load(text, p).code, 0);
    EXPECT_EQ(p.state(5), kBlockFree);
}

TEST(PlcSourceLayout, AbsentBlocksKeepWhatTheProjectHeld)
{
    PlcProject p;
    p.setState(7, kBlockStopped);
    p.setRow(7, Kind::Condition, 0, {2, 1, 1, 1, 0});
    ASSERT_EQ(load(block(0, "{x1}{dio}{=}{1}\r\n", "{y1}{dio}{=}{1}\r\n"), p).code, 0);
    EXPECT_EQ(p.state(7), kBlockStopped);
    EXPECT_EQ(p.row(7, Kind::Condition, 0).code, 2);
}

TEST(PlcSourceLayout, BlockOutOfOrderCutsTheEarlierBlock)
{
    const std::string text = block(3, "{x1}{dio}{=}{1}\r\n", "{y1}{dio}{=}{1}\r\n")
        + block(1, "{x2}{dio}{=}{1}\r\n", "{y2}{dio}{=}{1}\r\n");
    EXPECT_EQ(loadError(text), "错误:\r\n程序块<program1>找不到条件块关键字<cond>");
}

TEST(PlcSourceLayout, FirstErrorStopsButKeepsRowsAlreadyRead)
{
    const std::string text = block(0, "{x1}{dio}{=}{1}\r\n", "{y1}{dio}{=}{1}\r\n")
        + block(1, "{x2}{dio}{=}{1}\r\n{x3}{bad}{=}{1}\r\n", "{y2}{dio}{=}{1}\r\n");
    PlcProject p;
    const SourceLoadResult r = load(text, p);
    EXPECT_EQ(r.message, formatText(plc_texts::kErrCondUnit, 1, 1));
    EXPECT_EQ(p.state(0), kBlockRuns);
    EXPECT_EQ(p.state(1), kBlockFree);
    EXPECT_EQ(p.row(1, Kind::Condition, 0).code, 2);
}

// Every syntax error text with the block and row it names.
TEST(PlcSourceErrors, LineEndsMustBeCrLf)
{
    EXPECT_EQ(loadError("<program0>\n<cond>\n{x1}{dio}{=}{1}\n<act>\n{y1}{dio}{=}{1}\n"),
              "错误:\r\n程序块<program0>条件块0,解析条件组合块时遇到语法错误,行尾缺少回车换行!");
    EXPECT_EQ(loadError(block(6, "{x1}{dio}{=}{1}\r\n", "{y1}{dio}{=}{1}\r\n{y2}{dio}{=}{1}\n")),
              formatText(plc_texts::kErrActLineEnd, 6, 1));
    // a condition line whose only CR LF comes after <act> is not silently merged
    EXPECT_EQ(loadError(block(0, "{x1}{dio}{=}{1}\r\n{x2}{dio}{=}{1}\n", "{y1}{dio}{=}{1}\r\n")),
              formatText(plc_texts::kErrCondLineEnd, 0, 1));
}

TEST(PlcSourceErrors, MissingTags)
{
    EXPECT_EQ(loadError("<program2>\r\n<act>\r\n{y1}{dio}{=}{1}\r\n"), formatText(plc_texts::kErrNoCondTag, 2));
    EXPECT_EQ(loadError("<program2>\r\n<cond>\r\n{x1}{dio}{=}{1}\r\n"), formatText(plc_texts::kErrNoActTag, 2));
}

TEST(PlcSourceErrors, EmptyAreas)
{
    EXPECT_EQ(loadError(block(3, "", "{y1}{dio}{=}{1}\r\n")),
              "错误:\r\n程序块<program3>时遇到语法错误,该程序块下<cond>未找到任何条件组合");
    EXPECT_EQ(loadError("<program3>\r\n<cond>\r\n<act>\r\n"), formatText(plc_texts::kErrNoCondRow, 3));
    EXPECT_EQ(loadError(block(3, "{x1}{dio}{=}{1}\r\n", "")),
              "错误:\r\n程序块<program3>时遇到语法错误,该程序块下<act>未找到任何动作组合");
    EXPECT_EQ(loadError(block(3, "{x1}{dio}{=}{1}\r\n", "") + block(4, "{x1}{dio}{=}{1}\r\n", "{y1}{dio}{=}{1}\r\n")),
              "错误:\r\n程序块<program3>动作块0,解析动作组合块时遇到语法错误,至少要设置一条动作组合!");
}

TEST(PlcSourceErrors, ConditionGroups)
{
    const std::string act = "{y1}{dio}{=}{1}\r\n";
    EXPECT_EQ(loadError(block(1, "}{x1}{dio}{=}{1}\r\n", act)),
              "错误:\r\n程序块<program1>条件块0,解析条件组合块时遇到语法错误,缺少\"{\"或\"}\"!");
    EXPECT_EQ(loadError(block(1, "{x1}{dio}{=}{1}\r\n{x1}\r\n{dio}{=}{1}\r\n", act)),
              formatText(plc_texts::kErrCondBraces, 1, 1));
    EXPECT_EQ(loadError(block(1, "{q1}{dio}{=}{1}\r\n", act)),
              "错误:\r\n程序块<program1>条件块0,解析条件来源时遇到语法错误,未设置或错误设置触发条件来源!");
    EXPECT_EQ(loadError(block(1, "{x1}{volt}{=}{1}\r\n", act)),
              "错误:\r\n程序块<program1>条件块0,解析条件单位类型时遇到语法错误,未设置或错误设置条件源的单位类型!");
    EXPECT_EQ(loadError(block(1, "{x1}{dio}{~}{1}\r\n", act)),
              "错误:\r\n程序块<program1>条件块0,解析条件运算符时遇到语法错误,未设置或错误设置条件运算符!");
    EXPECT_EQ(loadError(block(1, "{x1}{dio}{=}\r\n", act)),
              "错误:\r\n程序块<program1>条件块0,解析条件值a时遇到语法错误,缺少\"{\"或\"}\"!");
    EXPECT_EQ(loadError(block(1, "{x1}{dio}{=}{}\r\n", act)),
              "错误:\r\n程序块<program1>条件块0,解析条件值a时遇到语法错误,a值不能为空");
    EXPECT_EQ(loadError(block(1, "{x1}{dio}{->}{0}\r\n", act)),
              "错误:\r\n程序块<program1>条件块0,解析条件值b时遇到语法错误,缺少\"{\"或\"}\"!");
    EXPECT_EQ(loadError(block(1, "{x1}{dio}{->}{0}{}\r\n", act)),
              "错误:\r\n程序块<program1>条件块0,解析条件值b时遇到语法错误,b值不能为空");
}

TEST(PlcSourceErrors, ActionGroups)
{
    const std::string cond = "{x1}{dio}{=}{1}\r\n";
    EXPECT_EQ(loadError(block(8, cond, "{y1}{dio}{=}{1}\r\n}{y1}\r\n")),
              "错误:\r\n程序块<program8>动作块1,解析动作组合块时遇到语法错误,缺少\"{\"或\"}\"!");
    EXPECT_EQ(loadError(block(8, cond, "{z1}{dio}{=}{1}\r\n")),
              "错误:\r\n程序块<program8>动作块0,解析动作对象时遇到语法错误,未设置或错误设置动作操作对象!");
    EXPECT_EQ(loadError(block(8, cond, "{y1}{kg}{=}{1}\r\n")),
              "错误:\r\n程序块<program8>动作块0,解析动作单位类型时遇到语法错误,未设置或错误设置动作对象的单位类型!");
    EXPECT_EQ(loadError(block(8, cond, "{y1}{dio}{*}{1}\r\n")),
              "错误:\r\n程序块<program8>动作块0,解析动作运算符时遇到语法错误,未设置或错误设置动作运算符!");
    EXPECT_EQ(loadError(block(8, cond, "{y1}{dio}{=}{1\r\n}\r\n")),
              "错误:\r\n程序块<program8>动作块0,解析动作值a时遇到语法错误,缺少\"{\"或\"}\"!");
    EXPECT_EQ(loadError(block(8, cond, "{y1}{dio}{=}{}\r\n")),
              "错误:\r\n程序块<program8>动作块0,解析动作值a时遇到语法错误,a值不能为空");
    EXPECT_EQ(loadError(block(8, cond, "{y1}{rat}{po}{100}\r\n")),
              "错误:\r\n程序块<program8>动作块0,解析动作值b时遇到语法错误,缺少\"{\"或\"}\"!");
    EXPECT_EQ(loadError(block(8, cond, "{y1}{rat}{po}{100}{}\r\n")),
              "错误:\r\n程序块<program8>动作块0,解析动作值b时遇到语法错误,b值不能为空");
}

TEST(PlcSourceErrors, ValueTextOfMoreThan15CharactersIsRefused)
{
    PlcProject p;
    ASSERT_EQ(load(block(0, "{x1}{cnt}{>}{123456789012345}\r\n", "{y1}{dio}{=}{1}\r\n"), p).code, 0);
    EXPECT_EQ(p.row(0, Kind::Condition, 0).a, static_cast<uint32_t>(2147483647));
    EXPECT_EQ(loadError(block(0, "{x1}{cnt}{>}{1234567890123456}\r\n", "{y1}{dio}{=}{1}\r\n")),
              formatText(plc_texts::kErrCondValueATooLong, 0, 0));
    EXPECT_EQ(loadError(block(0, "{x1}{cnt}{()}{1}{1234567890123456}\r\n", "{y1}{dio}{=}{1}\r\n")),
              formatText(plc_texts::kErrCondValueBTooLong, 0, 0));
    EXPECT_EQ(loadError(block(0, "{x1}{dio}{=}{1}\r\n", "{y1}{dio}{=}{0000000000000001}\r\n")),
              formatText(plc_texts::kErrActValueATooLong, 0, 0));
    EXPECT_EQ(loadError(block(0, "{x1}{dio}{=}{1}\r\n", "{y1}{rat}{po}{1}{0000000000000050}\r\n")),
              formatText(plc_texts::kErrActValueBTooLong, 0, 0));
}

class PlcSourceFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = std::filesystem::temp_directory_path()
            / ("plc_src_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_"
               + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }
    std::filesystem::path m_dir;
};

TEST_F(PlcSourceFile, MissingFileLeavesProjectAlone)
{
    PlcProject p;
    p.setState(2, kBlockRuns);
    const std::string path = (m_dir / "absent.txt").string();
    const SourceLoadResult r = loadPlcSourceFile(path, p);
    EXPECT_EQ(r.code, SourceLoadResult::FileError);
    EXPECT_EQ(r.message, "Can't open file " + path + ", error = 2\nError message = No such file or directory\n");
    EXPECT_EQ(p.state(2), kBlockRuns);
}

TEST_F(PlcSourceFile, OneMebibyteOrMoreIsRefusedNotCut)
{
    const std::string body = block(0, "{x1}{dio}{=}{1}\r\n", "{y1}{dio}{=}{1}\r\n");
    const std::string path = (m_dir / "big.txt").string();
    {
        std::ofstream f(path, std::ios::binary);
        f << body << std::string(kPlcSourceLimit - body.size() - 1, ' ');
    }
    PlcProject p;
    EXPECT_EQ(loadPlcSourceFile(path, p).code, SourceLoadResult::Loaded);
    {
        std::ofstream f(path, std::ios::binary | std::ios::app);
        f << ' ';
    }
    PlcProject q;
    const SourceLoadResult r = loadPlcSourceFile(path, q);
    EXPECT_EQ(r.code, SourceLoadResult::FileError);
    EXPECT_EQ(r.message, "错误:\r\n源码文件过大(1048576字节),源码文件必须小于1048576字节!");
    EXPECT_EQ(q.state(0), kBlockFree);
}

} // namespace
} // namespace qx
