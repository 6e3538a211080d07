// The traffic log's contents without the pane (line breaks, the 100-line
// rule, what waits for the next frame, the saved text) and which values kept
// from an earlier run still fit the connection page.
#include <gtest/gtest.h>

#include <regex>

#include "kept_values.h"
#include "traffic_log.h"

namespace {

using namespace qx;

const TrafficLog::Clock::time_point kAt = TrafficLog::Clock::now();

TEST(TrafficLog, SplitsAtEveryBreakAndContinuesAnOpenLine)
{
    TrafficLog log;
    log.append("a\r\nb", kAt);
    log.append("c\rd\n\n", kAt);
    EXPECT_EQ(log.lineCount(), 4u);
    const TrafficLog::Insertion pending = log.takePending();
    EXPECT_FALSE(pending.clearFirst);
    EXPECT_EQ(pending.text, "a\nbc\nd\n\n");
    EXPECT_FALSE(log.hasPending());
}

TEST(TrafficLog, EmptiesAboveOneHundredLinesAndDropsWhatWaited)
{
    TrafficLog log;
    for (int i = 0; i < 101; ++i)
        log.appendLibraryLine("line\r\n", kAt);
    EXPECT_EQ(log.lineCount(), 101u);
    log.appendLibraryLine("last\r\n", kAt);
    EXPECT_EQ(log.lineCount(), 1u);
    const TrafficLog::Insertion pending = log.takePending();
    EXPECT_TRUE(pending.clearFirst);
    EXPECT_EQ(pending.text, "last\n");
    log.append("x\n", kAt);
    log.clear();
    EXPECT_FALSE(log.hasPending());
    EXPECT_EQ(log.lineCount(), 0u);
}

TEST(TrafficLog, SavesEachLineWithTheLocalTimeItWasAdded)
{
    TrafficLog log;
    const auto first = TrafficLog::Clock::now();
    const auto later = first + std::chrono::milliseconds(1500);
    log.append("发送数据(HEX): 01 03\r\n", first);
    log.append("接收", later);
    log.append("数据\r\n", later + std::chrono::hours(1)); // the line's time is when it began
    const std::string saved = log.savedText();
    EXPECT_EQ(saved, localTimeStamp(first) + " 发送数据(HEX): 01 03\n" + localTimeStamp(later) + " 接收数据\n");
    EXPECT_TRUE(std::regex_match(localTimeStamp(first), std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3})")));
    EXPECT_NE(localTimeStamp(first), localTimeStamp(later));
}

TEST(KeptValues, OnlyWhatThePageWouldTakeFits)
{
    EXPECT_EQ(keptTransport("0"), ConnectionKind::TcpServer);
    EXPECT_EQ(keptTransport("3"), ConnectionKind::Serial);
    for (const char *gone : {"", "4", "-1", "01", "serial"})
        EXPECT_FALSE(keptValueFits(KeptField::Transport, gone)) << gone;
    EXPECT_TRUE(keptValueFits(KeptField::Ipv4, "192.168.0.105"));
    EXPECT_FALSE(keptValueFits(KeptField::Ipv4, "192.168.0"));
    EXPECT_FALSE(keptValueFits(KeptField::Ipv4, "300.1.1.1"));
    EXPECT_TRUE(keptValueFits(KeptField::Port, "502"));
    EXPECT_FALSE(keptValueFits(KeptField::Port, "65536"));
    EXPECT_FALSE(keptValueFits(KeptField::Port, ""));
    EXPECT_TRUE(keptValueFits(KeptField::ModbusAddress, "247"));
    EXPECT_FALSE(keptValueFits(KeptField::ModbusAddress, "0"));
    EXPECT_FALSE(keptValueFits(KeptField::ModbusAddress, "248"));
}

} // namespace
