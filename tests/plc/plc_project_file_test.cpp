// Digest, seal, password rules and the project file round trip.
#include "plc_project_file.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "plc_texts.h"

namespace qx {
namespace {

using Kind = PlcRowKind;

std::string digestText(const PlcProject &p)
{
    const ProgramDigest d = programDigest(p);
    return std::string(d.begin(), d.end());
}

PlcProject sampleProject()
{
    PlcProject p;
    p.setState(0, kBlockRuns);
    p.setRow(0, Kind::Condition, 0, {1, 1, 1, 1, 0});
    p.setRow(0, Kind::Condition, 1, {65, 6, 3, floatBits(4.0f), 0});
    p.setRow(0, Kind::Action, 0, {1, 1, 1, 1, 0});
    p.setRow(0, Kind::Action, 1, {219, 0, 6, 0, 0});
    return p;
}

TEST(ProgramDigestCounts, EachCounterHasItsCharacter)
{
    EXPECT_EQ(digestText(PlcProject()), "0000000000000000");
    // blocks, cond rows, inputs, counters, analog, et, it+y, "=", actions,
    // outputs, counters, analog, timers, delay, groups, "="
    EXPECT_EQ(digestText(sampleProject()), "1210100121000011");
    PlcProject p = sampleProject();
    p.setRow(0, Kind::Condition, 2, {177, 3, 1, 5, 0});
    p.setRow(0, Kind::Condition, 3, {240, 1, 1, 1, 0});
    p.setRow(0, Kind::Action, 2, {209, 3, 1, 5, 0});
    EXPECT_EQ(digestText(p), "1410102331000112");
}

TEST(ProgramDigestCounts, StoppedBlocksCountAndCountersWrapAt70)
{
    PlcProject p;
    p.setState(3, kBlockStopped);
    EXPECT_EQ(digestText(p)[0], '1');
    for (int b = 0; b < 69; ++b)
        p.setState(b, kBlockRuns);
    p.setState(69, kBlockStopped);
    EXPECT_EQ(digestText(p)[0], '0'); // 70 blocks: same character as none
    p.setState(69, kBlockFree);
    EXPECT_EQ(digestText(p)[0], '&');
}

TEST(ProjectSealBytes, DigestPlusAndMinusPassword)
{
    const ProjectSeal s = projectSeal(PlcProject(), "ab");
    EXPECT_EQ(s[0], 0x30 + 'a');
    EXPECT_EQ(s[1], 0x30 + 'b');
    EXPECT_EQ(s[2], 0x30);
    EXPECT_EQ(s[16], static_cast<uint8_t>(0x30 - 'a'));
    EXPECT_EQ(s[17], static_cast<uint8_t>(0x30 - 'b'));
    EXPECT_EQ(s[31], 0x30);
    // only 16 bytes of the password count; Chinese goes in as GBK
    EXPECT_EQ(projectSeal(PlcProject(), "0123456789abcdefXYZ"), projectSeal(PlcProject(), "0123456789abcdef"));
    const ProjectSeal g = projectSeal(PlcProject(), "密");
    EXPECT_EQ(g[0], static_cast<uint8_t>(0x30 + 0xC3));
    EXPECT_EQ(g[1], static_cast<uint8_t>(0x30 + 0xDC));
}

TEST(ProjectSealBytes, ChangesWithTheProgram)
{
    const PlcProject base = sampleProject();
    PlcProject other = sampleProject();
    other.setRow(0, Kind::Condition, 0, {33, 2, 1, 1, 0}); // input -> counter range
    EXPECT_NE(projectSeal(base, "pw"), projectSeal(other, "pw"));
    PlcProject more = sampleProject();
    more.setState(50, kBlockRuns);
    EXPECT_NE(projectSeal(base, "pw"), projectSeal(more, "pw"));
    EXPECT_EQ(projectSeal(base, "pw"), projectSeal(sampleProject(), "pw"));
}

TEST(ProjectPasswordRules, LengthEmptinessAndEquality)
{
    EXPECT_EQ(passwordEntriesError("0123456789abcdef", "0123456789abcdef"), "");
    EXPECT_EQ(passwordEntriesError("0123456789abcdefg", "0123456789abcdefg"), "密码不能超过16个字符!");
    EXPECT_EQ(passwordEntriesError("", ""), "密码不能为空!");
    EXPECT_EQ(passwordEntriesError("abc", ""), "密码不能为空!");
    EXPECT_EQ(passwordEntriesError("abc", "abd"), "两次密码不一致!");
    // characters, not bytes: sixteen Chinese characters are allowed
    const std::string sixteen = "密码密码密码密码密码密码密码密码";
    EXPECT_EQ(passwordEntriesError(sixteen, sixteen), "");
}

class ProjectFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = std::filesystem::temp_directory_path()
            / ("plc_prj_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::string path(const char *name) const { return (m_dir / name).string(); }

    static std::string contents(const std::string &file)
    {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    std::filesystem::path m_dir;
};

TEST_F(ProjectFile, SameProjectAndPasswordGiveIdenticalFiles)
{
    const PlcProject p = sampleProject();
    const ProjectSaveResult first = saveProjectFile(path("a.qprj"), p, "secret1", "secret1");
    ASSERT_TRUE(first.ok) << first.message;
    EXPECT_EQ(first.message, "保存成功!");
    ASSERT_TRUE(saveProjectFile(path("b.qprj"), p, "secret1", "secret1").ok);
    const std::string a = contents(path("a.qprj"));
    EXPECT_EQ(a.size(), 25632u);
    EXPECT_EQ(a, contents(path("b.qprj")));
    EXPECT_EQ(a.substr(0, 25600), std::string(p.bytes().begin(), p.bytes().end()));
    // nothing but the file itself is left in the folder
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir), {}), 2);
}

