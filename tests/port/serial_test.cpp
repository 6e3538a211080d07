// The serial transport over pseudo-terminals: libmodbus as an RTU module on
// the master side, scripted modules for framing across reads and garbage, and
// the line settings as the driver holds them.
#include <cstring>

#include <gtest/gtest.h>

#include <termios.h>
#include <unistd.h>

#include "byte_io.h"
#include "connection_event.h"
#include "crc16.h"
#include "event_codes.h"
#include "modbus_peer.h"
#include "port_settings.h"
#include "pseudo_terminal.h"
#include "qxlib_harness.h"
#include "response_records.h"
#include "serial_probe.h"
#include "statistics_record.h"

using namespace qxtest;

namespace {

class Serial : public PortTest
{
protected:
    void SetUp() override
    {
        PortTest::SetUp();
        ASSERT_GE(pty.master, 0);
    }

    PtyPair pty;
};

using SerialRtu = Serial;
using SerialFraming = Serial;
using SerialLine = Serial;

const std::vector<uint8_t> kReadOneHolding {1, 3, 0, 0, 0, 1, 0x84, 0x0a};

} // namespace

TEST_F(SerialRtu, LibmodbusModuleIsReadAndWritten)
{
    ModbusPeer module(pty.master, 1);
    // a name that is not a path is taken under /dev/
    const std::string name = pty.slavePath.substr(std::strlen("/dev/"));
    intptr_t handle = 0;
    runLibmodbusScenario(module, serialSettings(name, 115200), handle);
    EXPECT_EQ(DLL_API_OBJ_STOP(handle), 1);
}

TEST_F(SerialRtu, LongPacketReachesTheModuleWhole)
{
    // purging the output right after write() would drop a request the driver
    // has not passed on yet; a 1032-byte BIOS packet must arrive complete
    const intptr_t handle = create(serialSettings(pty.slavePath));
    std::vector<uint8_t> payload(1028);
    for (std::size_t i = 0; i < payload.size(); ++i)
        payload[i] = static_cast<uint8_t>(i);
    qx::RequestRecord r = readRequest(qx::kModeCounted, 7, 0xffff, 0xffff);
    r.setPayload(payload.data(), payload.size());
    put(handle, 16, r, qx::RequestLength::kTransferPacket);
    ASSERT_EQ(DLL_API_OBJ_RUN(handle), 0);
    const std::vector<uint8_t> request = readExactly(pty.master, 1032);
    ASSERT_EQ(request.size(), 1032u);
    EXPECT_EQ(request[0], 7);
    EXPECT_EQ(request[1], 0x43);
    EXPECT_TRUE(std::equal(payload.begin(), payload.end(), request.begin() + 2));
    EXPECT_TRUE(qx::crcMatchesLowFirst(request.data(), request.size()));
    writeAll(pty.master, rtu({7, 0x43, 0, 0, 1}));
    const RecordedEvent ack = EventLog::instance().waitForEvent(qx::kEventBiosPacket);
    ASSERT_EQ(ack.code, qx::kEventBiosPacket);
    EXPECT_EQ(qx::getI32le(ack.data.data(), qx::TransferReplyLayout::kValue), 1);
}

TEST_F(SerialFraming, ResponseSplitAcrossReadsFormsOneFrame)
{
    const intptr_t handle = create(serialSettings(pty.slavePath));
    put(handle, 8, readRequest(qx::kModeCounted, 1, 0, 1), qx::RequestLength::kRead);
    ASSERT_EQ(DLL_API_OBJ_RUN(handle), 0);
    ASSERT_EQ(readExactly(pty.master, 8), kReadOneHolding);
    const std::vector<uint8_t> response = rtu({1, 3, 2, 0, 0x2a});
    writeAll(pty.master, {response.begin(), response.begin() + 3});
    // the tool has read the first part before the rest arrives
    std::this_thread::sleep_for(50ms);
    writeAll(pty.master, {response.begin() + 3, response.end()});
    const RecordedEvent holding = EventLog::instance().waitForEvent(qx::kEventHoldingRegisters);
    ASSERT_EQ(holding.code, qx::kEventHoldingRegisters);
    EXPECT_EQ(registerData(holding), (std::vector<uint8_t> {0, 0x2a}));
    const RecordedEvent logged = EventLog::instance().waitForEvent(qx::kEventLog, 2);
    EXPECT_EQ(qx::getU32le(logged.data.data(), qx::StatisticsLayout::kRxByte), 7u);
}

