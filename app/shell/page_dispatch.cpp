// Routing the module's events to the page hooks (see page_hooks.h).
#include "page_hooks.h"

#include "event_codes.h"
#include "param_answers.h"
#include "response_records.h"

namespace qx {

namespace {

// Analog inputs and outputs: eight channels each.
constexpr std::size_t kAnalogChannels = 8;

void inputRegisters(const uint8_t *record, const PageHooks &hooks)
{
    auto values = readInputRegisterValues(record);
    const uint8_t groups = hooks.counterGroups ? hooks.counterGroups() : 0;
    if (groups != 0) {
        if (hooks.counterValues)
            hooks.counterValues(values.all(), groups);
    } else if (hooks.analogInputs) {
        hooks.analogInputs(values.first(kAnalogChannels));
    }
}

void statusReport(const uint8_t *record, const PageHooks &hooks)
{
    const StatusReport r = readStatusReport(record);
    if (r.inputBits && hooks.inputBits)
        hooks.inputBits(*r.inputBits);
    if (r.coilBits && hooks.coilBits)
        hooks.coilBits(*r.coilBits);
    if (r.analog32 && hooks.analogInputs)
        hooks.analogInputs(*r.analog32);
    if (r.analog16 && hooks.analogOutputs)
        hooks.analogOutputs(*r.analog16);
    if (r.pulse && hooks.counterValues)
        hooks.counterValues(*r.pulse, r.flags);
}

void paramsRead(const uint8_t *record, const PageHooks &hooks, const ShellOutput &out)
{
    const RegisterBytes bytes = readRegisterBytes(record, RegisterRecordLayout::kParamCapacity);
    const ParamReadAnswer answer = readParamAnswer(bytes.data, bytes.length);
    if (!answer.ok)
        out.message(answer.message);
    else if (hooks.paramBlock)
        hooks.paramBlock(answer.block, answer.compact);
}

void paramsWritten(const uint8_t *record, const PageHooks &hooks, const ShellOutput &out)
{
    const ParamWriteAnswer answer = readParamWriteAnswer(record[TransferReplyLayout::kStatus]);
    if (answer.written && hooks.paramsWritten)
        hooks.paramsWritten();
    out.message(answer.message);
}

void transfer(int kind, const uint8_t *record, const PageHooks &hooks, const ShellOutput &out)
{
    const TransferStep step = readTransferStep(kind, record);
    if (!step.logLine.empty())
        out.log(step.logLine);
    if (hooks.transferStep)
        hooks.transferStep(kind, step.nextPart);
}

void plcPacket(const uint8_t *record, const PageHooks &hooks, const ShellOutput &out)
{
    const PlcAck ack = readPlcAck(record);
    if (!ack.logLine.empty())
        out.log(ack.logLine);
    // A reply too short to say which packet it answers is no answer: the
    // page's retry timer sends the packet again.
    if (ack.complete && hooks.plcAck)
        hooks.plcAck(ack);
}

} // namespace

void dispatchPageEvent(int32_t code, const uint8_t *record, const PageHooks &hooks,
                       const ShellOutput &out)
{
    switch (code) {
    case kEventInputs:
        if (hooks.inputBits)
            hooks.inputBits({record + BitRecordLayout::kData, BitRecordLayout::kCapacity});
        break;
    case kEventCoils:
        if (hooks.coilBits)
            hooks.coilBits({record + BitRecordLayout::kData, BitRecordLayout::kCapacity});
        break;
    case kEventCoilsWritten:
        if (hooks.coilsWritten)
            hooks.coilsWritten();
        break;
    case kEventRegistersWritten:
        if (hooks.registersWritten)
            hooks.registersWritten();
        break;
    case kEventInputRegisters:
        inputRegisters(record, hooks);
        break;
    case kEventHoldingRegisters:
        if (hooks.analogOutputs)
            hooks.analogOutputs(readHoldingRegisterValues(record).first(kAnalogChannels));
        break;
    case kEventParamsRead:
        paramsRead(record, hooks, out);
        break;
    case kEventParamsWritten:
        paramsWritten(record, hooks, out);
        break;
    case kEventBiosPacket:
    case kEventFirmwarePacket:
        transfer(code, record, hooks, out);
        break;
    case kEventPlcPacket:
        plcPacket(record, hooks, out);
        break;
    case kEventStatusReport:
        statusReport(record, hooks);
        break;
    default:
        break;
    }
}

} // namespace qx
