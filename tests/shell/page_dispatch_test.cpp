// Which page hook receives each module event and what it is handed: values
// with their count, the parameter block once accepted, the transfer steps
// with their log lines first, and the PLC acknowledgement's echo.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "byte_io.h"
#include "config_texts.h"
#include "event_codes.h"
#include "page_hooks.h"
#include "param_block.h"
#include "response_records.h"
#include "shell_texts.h"

namespace {

using namespace qx;

std::vector<uint8_t> registerRecord(const std::vector<uint8_t> &bytes, std::size_t size = RegisterRecordLayout::kSize)
{
    std::vector<uint8_t> r(size, 0);
    putI32le(r.data(), RegisterRecordLayout::kLength, static_cast<int32_t>(bytes.size()));
    std::copy(bytes.begin(), bytes.end(), r.begin() + RegisterRecordLayout::kData);
    return r;
}

std::vector<uint8_t> paramRecord(const std::vector<uint8_t> &payload)
{
    return registerRecord(payload, RegisterRecordLayout::kParamSize);
}

std::vector<uint8_t> transferRecord(uint8_t status, int32_t value, const std::vector<uint8_t> &data = {})
{
    std::vector<uint8_t> r(TransferReplyLayout::kSize, 0);
    r[TransferReplyLayout::kStatus] = status;
    putI32le(r.data(), TransferReplyLayout::kValue, value);
    std::copy(data.begin(), data.end(), r.begin() + TransferReplyLayout::kData);
    return r;
}

// 32-bit values as the module sends them, most significant byte first.
std::vector<uint8_t> be32(std::initializer_list<uint32_t> values)
{
    std::vector<uint8_t> out;
    for (uint32_t v : values)
        out.insert(out.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
    return out;
}

// Records every hook call and everything the shell would show, in order.
struct Recorder
{
    PageHooks hooks;
    ShellOutput out;
    std::vector<std::string> calls;
    std::vector<uint32_t> values32;
    std::vector<uint16_t> values16;
    uint8_t groups = 0;
    uint8_t counterMask = 0;
    ParamBlock block;
    PlcAck ack;

    Recorder()
    {
        out.log = [this](const std::string &t) { calls.push_back("log " + t); };
        out.message = [this](const std::string &t) { calls.push_back("message " + t); };
        hooks.inputBits = [this](std::span<const uint8_t> b) { calls.push_back("inputs " + std::to_string(b.size())); };
        hooks.coilBits = [this](std::span<const uint8_t> b) { calls.push_back("coils " + std::to_string(b.size())); };
        hooks.analogInputs = [this](std::span<const uint32_t> v) {
            calls.push_back("ai");
            values32.assign(v.begin(), v.end());
        };
        hooks.analogOutputs = [this](std::span<const uint16_t> v) {
            calls.push_back("ao");
            values16.assign(v.begin(), v.end());
        };
        hooks.counterGroups = [this] { return counterMask; };
        hooks.counterValues = [this](std::span<const uint32_t> v, uint8_t g) {
            calls.push_back("counters");
            values32.assign(v.begin(), v.end());
            groups = g;
        };
        hooks.paramBlock = [this](const ParamBlock &b, bool compact) {
            calls.push_back(compact ? "block compact" : "block full");
            block = b;
        };
        hooks.coilsWritten = [this] { calls.push_back("coils written"); };
        hooks.registersWritten = [this] { calls.push_back("registers written"); };
        hooks.paramsWritten = [this] { calls.push_back("written"); };
        hooks.transferStep = [this](int kind, int32_t part) {
            calls.push_back("step " + std::to_string(kind) + " " + std::to_string(part));
        };
        hooks.plcAck = [this](const PlcAck &a) {
            calls.push_back("plc");
            ack = a;
        };
    }

    void deliver(int32_t code, const std::vector<uint8_t> &record) { dispatchPageEvent(code, record.data(), hooks, out); }
};

TEST(PageDispatch, InputRegistersGoToTheAnalogPageWithTheirCount)
{
    Recorder r;
    r.deliver(kEventInputRegisters, registerRecord(be32({1, 2, 3, 4, 5, 6, 7, 8, 9, 10})));
    EXPECT_EQ(r.calls, std::vector<std::string> {"ai"});
    EXPECT_EQ(r.values32, (std::vector<uint32_t> {1, 2, 3, 4, 5, 6, 7, 8}));

    // A short answer hands only what came, not zeros for the rest.
    r.deliver(kEventInputRegisters, registerRecord(be32({0x00010002, 7})));
    EXPECT_EQ(r.values32, (std::vector<uint32_t> {0x00010002, 7}));
}

TEST(PageDispatch, CounterPollClaimsInputRegisters)
{
    Recorder r;
    r.counterMask = 0x20;
    r.deliver(kEventInputRegisters, registerRecord(be32({5, 6, 7})));
    EXPECT_EQ(r.calls, std::vector<std::string> {"counters"});
    EXPECT_EQ(r.values32, (std::vector<uint32_t> {5, 6, 7}));
    EXPECT_EQ(r.groups, 0x20);
}

TEST(PageDispatch, HoldingRegistersGoToTheAnalogOutputs)
{
    Recorder r;
    std::vector<uint8_t> bytes;
    for (uint16_t v = 1; v <= 10; ++v)
        bytes.insert(bytes.end(), {uint8_t(v >> 8), uint8_t(v)});
    r.deliver(kEventHoldingRegisters, registerRecord(bytes));
    EXPECT_EQ(r.values16, (std::vector<uint16_t> {1, 2, 3, 4, 5, 6, 7, 8}));
    r.deliver(kEventHoldingRegisters, registerRecord({0x03, 0xE8, 0x00}));
    EXPECT_EQ(r.values16, std::vector<uint16_t> {1000});
}

TEST(PageDispatch, StatusReportFeedsEachSectionsPage)
{
    Recorder r;
    std::vector<uint8_t> report {0x1F, 1, 2, 3, 4, 5, 6, 7, 8};
    auto analog = be32({11, 12, 13, 14, 15, 16, 17, 18});
    report.insert(report.end(), analog.begin(), analog.end());
    for (uint16_t v = 21; v <= 28; ++v)
        report.insert(report.end(), {uint8_t(v >> 8), uint8_t(v)});
    for (uint32_t v = 0; v < 32; ++v) {
        auto one = be32({100 + v});
        report.insert(report.end(), one.begin(), one.end());
    }
    r.deliver(kEventStatusReport, registerRecord(report));
    EXPECT_EQ(r.calls, (std::vector<std::string> {"inputs 4", "coils 4", "ai", "ao", "counters"}));
    EXPECT_EQ(r.values16.back(), 28);
    EXPECT_EQ(r.values32.size(), 32u);
    EXPECT_EQ(r.values32[31], 131u);
    EXPECT_EQ(r.groups, 0x1F); // the flag byte: bits 16, 32, 64 select the groups
}

TEST(PageDispatch, BitsGoToTheDigitalPage)
{
    Recorder r;
    std::vector<uint8_t> record(BitRecordLayout::kSize, 0);
    r.deliver(kEventInputs, record);
    r.deliver(kEventCoils, record);
    EXPECT_EQ(r.calls, (std::vector<std::string> {"inputs 255", "coils 255"}));
}

TEST(PageDispatch, WriteAcknowledgementsGoToTheirSlotsHooks)
{
    Recorder r;
    std::vector<uint8_t> empty(EmptyRecordLayout::kSize, 0);
    r.deliver(kEventRegistersWritten, empty);
    r.deliver(kEventOther, empty); // an exception answers no particular write
    r.deliver(kEventCoilsWritten, empty);
    EXPECT_EQ(r.calls, (std::vector<std::string> {"registers written", "coils written"}));
}

TEST(PageDispatch, ParameterBlockIsAcceptedOnceThenHanded)
{
    ParamBlock block;
    block.setU8(ParamLayout::kQXMode, 130);
    block.setU8(ParamLayout::kQXAddr1, 9);
    Recorder r;
    r.deliver(kEventParamsRead, paramRecord(block.payloadFor(130)));
    ASSERT_EQ(r.calls, std::vector<std::string> {"block full"});
    EXPECT_EQ(r.block, block);

    r.calls.clear();
    r.deliver(kEventParamsRead, paramRecord(block.payloadFor(220)));
    EXPECT_EQ(r.calls, std::vector<std::string> {"block compact"});
}

TEST(PageDispatch, RefusedParameterBlockGivesOneMessageAndNoBlock)
{
    Recorder r;
    r.deliver(kEventParamsRead, paramRecord({0x12, 0x34}));
    auto wrongChecksum = ParamBlock().payloadFor(130);
    wrongChecksum.back() ^= 0x01;
    r.deliver(kEventParamsRead, paramRecord(wrongChecksum));
    // A good checksum over a record that is neither 1090 nor 106 bytes long.
    std::vector<uint8_t> odd(50, 7);
    appendChecksumHighFirst(odd);
    r.deliver(kEventParamsRead, paramRecord(odd));
    EXPECT_EQ(r.calls, (std::vector<std::string> {std::string("message ") + texts::kParamsIncomplete,
                                                  std::string("message ") + texts::kParamsBadChecksum,
                                                  std::string("message ") + texts::kParamsIncomplete}));
}

TEST(PageDispatch, WriteAnswerMarksThePageThenTells)
{
    Recorder r;
    r.deliver(kEventParamsWritten, transferRecord(1, 0));
    r.deliver(kEventParamsWritten, transferRecord(0, 0));
    EXPECT_EQ(r.calls, (std::vector<std::string> {"written", std::string("message ") + texts::kParamsWritten,
                                                  std::string("message ") + texts::kParamsWriteFailed}));
}

TEST(PageDispatch, RefusedFirmwarePartIsLoggedBeforeItsStep)
{
    Recorder r;
    r.deliver(kEventBiosPacket, transferRecord(0, 3));
    r.deliver(kEventFirmwarePacket, transferRecord(1, 3));
    EXPECT_EQ(r.calls, (std::vector<std::string> {std::string("log ") + texts::kBiosResend, "step 16 3", "step 17 4"}));
}

TEST(PageDispatch, PlcAcknowledgementCarriesItsEcho)
{
    Recorder r;
    // status, mode, block, offset 0x0140, length 0x0040, as the module echoes them
    r.deliver(kEventPlcPacket, transferRecord(0, 7, {0x00, 0x02, 0x05, 0x01, 0x40, 0x00, 0x40}));
    ASSERT_EQ(r.calls, std::vector<std::string> {"plc"});
    EXPECT_TRUE(r.ack.success);
    EXPECT_EQ(r.ack.mode, 2);
    EXPECT_EQ(r.ack.block, 5);
    EXPECT_EQ(r.ack.offset, 0x0140);
    EXPECT_EQ(r.ack.length, 0x0040);

    r.calls.clear();
    r.deliver(kEventPlcPacket, transferRecord(2, 7, {0x02, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(r.calls, (std::vector<std::string> {"log 升级EPLC: 传送失败,准备重新传送,错误码2.\r\n", "plc"}));
    EXPECT_FALSE(r.ack.success);
    EXPECT_EQ(r.ack.mode, 3);
}

TEST(PageDispatch, PlcReplyTooShortForItsEchoIsNoAcknowledgement)
{
    // The bytes past the reply's length are not read, even when the record
    // holds something there from an earlier reply.
    Recorder r;
    r.deliver(kEventPlcPacket, transferRecord(0, 6, {0x00, 0x02, 0x05, 0x01, 0x40, 0x00, 0x40}));
    EXPECT_TRUE(r.calls.empty());
    PlcAck ack = readPlcAck(transferRecord(0, 6, {0x00, 0x02, 0x05, 0x01, 0x40, 0x00, 0x40}).data());
    EXPECT_FALSE(ack.complete);
    EXPECT_EQ(ack.length, 0);
    r.deliver(kEventPlcPacket, transferRecord(9, 1, {0x09}));
    EXPECT_EQ(r.calls, std::vector<std::string> {"log 升级EPLC: 传送失败,准备重新传送,错误码9.\r\n"});
    r.deliver(kEventPlcPacket, transferRecord(0, -5));
    EXPECT_EQ(r.calls.size(), 1u);
}

} // namespace
