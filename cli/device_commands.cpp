// The device commands: arguments checked before anything is opened, then one
// port object through the bound exports, the pages' request records, and
// the transfers' state machines run by runTransfer.
#include "device_commands.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <functional>
#include <optional>
#include <thread>

#include <unistd.h>

#include "analog_values.h"
#include "config_texts.h"
#include "cli_arguments.h"
#include "cli_output.h"
#include "device_link.h"
#include "digital_display.h"
#include "event_codes.h"
#include "event_records.h"
#include "io_events.h"
#include "firmware_upgrade.h"
#include "gbk.h"
#include "io_requests.h"
#include "io_texts.h"
#include "library_binder.h"
#include "param_answers.h"
#include "param_form.h"
#include "param_ini.h"
#include "param_ini_export.h"
#include "param_requests.h"
#include "plc_command.h"
#include "plc_compiler.h"
#include "plc_download.h"
#include "plc_texts.h"
#include "pwm_values.h"
#include "record_readers.h"
#include "response_records.h"
#include "shell_texts.h"
#include "text_format.h"

#ifndef QX_BUILD_LIBRARY_DIR
#define QX_BUILD_LIBRARY_DIR ""
#endif

namespace qx::cli {

namespace {

constexpr const char *kUsage =
    "usage: qxcli CONNECTION [--address N] [--json] [--timeout MS] COMMAND ...\n"
    "CONNECTION: --tcp HOST:PORT | --udp HOST:PORT[:LOCALPORT] | --listen [ADDR:]PORT\n"
    "          | --serial PATH [--baud N --data 7|8 --parity none|odd|even|mark --stop 1|2]\n";

constexpr const char *kHelp =
    "Drives a QX module through QXLIB, as QXTools does.\n"
    "\n"
    "Connection (one of them):\n"
    "  --tcp HOST:PORT          the module is a TCP server (QXTools' \"TCP客户端\")\n"
    "  --udp HOST:PORT[:LOCALPORT]  Modbus TCP framing over UDP; LOCALPORT is this\n"
    "                           side's port (any free one when left out)\n"
    "  --listen [ADDR:]PORT     wait for the module to connect (\"TCP服务器\");\n"
    "                           ADDR defaults to every local address\n"
    "  --serial PATH            Modbus RTU on a serial device (at most 15 characters),\n"
    "                           --baud N (115200), --data 7|8 (8),\n"
    "                           --parity none|odd|even|mark (none), --stop 1|2 (1)\n"
    "Common options:\n"
    "  --address N              the module's Modbus address, 1..247 (1)\n"
    "  --timeout MS             how long to wait for the link and for each answer\n"
    "                           (3000; config: 5000; scan: per address, 1000)\n"
    "  --json                   one JSON object per result on standard output\n"
    "  --library PATH           the QXLIB file (next to qxcli, then the build tree,\n"
    "                           then the system's search)\n"
    "\n"
    "Commands (qxcli COMMAND --help for one of them):\n"
    "  identity                 the connection page's information fields\n"
    "  read di|do|ai|ao|counters [--sub S] [--every MS --count N]\n"
    "  write do N on|off | write do all on|off | write ao N VALUE [--sub S]\n"
    "  pwm N --unit us|ms|s --high H --low L [--run on|off] [--sub S]\n"
    "  clear counters [--sub S]\n"
    "  plc download FILE --ram|--flash|--flash-restart [--scaling FILE.txt]\n"
    "      [--password PW] [--block-size N]\n"
    "  plc clear-flash [--block-size N]\n"
    "  config read [-o FILE.ini] | config write FILE.ini [--yes]\n"
    "  firmware upgrade IMAGE.bin [--yes]\n"
    "  scan [--from 1 --to 240] [--timeout MS]\n"
    "Without a connection: qxcli plc check|preview|build|image (qxcli plc --help).\n"
    "\n"
    "Exit status: 0 done, 1 the module refused or did not answer (or Ctrl-C),\n"
    "2 bad arguments or files. Long work shows its progress on standard error.\n";

// The commands' own texts, where the system has none.
constexpr const char *kNoAnswerFormat = "qxcli: no answer from module %u within %d ms\n";
constexpr const char *kNoLinkFormat = "qxcli: no link to the module within %d ms\n";
constexpr const char *kRefusedFormat = "qxcli: module %u refused the request (exception %u)\n";
constexpr const char *kLinkLost = "qxcli: the module closed the connection\n";
constexpr const char *kCancelled = "qxcli: cancelled\n";
constexpr const char *kLateAnswerFormat = "qxcli: module %u answered after the timeout\n";
constexpr const char *kScanNoneFound = "qxcli: no module answered\n";
constexpr const char *kTransferGaveUpFormat = "qxcli: no acknowledgement from module %u after %d tries\n";
constexpr const char *kParamResendFormat = "qxcli: no answer from module %u within %d ms, sent again\n";

// The library's wait for an answer before it sends the next request.
constexpr int kLibraryResponseWaitMs = 1000;

// A transfer is given up after this many waits in a row without an
// acknowledgement: the page resends for ever, a script must end.
constexpr int kTransferTriesWithoutAnswer = 3;

// The scan waits this long per address unless --timeout says otherwise: the
// library's own wait for an answer, which a shorter one cannot undercut.
constexpr int kScanDefaultTimeoutMs = 1000;

struct Context {
    const Invocation &inv;
    DeviceLink &link;
};

// A command: its words, its options, its help, and a preparation that
// checks everything it can before the module is reached. The preparation
// returns an error text (exit 2) or fills `run`.
using Run = std::function<int(Context &)>;
struct Command {
    const char *name;
    const char *help;
    std::vector<const char *> options;
    std::function<std::string(const Invocation &, Run &)> prepare;
};

void onInterrupt(int)
{
    cancelRequested().store(true);
}

// --- results and failures

void result(const Invocation &inv, const std::string &text, const JsonObject &json)
{
    printOut(inv.json ? json.text() + "\n" : text + "\n");
}

int failure(const Invocation &inv, const std::string &message)
{
    printErr(message);
    if (inv.json) {
        std::string m = terminalText(message);
        while (!m.empty() && m.back() == '\n')
            m.pop_back();
        printOut(JsonObject().add("address", unsigned(inv.address)).addBool("ok", false).add("error", m).text()
                 + "\n");
    }
    return kExitNoAnswer;
}

int waitFailure(const Invocation &inv, WaitResult w, uint8_t address, int timeoutMs)
{
    switch (w) {
    case WaitResult::Cancelled:
        return failure(inv, kCancelled);
    case WaitResult::LinkLost:
        return failure(inv, kLinkLost);
    case WaitResult::NoAnswer:
    case WaitResult::Done:
        break;
    }
    return failure(inv, formatText(kNoAnswerFormat, unsigned(address), timeoutMs));
}

bool tcpFraming(const Invocation &inv)
{
    return inv.transport != Invocation::Transport::Serial;
}

// One exchange; on success `answer` holds the module's answer.
int ask(Context &c, const SlotRequest &request, std::initializer_list<int32_t> codes, LinkEvent &answer)
{
    const WaitResult w = c.link.exchange(request, codes, c.inv.timeoutMs, answer);
    if (w != WaitResult::Done)
        return waitFailure(c.inv, w, request.record.address(), c.inv.timeoutMs);
    if (answer.code == kEventOther) {
        const unsigned code = exceptionCodeOf(answer.frame, tcpFraming(c.inv));
        return failure(c.inv, formatText(kRefusedFormat, unsigned(request.record.address()), code));
    }
    return kExitOk;
}

// The pages poll with repeat mode; a command asks once.
SlotRequest once(SlotRequest request)
{
    request.record.setMode(kModeCounted);
    request.record.setCounter(1);
    return request;
}

SlotRequest identityRequest(uint8_t address)
{
    SlotRequest r;
    r.slot = kSlotIdentity;
    r.length = RequestLength::kIdentity;
    r.record.setMode(kModeCounted);
    r.record.setCounter(1);
    r.record.setAddress(address);
    return r;
}

// --- option helpers

std::optional<std::string> option(const Invocation &inv, const char *name)
{
    const auto it = inv.options.find(name);
    if (it == inv.options.end())
        return std::nullopt;
    return it->second;
}

std::string subStationOf(const Invocation &inv, uint8_t &sub)
{
    sub = 0;
    if (const auto text = option(inv, "--sub")) {
        const auto n = parseDecimal(*text, 0, kSubStationCount);
        if (!n)
            return "--sub takes a sub-station 0..10 (0 for \"无\")";
        sub = static_cast<uint8_t>(*n);
    }
    return {};
}

std::string onOff(const std::string &word, bool &on)
{
    if (word != "on" && word != "off")
        return "expected on or off, not '" + word + "'";
    on = word == "on";
    return {};
}

// --- identity

int runIdentity(Context &c)
{
    LinkEvent answer;
    if (const int rc = ask(c, identityRequest(c.inv.address), {kEventIdentity}, answer); rc != kExitOk)
        return rc;
    const IdentityView v = readIdentity(answer.record.data());
    const std::pair<const char *, const std::string *> fields[] = {
        {texts::kLabelFirmwareVersion, &v.firmwareVersion},
        {texts::kLabelDriverVersion, &v.driverVersion},
        {texts::kLabelModel, &v.modelName},
        {texts::kLabelSeries, &v.series},
        {texts::kLabelSerialNumber, &v.serialNumber},
        {texts::kLabelFactoryDate, &v.factoryDate},
        {texts::kLabelDescription, &v.description},
    };
    std::string text;
    for (const auto &[label, value] : fields)
        text += std::string(text.empty() ? "" : "\n") + label + *value;
    JsonObject json;
    json.add("address", unsigned(c.inv.address))
        .add("firmwareVersion", v.firmwareVersion)
        .add("driverVersion", v.driverVersion)
        .add("model", v.modelName)
        .add("series", v.series)
        .add("serialNumber", v.serialNumber)
        .add("factoryDate", v.factoryDate)
        .add("description", v.description);
    result(c.inv, text, json);
    return kExitOk;
}

std::string prepareIdentity(const Invocation &inv, Run &run)
{
    if (inv.words.size() != 1)
        return "identity takes no arguments";
    run = runIdentity;
    return {};
}

// --- read

enum class ReadKind { Inputs, Outputs, AnalogInputs, AnalogOutputs, Counters };

void showRead(const Context &c, ReadKind kind, uint8_t sub, const LinkEvent &answer)
{
    static const char *const kNames[] = {"di", "do", "ai", "ao", "counters"};
    std::string text;
    std::vector<long long> values;
    auto item = [&](const std::string &label, long long value) {
        text += (text.empty() ? "" : " ") + label;
        values.push_back(value);
    };
    const uint8_t *record = answer.record.data();
    switch (kind) {
    case ReadKind::Inputs:
    case ReadKind::Outputs: {
        const std::span<const uint8_t> arrived = readBitBytes(record);
        const std::span<const uint8_t> bits = arrived.first(std::min<std::size_t>(arrived.size(), 4));
        const BitUpdates updates = kind == ReadKind::Inputs ? inputDisplay(bits, false).inputs : outputDisplay(bits);
        for (int i = 0; i < kDigitalPoints; ++i) {
            if (!updates[i])
                continue;
            const bool on = *updates[i];
            item(kind == ReadKind::Inputs ? formatText(io_texts::kInputFormat, i + 1) + ":" + (on ? "1" : "0")
                                          : outputCaption(i + 1, on),
                 on);
        }
        break;
    }
    case ReadKind::AnalogInputs: {
        const auto arrived = readInputRegisterValues(record);
        const auto v = arrived.first(kAnalogChannels);
        for (std::size_t i = 0; i < v.size(); ++i)
            item(formatText(io_texts::kAiFormat, int(i + 1)) + unsignedText(v[i]), v[i]);
        break;
    }
    case ReadKind::AnalogOutputs: {
        const auto arrived = readHoldingRegisterValues(record);
        const auto v = arrived.first(kAnalogChannels);
        for (std::size_t i = 0; i < v.size(); ++i)
            item(formatText(io_texts::kAoFormat, int(i + 1)) + unsignedText(v[i]), v[i]);
        break;
    }
    case ReadKind::Counters: {
        const auto arrived = readInputRegisterValues(record);
        const CounterUpdates u = counterUpdates(arrived.all(), kCountersAll);
        for (int i = 0; i < kDigitalPoints; ++i)
            if (u[i])
                item(formatText(io_texts::kCounterFormat, i + 1) + unsignedText(*u[i]), *u[i]);
        break;
    }
    }
    JsonObject json;
    json.add("address", unsigned(c.inv.address)).add("sub", unsigned(sub)).add("read", kNames[int(kind)]).add("values", values);
    result(c.inv, text, json);
}

std::string prepareRead(const Invocation &inv, Run &run)
{
    if (inv.words.size() != 2)
        return "read takes one of di, do, ai, ao, counters";
    const std::string &what = inv.words[1];
    ReadKind kind;
    if (what == "di")
        kind = ReadKind::Inputs;
    else if (what == "do")
        kind = ReadKind::Outputs;
    else if (what == "ai")
        kind = ReadKind::AnalogInputs;
    else if (what == "ao")
        kind = ReadKind::AnalogOutputs;
    else if (what == "counters")
        kind = ReadKind::Counters;
    else
        return "read takes one of di, do, ai, ao, counters, not '" + what + "'";
    uint8_t sub = 0;
    if (std::string why = subStationOf(inv, sub); !why.empty())
        return why;
    long every = 0;
    long count = 1;
    if (const auto text = option(inv, "--every")) {
        const auto n = parseDecimal(*text, 1, 86'400'000);
        if (!n)
            return "--every takes milliseconds";
        every = *n;
        count = 0;
    }
    if (const auto text = option(inv, "--count")) {
        const auto n = parseDecimal(*text, 0, 1'000'000'000);
        if (!n)
            return "--count takes a number (0: until Ctrl-C)";
        if (every == 0)
            return "--count goes with --every";
        count = *n;
    }
    run = [kind, sub, every, count](Context &c) {
        const IoTarget target {c.inv.address, sub};
        SlotRequest request;
        int32_t code = 0;
        switch (kind) {
        case ReadKind::Inputs:
            request = pollInputsRequest(target);
            code = kEventInputs;
            break;
        case ReadKind::Outputs:
            request = pollOutputsRequest(target);
            code = kEventCoils;
            break;
        case ReadKind::AnalogInputs:
            request = pollAnalogInputsRequest(target);
            code = kEventInputRegisters;
            break;
        case ReadKind::AnalogOutputs:
            request = pollAnalogOutputsRequest(target);
            code = kEventHoldingRegisters;
            break;
        case ReadKind::Counters:
            request = pollCountersRequest(target, kCountersAll);
            code = kEventInputRegisters;
            break;
        }
        request = once(request);
        using Clock = std::chrono::steady_clock;
        Clock::time_point next = Clock::now();
        for (long i = 0; count == 0 || i < count; ++i) {
            if (i > 0) {
                next += std::chrono::milliseconds(every);
                while (Clock::now() < next && !cancelRequested().load())
                    std::this_thread::sleep_for(std::min<Clock::duration>(next - Clock::now(), std::chrono::milliseconds(50)));
                if (cancelRequested().load())
                    return failure(c.inv, kCancelled);
            }
            LinkEvent answer;
            if (const int rc = ask(c, request, {code}, answer); rc != kExitOk)
                return rc;
            showRead(c, kind, sub, answer);
            flushOut();
        }
        return kExitOk;
    };
    return {};
}

// --- write, pwm, clear

std::string prepareWrite(const Invocation &inv, Run &run)
{
    uint8_t sub = 0;
    if (std::string why = subStationOf(inv, sub); !why.empty())
        return why;
    const auto &w = inv.words;
    if (w.size() == 4 && w[1] == "do" && w[2] == "all") {
        bool on = false;
        if (std::string why = onOff(w[3], on); !why.empty())
            return why;
        run = [sub, on](Context &c) {
            LinkEvent answer;
            const IoTarget target {c.inv.address, sub};
            if (const int rc = ask(c, writeAllOutputsRequest(target, on), {kEventCoilsWritten}, answer); rc != kExitOk)
                return rc;
            result(c.inv, on ? io_texts::kButtonAllOn : io_texts::kButtonAllOff,
                   JsonObject().add("address", unsigned(c.inv.address)).add("sub", unsigned(sub))
                       .add("write", "do").add("output", "all").addBool("on", on).addBool("ok", true));
            return kExitOk;
        };
        return {};
    }
    if (w.size() == 4 && w[1] == "do") {
        const auto n = parseDecimal(w[2], 1, kDigitalPoints);
        if (!n)
            return "write do takes an output 1..24 or all";
        bool on = false;
        if (std::string why = onOff(w[3], on); !why.empty())
            return why;
        const int output = int(*n);
        run = [sub, on, output](Context &c) {
            LinkEvent answer;
            const IoTarget target {c.inv.address, sub};
            const SlotRequest request = *writeOutputRequest(target, output, on);
            if (const int rc = ask(c, request, {kEventCoilsWritten}, answer); rc != kExitOk)
                return rc;
            result(c.inv, outputCaption(output, on),
                   JsonObject().add("address", unsigned(c.inv.address)).add("sub", unsigned(sub))
                       .add("write", "do").add("output", output).addBool("on", on).addBool("ok", true));
            return kExitOk;
        };
        return {};
    }
    if (w.size() == 4 && w[1] == "ao") {
        const auto n = parseDecimal(w[2], 1, kAnalogChannels);
        if (!n)
            return "write ao takes a channel 1..8";
        const int channel = int(*n);
        const AnalogOutputCheck value = checkAnalogOutput(w[3], channel);
        if (!value.ok)
            return value.message;
        const uint16_t v = value.value;
        run = [sub, channel, v](Context &c) {
            LinkEvent answer;
            const IoTarget target {c.inv.address, sub};
            if (const int rc = ask(c, writeAnalogOutputRequest(target, channel, v), {kEventRegistersWritten}, answer);
                rc != kExitOk)
                return rc;
            result(c.inv, formatText(io_texts::kAoFormat, channel) + unsignedText(v),
                   JsonObject().add("address", unsigned(c.inv.address)).add("sub", unsigned(sub))
                       .add("write", "ao").add("output", channel).add("value", unsigned(v)).addBool("ok", true));
            return kExitOk;
        };
        return {};
    }
    return "write takes: do N on|off, do all on|off, ao N VALUE";
}

std::string preparePwm(const Invocation &inv, Run &run)
{
    uint8_t sub = 0;
    if (std::string why = subStationOf(inv, sub); !why.empty())
        return why;
    if (inv.words.size() != 2)
        return "pwm takes an output: 1, 3, 5 or 7";
    int index = -1;
    for (int i = 0; i < kPwmOutputs; ++i)
        if (inv.words[1] == std::to_string(pwmOutputNumber(i)))
            index = i;
    if (index < 0)
        return "pwm takes an output: 1, 3, 5 or 7";
    PwmUnit unit = kPwmMicroseconds;
    if (const auto u = option(inv, "--unit")) {
        if (*u == "us")
            unit = kPwmMicroseconds;
        else if (*u == "ms")
            unit = kPwmMilliseconds;
        else if (*u == "s")
            unit = kPwmSeconds;
        else
            return "--unit takes us, ms or s";
    }
    const PwmTimeCheck high = checkPwmTime(option(inv, "--high").value_or(io_texts::kDefaultPwmTime), index, true);
    if (!high.ok)
        return high.message;
    const PwmTimeCheck low = checkPwmTime(option(inv, "--low").value_or(io_texts::kDefaultPwmTime), index, false);
    if (!low.ok)
        return low.message;
    std::optional<bool> runState;
    if (const auto r = option(inv, "--run")) {
        bool on = false;
        if (std::string why = onOff(*r, on); !why.empty())
            return "--run: " + why;
        runState = on;
    }
    const uint16_t h = high.value;
    const uint16_t l = low.value;
    run = [=](Context &c) {
        const IoTarget target {c.inv.address, sub};
        LinkEvent answer;
        if (const int rc = ask(c, pwmSettingsRequest(target, index, unit, h, l), {kEventRegistersWritten}, answer);
            rc != kExitOk)
            return rc;
        const PwmFigures f = pwmFigures(unit, h, l);
        const int output = pwmOutputNumber(index);
        std::string text = formatText(io_texts::kBoxPwmFormat, output) + " " + io_texts::kLabelFrequency + f.frequency
            + " " + io_texts::kLabelDuty + f.duty;
        JsonObject json;
        json.add("address", unsigned(c.inv.address)).add("sub", unsigned(sub)).add("pwm", output)
            .add("unit", unsigned(unit)).add("high", unsigned(h)).add("low", unsigned(l))
            .add("frequency", f.frequency).add("duty", f.duty);
        if (runState) {
            if (const int rc = ask(c, pwmRunRequest(target, index, *runState), {kEventCoilsWritten}, answer);
                rc != kExitOk)
                return rc;
            text += "\n" + formatText(*runState ? io_texts::kPwmStartFormat : io_texts::kPwmStopFormat, output);
            json.addBool("run", *runState);
        }
        result(c.inv, text, json.addBool("ok", true));
        return kExitOk;
    };
    return {};
}

std::string prepareClear(const Invocation &inv, Run &run)
{
    uint8_t sub = 0;
    if (std::string why = subStationOf(inv, sub); !why.empty())
        return why;
    if (inv.words.size() != 2 || inv.words[1] != "counters")
        return "clear takes: counters";
    run = [sub](Context &c) {
        LinkEvent answer;
        if (const int rc = ask(c, clearCountersRequest({c.inv.address, sub}), {kEventCoilsWritten}, answer);
            rc != kExitOk)
            return rc;
        result(c.inv, io_texts::kButtonClearCounters,
               JsonObject().add("address", unsigned(c.inv.address)).add("sub", unsigned(sub))
                   .add("clear", "counters").addBool("ok", true));
        return kExitOk;
    };
    return {};
}

// --- transfers: plc download and clear-flash, firmware upgrade

// A sent packet's log ends with the line that names it; what comes before
// (a timeout, a refusal) is a note that a progress bar must not overdraw.
void reportTransferStep(Progress &progress, const TransferStep &s, int acknowledged)
{
    if (s.kind == TransferStep::Kind::Finished)
        return; // said after the progress bar's last state
    std::string_view log = s.log;
    std::string_view line;
    if (s.kind == TransferStep::Kind::Send) {
        const std::size_t end = log.size() >= 2 ? log.rfind('\n', log.size() - 2) : std::string_view::npos;
        const std::size_t cut = end == std::string_view::npos ? 0 : end + 1;
        line = log.substr(cut);
        log = log.substr(0, cut);
    }
    if (!log.empty())
        progress.note(terminalText(log));
    if (s.kind == TransferStep::Kind::Send)
        progress.update(acknowledged, std::string(line));
}

// Runs a transfer as the page does, packet by packet with resends after
// --timeout, but gives up after kTransferTriesWithoutAnswer silent waits in a
// row (the page resends for ever, a script must end); Ctrl-C cancels as the
// page's button does. `codes` are the events that acknowledge its packets;
// `json` is completed with the outcome.
int runAckedTransfer(Context &c, AckedTransfer &transfer, TransferStep first, std::initializer_list<int32_t> codes,
                     const char *label, JsonObject json)
{
    const uint8_t address = c.inv.address;
    Progress progress(label, transfer.unitsTotal());
    TransferLink link;
    link.place = [&](const TransferStep &s) {
        SlotRequest r;
        r.slot = s.slot;
        r.length = RequestLength::kTransferPacket;
        r.record = transferRequest(s.packet, address);
        c.link.place(r, true);
    };
    link.wait = [&](int ms) {
        LinkEvent answer;
        TransferWait got;
        const WaitResult w = c.link.waitAnswer(address, codes, ms, answer);
        if (w == WaitResult::LinkLost) {
            got.kind = TransferWait::Kind::LinkLost;
        } else if (w == WaitResult::Done && transfer.acknowledgedBy(answer.code)) {
            got.kind = TransferWait::Kind::Answer;
            got.code = answer.code;
            got.record = std::move(answer.record);
        }
        return got;
    };
    link.report = [&](const TransferStep &s) { reportTransferStep(progress, s, transfer.unitsAcknowledged()); };
    link.cancel = &cancelRequested();
    link.silentWaitsLimit = kTransferTriesWithoutAnswer;
    const TransferResult end = runTransfer(transfer, std::move(first), link, c.inv.timeoutMs);
    progress.update(transfer.unitsAcknowledged());
    progress.finish();
    json.addBool("ok", end.end.success).add("message", end.end.message);
    if (!end.end.log.empty())
        printErr(end.end.log);
    if (end.end.success) {
        result(c.inv, end.end.message, json);
        return kExitOk;
    }
    if (end.gaveUp)
        printErr(formatText(kTransferGaveUpFormat, unsigned(address), kTransferTriesWithoutAnswer));
    if (c.inv.json)
        printOut(json.text() + "\n");
    if (!end.end.message.empty())
        printErr(end.end.message + "\n");
    return kExitNoAnswer;
}

int runDownload(Context &c, const ProgramImage &image, uint8_t finalCommand, uint16_t blockSize, const char *what)
{
    PlcDownload download;
    TransferStep first = download.start(image, finalCommand, blockSize);
    JsonObject json;
    json.add("address", unsigned(c.inv.address)).add("plc", what).add("packets", download.packetsPlanned());
    return runAckedTransfer(c, download, std::move(first), {kEventPlcPacket}, "plc", std::move(json));
}

std::string blockSizeOf(const Invocation &inv, uint16_t &size)
{
    size = kEplcDefaultBlockSize;
    if (const auto text = option(inv, "--block-size")) {
        const auto n = parseDecimal(*text, 1, 256);
        if (!n || !isEplcBlockSize(int(*n)))
            return "--block-size takes 8, 16, 32, 64, 128 or 256";
        size = static_cast<uint16_t>(*n);
    }
    return {};
}

std::string preparePlc(const Invocation &inv, Run &run)
{
    uint16_t blockSize = 0;
    if (std::string why = blockSizeOf(inv, blockSize); !why.empty())
        return why;
    if (inv.words.size() == 2 && inv.words[1] == "clear-flash") {
        for (const char *o : {"--ram", "--flash", "--flash-restart", "--scaling", "--password"})
            if (option(inv, o))
                return std::string("plc clear-flash takes no ") + o;
        // an empty program for block 0, stored in FLASH, and a restart
        const ProgramImage image = buildProgramImage(PlcProject(), ScalingTables());
        run = [image, blockSize](Context &c) { return runDownload(c, image, kEplcFlashRestart, blockSize, "clear-flash"); };
        return {};
    }
    if (inv.words.size() != 3 || inv.words[1] != "download")
        return "plc takes: download FILE --ram|--flash|--flash-restart, or clear-flash";
    int targets = 0;
    uint8_t finalCommand = 0;
    for (const auto &[name, command] : {std::pair {"--ram", kEplcRamRun}, std::pair {"--flash", kEplcFlashRun},
                                        std::pair {"--flash-restart", kEplcFlashRestart}})
        if (option(inv, name)) {
            ++targets;
            finalCommand = command;
        }
    if (targets != 1)
        return "plc download takes one of --ram, --flash, --flash-restart";
    const auto scaling = loadScaling(option(inv, "--scaling"));
    if (!scaling)
        return "-"; // printed
    const auto project = loadProgram(inv.words[2], option(inv, "--password"), false);
    if (!project)
        return "-";
    if (!checkPlcProject(*project, *scaling).ok)
        return plc_texts::kFixSyntaxFirst;
    const ProgramImage image = buildProgramImage(*project, *scaling);
    run = [image, finalCommand, blockSize](Context &c) {
        return runDownload(c, image, finalCommand, blockSize, "download");
    };
    return {};
}

// --- config read and write

// The page counts five seconds down before it calls a read or write failed.
constexpr int kConfigWaitMs = 5000;

int configWait(const Invocation &inv)
{
    return inv.timeoutGiven ? inv.timeoutMs : kConfigWaitMs;
}

SlotRequest paramRequest(RequestRecord record, uint8_t address, bool write)
{
    SlotRequest r;
    r.slot = write ? kSlotWriteParams : kSlotReadParams;
    r.length = write ? RequestLength::kWriteParams : RequestLength::kRead;
    r.record = record;
    r.record.setAddress(address);
    return r;
}

// A config answer that did not come: the page's own text for it.
int configNoAnswer(Context &c, WaitResult w, const char *pageText)
{
    if (w == WaitResult::NoAnswer)
        return failure(c.inv, std::string("qxcli: ") + pageText + "\n");
    return waitFailure(c.inv, w, c.inv.address, configWait(c.inv));
}

// Places a read or write and waits for its answer, placing it again every
// kParamResendMs while nothing answers (as the page does), until the
// command's wait has passed.
WaitResult exchangeParams(Context &c, const SlotRequest &request, int32_t code, LinkEvent &answer)
{
    const int waitMs = configWait(c.inv);
    for (int waited = 0;; waited += kParamResendMs) {
        const int left = waitMs - waited;
        const WaitResult w = c.link.exchange(request, {code}, std::min(left, kParamResendMs), answer, true);
        if (w != WaitResult::NoAnswer || left <= kParamResendMs)
            return w;
        printErr(formatText(kParamResendFormat, unsigned(c.inv.address), kParamResendMs));
    }
}

int runConfigRead(Context &c, const std::optional<std::string> &output)
{
    LinkEvent answer;
    const WaitResult w = exchangeParams(c, paramRequest(paramReadRecord(), c.inv.address, false), kEventParamsRead,
                                        answer);
    if (w != WaitResult::Done)
        return configNoAnswer(c, w, texts::kReadFailed);
    if (answer.code == kEventOther)
        return failure(c.inv, formatText(kRefusedFormat, unsigned(c.inv.address),
                                         unsigned(exceptionCodeOf(answer.frame, tcpFraming(c.inv)))));
    const ParamReadAnswer read = readParamReadEvent(answer.record.data());
    if (!read.ok)
        return failure(c.inv, "qxcli: " + read.message + "\n");
    // "导出配置" right after the read: the page's values over the block read
    const CollectResult shown = collectBlock(valuesOf(showBlock(read.block)), read.block, CollectBase::OverCurrent);
    if (!shown.ok)
        return failure(c.inv, "qxcli: " + shown.message + "\n");
    JsonObject json;
    json.add("address", unsigned(c.inv.address)).add("config", "read").add("model", unsigned(shown.block.modelCode()));
    if (output) {
        const IniExportResult written = exportParamIni(shown.block, *output);
        if (!written.ok) {
            printErr("qxcli: " + written.message + "\n");
            return kExitError;
        }
        result(c.inv, std::string(texts::kExportDone) + *output, json.add("file", *output).addBool("ok", true));
        return kExitOk;
    }
    const IniExportResult text = paramIniText(shown.block);
    if (!text.ok) {
        printErr("qxcli: " + text.message + "\n");
        return kExitError;
    }
    if (c.inv.json)
        result(c.inv, {}, json.add("ini", gbkToUtf8(text.text)).addBool("ok", true));
    else
        printOutRaw(text.text); // the file's bytes, as -o writes them
    return kExitOk;
}

// Asks on the terminal as the page's "注意:" box does; true for yes.
bool confirmOnTerminal(const char *question)
{
    printErr(std::string(texts::kCaptionConfirm) + " " + question + "\n[y/N] ");
    std::string answer;
    int ch;
    while ((ch = std::getchar()) != EOF && ch != '\n')
        answer += static_cast<char>(ch);
    return answer == "y" || answer == "Y" || answer == "yes";
}

// The page's question before a write: --yes answers it, else the terminal
// does; without a terminal nothing is written. An error text, or "".
std::string confirmOrRefuse(const Invocation &inv, const char *question, const char *what)
{
    if (option(inv, "--yes"))
        return {};
    if (::isatty(STDIN_FILENO) != 1) {
        printErr(std::string("qxcli: ") + what + " asks before writing; without a terminal give --yes\n");
        return "-";
    }
    if (!confirmOnTerminal(question)) {
        printErr(kCancelled);
        return "-";
    }
    return {};
}

std::string prepareConfig(const Invocation &inv, Run &run)
{
    const auto &w = inv.words;
    if (w.size() == 2 && w[1] == "read") {
        if (option(inv, "--yes"))
            return "config read takes no --yes";
        const std::optional<std::string> output = option(inv, "-o");
        run = [output](Context &c) { return runConfigRead(c, output); };
        return {};
    }
    if (w.size() != 3 || w[1] != "write")
        return "config takes: read [-o FILE.ini], or write FILE.ini [--yes]";
    if (option(inv, "-o"))
        return "config write takes no -o";
    const IniLoadResult loaded = loadParamIni(w[2]);
    if (!loaded.ok) {
        if (!loaded.openError.empty())
            printErr(std::string("qxcli: ") + texts::kIniCannotOpen + w[2] + ": " + loaded.openError + "\n");
        else
            printErr("qxcli: " + terminalText(formatText(texts::kIniMissingFormat, loaded.missingSection.c_str(),
                                                         loaded.missingKey.c_str())));
        return "-";
    }
    // the page shows the loaded block, then collects what it shows
    const CollectResult collected = collectBlock(valuesOf(showBlock(loaded.block)), loaded.block);
    if (!collected.ok) {
        printErr("qxcli: " + collected.message + "\n");
        return "-";
    }
    if (std::string why = confirmOrRefuse(inv, texts::kWriteConfirm, "config write"); !why.empty())
        return why;
    const ParamBlock block = collected.block;
    run = [block](Context &c) {
        LinkEvent answer;
        const WaitResult wait = exchangeParams(c, paramRequest(paramWriteRecord(block), c.inv.address, true),
                                               kEventParamsWritten, answer);
        if (wait != WaitResult::Done)
            return configNoAnswer(c, wait, texts::kWriteTimedOut);
        if (answer.code == kEventOther)
            return failure(c.inv, formatText(kRefusedFormat, unsigned(c.inv.address),
                                             unsigned(exceptionCodeOf(answer.frame, tcpFraming(c.inv)))));
        const ParamWriteAnswer written = readParamWriteEvent(answer.record.data());
        if (!written.written)
            return failure(c.inv, "qxcli: " + written.message + "\n");
        result(c.inv, written.message,
               JsonObject().add("address", unsigned(c.inv.address)).add("config", "write")
                   .add("model", unsigned(block.modelCode())).addBool("ok", true).add("message", written.message));
        return kExitOk;
    };
    return {};
}

// --- firmware upgrade

int runFirmware(Context &c, FirmwareUpgrade upgrade)
{
    TransferStep first = upgrade.start(kTransferBios);
    JsonObject json;
    json.add("address", unsigned(c.inv.address)).add("firmware", "upgrade").add("bytes", upgrade.imageSize())
        .add("parts", upgrade.partsTotal());
    return runAckedTransfer(c, upgrade, std::move(first), {kEventBiosPacket, kEventFirmwarePacket}, "firmware",
                            std::move(json));
}

std::string prepareFirmware(const Invocation &inv, Run &run)
{
    if (inv.words.size() != 3 || inv.words[1] != "upgrade")
        return "firmware takes: upgrade IMAGE.bin [--yes]";
    FirmwareUpgrade upgrade;
    const FirmwareLoadResult loaded = upgrade.loadFile(inv.words[2]);
    if (!loaded.ok) {
        printErr("qxcli: " + loaded.message + "\n");
        return "-";
    }
    if (upgrade.imageSize() == 0) {
        printErr(std::string("qxcli: ") + texts::kFirmwareNoImage + "\n");
        return "-";
    }
    if (std::string why = confirmOrRefuse(inv, texts::kFirmwareConfirm, "firmware upgrade"); !why.empty())
        return why;
    run = [upgrade](Context &c) { return runFirmware(c, upgrade); };
    return {};
}

// --- scan

std::string prepareScan(const Invocation &inv, Run &run)
{
    if (inv.words.size() != 1)
        return "scan takes no arguments";
    long from = 1;
    long to = 240;
    if (const auto t = option(inv, "--from")) {
        const auto n = parseDecimal(*t, 1, 247);
        if (!n)
            return "--from takes an address 1..247";
        from = *n;
    }
    if (const auto t = option(inv, "--to")) {
        const auto n = parseDecimal(*t, 1, 247);
        if (!n)
            return "--to takes an address 1..247";
        to = *n;
    }
    if (from > to)
        return "--from is above --to";
    const int timeoutMs = inv.timeoutGiven ? inv.timeoutMs : kScanDefaultTimeoutMs;
    run = [from, to, timeoutMs](Context &c) {
        const int total = int(to - from + 1);
        Progress progress("scan", total);
        int found = 0;
        for (long a = from; a <= to; ++a) {
            const auto address = static_cast<uint8_t>(a);
            c.link.place(identityRequest(address));
            WaitResult w = c.link.waitSent(address, timeoutMs + 1000);
            LinkEvent answer;
            std::vector<LinkEvent> late;
            if (w == WaitResult::Done)
                w = c.link.waitAnswer(address, {kEventIdentity}, timeoutMs, answer, &late);
            for (const LinkEvent &e : late)
                if (e.address >= 0)
                    progress.note(formatText(kLateAnswerFormat, unsigned(e.address)));
            if (w == WaitResult::Cancelled || w == WaitResult::LinkLost) {
                progress.finish();
                return waitFailure(c.inv, w, address, timeoutMs);
            }
            if (w == WaitResult::Done && answer.code == kEventIdentity) {
                ++found;
                const IdentityView v = readIdentity(answer.record.data());
                progress.clear();
                result(c.inv, std::to_string(a) + " " + v.modelName,
                       JsonObject().add("address", int(a)).add("model", v.modelName).add("series", v.series));
                flushOut();
            }
            progress.update(int(a - from + 1), "scan " + std::to_string(a) + (w == WaitResult::Done ? " answered" : ""));
            // The library sends nothing new until 1000 ms after an unanswered
            // request; a new port object does not wait, so a shorter timeout
            // sets the pace. A TCP server cannot call the module back.
            if (w == WaitResult::NoAnswer && timeoutMs < kLibraryResponseWaitMs && a < to
                && c.inv.transport != Invocation::Transport::TcpServer) {
                const DeviceLink::OpenResult again = c.link.reopen(std::max(c.inv.timeoutMs, kDefaultTimeoutMs));
                if (!again.ok) {
                    progress.finish();
                    return failure(c.inv, again.message.empty() ? std::string(kLinkLost) : again.message + "\n");
                }
            }
        }
        progress.finish();
        if (found == 0)
            return failure(c.inv, kScanNoneFound);
        return kExitOk;
    };
    return {};
}

// --- the table

const Command kCommands[] = {
    {"identity",
     "qxcli CONNECTION identity\n"
     "  Reads the module's identity and prints the connection page's information\n"
     "  fields: 固件版本, 驱动版本, 设备型号, 设备系列, 出厂编号, 出厂日期, 功能简介.\n",
     {}, prepareIdentity},
    {"read",
     "qxcli CONNECTION read di|do|ai|ao|counters [--sub S] [--every MS --count N]\n"
     "  di: X1..X24; do: Y1..Y24 as the DI/DO page captions them; ai: AI1..AI8 raw;\n"
     "  ao: AO1..AO8; counters: the pulse counters of X1..X24.\n"
     "  --sub S      sub-station 1..10 of a gateway (0, the default, for \"无\")\n"
     "  --every MS   read again every MS ms; --count N reads (0, the default with\n"
     "               --every: until Ctrl-C)\n",
     {"--sub", "--every", "--count"}, prepareRead},
    {"write",
     "qxcli CONNECTION write do N on|off [--sub S]     output YN, N = 1..24\n"
     "qxcli CONNECTION write do all on|off [--sub S]   Y1..Y24 (\"全开\" / \"全关\")\n"
     "qxcli CONNECTION write ao N VALUE [--sub S]      AON, N = 1..8, VALUE 0..65535\n",
     {"--sub"}, prepareWrite},
    {"pwm",
     "qxcli CONNECTION pwm N [--unit us|ms|s] [--high H] [--low L] [--run on|off] [--sub S]\n"
     "  Sets PWM output YN (N = 1, 3, 5, 7): time unit (us), high and low time of\n"
     "  one period (50000 each), as the PWM page's \"设置\"; prints frequency and\n"
     "  duty. --run on|off then starts or stops the output.\n",
     {"--sub", "--unit", "--high", "--low", "--run"}, preparePwm},
    {"clear",
     "qxcli CONNECTION clear counters [--sub S]\n"
     "  Clears the pulse counters of X1..X24 (\"全部清空\").\n",
     {"--sub"}, prepareClear},
    {"plc",
     "qxcli CONNECTION plc download FILE --ram|--flash|--flash-restart\n"
     "      [--scaling FILE.txt] [--password PW] [--block-size N]\n"
     "  Checks and compiles FILE (source text, or a .qprj project with its\n"
     "  password) and downloads it: --ram \"下载RAM并运行\", --flash \"下载FLASH并运行\",\n"
     "  --flash-restart \"下载FLASH并重启\". Block size 8, 16, 32, 64 (default), 128, 256.\n"
     "qxcli CONNECTION plc clear-flash [--block-size N]\n"
     "  \"清空FLASH并重启\": an empty program into FLASH, then a restart.\n"
     "  A packet without acknowledgement within --timeout is sent again; after 3\n"
     "  such waits in a row the transfer is given up. Ctrl-C cancels it.\n",
     {"--ram", "--flash", "--flash-restart", "--scaling", "--password", "--block-size"}, preparePlc},
    {"config",
     "qxcli CONNECTION config read [-o FILE.ini]\n"
     "  Reads the parameter block (\"读取模块\") and prints its INI form, or writes it\n"
     "  to FILE.ini as \"导出配置\" does (\"配置已导出到文件:\"). Waits 5000 ms unless\n"
     "  --timeout says otherwise; read and write go again every 2000 ms while\n"
     "  nothing answers.\n"
     "qxcli CONNECTION config write FILE.ini [--yes]\n"
     "  Loads FILE.ini as \"本地加载\" does and writes it (\"写入模块\"), after the\n"
     "  page's question on the terminal; --yes answers it. Without a terminal and\n"
     "  without --yes nothing is written (exit 2).\n",
     {"-o", "--yes"}, prepareConfig},
    {"firmware",
     "qxcli CONNECTION firmware upgrade IMAGE.bin [--yes]\n"
     "  Sends IMAGE.bin (at most 131071 bytes) to the module in 1024-byte parts as\n"
     "  \"升级BIOS\" does, after the page's question on the terminal; --yes answers\n"
     "  it, without a terminal and without --yes nothing is sent (exit 2). A part\n"
     "  without acknowledgement within --timeout is sent again; after 3 such waits\n"
     "  in a row, or on Ctrl-C, the upgrade ends with the page's warning.\n",
     {"--yes"}, prepareFirmware},
    {"scan",
     "qxcli CONNECTION scan [--from A] [--to B] [--timeout MS]\n"
     "  Asks every address from A (1) to B (240) for its identity and prints those\n"
     "  that answer with their model. --timeout is the wait per address (1000 ms).\n"
     "  QXLIB sends a request only 1000 ms after an unanswered one; with a shorter\n"
     "  --timeout the port is opened anew after each silent address so that the\n"
     "  timeout sets the pace (not with --listen, where the module connects).\n"
     "  A module slower than the timeout is missed (noted as a late answer when\n"
     "  its answer still arrives). Exit 1 when none answered.\n",
     {"--from", "--to"}, prepareScan},
};

int usageError(const std::string &why)
{
    printErr("qxcli: " + why + "\n" + kUsage + "Try 'qxcli --help'.\n");
    return kExitError;
}

std::string executableDir()
{
    char path[4096];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return {};
    std::string p(path, std::size_t(n));
    const std::size_t slash = p.rfind('/');
    return slash == std::string::npos ? std::string() : p.substr(0, slash);
}

} // namespace

const char *deviceUsage()
{
    return kUsage;
}

int runDeviceCommand(const std::vector<std::string> &args)
{
    const ParseResult parsed = parseInvocation(args);
    if (!parsed.ok)
        return usageError(parsed.message);
    const Invocation &inv = parsed.invocation;
    const Command *command = nullptr;
    if (!inv.words.empty())
        for (const Command &c : kCommands)
            if (inv.words[0] == c.name)
                command = &c;
    if (inv.help) {
        printOut(command ? std::string(command->help) : std::string(kUsage) + "\n" + kHelp);
        return kExitOk;
    }
    if (inv.words.empty())
        return usageError("missing COMMAND");
    if (!command)
        return usageError("unknown command '" + inv.words[0] + "'");
    for (const auto &[name, value] : inv.options) {
        bool allowed = false;
        for (const char *o : command->options)
            allowed = allowed || name == o;
        if (!allowed)
            return usageError(std::string(command->name) + " does not take " + name);
    }
    Run run;
    if (const std::string why = command->prepare(inv, run); !why.empty())
        return why == "-" ? kExitError : usageError(why);
    const SettingsResult settings = connectionSettings(inv);
    if (!settings.ok)
        return usageError(settings.message);
    const BindResult bound =
        bindFirstLibrary(libraryCandidates(inv.library, executableDir(), QX_BUILD_LIBRARY_DIR));
    if (!bound.ok) {
        printErr(bound.message + "\n");
        return kExitError;
    }

    keepStdoutForResults();
    struct sigaction sa {};
    sa.sa_handler = onInterrupt;
    sa.sa_flags = SA_RESETHAND; // a second Ctrl-C ends the program at once
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);

    DeviceLink link;
    // scan's --timeout is its wait per address, not the link's
    const bool scan = std::string(command->name) == "scan";
    const int linkTimeout = scan ? std::max(inv.timeoutMs, kDefaultTimeoutMs) : inv.timeoutMs;
    const DeviceLink::OpenResult opened = link.open(bound.functions, settings.settings, linkTimeout);
    if (!opened.ok) {
        if (!opened.message.empty())
            return failure(inv, opened.message + "\n");
        if (opened.wait == WaitResult::NoAnswer)
            return failure(inv, formatText(kNoLinkFormat, linkTimeout));
        return waitFailure(inv, opened.wait, inv.address, linkTimeout);
    }
    Context context {inv, link};
    const int rc = run(context);
    link.close();
    return rc;
}

} // namespace qx::cli
