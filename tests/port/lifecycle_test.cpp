// The port object's life through the exports: CREATE, RUN, STOP, DESTROY, the
// shared slot operations, the statistics and the log lines. A UDP peer plays
// the module, so every request is seen as the datagram the module gets.
#include <atomic>
#include <future>

#include <gtest/gtest.h>

#include "byte_io.h"
#include "connection_event.h"
#include "event_codes.h"
#include "gbk.h"
#include "port_settings.h"
#include "qxlib_harness.h"
#include "response_records.h"
#include "statistics_record.h"

using namespace qxtest;
namespace SL = qx::StatisticsLayout;

namespace {

const std::vector<uint8_t> kReadTwoHolding {0, 0, 0, 0, 0, 6, 1, 3, 0, 0, 0, 2};

uint32_t counter(const RecordedEvent &e, std::size_t offset)
{
    return qx::getU32le(e.data.data(), offset);
}

std::string logText(const RecordedEvent &e)
{
    const uint32_t length = counter(e, SL::kLogLength);
    return std::string(reinterpret_cast<const char *>(e.data.data() + SL::kLogText), length);
}

class PortLifecycle : public PortTest
{
protected:
    intptr_t createUdp(const UdpPeer &peer)
    {
        return create(udpSettings(peer.port, freePort(SOCK_DGRAM)));
    }
};

using Statistics = PortLifecycle;
using Commands = PortLifecycle;

} // namespace

TEST_F(PortLifecycle, TypeFourLeavesNoPortAndEveryExportIsHarmless)
{
    intptr_t handle = 0;
    PortSettings none {};
    none.word[0] = qx::kTransportNone;
    EXPECT_EQ(DLL_API_OBJ_CREATE(none, &EventLog::callback, &handle), -1);
    ASSERT_NE(handle, 0);
    // the handle designates the current-port pointer, which is now null
    EXPECT_EQ(*reinterpret_cast<void *const *>(handle), nullptr);

    const qx::RequestRecord r = readRequest(qx::kModeRepeat, 1, 0, 8);
    EXPECT_EQ(DLL_API_OBJ_RUN(handle), 0);
    EXPECT_EQ(DLL_API_OBJ_CMD(handle, 8, r.data(), qx::RequestLength::kRead), 0);
    DLL_API_OBJ_RXBUFF_CLR(handle);
    EXPECT_EQ(DLL_API_OBJ_CMD_STOP_ALL(handle), 0);
    EXPECT_EQ(DLL_API_OBJ_CLR_STATIS(handle), 0);
    EXPECT_EQ(DLL_API_OBJ_QUERY(handle), 0);
    EXPECT_EQ(DLL_API_OBJ_STOP(handle), 0);
    EXPECT_EQ(DLL_API_OBJ_DESTROY(handle), 0);
    EXPECT_TRUE(EventLog::instance().events().empty());

    UdpPeer peer;
    intptr_t again = createUdp(peer);
    EXPECT_EQ(again, handle);
    EXPECT_NE(*reinterpret_cast<void *const *>(again), nullptr);
    EXPECT_EQ(sizeof handle, sizeof(void *));
}

TEST_F(PortLifecycle, CreateTwiceSilencesTheFirstPort)
{
    UdpPeer first;
    UdpPeer second;
    const intptr_t handle = createUdp(first);
    put(handle, 8, readRequest(qx::kModeRepeat, 1, 0, 2), qx::RequestLength::kRead);
    ASSERT_EQ(DLL_API_OBJ_RUN(handle), 0);
    ASSERT_TRUE(first.receive().received);
    ASSERT_TRUE(EventLog::instance().waitForState(qx::kStateRunning));

    createUdp(second);
    const std::size_t atCreate = EventLog::instance().events().size();
    while (first.receive(0ms).received) {
        // requests the first port wrote before CREATE returned
    }

    put(handle, 8, readRequest(qx::kModeRepeat, 1, 0, 2), qx::RequestLength::kRead);
    // nothing at all was reported between CREATE and the second RUN
    EXPECT_EQ(EventLog::instance().events().size(), atCreate);
    ASSERT_EQ(DLL_API_OBJ_RUN(handle), 0);
    for (int i = 0; i < 3; ++i) {
        const UdpPeer::Datagram d = second.receive();
        ASSERT_TRUE(d.received);
        EXPECT_EQ(d.bytes, kReadTwoHolding);
        second.send(mbap(1, {3, 4, 0, 1, 0, 2}), d.from);
    }
    EXPECT_NE(EventLog::instance().waitForEvent(qx::kEventHoldingRegisters, 3).port, nullptr);
    EXPECT_FALSE(first.receive(0ms).received);
}