// Garbage before an answer spoils it; it is dropped when the next request
// goes out, so the answer to that one is delivered.
TEST_F(SerialFraming, GarbageIsDroppedWhenTheNextRequestGoesOut)
{
    const intptr_t handle = create(serialSettings(pty.slavePath));
    put(handle, 8, readRequest(qx::kModeRepeat, 1, 0, 1), qx::RequestLength::kRead);
    ASSERT_EQ(DLL_API_OBJ_RUN(handle), 0);
    ASSERT_EQ(readExactly(pty.master, 8), kReadOneHolding);
    std::vector<uint8_t> spoiled {0xee};
    const std::vector<uint8_t> lost = rtu({1, 3, 2, 0x11, 0x11});
    spoiled.insert(spoiled.end(), lost.begin(), lost.end());
    writeAll(pty.master, spoiled);
    // the tool asks again after its 1000 ms
    ASSERT_EQ(readExactly(pty.master, 8), kReadOneHolding);
    writeAll(pty.master, rtu({1, 3, 2, 0x22, 0x22}));
    const RecordedEvent holding = EventLog::instance().waitForEvent(qx::kEventHoldingRegisters);
    ASSERT_EQ(holding.code, qx::kEventHoldingRegisters);
    EXPECT_EQ(registerData(holding), (std::vector<uint8_t> {0x22, 0x22}));
    EXPECT_EQ(EventLog::instance().events(qx::kEventHoldingRegisters).size(), 1u);
}

TEST_F(Serial, MissingDeviceReportsStateZero)
{
    const intptr_t handle = create(serialSettings("ttyQXnone9"));
    EXPECT_EQ(DLL_API_OBJ_RUN(handle), -1);
    const auto events = EventLog::instance().events();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].code, qx::kEventConnection);
    EXPECT_EQ(stateOf(events[0]), qx::kStateOpenFailed);
    EXPECT_EQ(qx::getU32le(events[0].data.data(), qx::ConnectionLayout::kTransportType),
              qx::kTransportSerial);
    // reported on the caller's thread
    EXPECT_EQ(events[0].thread, std::this_thread::get_id());
    EXPECT_EQ(DLL_API_OBJ_STOP(handle), 1);
}

TEST_F(SerialLine, OddRatesMarkParityAndTwoStopBitsReachTheDriver)
{
    const intptr_t handle = create(serialSettings(pty.slavePath, 14400, 7, 3, 2));
    ASSERT_EQ(DLL_API_OBJ_RUN(handle), 0);
    ASSERT_TRUE(EventLog::instance().waitForState(qx::kStateRunning));
    // A pseudo-terminal keeps every setting but the character size and the
    // parity enable, which its driver forces to 8 bits without parity; mark
    // parity still shows as odd + stick parity.
    LineReadback line = readLine(pty.slave);
    ASSERT_TRUE(line.ok);
    EXPECT_EQ(line.outputSpeed, 14400u);
    EXPECT_EQ(line.inputSpeed, 14400u);
    EXPECT_TRUE(line.parityOdd);
    EXPECT_TRUE(line.stickParity);
    EXPECT_TRUE(line.twoStopBits);
    EXPECT_TRUE(line.parityCheck);
    EXPECT_TRUE(line.receiverOn);
    EXPECT_FALSE(line.canonical);
    EXPECT_FALSE(line.echo);
    EXPECT_FALSE(line.hardwareFlow);
    EXPECT_FALSE(line.softwareFlow);
    EXPECT_FALSE(line.outputProcessing);
    EXPECT_EQ(DLL_API_OBJ_STOP(handle), 1);

    intptr_t again = create(serialSettings(pty.slavePath, 256000, 8, 2, 0));
    ASSERT_EQ(DLL_API_OBJ_RUN(again), 0);
    line = readLine(pty.slave);
    EXPECT_EQ(line.outputSpeed, 256000u);
    EXPECT_EQ(line.dataBits, 8);
    EXPECT_TRUE(line.parityCheck);
    EXPECT_FALSE(line.parityOdd);
    EXPECT_FALSE(line.stickParity);
    EXPECT_FALSE(line.twoStopBits);
}
