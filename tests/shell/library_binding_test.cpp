// Binding QXLIB by name, the serial devices offered and the file filters.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "file_filter.h"
#include "library_binder.h"
#include "serial_devices.h"
#include "shell_texts.h"

namespace {

using namespace qx;

TEST(LibraryBinding, MissingFileNamesTheLibrary)
{
    auto r = bindLibrary("/nonexistent/libqxlib.so");
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.missingSymbol.empty());
    EXPECT_NE(r.message.find("/nonexistent/libqxlib.so"), std::string::npos);
    EXPECT_EQ(r.message.rfind(shell_texts::kLibraryMissingPrefix, 0), 0u);
}

TEST(LibraryBinding, LibraryWithoutTheExportsNamesTheFirstMissingSymbol)
{
    auto r = bindLibrary("libc.so.6");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.missingSymbol, "DLL_API_OBJ_CREATE");
    EXPECT_EQ(r.message, std::string("通讯库 libc.so.6 中缺少函数 DLL_API_OBJ_CREATE，程序无法启动！"));
    EXPECT_FALSE(r.functions.complete());
}

TEST(LibraryBinding, CandidatesPreferExplicitThenExecutableDir)
{
    EXPECT_EQ(libraryCandidates("/x/lib.so", "/bin", "/b").size(), 1u);
    auto c = libraryCandidates("", "/opt/qx/bin", "/build/lib/port");
    ASSERT_EQ(c.size(), 4u);
    EXPECT_EQ(c[0], "/opt/qx/bin/libqxlib.so");
    EXPECT_EQ(c[1], "/build/lib/port/libqxlib.so");
    EXPECT_EQ(c[2], kLibrarySoname);
    EXPECT_EQ(c[3], "libqxlib.so");
    EXPECT_EQ(libraryCandidates("", "/usr/bin", "").size(), 3u);
    auto r = bindFirstLibrary({"/nonexistent/a.so", "libc.so.6", "/nonexistent/b.so"});
    EXPECT_EQ(r.missingSymbol, "DLL_API_OBJ_CREATE");
}

#ifdef QX_QXLIB_FILE
TEST(LibraryBinding, BindsTheBuiltLibrary)
{
    auto r = bindLibrary(QX_QXLIB_FILE);
    EXPECT_TRUE(r.ok) << r.message;
    EXPECT_TRUE(r.functions.complete());
    // an installation without the development link has only this name
    EXPECT_EQ(std::string(kLibrarySoname).rfind(std::string(kLibraryName) + ".", 0), 0u);
}
#endif

TEST(SerialDevices, UsbAndAcmFirstThenByNumber)
{
    std::string dir = ::testing::TempDir() + "shell_serial_devices";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    for (const char *n : {"ttyS10", "ttyS2", "ttyUSB10", "ttyUSB2", "tty0", "ttyACM1", "null", "ttyS", "ttyUSB0x"})
        std::ofstream(dir + "/" + n).put('x');
    auto list = listSerialDevices(dir);
    // USB and ACM adapters first, the board's ttyS ports last
    std::vector<std::string> expected {dir + "/ttyUSB2", dir + "/ttyUSB10", dir + "/ttyACM1", dir + "/ttyS2",
                                       dir + "/ttyS10"};
    EXPECT_EQ(list, expected);
    std::filesystem::remove_all(dir);
}

TEST(FileFilter, PageFiltersBecomeQtFilters)
{
    EXPECT_EQ(fileDialogFilters("配置文件(*.txt)|*.txt|所有文件(*.*)|*.*||"),
              (std::vector<std::string> {"配置文件(*.txt)", "所有文件(*.*)"}));
    EXPECT_EQ(fileDialogFilters("工程文件(*.qprj)|*.qprj|源码文件(*.txt)|*.txt||"),
              (std::vector<std::string> {"工程文件(*.qprj)", "源码文件(*.txt)"}));
    // A description that does not name its patterns gets them; several
    // patterns are listed with blanks.
    EXPECT_EQ(fileDialogFilters("固件|*.bin||"), std::vector<std::string> {"固件 (*.bin)"});
    EXPECT_EQ(filterPatterns("Config files (*.txt)|*.txt|All files (*.*)|*.*||"),
              filterPatterns("配置文件(*.txt)|*.txt|所有文件(*.*)|*.*||"));
    EXPECT_EQ(filterPatterns("固件|*.bin||"), std::vector<std::string> {"*.bin"});
    EXPECT_EQ(fileDialogFilters("文本(*.txt;*.ini)|*.txt;*.ini||"),
              std::vector<std::string> {"文本(*.txt *.ini)"});
    EXPECT_EQ(fileDialogFilters("全部"), std::vector<std::string> {"全部 (*)"});
    EXPECT_TRUE(fileDialogFilters("").empty());
}

} // namespace