TEST_F(PortLifecycle, StoppedPortKeepsTakingCommandsAndRunsAgain)
{
    UdpPeer peer;
    const intptr_t handle = createUdp(peer);
    ASSERT_EQ(DLL_API_OBJ_RUN(handle), 0);
    ASSERT_TRUE(EventLog::instance().waitForState(qx::kStateRunning));
    EXPECT_EQ(DLL_API_OBJ_STOP(handle), 0);
    EXPECT_EQ(DLL_API_OBJ_DESTROY(handle), 0);

    // an unknown transport type keeps the stopped port as the current one
    PortSettings odd = udpSettings(peer.port, 0);
    odd.word[0] = 9;
    intptr_t same = 0;
    EXPECT_EQ(DLL_API_OBJ_CREATE(odd, &EventLog::callback, &same), 0);
    EXPECT_EQ(same, handle);

    put(handle, 8, readRequest(qx::kModeCounted, 1, 0, 2), qx::RequestLength::kRead);
    ASSERT_EQ(DLL_API_OBJ_RUN(handle), 0);
    const UdpPeer::Datagram d = peer.receive();
    ASSERT_TRUE(d.received);
    EXPECT_EQ(d.bytes, kReadTwoHolding);
    EXPECT_EQ(statesOf(EventLog::instance().events()),
              (std::vector<int32_t> {qx::kStateRunning, qx::kStateRunning}));
}

TEST_F(Commands, SlotAndLengthOutOfRangeAreIgnored)
{
    UdpPeer peer;
    const intptr_t handle = createUdp(peer);
    const qx::RequestRecord holding = readRequest(qx::kModeRepeat, 1, 0, 2);
    put(handle, 72, holding, qx::RequestLength::kRead);
    put(handle, -1, holding, qx::RequestLength::kRead);
    put(handle, 8, holding, 2049);
    put(handle, 4, readRequest(qx::kModeRepeat, 1, 0, 8), qx::RequestLength::kRead);
    ASSERT_EQ(DLL_API_OBJ_RUN(handle), 0);
    for (int i = 0; i < 3; ++i) {
        const UdpPeer::Datagram d = peer.receive();
        ASSERT_TRUE(d.received);
        EXPECT_EQ(d.bytes, (std::vector<uint8_t> {0, 0, 0, 0, 0, 6, 1, 1, 0, 0, 0, 8}));
        peer.send(mbap(1, {1, 1, 0x5a}), d.from);
    }
}

TEST_F(Commands, StopAllSilencesEverySlot)
{
    UdpPeer peer;
    const intptr_t handle = createUdp(peer);
    put(handle, 8, readRequest(qx::kModeRepeat, 1, 0, 2), qx::RequestLength::kRead);
    ASSERT_EQ(DLL_API_OBJ_RUN(handle), 0);
    ASSERT_TRUE(peer.receive().received);
    EXPECT_EQ(DLL_API_OBJ_CMD_STOP_ALL(handle), 0);
    // the pacing allows a new request after 1000 ms; none comes
    while (peer.receive(0ms).received) {
    }
    EXPECT_FALSE(peer.receive(1500ms).received);
}