TEST_F(ProjectFile, BadEntriesWriteNothing)
{
    const ProjectSaveResult r = saveProjectFile(path("x.qprj"), sampleProject(), "abc", "abd");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "两次密码不一致!");
    EXPECT_FALSE(std::filesystem::exists(path("x.qprj")));
}

TEST_F(ProjectFile, LoadsBackWithTheSamePassword)
{
    const PlcProject p = sampleProject();
    ASSERT_TRUE(saveProjectFile(path("p.qprj"), p, "0123456789abcdef", "0123456789abcdef").ok);
    const ProjectLoadResult r = loadProjectFile(path("p.qprj"), "0123456789abcdef");
    ASSERT_TRUE(r.ok) << r.message;
    ASSERT_TRUE(r.project.has_value());
    EXPECT_EQ(r.project->bytes(), p.bytes());
}

TEST_F(ProjectFile, WrongPasswordGivesNoProject)
{
    ASSERT_TRUE(saveProjectFile(path("p.qprj"), sampleProject(), "right", "right").ok);
    const ProjectLoadResult r = loadProjectFile(path("p.qprj"), "wrong");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "密码错误!");
    EXPECT_FALSE(r.project.has_value());
}

TEST_F(ProjectFile, OtherLengthsAreNotProjects)
{
    std::string bytes = projectFileBytes(sampleProject(), "pw");
    {
        std::ofstream(path("short.qprj"), std::ios::binary) << bytes.substr(0, 25631);
        std::ofstream(path("long.qprj"), std::ios::binary) << bytes << 'x';
    }
    const ProjectLoadResult shortFile = loadProjectFile(path("short.qprj"), "pw");
    EXPECT_EQ(shortFile.message, "Not correct file(25631)!\n");
    EXPECT_FALSE(shortFile.project.has_value());
    EXPECT_EQ(loadProjectFile(path("long.qprj"), "pw").message, "Not correct file(25633)!\n");
    EXPECT_EQ(loadProjectFile(path("absent.qprj"), "pw").message.rfind("Can't open file ", 0), 0u);
}

TEST_F(ProjectFile, ChangedProgramBytesBreakTheSeal)
{
    std::string bytes = projectFileBytes(sampleProject(), "pw");
    bytes[0] = 0; // block 0 no longer in use: the digest differs
    EXPECT_EQ(readProjectBytes(bytes, "pw").message, "密码错误!");
}

} // namespace
} // namespace qx
