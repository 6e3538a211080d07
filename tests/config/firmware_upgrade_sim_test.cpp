// The firmware upgrade's driver through QXLIB into the running qxsim, over
// Modbus TCP and over RTU on a pseudo-terminal: the image qxsim assembled
// (its bios.bin) must begin with the image byte for byte, also when answers
// are lost and parts refused on the way.
#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "byte_io.h"
#include "connection_event.h"
#include "event_codes.h"
#include "event_records.h"
#include "firmware_upgrade.h"
#include "qxlib.h"
#include "qxlib_harness.h"
#include "qxsim_process.h"
#include "temp_dir.h"

namespace qx {
namespace {

using qxtest::QxsimProcess;
using qxtest::TempDir;

// Events 16 and 17 read as the shell reads them, kept until the driver asks.
class AckQueue
{
public:
    static AckQueue &instance()
    {
        static AckQueue q;
        return q;
    }
    static void callback(void *, int32_t code, const void *data)
    {
        AckQueue &q = instance();
        const auto *r = static_cast<const uint8_t *>(data);
        std::lock_guard lock(q.m_lock);
        if (code == kEventConnection && getI32le(r, ConnectionLayout::kState) == kStateRunning)
            q.m_running = true;
        else if (code == kEventBiosPacket || code == kEventFirmwarePacket)
            q.m_acks.push_back({code, readTransferStep(code, r).nextPart});
        else
            return;
        q.m_changed.notify_all();
    }
    std::optional<FirmwareAck> next(int waitMs)
    {
        std::unique_lock lock(m_lock);
        if (!m_changed.wait_for(lock, std::chrono::milliseconds(waitMs), [&] { return !m_acks.empty(); }))
            return std::nullopt;
        const FirmwareAck ack = m_acks.front();
        m_acks.pop_front();
        return ack;
    }
    bool waitRunning()
    {
        std::unique_lock lock(m_lock);
        return m_changed.wait_for(lock, std::chrono::seconds(5), [&] { return m_running; });
    }
    void clear()
    {
        std::lock_guard lock(m_lock);
        m_acks.clear();
        m_running = false;
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<FirmwareAck> m_acks;
    bool m_running = false;
};

std::vector<uint8_t> pattern(std::size_t n)
{
    std::vector<uint8_t> b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = static_cast<uint8_t>((i * 13 + i / 1024) % 241);
    return b;
}

class UpgradeQxsim : public ::testing::TestWithParam<bool>
{
protected:
    void start(std::vector<std::string> args)
    {
        AckQueue::instance().clear();
        args.insert(args.end(), {"--state", m_dir.path.string()});
        args.insert(args.end(), GetParam() ? std::initializer_list<std::string> {"--pty"}
                                           : std::initializer_list<std::string> {"--tcp", "0"});
        m_sim = std::make_unique<QxsimProcess>(args);
        ASSERT_FALSE(m_sim->lines().empty());
        const PortSettings settings = GetParam()
            ? qxtest::serialSettings(m_sim->ptyPath(), 115200)
            : qxtest::tcpClientSettings(static_cast<uint16_t>(m_sim->port("listening tcp")));
        ASSERT_EQ(DLL_API_OBJ_CREATE(settings, &AckQueue::callback, &m_handle), 0);
        ASSERT_EQ(DLL_API_OBJ_RUN(m_handle), 0);
        ASSERT_TRUE(AckQueue::instance().waitRunning());
    }
    void TearDown() override
    {
        if (m_handle != 0)
            DLL_API_OBJ_DESTROY(m_handle);
        m_sim.reset();
    }

    // Runs the transfer to its end; the parts placed are kept in `placed`.
    // Where answers are lost on purpose the timer is shorter than the page's,
    // to keep the test quick (a TCP part takes about a second to go out).
    FirmwareStep run(FirmwareUpgrade &u, int timerMs = kFirmwareAckTimeoutMs)
    {
        FirmwareLink link;
        link.place = [&](const FirmwareStep &s) {
            placed.push_back(s.part);
            const RequestRecord r = transferRequest(s.payload, 1);
            DLL_API_OBJ_RXBUFF_CLR(m_handle);
            DLL_API_OBJ_CMD(m_handle, s.transferKind, r.data(), RequestLength::kTransferPacket);
        };
        link.waitAck = [](int ms) { return AckQueue::instance().next(ms); };
        return runUpgrade(u, u.start(), link, timerMs);
    }
    std::vector<uint8_t> assembled() const
    {
        std::ifstream in(m_dir.path / "bios.bin", std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    TempDir m_dir;
    std::unique_ptr<QxsimProcess> m_sim;
    intptr_t m_handle = 0;
    std::vector<uint16_t> placed;
};

TEST_P(UpgradeQxsim, ImageOf2500BytesArrivesInThreeParts)
{
    start({});
    const std::vector<uint8_t> image = pattern(2500);
    FirmwareUpgrade u;
    ASSERT_TRUE(u.loadImage(image, "qx_bios.bin").ok);
    const FirmwareStep end = run(u);
    EXPECT_TRUE(end.success) << end.message;
    EXPECT_EQ(placed, (std::vector<uint16_t> {0, 1, 2}));
    std::vector<uint8_t> expected = image;
    expected.resize(3 * 1024, kFirmwareFill);
    EXPECT_EQ(assembled(), expected);
}

TEST_P(UpgradeQxsim, LostAndRefusedAnswersStillGiveTheSameImage)
{
    start({"--drop-every", "3", "--drop-part", "1", "--refuse-part", "2"});
    const std::vector<uint8_t> image = pattern(4100);
    FirmwareUpgrade u;
    ASSERT_TRUE(u.loadImage(image, "qx_bios.bin").ok);
    const FirmwareStep end = run(u, 1500);
    EXPECT_TRUE(end.success) << end.message;
    EXPECT_GT(placed.size(), 5u);
    const std::vector<uint8_t> stored = assembled();
    ASSERT_GE(stored.size(), image.size());
    EXPECT_TRUE(std::equal(image.begin(), image.end(), stored.begin()));
}

INSTANTIATE_TEST_SUITE_P(Framing, UpgradeQxsim, ::testing::Values(false, true),
                         [](const auto &info) { return info.param ? "Rtu" : "Tcp"; });

} // namespace
} // namespace qx