TEST_F(Statistics, LogLinesAndCountersByteForByte)
{
    UdpPeer peer;
    const intptr_t handle = createUdp(peer);
    put(handle, 8, readRequest(qx::kModeCounted, 1, 0, 2), qx::RequestLength::kRead);
    ASSERT_EQ(DLL_API_OBJ_RUN(handle), 0);
    const UdpPeer::Datagram d = peer.receive();
    ASSERT_TRUE(d.received);
    ASSERT_EQ(d.bytes, kReadTwoHolding);

    const RecordedEvent sent = EventLog::instance().waitForEvent(qx::kEventLog, 1);
    ASSERT_EQ(sent.code, qx::kEventLog);
    const std::string sentHeader = qx::utf8ToGbk("发送数据(HEX):");
    ASSERT_EQ(sentHeader.size(), 14u);
    EXPECT_EQ(logText(sent), sentHeader + " 00 00 00 00 00 06 01 03 00 00 00 02");
    EXPECT_EQ(counter(sent, SL::kLogLength), 14u + 3u * 12u);
    EXPECT_EQ(sent.data[SL::kLogText + 14 + 36], 0);
    EXPECT_EQ(counter(sent, SL::kTxCmd), 1u);
    EXPECT_EQ(counter(sent, SL::kRxCmd), 0u);
    EXPECT_EQ(counter(sent, SL::kPendingCmd), 1u);
    EXPECT_EQ(counter(sent, SL::kTxByte), 12u);
    EXPECT_EQ(counter(sent, SL::kRxByte), 0u);
    EXPECT_EQ(counter(sent, 0), 0u);
    EXPECT_EQ(counter(sent, 4), 0u);
    EXPECT_NE(sent.thread, std::this_thread::get_id());

    peer.send(mbap(1, {3, 4, 0, 0x2a, 1, 0}), d.from);
    const RecordedEvent holding = EventLog::instance().waitForEvent(qx::kEventHoldingRegisters);
    ASSERT_EQ(holding.code, qx::kEventHoldingRegisters);
    EXPECT_EQ(qx::getI32le(holding.data.data(), qx::RegisterRecordLayout::kLength), 4);
    EXPECT_EQ(std::vector<uint8_t>(holding.data.begin() + qx::RegisterRecordLayout::kData,
                                   holding.data.begin() + qx::RegisterRecordLayout::kData + 4),
              (std::vector<uint8_t> {0, 0x2a, 1, 0}));

    const RecordedEvent received = EventLog::instance().waitForEvent(qx::kEventLog, 2);
    ASSERT_EQ(received.code, qx::kEventLog);
    EXPECT_EQ(logText(received),
              qx::utf8ToGbk("接收数据(HEX):") + " 00 00 00 00 00 07 01 03 04 00 2a 01 00");
    EXPECT_EQ(counter(received, SL::kTxCmd), 1u);
    EXPECT_EQ(counter(received, SL::kRxCmd), 1u);
    EXPECT_EQ(counter(received, SL::kPendingCmd), 0u);
    EXPECT_EQ(counter(received, SL::kTxByte), 12u);
    EXPECT_EQ(counter(received, SL::kRxByte), 13u);
    uint32_t classes = 0;
    for (std::size_t i = 0; i < SL::kResponseClassCount; ++i)
        classes += counter(received, SL::kResponseClass + 4 * i);
    EXPECT_EQ(classes, 1u);

    // the decoded response is reported before its log line
    const auto all = EventLog::instance().events();
    std::vector<int32_t> codes;
    for (const RecordedEvent &e : all)
        codes.push_back(e.code);
    EXPECT_EQ(codes, (std::vector<int32_t> {qx::kEventConnection, qx::kEventLog,
                                            qx::kEventHoldingRegisters, qx::kEventLog}));
}

TEST_F(Statistics, ClearDeliversZerosAtOnceAndCountingRestarts)
{
    UdpPeer peer;
    const intptr_t handle = createUdp(peer);
    put(handle, 8, readRequest(qx::kModeCounted, 1, 0, 2), qx::RequestLength::kRead);
    ASSERT_EQ(DLL_API_OBJ_RUN(handle), 0);
    UdpPeer::Datagram d = peer.receive();
    ASSERT_TRUE(d.received);
    peer.send(mbap(1, {3, 4, 0, 0x2a, 1, 0}), d.from);
    ASSERT_EQ(EventLog::instance().waitForEvent(qx::kEventLog, 2).code, qx::kEventLog);

    EXPECT_EQ(DLL_API_OBJ_CLR_STATIS(handle), 0);
    const RecordedEvent cleared = EventLog::instance().events().back();
    ASSERT_EQ(cleared.code, qx::kEventLog);
    EXPECT_EQ(cleared.thread, std::this_thread::get_id());
    EXPECT_EQ(std::vector<uint8_t>(cleared.data.begin(), cleared.data.begin() + SL::kLogText),
              std::vector<uint8_t>(SL::kLogText, 0));

    put(handle, 8, readRequest(qx::kModeCounted, 1, 0, 2), qx::RequestLength::kRead);
    d = peer.receive();
    ASSERT_TRUE(d.received);
    const RecordedEvent next = EventLog::instance().waitForEvent(qx::kEventLog, 4);
    EXPECT_EQ(counter(next, SL::kTxCmd), 1u);
    EXPECT_EQ(counter(next, SL::kRxCmd), 0u);
    EXPECT_EQ(counter(next, SL::kTxByte), 12u);
    EXPECT_EQ(counter(next, SL::kRxByte), 0u);
}

