// ParamBlock: the module's 1090-byte parameter block, its 106-byte compact
// extract (LORA class models) and the transfer payload that carries either of
// them with a checksum. The configuration page, the command line and the
// simulated module all read and write the block through this file.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "crc16.h"

namespace qx {

// Offsets of the fields that code touches by name; every named field, with
// its size and type, is in paramFields() below.
namespace ParamLayout {
constexpr std::size_t kQXMode = 0;
constexpr std::size_t kQXExtConf = 1;
constexpr std::size_t kQXAddr1 = 2;
constexpr std::size_t kQXAddr2 = 3;
constexpr std::size_t kQXAddr3 = 4;
constexpr std::size_t kQXError = 6; // 16 bytes of text
constexpr std::size_t kByRepCont = 24;
constexpr std::size_t kDwRepTwinTm = 25; // u24, most significant byte first
constexpr std::size_t kByRxDly = 28;
constexpr std::size_t kByTxDly = 29;
constexpr std::size_t kDwDiscTm = 30; // u24, most significant byte first
constexpr std::size_t kByDiscAct = 33;
constexpr std::size_t kByRepTwin = 34;
constexpr std::size_t kR1BaudRate = 48;
constexpr std::size_t kR1BitCS = 52;
constexpr std::size_t kR1Parity = 53;
constexpr std::size_t kR1BitStop = 54;
constexpr std::size_t kR1Type = 55;
constexpr std::size_t kR1HoldTime = 56;
constexpr std::size_t kE1LocalIP = 87;
constexpr std::size_t kE1NetMask = 103;
constexpr std::size_t kE1GateWay = 119;
constexpr std::size_t kE1MAC = 135;
constexpr std::size_t kE1LocalPort1 = 247;
constexpr std::size_t kE1RemoteIP1 = 253;
constexpr std::size_t kE1RemotePort1 = 301;
constexpr std::size_t kE1SocketType1 = 307;
constexpr std::size_t kL1AddrLocal = 726;
constexpr std::size_t kIO1 = 757; // IO1 ... IO32, one byte each
constexpr std::size_t kDwIOFilterWin = 789;
constexpr std::size_t kDwIOReverse = 798;
constexpr std::size_t kByRes1 = 802; // byRes1 ... byRes32
constexpr std::size_t kDwRes1 = 834; // dwRes1 ... dwRes32
constexpr std::size_t kSzRes1 = 962; // szRes1 ... szRes8, 16 bytes each
constexpr std::size_t kSzRes9 = 930; // overlay of dwRes25 ... dwRes28 (codes 75-77, 80, 81)
constexpr std::size_t kSzRes10 = 946; // overlay of dwRes29 ... dwRes32
constexpr std::size_t kSize = 1090;

constexpr std::size_t kCompactSize = 106;
constexpr std::size_t kChecksumSize = 2;
constexpr std::size_t kFullPayloadSize = kSize + kChecksumSize; // 1092
constexpr std::size_t kCompactPayloadSize = kCompactSize + kChecksumSize; // 108
} // namespace ParamLayout

// The four stretches of the block that make up the compact record, in order.
struct CompactStretch
{
    std::size_t compactOffset;
    std::size_t blockOffset;
    std::size_t size;
};
constexpr std::array<CompactStretch, 4> kCompactStretches = {{
    {0, 0, 5},
    {5, 22, 13},
    {18, 48, 12},
    {30, 726, 76},
}};

enum class ParamType : uint8_t {
    U8,
    U16,
    U32,
    U24be,
    Text,
};

struct ParamField
{
    std::string_view name;
    uint16_t offset;
    uint16_t size;
    ParamType type;
};

// Every named field of the block in offset order, numbered families
// (IO1..IO32, byRes, dwRes, szRes1..10) included. szRes9/szRes10 overlay
// dwRes25..dwRes32, and E1DOMAIN/W1Cloud, W1SsidAP/W1DOMAIN, W1PwdAP/W1DNS
// share their bytes, so a few offsets appear under two names.
const std::vector<ParamField> &paramFields();
std::optional<ParamField> findParamField(std::string_view name);
// The field of a name that code spells out (the page's controls, the INI
// keys): a name the table lacks is a fault of the code, not of any input,
// so it throws std::logic_error naming it instead of handing out nothing.
const ParamField &paramField(std::string_view name);

// Decimal text as the module's files write numbers: at most the first 15
// characters, leading blanks, optional sign, digits up to the first other
// character; no digits is 0.
int64_t parseParamNumber(std::string_view text);

// Model classes that decide the payload form.
bool usesCompactPayload(uint8_t modelCode); // 210..254

class ParamBlock
{
public:
    ParamBlock() { m_bytes.fill(0); }

    uint8_t *data() { return m_bytes.data(); }
    const uint8_t *data() const { return m_bytes.data(); }
    static constexpr std::size_t size() { return ParamLayout::kSize; }
    bool operator==(const ParamBlock &) const = default;

    uint8_t modelCode() const { return m_bytes[ParamLayout::kQXMode]; }

    uint8_t u8(std::size_t off) const;
    uint16_t u16(std::size_t off) const;
    uint32_t u32(std::size_t off) const;
    uint32_t u24be(std::size_t off) const;
    // Up to the first zero byte or the end of the field.
    std::string text(std::size_t off, std::size_t size) const;

    void setU8(std::size_t off, uint8_t v);
    void setU16(std::size_t off, uint16_t v);
    void setU32(std::size_t off, uint32_t v);
    void setU24be(std::size_t off, uint32_t v); // keeps the low 24 bits
    // Text that fills the field is stored without a terminating zero.
    void setText(std::size_t off, std::size_t size, std::string_view text);

    // The field's value as the page and the INI file show it: decimal for
    // numbers, the text for texts.
    std::string fieldText(const ParamField &field) const;
    // The reverse, as the INI reader and the page store what was typed:
    // numbers by parseParamNumber, keeping the field's low bits (24 for the
    // times); texts as they are, cut at the field's size.
    void setFieldText(const ParamField &field, std::string_view text);

    // The 106 bytes of the compact record, and the block rebuilt from one
    // (every byte outside the stretches is zero).
    std::array<uint8_t, ParamLayout::kCompactSize> compact() const;
    static ParamBlock fromCompact(const uint8_t *compact);

    // What travels to the module: the full or compact record by the model
    // code in QXMode, followed by its CRC, most significant byte first.
    std::vector<uint8_t> payload() const;
    std::vector<uint8_t> payloadFor(uint8_t modelCode) const;

private:
    std::array<uint8_t, ParamLayout::kSize> m_bytes;
};

enum class PayloadStatus : uint8_t {
    Ok,
    Incomplete, // two bytes or fewer, or not 1090/106 bytes of record
    BadChecksum,
};

struct PayloadResult
{
    PayloadStatus status = PayloadStatus::Incomplete;
    bool compact = false;
    ParamBlock block;
};

// Checks a payload received from the module (or, in the simulated module,
// from the host): the checksum first, then the record length.
PayloadResult acceptPayload(const uint8_t *bytes, std::size_t length);

} // namespace qx
