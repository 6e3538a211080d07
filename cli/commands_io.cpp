// The I/O commands: identity, read, write, pwm and clear, with the I/O
// pages' request records and the captions their fields show.
#include "commands.h"

#include <chrono>
#include <thread>

#include "analog_values.h"
#include "digital_display.h"
#include "event_codes.h"
#include "event_records.h"
#include "io_events.h"
#include "io_texts.h"
#include "pwm_values.h"
#include "record_readers.h"
#include "shell_texts.h"
#include "text_format.h"

namespace qx::cli {

namespace {

// The pages poll with repeat mode; a command asks once.
SlotRequest once(SlotRequest request)
{
    request.record.setMode(kModeCounted);
    request.record.setCounter(1);
    return request;
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
    if (const int rc = ask(c, identityRequest(kModeCounted, c.inv.address), {kEventIdentity}, answer); rc != kExitOk)
        return rc;
    const IdentityView v = readIdentity(answer.record.data());
    const std::pair<const char *, const std::string *> fields[] = {
        {shell_texts::kLabelFirmwareVersion, &v.firmwareVersion},
        {shell_texts::kLabelDriverVersion, &v.driverVersion},
        {shell_texts::kLabelModel, &v.modelName},
        {shell_texts::kLabelSeries, &v.series},
        {shell_texts::kLabelSerialNumber, &v.serialNumber},
        {shell_texts::kLabelFactoryDate, &v.factoryDate},
        {shell_texts::kLabelDescription, &v.description},
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
            result(c.inv, std::string(on ? io_texts::kButtonAllOn : io_texts::kButtonAllOff),
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
        result(c.inv, std::string(io_texts::kButtonClearCounters),
               JsonObject().add("address", unsigned(c.inv.address)).add("sub", unsigned(sub))
                   .add("clear", "counters").addBool("ok", true));
        return kExitOk;
    };
    return {};
}

} // namespace

std::span<const Command> ioCommands()
{
    static const Command commands[] = {
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
    };
    return commands;
}

} // namespace qx::cli
