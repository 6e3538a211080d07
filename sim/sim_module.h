// SimModule: the simulated module behind every transport. It takes one
// request PDU (function code and fields, without address, header or CRC) and
// builds the response PDU, as the module's firmware would; framing,
// addressing and fault injection are the transports' business.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "io_map.h"
#include "param_block.h"
#include "plc_runtime.h"
#include "transfer_packet_layout.h"

namespace qx::sim {

struct ModuleSettings
{
    uint8_t unit = 1;
    // QXA_4488_ETH, shown as QXP_4488_ETH in series 5; one byte, as QXMode
    // of the parameter block holds it
    uint8_t modelCode = 155;
    uint8_t series = 5;
    std::filesystem::path stateDir; // empty: everything stays in memory
    int refusePart = -1; // transfer packet refused once, -1 for none
    // The next parameter read answered with a broken payload, once.
    enum class BadBlock : uint8_t {
        None,
        Checksum, // the checksum's last byte flipped
        Short, // 500 bytes of the record, under a correct checksum
    } badBlock = BadBlock::None;
    int dropPart = -1; // firmware part whose answer is lost once, -1 for none
    // PLC packet (counted as for refusePart) answered once kLateAnswerMs
    // late, after the host's resend; -1 for none.
    int latePacket = -1;
};

// Later than the host's 3000 ms resend of a transfer packet.
inline constexpr unsigned kLateAnswerMs = 3500;

// What the module made of the firmware parts of one kind (0x43 or 0x44)
// since the last part 0, which begins a new image.
struct FirmwareAssembly
{
    std::vector<uint16_t> arrivals; // stored parts in arrival order, repeats included
    uint32_t inOrder = 0; // parts 0..inOrder-1 came in order
    bool outOfOrder = false; // a part came before the ones ahead of it
    // The last part arrived in order: it is never full, the host fills what
    // follows the image's end with 0xFF (a full last part ending in 0xFF
    // image bytes would look the same, and more parts would follow).
    bool complete = false;
    std::size_t imageBytes = 0; // complete: up to the last byte before the fill
};

// Files kept in the state directory.
namespace StateFiles {
constexpr const char *kParams = "params.bin";
constexpr const char *kBios = "bios.bin";
constexpr const char *kFirmware = "firmware.bin";
constexpr const char *kPlcFlash = "plc_flash.bin";
constexpr const char *kPlcRam = "plc_ram.bin"; // written after each program stored, never read
} // namespace StateFiles

enum ExceptionCode : uint8_t {
    kIllegalFunction = 0x01,
    kIllegalDataAddress = 0x02,
    kIllegalDataValue = 0x03,
};

class SimModule
{
public:
    explicit SimModule(const ModuleSettings &settings);

    // The Modbus address the module answers to: QXAddr1 of its parameter
    // block, which a written block may change.
    uint8_t address() const { return m_params.u8(ParamLayout::kQXAddr1); }

    // Brings the live I/O up to time `nowUs` (any fixed origin).
    void advance(uint64_t nowUs) { m_io.advance(nowUs); }

    // The response PDU to a request PDU; never empty (unknown or malformed
    // requests get an exception response).
    std::vector<uint8_t> handle(const uint8_t *pdu, std::size_t length);

    // A 0x45 status report PDU with the sections the parameter block's
    // byRepCont selects (all of them when it is 0), or those of `flags`.
    std::vector<uint8_t> statusReport() const;
    std::vector<uint8_t> statusReport(uint8_t flags) const;

    // One scan of the PLC program at time `nowUs`, I/O brought up to it.
    void scanPlc(uint64_t nowUs);
    const PlcRuntime &plc() const { return m_plc; }
    // Status report sections the program asked for since the last call.
    uint8_t takePlcReport() { return m_plc.takeReportFlags(); }
    // What happened to downloaded programs (started, refused) since the
    // last call, for the log.
    std::vector<std::string> takePlcMessages();