TEST_F(PortLifecycle, DestroyReturnsWhileTheCallbackIsHeld)
{
    UdpPeer peer;
    // shared with the hook: the abandoned worker may still run it when the
    // test body has returned
    struct Gate
    {
        std::promise<void> entered;
        std::promise<void> release;
        std::shared_future<void> released {release.get_future().share()};
        std::atomic<bool> once {false};
        std::atomic<bool> left {false};
    };
    auto gate = std::make_shared<Gate>();
    EventLog::instance().setHook([gate](const RecordedEvent &e) {
        // the host's GUI thread is busy with DESTROY while this waits for it
        if (e.code == qx::kEventHoldingRegisters && !gate->once.exchange(true)) {
            gate->entered.set_value();
            gate->released.wait();
            gate->left = true;
        }
    });
    const intptr_t handle = createUdp(peer);
    put(handle, 8, readRequest(qx::kModeRepeat, 1, 0, 2), qx::RequestLength::kRead);
    ASSERT_EQ(DLL_API_OBJ_RUN(handle), 0);
    const UdpPeer::Datagram d = peer.receive();
    ASSERT_TRUE(d.received);
    peer.send(mbap(1, {3, 4, 0, 0x2a, 1, 0}), d.from);
    gate->entered.get_future().wait();

    EXPECT_EQ(DLL_API_OBJ_DESTROY(handle), 0);
    const std::size_t atDestroy = EventLog::instance().events().size();
    // the port is set aside while its worker still sits in the callback
    PortSettings none {};
    none.word[0] = qx::kTransportNone;
    intptr_t h = 0;
    DLL_API_OBJ_CREATE(none, nullptr, &h);
    gate->release.set_value();

    // a new port runs a full round; the old one stays silent meanwhile
    UdpPeer next;
    const intptr_t again = createUdp(next);
    put(again, 8, readRequest(qx::kModeCounted, 1, 0, 2), qx::RequestLength::kRead);
    ASSERT_EQ(DLL_API_OBJ_RUN(again), 0);
    const UdpPeer::Datagram n = next.receive();
    ASSERT_TRUE(n.received);
    next.send(mbap(1, {3, 4, 0, 7, 0, 8}), n.from);
    EventLog::instance().waitFor(
        [&](const std::vector<RecordedEvent> &events) { return events.size() >= atDestroy + 4; });
    const auto all = EventLog::instance().events();
    std::vector<int32_t> after;
    for (std::size_t i = atDestroy; i < all.size(); ++i)
        after.push_back(all[i].code);
    EXPECT_EQ(after, (std::vector<int32_t> {qx::kEventConnection, qx::kEventLog,
                                            qx::kEventHoldingRegisters, qx::kEventLog}));
    // the held worker gets out of the callback once the host lets it go
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!gate->left && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
    EXPECT_TRUE(gate->left);
    // and ends without sending the old port's module another request
    EXPECT_FALSE(peer.receive(500ms).received);
}

TEST_F(PortLifecycle, StopFromInsideTheCallbackEndsTheWorker)
{
    UdpPeer peer;
    struct Gate
    {
        std::promise<int32_t> stopped;
        std::atomic<bool> once {false};
    };
    auto gate = std::make_shared<Gate>();
    EventLog::instance().setHook([gate](const RecordedEvent &e) {
        if (e.code == qx::kEventHoldingRegisters && !gate->once.exchange(true))
            gate->stopped.set_value(DLL_API_OBJ_STOP(0));
    });
    const intptr_t handle = createUdp(peer);
    put(handle, 8, readRequest(qx::kModeRepeat, 1, 0, 2), qx::RequestLength::kRead);
    ASSERT_EQ(DLL_API_OBJ_RUN(handle), 0);
    const UdpPeer::Datagram d = peer.receive();
    ASSERT_TRUE(d.received);
    peer.send(mbap(1, {3, 4, 0, 0x2a, 1, 0}), d.from);
    std::future<int32_t> result = gate->stopped.get_future();
    ASSERT_EQ(result.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(result.get(), 0);
    // no log line for the response, no further request
    EXPECT_FALSE(peer.receive(1500ms).received);
    EXPECT_EQ(EventLog::instance().events().back().code, qx::kEventHoldingRegisters);
}
