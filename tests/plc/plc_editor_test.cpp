// The programming page's rules without a window: rows shown and read back,
// block commands, the enabling pattern, loads, refresh and the transfer
// preconditions.
#include "plc_editor.h"

#include <fstream>

#include <gtest/gtest.h>

#include "plc_project_file.h"
#include "plc_texts.h"
#include "temp_dir.h"

namespace qx {
namespace {

using Kind = PlcRowKind;
using qxtest::TempDir;
using namespace plc_texts;

const ScalingTables kScaling;

class PlcEditorFiles : public ::testing::Test
{
protected:
    std::string write(const char *name, const std::string &text) const
    {
        const std::string p = (m_dir.path / name).string();
        std::ofstream(p, std::ios::binary) << text;
        return p;
    }

    TempDir m_dir;
};

TEST(PlcGridRows, ShownValuesReadBackToTheSameBits)
{
    // a free row: "空" everywhere, values "0"
    EXPECT_EQ(showPlcRow({}, Kind::Condition), (PlcRowFields{0, 0, 0, "0", "0"}));

    const PlcRow pulse{2, 12, 7, 1000, floatBits(33.3f)};
    const PlcRowFields shown = showPlcRow(pulse, Kind::Action);
    EXPECT_EQ(shown.a, "1000");
    EXPECT_EQ(shown.b, "33.299999");
    const PlcRowRead back = readPlcRowFields(shown, pulse, Kind::Action, 4, 1);
    ASSERT_TRUE(back.row);
    EXPECT_EQ(*back.row, pulse);

    const PlcRow analog{65, 6, 8, floatBits(4.0f), floatBits(20.5f)};
    EXPECT_EQ(showPlcRow(analog, Kind::Condition).b, "20.500000");
    EXPECT_EQ(*readPlcRowFields(showPlcRow(analog, Kind::Condition), analog, Kind::Condition, 0, 0).row, analog);

    // a negative count from source text comes back as the same pattern
    const PlcRow counter{37, 2, 4, 0xFFFFFFFB, 0};
    EXPECT_EQ(showPlcRow(counter, Kind::Condition).a, "4294967291");
    PlcRowFields typed = showPlcRow(counter, Kind::Condition);
    typed.a = " -5 ";
    EXPECT_EQ(readPlcRowFields(typed, counter, Kind::Condition, 0, 0).row->a, 0xFFFFFFFBu);

    // a code beyond its list shows no entry and is kept
    const PlcRow foreign{250, 1, 1, 1, 0};
    const PlcRowFields f = showPlcRow(foreign, Kind::Condition);
    EXPECT_EQ(f.code, -1);
    EXPECT_EQ(readPlcRowFields(f, foreign, Kind::Condition, 0, 0).row->code, 250);
}

TEST(PlcGridRows, TextThatIsNoNumberIsRefusedByName)
{
    PlcRowFields pulse{2, 12, 7, "1000", "half"};
    EXPECT_EQ(readPlcRowFields(pulse, {}, Kind::Action, 12, 3).message,
              "控制块12 [动作3] 输出值b: \"half\" 不是有效的数值,请重新输入!");
    PlcRowFields digital{1, 1, 1, "1.5", "0"};
    EXPECT_EQ(readPlcRowFields(digital, {}, Kind::Condition, 0, 9).message,
              "控制块0 [条件9] 条件值a: \"1.5\" 不是有效的整数,请重新输入!");
    for (const char *bad : {"", "12abc", "4294967296", "-2147483649", "0x10", "++1"}) {
        digital.a = bad;
        EXPECT_FALSE(readPlcRowFields(digital, {}, Kind::Condition, 0, 0).row) << bad;
    }
    PlcRowFields analog{65, 6, 3, "1e3", "nan"};
    EXPECT_FALSE(readPlcRowFields(analog, {}, Kind::Condition, 0, 0).row);
    analog.b = "-2.5";
    EXPECT_EQ(readPlcRowFields(analog, {}, Kind::Condition, 0, 0).row->a, floatBits(1000.0f));
}

TEST(PlcEditorBlocks, CommitStopClearAndColours)
{
    PlcEditor e;
    EXPECT_EQ(e.commit({}, kScaling).message, kNeedBlock);
    EXPECT_EQ(e.selectBlock(3).message, kNoProject);
    e.newProject();
    ASSERT_TRUE(e.selectBlock(3).ok);
    PlcBlockFields fields = e.currentFields();
    fields.conditions[0] = {1, 1, 1, "1", "0"};
    fields.actions[0] = {1, 1, 1, "1", "0"};
    fields.actions[1] = {2, 12, 7, "1000", "oops"};
    // a refused value stores nothing
    EXPECT_FALSE(e.commit(fields, kScaling).ok);
    EXPECT_EQ(e.project()->state(3), kBlockFree);

    // a failing rule still makes the block run; the download then refuses
    fields.actions[1] = {2, 1, 1, "7", "0"};
    const PlcOutcome committed = e.commit(fields, kScaling);
    EXPECT_TRUE(committed.ok);
    EXPECT_NE(committed.report->find(kActDigitalValueA), std::string::npos);
    EXPECT_EQ(blockColour(e.project()->state(3)), kBlockGreen);
    const PlcOutcome refused = e.prepareTransfer(PlcTransfer::RamRun, kScaling);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.message, kFixSyntaxFirst);

