// What the shell reads of its own events (statistics, identity, connection)
// and how it hands the module's events to the pages' registrations.
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "byte_io.h"
#include "connection_event.h"
#include "event_codes.h"
#include "event_records.h"
#include "gbk.h"
#include "identity_record.h"
#include "page_hooks.h"
#include "statistics_record.h"

namespace {

using namespace qx;

TEST(PageHooks, RegistrationRemovesOnlyItsOwnHandler)
{
    PageHooks hooks;
    std::vector<std::string> calls;
    const uint8_t record[4] = {};
    auto old = hooks.add(kEventInputs, [&](const uint8_t *) { calls.push_back("old"); });
    PageHooks::Registration replacement =
        hooks.add(kEventInputs, [&](const uint8_t *) { calls.push_back("new"); });
    auto other = hooks.add(kEventCoils, [&](const uint8_t *) { calls.push_back("coils"); });
    hooks.dispatch(kEventInputs, record);
    EXPECT_EQ(calls, (std::vector<std::string> {"old", "new"}));

    // the page that registered first goes: its replacement stays
    old.reset();
    calls.clear();
    hooks.dispatch(kEventInputs, record);
    EXPECT_EQ(calls, (std::vector<std::string> {"new"}));

    // a handler that removes a later one of the same event: that one is not called
    PageHooks::Registration later;
    auto first = hooks.add(kEventCoils, [&](const uint8_t *) { later.reset(); });
    later = hooks.add(kEventCoils, [&](const uint8_t *) { calls.push_back("later"); });
    calls.clear();
    hooks.dispatch(kEventCoils, record);
    EXPECT_EQ(calls, (std::vector<std::string> {"coils"}));
    EXPECT_EQ(hooks.handlers(kEventCoils), 2u);
    {
        PageHooks::Registration moved = std::move(replacement);
    }
    EXPECT_EQ(hooks.handlers(kEventInputs), 0u);
}

TEST(StatisticsText, CountersAndGbkLogLine)
{
    std::vector<uint8_t> r(StatisticsLayout::kSize, 0);
    putU32le(r.data(), StatisticsLayout::kTxCmd, 12);
    putU32le(r.data(), StatisticsLayout::kRxCmd, 11);
    putU32le(r.data(), StatisticsLayout::kPendingCmd, 1);
    putU32le(r.data(), StatisticsLayout::kTxByte, 4000000000u);
    putU32le(r.data(), StatisticsLayout::kRxByte, 99);
    for (uint32_t i = 0; i < 6; ++i)
        putU32le(r.data(), StatisticsLayout::kResponseClass + 4 * i, i + 1);
    std::string gbk = utf8ToGbk("发送数据(HEX): 01 11");
    std::memcpy(r.data() + StatisticsLayout::kLogText, gbk.data(), gbk.size());
    putU32le(r.data(), StatisticsLayout::kLogLength, static_cast<uint32_t>(gbk.size()));
    auto v = readStatistics(r.data());
    std::array<std::string, 10> expected {"12", "11", "4000000000", "99", "1", "2", "3", "4", "5", "6"};
    EXPECT_EQ(v.counters, expected);
    ASSERT_TRUE(v.hasLogLine);
    EXPECT_EQ(v.logLine, "发送数据(HEX): 01 11\r\n");
}

TEST(StatisticsText, ClearedRecordHasNoLine)
{
    std::vector<uint8_t> r(StatisticsLayout::kSize, 0);
    auto v = readStatistics(r.data());
    EXPECT_FALSE(v.hasLogLine);
    for (const auto &c : v.counters)
        EXPECT_EQ(c, "0");
}

TEST(StatisticsText, UnterminatedLogTextStopsAtTheField)
{
    std::vector<uint8_t> r(StatisticsLayout::kSize, 'A');
    putU32le(r.data(), StatisticsLayout::kLogLength, 5);
    auto v = readStatistics(r.data());
    EXPECT_EQ(v.logLine.size(), StatisticsLayout::kLogTextSize + 2);
}

TEST(IdentityText, FieldsFromGbkAndSeriesFormat)
{
    std::vector<uint8_t> r(IdentityLayout::kSize, 0);
    auto put = [&](std::size_t off, std::size_t size, const std::string &utf8) {
        putText(r.data(), off, size, utf8ToGbk(utf8).c_str());
    };
    put(IdentityLayout::kDriverVersion, 32, "Ver2.1");
    put(IdentityLayout::kFirmwareVersion, 32, "Ver3.4");
    put(IdentityLayout::kModelName, 32, "QX-8A8D");
    put(IdentityLayout::kDescription, 256, "8路模拟量输入,8路数字量输出");
    put(IdentityLayout::kSerialNumber, 32, "2024031500001");
    put(IdentityLayout::kFactoryDate, 33, "2024-03-15");
    r[IdentityLayout::kSeries] = 7;
    auto v = readIdentity(r.data());
    EXPECT_EQ(v.driverVersion, "Ver2.1");
    EXPECT_EQ(v.firmwareVersion, "Ver3.4");
    EXPECT_EQ(v.modelName, "QX-8A8D");
    EXPECT_EQ(v.description, "8路模拟量输入,8路数字量输出");
    EXPECT_EQ(v.serialNumber, "2024031500001");
    EXPECT_EQ(v.factoryDate, "2024-03-15");
    EXPECT_EQ(v.series, "0x07");
    r[IdentityLayout::kSeries] = 12;
    EXPECT_EQ(readIdentity(r.data()).series, "0x012");
}

TEST(ConnectionText, PeerAddressAndPort)
{
    std::vector<uint8_t> r(ConnectionLayout::kSize, 0);
    putU32le(r.data(), ConnectionLayout::kTransportType, 0);
    putI32le(r.data(), ConnectionLayout::kState, kStatePeerConnected);
    putText(r.data(), ConnectionLayout::kPeerAddress, 64, "127.0.0.1");
    putU16le(r.data(), ConnectionLayout::kPeerPort, 50123);
    auto v = readConnection(r.data());
    EXPECT_EQ(v.state, kStatePeerConnected);
    EXPECT_EQ(v.peer, "127.0.0.1:50123");
}

} // namespace
