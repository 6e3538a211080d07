// The transfers: plc download and clear-flash, firmware upgrade. Each runs
// the page's state machine through runTransfer, packet by packet.
#include "commands.h"

#include "config_texts.h"
#include "event_codes.h"
#include "firmware_upgrade.h"
#include "plc_command.h"
#include "plc_compiler.h"
#include "plc_download.h"
#include "plc_texts.h"
#include "text_format.h"

namespace qx::cli {

namespace {

constexpr const char *kTransferGaveUpFormat = "qxcli: no acknowledgement from module %u after %d tries\n";

// A transfer is given up after this many waits in a row without an
// acknowledgement: the page resends for ever, a script must end.
constexpr int kTransferTriesWithoutAnswer = 3;

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
    link.place = [&](const TransferStep &s) { c.link.place(transferSlotRequest(s.slot, s.packet, address), true); };
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
        return std::string(plc_texts::kFixSyntaxFirst);
    const ProgramImage image = buildProgramImage(*project, *scaling);
    run = [image, finalCommand, blockSize](Context &c) {
        return runDownload(c, image, finalCommand, blockSize, "download");
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
        printErr(std::string("qxcli: ") + config_texts::kFirmwareNoImage + "\n");
        return "-";
    }
    if (std::string why = confirmOrRefuse(inv, config_texts::kFirmwareConfirm, "firmware upgrade"); !why.empty())
        return why;
    run = [upgrade](Context &c) { return runFirmware(c, upgrade); };
    return {};
}

} // namespace

std::span<const Command> transferCommands()
{
    static const Command commands[] = {
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
        {"firmware",
         "qxcli CONNECTION firmware upgrade IMAGE.bin [--yes]\n"
         "  Sends IMAGE.bin (at most 131071 bytes) to the module in 1024-byte parts as\n"
         "  \"升级BIOS\" does, after the page's question on the terminal; --yes answers\n"
         "  it, without a terminal and without --yes nothing is sent (exit 2). A part\n"
         "  without acknowledgement within --timeout is sent again; after 3 such waits\n"
         "  in a row, or on Ctrl-C, the upgrade ends with the page's warning.\n",
         {"--yes"}, prepareFirmware},
    };
    return commands;
}

} // namespace qx::cli