    const ParamBlock &params() const { return m_params; }
    const IoState &io() const { return m_io; }
    const std::vector<uint8_t> &firmwareImage(uint8_t function) const;
    const FirmwareAssembly &firmwareAssembly(uint8_t function) const;
    // True when the answer to the last request is to be lost on its way
    // (--drop-part); the request has been carried out.
    bool answerLost() const { return m_answerLost; }
    // How much later than usual the answer to the last request goes out
    // (--late-packet), in milliseconds.
    unsigned answerDelayMs() const { return m_answerDelayMs; }
    // Lines for the traffic log about the last request (firmware parts and
    // image completion); taken once.
    std::vector<std::string> takeTrafficNotes();
    const std::vector<uint8_t> &plcRam() const { return m_plcRam; }
    const std::vector<uint8_t> &plcFlash() const { return m_plcFlash; }
    // Set when the last final packet asked for a restart (mode 5).
    int restarts() const { return m_restarts; }

    // Problems met while loading or saving state, for the log.
    const std::vector<std::string> &stateErrors() const { return m_stateErrors; }

private:
    std::vector<uint8_t> readBits(uint8_t function, const uint8_t *pdu, std::size_t length);
    std::vector<uint8_t> readRegisters(uint8_t function, const uint8_t *pdu, std::size_t length);
    std::vector<uint8_t> writeSingleCoil(const uint8_t *pdu, std::size_t length);
    std::vector<uint8_t> writeSingleRegister(const uint8_t *pdu, std::size_t length);
    std::vector<uint8_t> writeCoils(const uint8_t *pdu, std::size_t length);
    std::vector<uint8_t> writeRegisters(const uint8_t *pdu, std::size_t length);
    std::vector<uint8_t> identity() const;
    std::vector<uint8_t> readParams();
    std::vector<uint8_t> writeParams(const uint8_t *pdu, std::size_t length);
    std::vector<uint8_t> firmwarePart(uint8_t function, const uint8_t *pdu, std::size_t length);
    void noteFirmwarePart(int kind, uint16_t index, const uint8_t *part);
    std::vector<uint8_t> plcPacket(const uint8_t *pdu, std::size_t length);
    // Stores and starts the assembled program as a final command asks;
    // returns the packet's status.
    uint8_t runFinalCommand(uint8_t mode);

    void defaultParams();
    void loadState();
    void startPlc(PlcProgram program, const char *where);
    void notePlcFinal(uint8_t mode);
    void save(const char *name, const std::vector<uint8_t> &bytes);

    ModuleSettings m_settings;
    ParamBlock m_params;
    IoState m_io;
    std::vector<uint8_t> m_bios;
    std::vector<uint8_t> m_firmware;
    std::vector<uint8_t> m_plcAssembly;
    std::vector<uint8_t> m_plcRam;
    std::vector<uint8_t> m_plcFlash;
    int m_plcPacketNumber = 0; // since the last start packet
    bool m_plcStarted = false; // a start packet came since the last final one
    std::vector<bool> m_plcReceived; // bytes of the assembly sent since the start
    std::array<bool, 3> m_refused {}; // BIOS, firmware, PLC: refused once already
    std::array<bool, 2> m_dropped {}; // BIOS, firmware: answer lost once already
    std::array<FirmwareAssembly, 2> m_assembly; // BIOS, firmware
    bool m_answerLost = false;
    unsigned m_answerDelayMs = 0;
    bool m_lateDone = false;
    // The final command carried out last and its status, until the next
    // start or data packet: a host that lost the answer sends it again.
    struct LastFinal {
        uint8_t mode = 0;
        uint8_t status = 0;
    };
    std::optional<LastFinal> m_lastFinal;
    std::vector<std::string> m_trafficNotes;
    int m_restarts = 0;
    bool m_badBlockSent = false;
    std::vector<std::string> m_stateErrors;
    PlcRuntime m_plc;
    std::vector<std::string> m_plcMessages;
};

std::vector<uint8_t> exceptionPdu(uint8_t function, uint8_t code);

} // namespace qx::sim
