// The configuration commands: config read and write, with the
// configuration page's requests, its INI form and its texts.
#include "commands.h"

#include <algorithm>

#include "config_texts.h"
#include "event_codes.h"
#include "gbk.h"
#include "param_answers.h"
#include "param_form.h"
#include "param_ini.h"
#include "param_ini_export.h"
#include "param_requests.h"
#include "text_format.h"

namespace qx::cli {

namespace {

// The page counts five seconds down before it calls a read or write failed.
constexpr int kConfigWaitMs = 5000;

int configWait(const Invocation &inv)
{
    return inv.timeoutGiven ? inv.timeoutMs : kConfigWaitMs;
}

constexpr const char *kParamResendFormat = "qxcli: no answer from module %u within %d ms, sent again\n";

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

// One exchange as the page makes it: the receive buffer cleared first, the
// request placed again while nothing answers, and an answer that did not
// come told with the page's own text.
int askConfig(Context &c, const SlotRequest &request, int32_t code, const char *noAnswerText,
              LinkEvent &answer)
{
    const int waitMs = configWait(c.inv);
    const WaitResult w = exchangeParams(c, request, code, answer);
    if (w == WaitResult::NoAnswer)
        return failure(c.inv, std::string("qxcli: ") + noAnswerText + "\n");
    if (w != WaitResult::Done)
        return waitFailure(c.inv, w, c.inv.address, waitMs);
    if (answer.code == kEventOther)
        return refusal(c.inv, c.inv.address, answer);
    return kExitOk;
}

int runConfigRead(Context &c, const std::optional<std::string> &output)
{
    LinkEvent answer;
    if (const int rc =
            askConfig(c, paramReadRequest(c.inv.address), kEventParamsRead, config_texts::kReadFailed, answer);
        rc != kExitOk)
        return rc;
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
        result(c.inv, std::string(config_texts::kExportDone) + *output, json.add("file", *output).addBool("ok", true));
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
            printErr(std::string("qxcli: ") + config_texts::kIniCannotOpen + w[2] + ": " + loaded.openError + "\n");
        else
            printErr("qxcli: " + terminalText(missingKeyLine(loaded)));
        return "-";
    }
    // the page shows the loaded block, then collects what it shows
    const CollectResult collected = collectBlock(valuesOf(showBlock(loaded.block)), loaded.block);
    if (!collected.ok) {
        printErr("qxcli: " + collected.message + "\n");
        return "-";
    }
    if (std::string why = confirmOrRefuse(inv, config_texts::kWriteConfirm, "config write"); !why.empty())
        return why;
    const ParamBlock block = collected.block;
    run = [block](Context &c) {
        LinkEvent answer;
        if (const int rc = askConfig(c, paramWriteRequest(block, c.inv.address), kEventParamsWritten,
                                     config_texts::kWriteTimedOut, answer);
            rc != kExitOk)
            return rc;
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

} // namespace

std::span<const Command> configCommands()
{
    static const Command commands[] = {
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
    };
    return commands;
}

} // namespace qx::cli
