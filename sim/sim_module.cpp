// Request handling of the simulated module: the standard functions on the
// I/O map and the maker's functions on the parameter block, firmware images
// and PLC program.
#include "sim_module.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "byte_io.h"
#include "crc16.h"
#include "identity_record.h"
#include "state_store.h"
#include "status_report_layout.h"

namespace qx::sim {

namespace {

constexpr uint8_t kFnReadCoils = 0x01;
constexpr uint8_t kFnReadInputs = 0x02;
constexpr uint8_t kFnReadHolding = 0x03;
constexpr uint8_t kFnReadInputRegisters = 0x04;
constexpr uint8_t kFnWriteCoil = 0x05;
constexpr uint8_t kFnWriteRegister = 0x06;
constexpr uint8_t kFnWriteCoils = 0x0F;
constexpr uint8_t kFnWriteRegisters = 0x10;
constexpr uint8_t kFnIdentity = 0x11;
constexpr uint8_t kFnReadParams = 0x41;
constexpr uint8_t kFnWriteParams = 0x42;
constexpr uint8_t kFnBiosPart = 0x43;
constexpr uint8_t kFnFirmwarePart = 0x44;
constexpr uint8_t kFnStatusReport = 0x45;
constexpr uint8_t kFnPlcPacket = 0x46;

// Limits of the Modbus application protocol.
constexpr uint16_t kMaxReadBits = 2000;
constexpr uint16_t kMaxReadRegisters = 125;
constexpr uint16_t kMaxWriteBits = 1968;
constexpr uint16_t kMaxWriteRegisters = 123;

// Identity: versions, and the serial words after the factory date 2024-5-17.
constexpr uint8_t kDriverVersion[2] = {2, 1};
constexpr uint8_t kFirmwareVersion[2] = {7, 6};
constexpr uint16_t kSerialWords[IdentityBlock::kSerialWordCount] = {2024, 5, 17, 0, 0, 0, 0, 1, 5, 5};
// The PDU is the RTU frame without address and CRC.
constexpr std::size_t kIdentityPduSize = IdentityBlock::kRtuFrameLength - 3;

constexpr int kRefuseBios = 0;
constexpr int kRefuseFirmware = 1;
constexpr int kRefusePlc = 2;

} // namespace

std::vector<uint8_t> exceptionPdu(uint8_t function, uint8_t code)
{
    return {static_cast<uint8_t>(function | 0x80), code};
}

SimModule::SimModule(const ModuleSettings &settings)
    : m_settings(settings)
    , m_plcAssembly(EplcPacketLayout::kProgramSize, 0)
    , m_plcRam(EplcPacketLayout::kProgramSize, 0)
    , m_plcFlash(EplcPacketLayout::kProgramSize, 0)
    , m_plcReceived(EplcPacketLayout::kProgramSize, false)
{
    defaultParams();
    loadState();
}

void SimModule::defaultParams()
{
    using namespace ParamLayout;
    ParamBlock &b = m_params;
    b.setU8(kQXMode, m_settings.modelCode);
    b.setU8(kQXAddr1, m_settings.unit);
    b.setU24be(kDwRepTwinTm, 1000);
    b.setU8(kByRxDly, 10);
    b.setU8(kByTxDly, 10);
    b.setU24be(kDwDiscTm, 30000);
    b.setU32(kR1BaudRate, 115200);
    b.setU8(kR1BitCS, 8);
    b.setU8(kR1Parity, 0);
    b.setU8(kR1BitStop, 1);
    b.setU8(kR1Type, 1);
    b.setText(kE1LocalIP, 16, "192.168.1.200");
    b.setText(kE1NetMask, 16, "255.255.255.0");
    b.setText(kE1GateWay, 16, "192.168.1.1");
    b.setText(kE1MAC, 32, "00-1A-2B-3C-4D-5E");
    b.setU16(kE1LocalPort1, 10001);
    b.setText(kE1RemoteIP1, 16, "192.168.1.100");
    b.setU16(kE1RemotePort1, 10001);
    b.setU8(kE1SocketType1, 2);
    b.setU32(kDwIOFilterWin, 10);
}

void SimModule::loadState()
{
    if (m_settings.stateDir.empty())
        return;
    const auto &dir = m_settings.stateDir;
    if (auto bytes = readWholeFile(dir / StateFiles::kParams)) {
        const uint8_t storedAddress = bytes->size() == ParamLayout::kSize ? (*bytes)[ParamLayout::kQXAddr1] : 0;
        if (storedAddress >= 1 && storedAddress <= 247) {
            std::memcpy(m_params.data(), bytes->data(), ParamLayout::kSize);
            // the model code is the module's own, not the stored block's
            m_params.setU8(ParamLayout::kQXMode, m_settings.modelCode);
        } else {
            m_stateErrors.push_back(std::string(StateFiles::kParams) + ": wrong size or address, ignored");
        }
    }
    if (auto bytes = readWholeFile(dir / StateFiles::kBios))
        m_bios = std::move(*bytes);
    if (auto bytes = readWholeFile(dir / StateFiles::kFirmware))
        m_firmware = std::move(*bytes);
    if (auto bytes = readWholeFile(dir / StateFiles::kPlcFlash)) {
        if (bytes->size() == EplcPacketLayout::kProgramSize) {
            m_plcFlash = *bytes;
            m_plcRam = std::move(*bytes); // a module starts the program kept in FLASH
            PlcDecodeResult decoded = decodePlcImage(m_plcRam.data(), m_plcRam.size());
            if (decoded.ok)
                startPlc(std::move(decoded.program), "FLASH");
            else
                m_stateErrors.push_back(std::string(StateFiles::kPlcFlash) + ": not run, " + decoded.message);
        } else {
            m_stateErrors.push_back(std::string(StateFiles::kPlcFlash) + ": wrong size, ignored");
        }
    }
}

void SimModule::save(const char *name, const std::vector<uint8_t> &bytes)
{
    if (m_settings.stateDir.empty())
        return;
    std::string error;
    if (!writeFileAtomically(m_settings.stateDir / name, bytes, error))
        m_stateErrors.push_back(error);
}

const std::vector<uint8_t> &SimModule::firmwareImage(uint8_t function) const
{
    return function == kFnBiosPart ? m_bios : m_firmware;
}

const FirmwareAssembly &SimModule::firmwareAssembly(uint8_t function) const
{
    return m_assembly[function == kFnBiosPart ? kRefuseBios : kRefuseFirmware];
}

std::vector<std::string> SimModule::takeTrafficNotes()
{
    std::vector<std::string> out;
    out.swap(m_trafficNotes);
    return out;
}

std::vector<uint8_t> SimModule::handle(const uint8_t *pdu, std::size_t length)
{
    m_answerLost = false;
    m_answerDelayMs = 0;
    if (pdu == nullptr || length == 0)
        return exceptionPdu(0, kIllegalFunction);
    const uint8_t f = pdu[0];
    switch (f) {
    case kFnReadCoils:
    case kFnReadInputs:
        return readBits(f, pdu, length);
    case kFnReadHolding:
    case kFnReadInputRegisters:
        return readRegisters(f, pdu, length);
    case kFnWriteCoil:
        return writeSingleCoil(pdu, length);
    case kFnWriteRegister:
        return writeSingleRegister(pdu, length);
    case kFnWriteCoils:
        return writeCoils(pdu, length);
    case kFnWriteRegisters:
        return writeRegisters(pdu, length);
    case kFnIdentity:
        return identity();
    case kFnReadParams:
        return readParams();
    case kFnWriteParams:
        return writeParams(pdu, length);
    case kFnBiosPart:
    case kFnFirmwarePart:
        return firmwarePart(f, pdu, length);
    case kFnPlcPacket:
        return plcPacket(pdu, length);
    default:
        return exceptionPdu(f, kIllegalFunction);
    }
}

std::vector<uint8_t> SimModule::readBits(uint8_t f, const uint8_t *pdu, std::size_t length)
{
    if (length != 5)
        return exceptionPdu(f, kIllegalDataValue);
    const uint16_t start = getU16be(pdu, 1);
    const uint16_t quantity = getU16be(pdu, 3);
    if (quantity < 1 || quantity > kMaxReadBits)
        return exceptionPdu(f, kIllegalDataValue);
    const std::size_t size = f == kFnReadCoils ? IoMap::kCoilCount : IoMap::kInputCount;
    if (std::size_t(start) + quantity > size)
        return exceptionPdu(f, kIllegalDataAddress);
    const std::size_t n = (quantity + 7u) / 8u;
    std::vector<uint8_t> out(2 + n, 0);
    out[0] = f;
    out[1] = static_cast<uint8_t>(n);
    for (std::size_t i = 0; i < quantity; ++i) {
        const bool on = f == kFnReadCoils ? m_io.coil(start + i) : m_io.input(start + i);
        if (on)
            out[2 + i / 8] |= static_cast<uint8_t>(1u << (i % 8));
    }
    return out;
}

std::vector<uint8_t> SimModule::readRegisters(uint8_t f, const uint8_t *pdu, std::size_t length)
{
    if (length != 5)
        return exceptionPdu(f, kIllegalDataValue);
    const uint16_t start = getU16be(pdu, 1);
    const uint16_t quantity = getU16be(pdu, 3);
    if (quantity < 1 || quantity > kMaxReadRegisters)
        return exceptionPdu(f, kIllegalDataValue);
    const std::size_t size = f == kFnReadHolding ? IoMap::kHoldingRegisterCount
                                                 : IoMap::kInputRegisterCount;
    if (std::size_t(start) + quantity > size)
        return exceptionPdu(f, kIllegalDataAddress);
    std::vector<uint8_t> out(2 + 2 * std::size_t(quantity), 0);
    out[0] = f;
    out[1] = static_cast<uint8_t>(2 * quantity);
    for (std::size_t i = 0; i < quantity; ++i) {
        const uint16_t v = f == kFnReadHolding ? m_io.holdingRegister(start + i)
                                               : m_io.inputRegister(start + i);
        putU16be(out.data(), 2 + 2 * i, v);
    }
    return out;
}

std::vector<uint8_t> SimModule::writeSingleCoil(const uint8_t *pdu, std::size_t length)
{
    if (length != 5)
        return exceptionPdu(kFnWriteCoil, kIllegalDataValue);
    const uint16_t address = getU16be(pdu, 1);
    const uint16_t value = getU16be(pdu, 3);
    if (value != 0xFF00 && value != 0x0000)
        return exceptionPdu(kFnWriteCoil, kIllegalDataValue);
    if (address >= IoMap::kCoilCount)
        return exceptionPdu(kFnWriteCoil, kIllegalDataAddress);
    m_io.writeCoil(address, value == 0xFF00);
    return std::vector<uint8_t>(pdu, pdu + length);
}

std::vector<uint8_t> SimModule::writeSingleRegister(const uint8_t *pdu, std::size_t length)
{
    if (length != 5)
        return exceptionPdu(kFnWriteRegister, kIllegalDataValue);
    const uint16_t address = getU16be(pdu, 1);
    if (address >= IoMap::kHoldingRegisterCount)
        return exceptionPdu(kFnWriteRegister, kIllegalDataAddress);
    m_io.writeHoldingRegister(address, getU16be(pdu, 3));
    return std::vector<uint8_t>(pdu, pdu + length);
}

std::vector<uint8_t> SimModule::writeCoils(const uint8_t *pdu, std::size_t length)
{
    if (length < 6)
        return exceptionPdu(kFnWriteCoils, kIllegalDataValue);
    const uint16_t start = getU16be(pdu, 1);
    const uint16_t quantity = getU16be(pdu, 3);
    const std::size_t n = pdu[5];
    if (quantity < 1 || quantity > kMaxWriteBits || n != (quantity + 7u) / 8u || length != 6 + n)
        return exceptionPdu(kFnWriteCoils, kIllegalDataValue);
    if (std::size_t(start) + quantity > IoMap::kCoilCount)
        return exceptionPdu(kFnWriteCoils, kIllegalDataAddress);
    for (std::size_t i = 0; i < quantity; ++i)
        m_io.writeCoil(start + i, (pdu[6 + i / 8] >> (i % 8)) & 1);
    return std::vector<uint8_t>(pdu, pdu + 5);
}

std::vector<uint8_t> SimModule::writeRegisters(const uint8_t *pdu, std::size_t length)
{
    if (length < 6)
        return exceptionPdu(kFnWriteRegisters, kIllegalDataValue);
    const uint16_t start = getU16be(pdu, 1);
    const uint16_t quantity = getU16be(pdu, 3);
    const std::size_t n = pdu[5];
    if (quantity < 1 || quantity > kMaxWriteRegisters || n != 2u * quantity || length != 6 + n)
        return exceptionPdu(kFnWriteRegisters, kIllegalDataValue);
    if (std::size_t(start) + quantity > IoMap::kHoldingRegisterCount)
        return exceptionPdu(kFnWriteRegisters, kIllegalDataAddress);
    for (std::size_t i = 0; i < quantity; ++i)
        m_io.writeHoldingRegister(start + i, getU16be(pdu, 6 + 2 * i));
    return std::vector<uint8_t>(pdu, pdu + 5);
}

std::vector<uint8_t> SimModule::identity() const
{
    // PDU offsets are the RTU offsets less the address byte
    std::vector<uint8_t> out(kIdentityPduSize, 0);
    out[0] = kFnIdentity;
    out[1] = static_cast<uint8_t>(kIdentityPduSize - 2); // byte count
    out[2] = 0xFF; // run indicator
    out[IdentityBlock::kDriverMajor - 1] = kDriverVersion[0];
    out[IdentityBlock::kDriverMinor - 1] = kDriverVersion[1];
    out[IdentityBlock::kFirmwareMajor - 1] = kFirmwareVersion[0];
    out[IdentityBlock::kFirmwareMinor - 1] = kFirmwareVersion[1];
    out[IdentityBlock::kSeries - 1] = m_settings.series;
    putU32le(out.data(), IdentityBlock::kModelCode - 1, m_settings.modelCode);
    for (std::size_t i = 0; i < IdentityBlock::kSerialWordCount; ++i)
        putU16le(out.data(), IdentityBlock::kSerialWords - 1 + 2 * i, kSerialWords[i]);
    return out;
}

std::vector<uint8_t> SimModule::readParams()
{
    std::vector<uint8_t> payload = m_params.payloadFor(m_settings.modelCode);
    if (m_settings.badBlock != ModuleSettings::BadBlock::None && !m_badBlockSent) {
        m_badBlockSent = true;
        if (m_settings.badBlock == ModuleSettings::BadBlock::Checksum) {
            payload.back() ^= 0xFF;
        } else {
            payload.resize(500);
            appendChecksumHighFirst(payload);
        }
    }
    std::vector<uint8_t> out;
    out.reserve(1 + payload.size());
    out.push_back(kFnReadParams);
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

std::vector<uint8_t> SimModule::writeParams(const uint8_t *pdu, std::size_t length)
{
    const uint8_t model = m_settings.modelCode;
    const std::size_t expected = usesCompactPayload(model) ? ParamLayout::kCompactPayloadSize
                                                           : ParamLayout::kFullPayloadSize;
    std::vector<uint8_t> refused = {kFnWriteParams, 0};
    if (length - 1 != expected)
        return refused;
    const PayloadResult r = acceptPayload(pdu + 1, length - 1);
    if (r.status != PayloadStatus::Ok)
        return refused;
    ParamBlock next = m_params;
    if (r.compact) {
        // the module keeps its whole block; a compact write changes only the
        // stretches it carries
        for (const CompactStretch &s : kCompactStretches)
            std::memcpy(next.data() + s.blockOffset, r.block.data() + s.blockOffset, s.size);
    } else {
        next = r.block;
    }
    // An address outside 1..247 would leave the module unreachable.
    const uint8_t address = next.u8(ParamLayout::kQXAddr1);
    if (address < 1 || address > 247)
        return refused;
    next.setU8(ParamLayout::kQXMode, model);
    m_params = next;
    save(StateFiles::kParams, std::vector<uint8_t>(m_params.data(), m_params.data() + ParamLayout::kSize));
    return {kFnWriteParams, 1};
}

std::vector<uint8_t> SimModule::firmwarePart(uint8_t f, const uint8_t *pdu, std::size_t length)
{
    using namespace FirmwarePartLayout;
    const uint8_t *p = pdu + 1;
    const std::size_t n = length - 1;
    const uint16_t index = n >= 2 ? getU16be(p, kPartIndex) : 0;
    std::vector<uint8_t> out = {f, FirmwareReplyLayout::kStatusRefused, static_cast<uint8_t>(index >> 8),
                                static_cast<uint8_t>(index)};
    const int kind = f == kFnBiosPart ? kRefuseBios : kRefuseFirmware;
    const std::string name = std::string(kind == kRefuseBios ? "BIOS" : "firmware") + " part " + std::to_string(index);
    if (n != kPayloadSize || !checksumMatchesHighFirst(p, n) || index >= kMaxParts) {
        m_trafficNotes.push_back(name + " refused: bad length, checksum or index");
        return out;
    }
    if (m_settings.refusePart == index && !m_refused[kind]) {
        m_refused[kind] = true;
        m_trafficNotes.push_back(name + " refused (--refuse-part)");
        return out;
    }
    std::vector<uint8_t> &image = f == kFnBiosPart ? m_bios : m_firmware;
    if (index == 0)
        image.clear(); // part 0 begins a new image
    const std::size_t end = (std::size_t(index) + 1) * kPartSize;
    if (image.size() < end)
        image.resize(end, 0xFF);
    std::memcpy(image.data() + std::size_t(index) * kPartSize, p + kImage, kPartSize);
    noteFirmwarePart(kind, index, p + kImage);
    // Only a complete image replaces the one kept: a transfer that breaks off
    // (the module dies, the host gives up) leaves the earlier image in place.
    if (m_assembly[std::size_t(kind)].complete)
        save(f == kFnBiosPart ? StateFiles::kBios : StateFiles::kFirmware, image);
    if (m_settings.dropPart == index && !m_dropped[kind]) {
        m_dropped[kind] = true;
        m_answerLost = true;
    }
    out[1] = FirmwareReplyLayout::kStatusStored;
    return out;
}

// Keeps the arrival order of the stored parts and tells the log about each
// part and about a complete image.
void SimModule::noteFirmwarePart(int kind, uint16_t index, const uint8_t *part)
{
    using FirmwarePartLayout::kPartSize;
    FirmwareAssembly &a = m_assembly[std::size_t(kind)];
    const char *name = kind == kRefuseBios ? "BIOS" : "firmware";
    std::string note = std::string(name) + " part " + std::to_string(index) + " stored";
    // part 0 begins a new image, unless it is part 0 again before part 1
    if (index == 0 && !(a.inOrder == 1 && !a.outOfOrder)) {
        if (!a.arrivals.empty())
            note += ", a new image begins";
        a = FirmwareAssembly();
    }
    a.arrivals.push_back(index);
    const bool wasComplete = a.complete;
    if (index == a.inOrder && !a.outOfOrder) {
        ++a.inOrder;
        // a part that is not full is the last one of its image
        a.complete = part[kPartSize - 1] == 0xFF;
    } else if (index < a.inOrder) {
        note += ", repeated";
        // the last part so far again, perhaps with other bytes (part 0 of
        // the next image after an image of one part)
        if (index + 1u == a.inOrder && !a.outOfOrder)
            a.complete = part[kPartSize - 1] == 0xFF;
    } else {
        a.outOfOrder = true;
        a.complete = false;
        note += ", out of order (parts in order: " + std::to_string(a.inOrder) + ")";
    }
    m_trafficNotes.push_back(note);
    if (a.complete && !wasComplete) {
        std::size_t used = kPartSize;
        while (used > 0 && part[used - 1] == 0xFF)
            --used;
        a.imageBytes = std::size_t(index) * kPartSize + used;
        m_trafficNotes.push_back(std::string(name) + " image complete: " + std::to_string(a.inOrder)
                                 + " parts in order, " + std::to_string(a.arrivals.size()) + " received, "
                                 + std::to_string(a.imageBytes) + " bytes before the fill");
    }
}

std::vector<uint8_t> SimModule::plcPacket(const uint8_t *pdu, std::size_t length)
{
    using namespace EplcPacketLayout;
    const uint8_t *p = pdu + 1;
    const std::size_t n = length - 1;
    std::vector<uint8_t> out(1 + EplcReplyLayout::kSize, 0);
    out[0] = kFnPlcPacket;
    uint8_t *reply = out.data() + 1;
    // echo whatever header bytes arrived
    std::memcpy(reply + EplcReplyLayout::kMode, p, std::min(n, kHeaderSize));
    auto fail = [&](uint8_t status) {
        reply[EplcReplyLayout::kStatus] = status;
        return out;
    };
    if (n < kOverhead)
        return fail(EplcReplyLayout::kStatusBadField);
    const uint8_t mode = p[kMode];
    const uint8_t block = p[kBlock];
    const uint16_t offset = getU16be(p, kOffset);
    const uint16_t dataLength = getU16be(p, kLength);
    if (n != dataLength + kOverhead)
        return fail(EplcReplyLayout::kStatusBadField);
    if (!checksumMatchesHighFirst(p, n))
        return fail(EplcReplyLayout::kStatusBadChecksum);
    if (mode < kModeStart || mode > kModeFlashRestart)
        return fail(EplcReplyLayout::kStatusBadField);
    if (dataLength > 0
        && (mode > kModeData || block >= kBlockCount || std::size_t(offset) + dataLength > kBlockSize))
        return fail(EplcReplyLayout::kStatusBadField);

    // A repeated final command after its answer was lost: the program is
    // stored already, so it is answered as before and nothing is stored or
    // restarted again.
    if (mode >= kModeRamRun && m_lastFinal && m_lastFinal->mode == mode) {
        m_plcMessages.push_back("final mode " + std::to_string(mode) + " repeated, answered as before");
        return fail(m_lastFinal->status);
    }
    const int number = mode == kModeStart ? 0 : m_plcPacketNumber + 1;
    if (m_settings.refusePart == number && !m_refused[kRefusePlc]) {
        m_refused[kRefusePlc] = true;
        return fail(EplcReplyLayout::kStatusRefused);
    }
    if (m_settings.latePacket == number && !m_lateDone) {
        m_lateDone = true;
        m_answerDelayMs = kLateAnswerMs;
        m_plcMessages.push_back("packet " + std::to_string(number) + " answered "
                                + std::to_string(kLateAnswerMs) + " ms late (--late-packet)");
    }
    m_plcPacketNumber = number;
    m_lastFinal.reset();

    if (mode == kModeStart) {
        std::fill(m_plcAssembly.begin(), m_plcAssembly.end(), 0); // blocks not sent are free
        std::fill(m_plcReceived.begin(), m_plcReceived.end(), false);
        m_plcStarted = true;
    } else if (mode == kModeData && !m_plcStarted) {
        m_plcMessages.push_back("data packet block " + std::to_string(block) + " offset " + std::to_string(offset)
                                + " without a start packet");
    }
    if (dataLength > 0) {
        const std::size_t at = std::size_t(block) * kBlockSize + offset;
        std::memcpy(m_plcAssembly.data() + at, p + kData, dataLength);
        std::fill_n(m_plcReceived.begin() + std::ptrdiff_t(at), dataLength, true);
    }
    if (mode < kModeRamRun)
        return fail(EplcReplyLayout::kStatusOk);
    // Without a start packet (the module restarted while a transfer went
    // on) the assembly holds only the blocks sent since: a part of a
    // program, which must neither run nor replace the one kept.
    const bool started = m_plcStarted;
    notePlcFinal(mode);
    uint8_t status = EplcReplyLayout::kStatusRefused;
    if (started)
        status = runFinalCommand(mode);
    else
        m_plcMessages.push_back("program refused, no start packet came before it; the running one goes on");
    m_lastFinal = LastFinal {mode, status};
    return fail(status);
}

uint8_t SimModule::runFinalCommand(uint8_t mode)
{
    using namespace EplcPacketLayout;
    // A program the module cannot run is neither kept nor started, and the
    // one running goes on; the final packet's status tells the host.
    PlcDecodeResult decoded = decodePlcImage(m_plcAssembly.data(), m_plcAssembly.size());
    if (!decoded.ok) {
        m_plcMessages.push_back("program refused, the running one goes on: " + decoded.message);
        return EplcReplyLayout::kStatusBadProgram;
    }
    switch (mode) {
    case kModeRamRun:
        m_plcRam = m_plcAssembly;
        startPlc(std::move(decoded.program), "RAM");
        break;
    case kModeFlashRun:
        m_plcFlash = m_plcAssembly;
        m_plcRam = m_plcAssembly;
        save(StateFiles::kPlcFlash, m_plcFlash);
        startPlc(std::move(decoded.program), "FLASH");
        break;
    default: // kModeFlashRestart
        m_plcFlash = m_plcAssembly;
        save(StateFiles::kPlcFlash, m_plcFlash);
        // a restarted module comes up with its outputs off and runs what
        // FLASH holds
        ++m_restarts;
        m_io = IoState();
        m_plcRam = m_plcFlash;
        startPlc(std::move(decoded.program), "FLASH");
        break;
    }
    save(StateFiles::kPlcRam, m_plcRam);
    return EplcReplyLayout::kStatusOk;
}

namespace {

// FNV-1a, 64 bits: enough to tell two programs apart in a log line.
std::string digestText(const std::vector<uint8_t> &bytes)
{
    uint64_t h = 0xcbf29ce484222325ull;
    for (uint8_t b : bytes) {
        h ^= b;
        h *= 0x100000001b3ull;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return text;
}

} // namespace

// One line per final packet, about the program that arrived: the mode, the
// packets since the start, its digest, the blocks received whole and those
// received in part (block 0 always belongs to a transfer).
void SimModule::notePlcFinal(uint8_t mode)
{
    using namespace EplcPacketLayout;
    static const char *const kWhere[] = {"ram run", "flash run", "flash restart"};
    std::string line = "final mode " + std::to_string(mode) + " (" + kWhere[mode - kModeRamRun] + "), ";
    if (m_plcStarted)
        line += std::to_string(m_plcPacketNumber + 1) + " packets since the start";
    else
        line += "without a start packet";
    line += ", program digest " + digestText(m_plcAssembly);
    std::string whole;
    std::string partial;
    for (std::size_t b = 0; b < kBlockCount; ++b) {
        const auto first = m_plcReceived.begin() + std::ptrdiff_t(b * kBlockSize);
        const auto received = std::count(first, first + std::ptrdiff_t(kBlockSize), true);
        std::string &list = received == std::ptrdiff_t(kBlockSize) ? whole : partial;
        if (received > 0 || b == 0)
            list += (list.empty() ? "" : ",") + std::to_string(b);
    }
    line += ", blocks " + (whole.empty() ? std::string("none") : whole);
    if (!partial.empty())
        line += ", incomplete blocks " + partial;
    m_plcMessages.push_back(line);
    m_plcStarted = false;
    std::fill(m_plcReceived.begin(), m_plcReceived.end(), false);
}

void SimModule::startPlc(PlcProgram program, const char *where)
{
    m_plc.start(std::move(program));
    m_plcMessages.push_back(m_plc.running()
                                ? std::string(where) + " program runs, " + std::to_string(m_plc.blockCount())
                                      + " running blocks"
                                : std::string(where) + " program has no running block, nothing runs");
}

void SimModule::scanPlc(uint64_t nowUs)
{
    m_io.advance(nowUs);
    m_plc.scan(nowUs, m_io);
}

std::vector<std::string> SimModule::takePlcMessages()
{
    std::vector<std::string> out;
    out.swap(m_plcMessages);
    return out;
}

std::vector<uint8_t> SimModule::statusReport() const
{
    return statusReport(m_params.u8(ParamLayout::kByRepCont));
}

std::vector<uint8_t> SimModule::statusReport(uint8_t flags) const
{
    namespace L = StatusReportLayout;
    flags &= L::kAllSections;
    if (flags == 0)
        flags = L::kAllSections;
    std::vector<uint8_t> out = {kFnStatusReport, static_cast<uint8_t>(L::dataSize(flags)), flags};
    auto bits = [&](bool coils) {
        for (std::size_t byte = 0; byte < 4; ++byte) {
            uint8_t v = 0;
            for (std::size_t bit = 0; bit < 8; ++bit)
                if (coils ? m_io.coil(byte * 8 + bit) : m_io.input(byte * 8 + bit))
                    v |= static_cast<uint8_t>(1u << bit);
            out.push_back(v);
        }
    };
    auto registers = [&](bool holding, std::size_t first, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            const uint16_t v = holding ? m_io.holdingRegister(first + i) : m_io.inputRegister(first + i);
            out.push_back(static_cast<uint8_t>(v >> 8));
            out.push_back(static_cast<uint8_t>(v));
        }
    };
    if (flags & L::kFlagInputs)
        bits(false);
    if (flags & L::kFlagCoils)
        bits(true);
    if (flags & L::kFlagAnalog32)
        registers(false, IoMap::kAiRegister, 2 * IoMap::kAnalogCount);
    if (flags & L::kFlagAnalog16)
        registers(true, IoMap::kAoRegister, IoMap::kAnalogCount);
    if (flags & L::kFlagPulseMask) {
        // The counter page fills X1-X4, X5-X12 and X13-X24 from value 0 on,
        // one selected group after the other, so only the selected groups
        // are packed, and the section is padded with zeros.
        struct Group
        {
            uint8_t flag;
            std::size_t first;
            std::size_t count;
        };
        constexpr Group kGroups[] = {{L::kFlagPulseX1to4, 0, 4}, {L::kFlagPulseX5to12, 4, 8},
                                     {L::kFlagPulseX13to24, 12, 12}};
        const std::size_t end = out.size() + L::kPulseSize;
        for (const Group &g : kGroups)
            if (flags & g.flag)
                registers(false, IoMap::kCounterRegister + 2 * g.first, 2 * g.count);
        out.resize(end, 0);
    }
    return out;
}

} // namespace qx::sim
