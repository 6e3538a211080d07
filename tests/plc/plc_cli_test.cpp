// qxcli plc run as a program on the shipped examples: exit codes, what it
// prints, and that it writes whole files or none.
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "plc_compiler.h"
#include "plc_project_file.h"
#include "plc_source_loader.h"
#include "scaling_file.h"

namespace qx {
namespace {

namespace fs = std::filesystem;

const std::string kExamples = QX_EXAMPLES_DIR;
const std::string kDemo = kExamples + "/plc_demo.txt";
const std::string kScaling = kExamples + "/scaling.txt";

struct CliRun {
    int exit = -1;
    std::string output; // stdout and stderr
};

CliRun qxcli(const std::string &args)
{
    CliRun r;
    const std::string command = std::string(QXCLI_PATH) + " " + args + " 2>&1";
    FILE *pipe = popen(command.c_str(), "r");
    if (!pipe)
        return r;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0)
        r.output.append(buf, n);
    const int status = pclose(pipe);
    r.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string contents(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class PlcCli : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path()
            / ("plc_cli_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }
    std::string path(const char *name) const { return (m_dir / name).string(); }
    int filesInDir() const { return static_cast<int>(std::distance(fs::directory_iterator(m_dir), {})); }

    fs::path m_dir;
};

TEST_F(PlcCli, BuildThenCheckWithTheSamePassword)
{
    const CliRun build = qxcli("plc build " + kDemo + " --password demo123 -o " + path("demo.qprj") + " --scaling " + kScaling);
    ASSERT_EQ(build.exit, 0) << build.output;
    EXPECT_NE(build.output.find("----------编译成功----------\n"), std::string::npos);
    EXPECT_NE(build.output.find("保存成功!\n"), std::string::npos);
    EXPECT_EQ(build.output.find('\r'), std::string::npos);
    ASSERT_EQ(fs::file_size(path("demo.qprj")), 25632u);
    EXPECT_EQ(filesInDir(), 1);

    const CliRun check = qxcli("plc check " + path("demo.qprj") + " --password demo123 --scaling " + kScaling);
    EXPECT_EQ(check.exit, 0) << check.output;
    EXPECT_EQ(check.output.rfind("\n----------正在编译工程文件----------\n", 0), 0u);
    EXPECT_NE(check.output.find("  [动作0]:  执行 y5输出 脉冲 频率1000 HZ 占空比50.000000 rat百分比\n"), std::string::npos);

    // the project holds exactly what the source loads to
    PlcProject fromSource;
    ASSERT_EQ(loadPlcSourceFile(kDemo, fromSource).code, 0);
    const ProjectLoadResult loaded = loadProjectFile(path("demo.qprj"), "demo123");
    ASSERT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.project->bytes(), fromSource.bytes());
}

TEST_F(PlcCli, SourceCheckReportsWithTheSourceTexts)
{
    // a source text is compiled and judged in source terms, not as a project
    const CliRun passed = qxcli("plc check " + kDemo + " --scaling " + kScaling);
    ASSERT_EQ(passed.exit, 0) << passed.output;
    EXPECT_EQ(passed.output.rfind("\n----------正在加载源码文件----------\n"
                                  "\n----------正在编译源码文件----------\n"
                                  "\nprogram0控制块正在编译",
                                  0),
              0u);
    EXPECT_NE(passed.output.find("\n----------编译成功----------\n"
                                 "\n您接下来可以:\n"
                                 "\n1.生成工程文件并保存到您的电脑上.\n"
                                 "\n2.您也可以将生成的工程文件下载到模块的RAM或者FLASH中运行.\n"),
              std::string::npos);
    EXPECT_EQ(passed.output.find("正在编译工程文件"), std::string::npos);

    const CliRun failed = qxcli("plc check " + kDemo);
    EXPECT_EQ(failed.exit, 1);
    EXPECT_NE(failed.output.find("\n----------编译失败----------\n"
                                 "\n您接下来需要做:\n"
                                 "\n1.源码语法正确,但可能存在参数选择错误,请按编译提示修改源码并保存,"
                                 "然后点击\"刷新并编译\"按钮重新编译!\n"
                                 "\n2.您也可以重新加载其他工程或源码文件,点击\"载入工程或源码\"按钮重新选择即可!\n"
                                 "\n----------------------------\n"),
              std::string::npos);
}

TEST_F(PlcCli, WrongOrMissingPasswordIsALoadError)
{
    ASSERT_EQ(qxcli("plc build " + kDemo + " --password demo123 -o " + path("d.qprj") + " --scaling " + kScaling).exit, 0);
    const CliRun wrong = qxcli("plc check " + path("d.qprj") + " --password demo124");
    EXPECT_EQ(wrong.exit, 2);
    EXPECT_EQ(wrong.output, "密码错误!\n");
    const CliRun none = qxcli("plc preview " + path("d.qprj"));
    EXPECT_EQ(none.exit, 2);
    EXPECT_EQ(none.output, "密码不能为空!\n");
    const CliRun tooLong = qxcli("plc build " + kDemo + " --password 0123456789abcdefg -o " + path("e.qprj"));
    EXPECT_EQ(tooLong.exit, 2);
    EXPECT_EQ(tooLong.output, "密码不能超过16个字符!\n");
    EXPECT_FALSE(fs::exists(path("e.qprj")));
}

TEST_F(PlcCli, FailedCheckWritesNothing)
{
    // without the scaling file the analog rows fail
    const CliRun r = qxcli("plc build " + kDemo + " --password pw -o " + path("demo.qprj"));
    EXPECT_EQ(r.exit, 1);
    EXPECT_NE(r.output.find("错误4:编程涉及模拟量输入操作,请先到AI/AO页面加载量纲文件！"), std::string::npos);
    EXPECT_NE(r.output.find("----------编译失败----------"), std::string::npos);
    EXPECT_EQ(filesInDir(), 0);

    // an existing file is left as it was
    std::ofstream(path("old.bin"), std::ios::binary) << "old";
    const CliRun image = qxcli("plc image " + kDemo + " --scaling " + path("absent.txt") + " -o " + path("old.bin"));
    EXPECT_EQ(image.exit, 2);
    EXPECT_EQ(contents(path("old.bin")), "old");
    EXPECT_EQ(filesInDir(), 1);
}

TEST_F(PlcCli, SyntaxErrorReportsAndExitsTwo)
{
    std::ofstream(path("lf.txt"), std::ios::binary) << "<program0>\n<cond>\n{x1}{dio}{=}{1}\n<act>\n{y1}{dio}{=}{1}\n";
    const CliRun r = qxcli("plc build " + path("lf.txt") + " --password pw -o " + path("lf.qprj"));
    EXPECT_EQ(r.exit, 2);
    EXPECT_EQ(r.output,
              "\n----------正在加载源码文件----------\n"
              "错误:\n程序块<program0>条件块0,解析条件组合块时遇到语法错误,行尾缺少回车换行!\n"
              "\n----------源码加载失败----------\n"
              "\n您接下来需要做:\n"
              "\n1.源码存在语法错误,请按提示修改源码并保存,然后点击\"刷新并编译\"按钮重新加载!\n"
              "\n2.您也可以重新加载其他工程或源码文件,点击\"载入工程或源码\"按钮重新选择即可!\n"
              "\n----------------------------\n");
    EXPECT_FALSE(fs::exists(path("lf.qprj")));
}

TEST_F(PlcCli, ImageIsTheConvertedProgram)
{
    const CliRun r = qxcli("plc image " + kDemo + " --scaling " + kScaling + " -o " + path("img.bin"));
    ASSERT_EQ(r.exit, 0) << r.output;
    const std::string img = contents(path("img.bin"));
    ASSERT_EQ(img.size(), 25600u);
    const auto *block3 = reinterpret_cast<const uint8_t *>(img.data()) + 3 * 256;
    // {ai1}{ma}{()}{4}{20} with noise 100 and coefficient 0.5
    EXPECT_EQ(readPlcRow(block3, PlcRowKind::Condition, 0), (PlcRow{65, 6, 8, 108, 140}));
    // {ai2}{raw}{>}{1200}: raw counts pass unconverted
    EXPECT_EQ(readPlcRow(block3, PlcRowKind::Condition, 1), (PlcRow{66, 4, 3, 1200, 0}));

    PlcProject p;
    ASSERT_EQ(loadPlcSourceFile(kDemo, p).code, 0);
    const ProgramImage expected = buildProgramImage(p, loadScalingFile(kScaling).tables);
    EXPECT_EQ(img, std::string(expected.bytes.begin(), expected.bytes.end()));
    EXPECT_EQ(filesInDir(), 1);
}

TEST_F(PlcCli, PreviewOfOneBlock)
{
    const CliRun r = qxcli("plc preview " + kExamples + "/plc_blink.txt --block 0");
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.output,
              "\n<program0>控制块预览-------------------------------------------------------\n"
              "\n<cond>\n"
              "  [条件0]:  如果 x1输入 = 1 dio开关量\n"
              "\n<act>\n"
              "  [动作0]:  执行 y1输出 脉冲 频率2 HZ 占空比50.000000 rat百分比\n");
}

TEST_F(PlcCli, UsageAndFileErrorsExitTwo)
{
    EXPECT_EQ(qxcli("plc build " + kDemo + " --password pw").exit, 2);
    EXPECT_EQ(qxcli("plc image " + kDemo + " -o " + path("i.bin")).exit, 2);
    EXPECT_EQ(qxcli("plc preview " + kDemo + " --block 100").exit, 2);
    EXPECT_EQ(qxcli("plc frobnicate " + kDemo).exit, 2);
    EXPECT_EQ(qxcli("nosuchcommand").exit, 2);
    const CliRun missing = qxcli("plc check " + path("absent.txt"));
    EXPECT_EQ(missing.exit, 2);
    EXPECT_NE(missing.output.find("Can't open file " + path("absent.txt") + ", error = 2"), std::string::npos);
    std::ofstream(path("bad_scaling.txt"), std::ios::binary) << "[AINOISE]\r\ndwNoiseAI1=1\r\n";
    const CliRun scaling = qxcli("plc check " + kDemo + " --scaling " + path("bad_scaling.txt"));
    EXPECT_EQ(scaling.exit, 2);
    EXPECT_EQ(scaling.output, "量纲文件缺少[AINOISE]下的dwNoiseAI2,量纲未加载!\n");
    EXPECT_EQ(filesInDir(), 1);
}

TEST_F(PlcCli, ScalingChannelMessagesAreShownAndTheCheckFails)
{
    std::string text = contents(kScaling);
    text.replace(text.find("byUnitAI1=6"), 11, "byUnitAI1=4");
    std::ofstream(path("s.txt"), std::ios::binary) << text;
    const CliRun r = qxcli("plc check " + kDemo + " --scaling " + path("s.txt"));
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.output.rfind("模拟量AI通道1量纲不正确！\n", 0), 0u);
    EXPECT_NE(r.output.find("错误4:编程涉及模拟量输入操作"), std::string::npos);
}

TEST_F(PlcCli, ImageOfAFailingProgramEndsWithTheRefusal)
{
    std::string text = contents(kScaling);
    text.replace(text.find("byUnitAI1=6"), 11, "byUnitAI1=4");
    std::ofstream(path("s.txt"), std::ios::binary) << text;
    const CliRun r = qxcli("plc image " + kDemo + " --scaling " + path("s.txt") + " -o " + path("i.bin"));
    EXPECT_EQ(r.exit, 1);
    // the refusal follows the report that explains it, also through one pipe
    const std::string refusal = "\n----------------------------\n请先修正程序块中的语法错误!\n";
    ASSERT_GE(r.output.size(), refusal.size());
    EXPECT_EQ(r.output.substr(r.output.size() - refusal.size()), refusal);
    EXPECT_FALSE(fs::exists(path("i.bin")));
}

} // namespace
} // namespace qx