    fields.actions[1] = {2, 1, 1, "0", "0"};
    EXPECT_EQ(e.commit(fields, kScaling).report->find("错误"), std::string::npos);
    EXPECT_TRUE(e.stop().ok);
    EXPECT_EQ(blockColour(e.project()->state(3)), kBlockBlue);
    EXPECT_EQ(e.project()->row(3, Kind::Action, 1).a, 0u);
    EXPECT_TRUE(e.clear().showRows);
    EXPECT_EQ(blockColour(e.project()->state(3)), kBlockGrey);
    EXPECT_EQ(e.currentFields(), PlcBlockFields{});
}

TEST(PlcEditorBlocks, RowsMoveWithinTheirHalfWithTheirEdits)
{
    PlcEditor e;
    e.newProject();
    e.selectBlock(0);
    PlcBlockFields fields = e.currentFields();
    fields.conditions[0] = {1, 1, 1, "1", "0"};
    fields.conditions[1] = {2, 1, 1, "0", "0"};
    fields.actions[9] = {3, 1, 1, "1", "0"};
    e.commit(fields, kScaling);
    fields.conditions[5].a = "77"; // typed, not committed

    int selected = 0;
    EXPECT_FALSE(e.moveRow(Kind::Condition, selected, -1, fields).ok);
    selected = 9;
    EXPECT_FALSE(e.moveRow(Kind::Action, selected, +1, fields).ok);
    EXPECT_EQ(e.project()->row(0, Kind::Action, 9).code, 3);
    selected = -1;
    EXPECT_FALSE(e.moveRow(Kind::Action, selected, -1, fields).ok);

    selected = 0;
    EXPECT_TRUE(e.moveRow(Kind::Condition, selected, +1, fields).ok);
    EXPECT_EQ(selected, 1);
    EXPECT_EQ(e.project()->row(0, Kind::Condition, 1).code, 1);
    EXPECT_EQ(e.project()->row(0, Kind::Condition, 0).code, 2);
    EXPECT_EQ(fields.conditions[1].code, 1);
    EXPECT_EQ(fields.conditions[5].a, "77");

    EXPECT_TRUE(e.deleteRow(Kind::Action, 9, fields).ok);
    EXPECT_EQ(e.project()->row(0, Kind::Action, 9), PlcRow{});
    EXPECT_EQ(fields.actions[9], PlcRowFields{});
}

TEST(PlcEditorControls, EnablingPatternThroughTheStages)
{
    PlcEditor e;
    PlcControls start;
    start.blockCommands = start.loadAndNew = start.clearFlash = true;
    EXPECT_EQ(e.controls(), start);

    e.newProject();
    PlcControls all = start;
    all.blockButtons = all.rows = all.refresh = all.downloads = all.save = true;
    EXPECT_EQ(e.controls(), all);

    // a failed check leaves download and save off
    e.selectBlock(1);
    PlcBlockFields fields;
    fields.actions[0] = {1, 1, 1, "9", "0"};
    e.commit(fields, kScaling);
    EXPECT_FALSE(e.refresh(kScaling).ok);
    PlcControls failed = all;
    failed.downloads = failed.save = false;
    EXPECT_EQ(e.controls(), failed);

    // a transfer leaves only its own button on
    e.clear();
    EXPECT_TRUE(e.refresh(kScaling).ok);
    EXPECT_EQ(e.startTransfer(PlcTransfer::FlashRun, 64, kScaling).kind, TransferStep::Kind::Send);
    PlcControls transfer;
    transfer.transfer = PlcTransfer::FlashRun;
    EXPECT_EQ(e.controls(), transfer);
    EXPECT_EQ(e.runningTransfer(), PlcTransfer::FlashRun);
    EXPECT_EQ(e.download().cancel().message, kTransferCancelled);
    EXPECT_EQ(e.controls(), all);
}

TEST(PlcEditorControls, ClearFlashOnlyFromAnEmptyProject)
{
    PlcEditor e;
    EXPECT_EQ(e.prepareTransfer(PlcTransfer::ClearFlash, kScaling).message, kNeedEmptyProject);
    e.newProject();
    EXPECT_TRUE(e.prepareTransfer(PlcTransfer::ClearFlash, kScaling).ok);
    e.selectBlock(9);
    e.stop();
    EXPECT_EQ(e.prepareTransfer(PlcTransfer::ClearFlash, kScaling).message, kNeedEmptyProject);
    e.clear();
    const TransferStep step = e.startTransfer(PlcTransfer::ClearFlash, 33, kScaling);
    EXPECT_EQ(e.blockSize(), 8); // no entry read: the smallest block size
    EXPECT_EQ(e.download().finalCommand(), kEplcFlashRestart);
    EXPECT_EQ(eplcHeaderOf(step), (EplcHeader{1, 0, 0, 0}));
}

const char kTwoBlocks[] = "<program0>\r\n<cond>\r\n{x1}{dio}{=}{1}\r\n<act>\r\n{y1}{dio}{=}{1}\r\n"
                          "<program4>\r\n<cond>\r\n{x2}{dio}{=}{1}\r\n<act>\r\n{y2}{dio}{=}{1}\r\n";
const char kOneBlock[] = "<program0>\r\n<cond>\r\n{x1}{dio}{=}{1}\r\n<act>\r\n{y1}{dio}{=}{0}\r\n";

TEST_F(PlcEditorFiles, SourceRefreshRebuildsFromTheFileAlone)
{
    PlcEditor e;
    const std::string path = write("prog.txt", kTwoBlocks);
    const PlcOutcome loaded = e.loadSource(path, kScaling);
    ASSERT_TRUE(loaded.ok) << *loaded.report;
    EXPECT_EQ(e.mode(), PlcEditMode::Source);
    EXPECT_EQ(e.currentBlock(), 0);
    EXPECT_EQ(e.project()->state(4), kBlockRuns);

    // block 4 taken out of the file is gone after the refresh
    write("prog.txt", kOneBlock);
    EXPECT_TRUE(e.refresh(kScaling).ok);
    EXPECT_EQ(e.project()->state(4), kBlockFree);
    EXPECT_EQ(e.project()->row(0, Kind::Action, 0).a, 0u);

    // a syntax error on refresh names the refresh hint and stops downloads
    write("prog.txt", "<program0>\r\n<act>\r\n");
    const PlcOutcome broken = e.refresh(kScaling);
    EXPECT_FALSE(broken.ok);
    EXPECT_NE(broken.report->find(kReportReloadSource), std::string::npos);
    EXPECT_FALSE(e.controls().downloads);
    EXPECT_EQ(e.currentBlock(), -1);

    // a file that cannot be read leaves the program as it was
    const PlcOutcome missing = e.loadSource((m_dir.path / "none.txt").string(), kScaling);
    EXPECT_NE(missing.message.find("Can't open file"), std::string::npos);
    EXPECT_EQ(e.sourcePath(), path);
}

TEST_F(PlcEditorFiles, WrongPasswordKeepsTheOpenProgram)
{
    PlcProject saved;
    saved.setState(2, kBlockRuns);
    saved.setRow(2, Kind::Condition, 0, {1, 1, 1, 1, 0});
    saved.setRow(2, Kind::Action, 0, {1, 1, 1, 1, 0});
    const std::string file = (m_dir.path / "p.qprj").string();
    ASSERT_TRUE(saveProjectFile(file, saved, "pw", "pw").ok);

    PlcEditor e;
    e.newProject();
    e.selectBlock(6);
    e.stop();
    EXPECT_EQ(e.readProjectFile(write("short.qprj", "x")).message, "Not correct file(1)!\n");
    ASSERT_TRUE(e.readProjectFile(file).ok);
    EXPECT_EQ(e.openProject("nope", kScaling).message, kPasswordWrong);
    EXPECT_EQ(e.project()->state(6), kBlockStopped);
    EXPECT_EQ(e.password(), "");

    ASSERT_TRUE(e.readProjectFile(file).ok);
    const PlcOutcome opened = e.openProject("pw", kScaling);
    EXPECT_TRUE(opened.ok);
    EXPECT_EQ(e.project()->bytes(), saved.bytes());
    EXPECT_EQ(e.password(), "pw");
    EXPECT_EQ(e.confirmation(), "pw");
    EXPECT_TRUE(e.checkSavePasswords().ok);
    e.setPasswords("a", "b");
    EXPECT_EQ(e.checkSavePasswords().message, kPasswordsDiffer);
    EXPECT_EQ(e.password(), "");
}

TEST(PlcEditorChoice, ProjectOrSourceByFilterThenExtension)
{
    EXPECT_TRUE(isProjectChoice("a.txt", 0));
    EXPECT_FALSE(isProjectChoice("a.qprj", 1));
    EXPECT_TRUE(isProjectChoice("/x/A.QPRJ", -1));
    EXPECT_FALSE(isProjectChoice("/x.qprj/a.txt", -1));
    EXPECT_FALSE(isProjectChoice("qprj", -1));
}

} // namespace
} // namespace qx
