// Driving libqxlib through its nine exports and the callback, as the port,
// simulator and end-to-end tests do: a recorder behind the EventCallback,
// settings blocks for each transport, request records and a UDP module.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "descriptors.h"
#include "qxlib.h"
#include "request_record.h"

namespace qxtest {

using namespace std::chrono_literals;

struct RecordedEvent
{
    void *port = nullptr;
    int32_t code = 0;
    std::vector<uint8_t> data; // a copy of the borrowed record
    std::thread::id thread;
};

// The callback copies every record it is handed; tests wait on conditions
// over the recorded list.
class EventLog
{
public:
    static EventLog &instance();
    static void callback(void *port, int32_t code, const void *data);

    void clear();
    std::vector<RecordedEvent> events() const;
    std::vector<RecordedEvent> events(int32_t code) const;
    // Waits until pred(events) holds; false after `limit`.
    bool waitFor(const std::function<bool(const std::vector<RecordedEvent> &)> &pred,
                 std::chrono::milliseconds limit = 10s);
    // Waits for the n-th event (1-based) with `code`; an empty copy on time-out.
    RecordedEvent waitForEvent(int32_t code, std::size_t n = 1,
                               std::chrono::milliseconds limit = 10s);
    // Waits for a connection event with `state`.
    bool waitForState(int32_t state, std::chrono::milliseconds limit = 10s);
    // A hook run inside the callback (on the library's thread) after recording.
    void setHook(std::function<void(const RecordedEvent &)> hook);

private:
    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<RecordedEvent> m_events;
    std::function<void(const RecordedEvent &)> m_hook;
};

int32_t stateOf(const RecordedEvent &event);
// The data bytes of a RegisterRecord (events 6, 8, 14 and 19), as long as
// its length field says.
Bytes registerData(const RecordedEvent &event);
std::vector<int32_t> statesOf(const std::vector<RecordedEvent> &events);

PortSettings tcpServerSettings(uint16_t listenPort);
PortSettings tcpClientSettings(uint16_t modulePort, const char *moduleAddress = "127.0.0.1",
                               const char *localAddress = "127.0.0.1");
PortSettings udpSettings(uint16_t modulePort, uint16_t localPort);
PortSettings serialSettings(const std::string &device, uint32_t baud = 9600, uint8_t dataBits = 8,
                            uint8_t parity = 0, uint8_t stopBits = 0);

qx::RequestRecord readRequest(uint8_t mode, uint8_t address, uint32_t start, uint32_t quantity);

// A module on a UDP loopback socket.
struct UdpPeer
{
    UdpPeer();
    ~UdpPeer();
    struct Datagram
    {
        bool received = false;
        std::vector<uint8_t> bytes;
        sockaddr_in from {};
    };
    Datagram receive(std::chrono::milliseconds limit = kWaitLimit);
    void send(const std::vector<uint8_t> &bytes, const sockaddr_in &to);
    Descriptor fd = kNoDescriptor;
    uint16_t port = 0;
};

// Calls DESTROY and leaves no current port, whatever a test did.
void resetLibrary();

// Tests that drive one port through the exports: a clean event log before,
// no current port after.
class PortTest : public ::testing::Test
{
protected:
    void SetUp() override { EventLog::instance().clear(); }
    void TearDown() override { resetLibrary(); }

    intptr_t create(const PortSettings &settings)
    {
        intptr_t handle = 0;
        EXPECT_EQ(DLL_API_OBJ_CREATE(settings, &EventLog::callback, &handle), 0);
        return handle;
    }
    static void put(intptr_t handle, int slot, const qx::RequestRecord &r, int length)
    {
        EXPECT_EQ(DLL_API_OBJ_CMD(handle, slot, r.data(), length), 0);
    }
};

} // namespace qxtest
