// The parameter block's field table, accessors, compact form and payload.
#include "param_block.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <stdexcept>

#include "byte_io.h"

namespace qx {

namespace {

using T = ParamType;
namespace L = ParamLayout;

// Fields with a name of their own; the numbered families are appended in
// buildFields().
constexpr ParamField kNamedFields[] = {
    {"QXMode", L::kQXMode, 1, T::U8},
    {"QXExtConf", L::kQXExtConf, 1, T::U8},
    {"QXAddr1", L::kQXAddr1, 1, T::U8},
    {"QXAddr2", L::kQXAddr2, 1, T::U8},
    {"QXAddr3", L::kQXAddr3, 1, T::U8},
    {"QXError", L::kQXError, 16, T::Text},
    {"byRepCont", L::kByRepCont, 1, T::U8},
    {"dwRepTwinTm", L::kDwRepTwinTm, 3, T::U24be},
    {"byRxDly", L::kByRxDly, 1, T::U8},
    {"byTxDly", L::kByTxDly, 1, T::U8},
    {"dwDiscTm", L::kDwDiscTm, 3, T::U24be},
    {"byDiscAct", L::kByDiscAct, 1, T::U8},
    {"byRepTwin", L::kByRepTwin, 1, T::U8},
    {"R1BaudRate", L::kR1BaudRate, 4, T::U32},
    {"R1BitCS", L::kR1BitCS, 1, T::U8},
    {"R1Parity", L::kR1Parity, 1, T::U8},
    {"R1BitStop", L::kR1BitStop, 1, T::U8},
    {"R1Type", L::kR1Type, 1, T::U8},
    {"R1HoldTime", L::kR1HoldTime, 4, T::U32},
    {"E1Dhcp", 84, 1, T::U8},
    {"E1ProbDHCP", 85, 1, T::U8},
    {"E1ProbGW", 86, 1, T::U8},
    {"E1LocalIP", L::kE1LocalIP, 16, T::Text},
    {"E1NetMask", L::kE1NetMask, 16, T::Text},
    {"E1GateWay", L::kE1GateWay, 16, T::Text},
    {"E1MAC", L::kE1MAC, 32, T::Text},
    {"E1DNS", 167, 16, T::Text},
    {"E1DOMAIN", 183, 64, T::Text},
    {"W1Cloud", 183, 64, T::Text},
    {"E1LocalPort1", L::kE1LocalPort1, 2, T::U16},
    {"E1LocalPort2", 249, 2, T::U16},
    {"E1LocalPort3", 251, 2, T::U16},
    {"E1RemoteIP1", L::kE1RemoteIP1, 16, T::Text},
    {"E1RemoteIP2", 269, 16, T::Text},
    {"E1RemoteIP3", 285, 16, T::Text},
    {"E1RemotePort1", L::kE1RemotePort1, 2, T::U16},
    {"E1RemotePort2", 303, 2, T::U16},
    {"E1SocketType1", L::kE1SocketType1, 1, T::U8},
    {"E1SocketType2", 308, 1, T::U8},
    {"E1ActChk1", 310, 2, T::U16},
    {"E1ActChk2", 312, 2, T::U16},
    {"E1HoldTime1", 316, 4, T::U32},
    {"E1HoldTime2", 320, 4, T::U32},
    {"E1HoldTime3", 324, 4, T::U32},
    {"W1WifiMode", 329, 1, T::U8},
    {"W1EncType", 330, 1, T::U8},
    {"W1SsidAP", 331, 64, T::Text},
    {"W1DOMAIN", 331, 64, T::Text},
    {"W1PwdAP", 395, 64, T::Text},
    {"W1DNS", 395, 64, T::Text},
    {"W1SsidRouter", 459, 64, T::Text},
    {"W1PwdRouter", 523, 64, T::Text},
    {"W1APDhcps", 587, 1, T::U8},
    {"W1APBeginIP", 588, 16, T::Text},
    {"W1APEndIP", 604, 16, T::Text},
    {"W1APNetMask", 620, 16, T::Text},
    {"W1APGateway", 636, 16, T::Text},
    {"W1LocalIP", 652, 16, T::Text},
    {"W1LocalPort1", 668, 2, T::U16},
    {"W1LocalPort2", 670, 2, T::U16},
    {"W1RemoteIP1", 672, 16, T::Text},
    {"W1RemoteIP2", 688, 16, T::Text},
    {"W1RemotePort1", 704, 2, T::U16},
    {"W1RemotePort2", 706, 2, T::U16},
    {"W1SocketType1", 708, 1, T::U8},
    {"W1SocketType2", 709, 1, T::U8},
    {"W1IdleAllow1", 710, 2, T::U16},
    {"W1TimeRecon1", 714, 2, T::U16},
    {"W1TimeRecon2", 716, 2, T::U16},
    {"W1HoldTime1", 718, 4, T::U32},
    {"W1HoldTime2", 722, 4, T::U32},
    {"L1AddrLocal", L::kL1AddrLocal, 2, T::U16},
    {"L1AddrRemote", 728, 2, T::U16},
    {"L1RxTx", 730, 1, T::U8},
    {"L1Freq", 731, 4, T::U32},
    {"L1Power", 735, 1, T::U8},
    {"L1SignalBw", 736, 1, T::U8},
    {"L1SprFactor", 737, 1, T::U8},
    {"L1ErrCode", 738, 1, T::U8},
    {"L1CrcOn", 739, 1, T::U8},
    {"L1ImpHeaderOn", 740, 1, T::U8},
    {"L1RxSingleOn", 741, 1, T::U8},
    {"L1FreqHopOn", 742, 1, T::U8},
    {"L1HopPeriod", 743, 1, T::U8},
    {"L1TxTimeout", 744, 4, T::U32},
    {"L1RxTimeout", 748, 4, T::U32},
    {"L1PayloadLen", 752, 1, T::U8},
    {"L1HoldTime", 753, 4, T::U32},
    {"dwIOFilterWin", L::kDwIOFilterWin, 4, T::U32},
    {"dwIOFilterHig", 793, 4, T::U32},
    {"byIOReverse", 797, 1, T::U8},
    {"dwIOReverse", L::kDwIOReverse, 4, T::U32},
};

// The named fields lie inside the block in offset order, without overlap
// except where two names share the same bytes; the numbered families fill
// the stretches between them up to the end of the block.
constexpr bool namedFieldsInOrder()
{
    std::size_t start = 0;
    std::size_t end = 0;
    for (const ParamField &f : kNamedFields) {
        const bool overlay = f.offset == start && f.offset + f.size == end;
        if (f.offset + f.size > L::kSize || (f.offset < end && !overlay))
            return false;
        start = f.offset;
        end = f.offset + f.size;
    }
    return true;
}
static_assert(namedFieldsInOrder());

constexpr std::size_t namedFieldEnd(std::string_view name)
{
    for (const ParamField &f : kNamedFields)
        if (f.name == name)
            return f.offset + f.size;
    return 0;
}
static_assert(L::kIO1 == namedFieldEnd("L1HoldTime") && L::kIO1 + 32 == L::kDwIOFilterWin);
static_assert(L::kByRes1 == L::kDwIOReverse + 4 && L::kDwRes1 == L::kByRes1 + 32);
static_assert(L::kSzRes9 == L::kDwRes1 + 24 * 4 && L::kSzRes10 == L::kSzRes9 + 16);
static_assert(L::kSzRes1 == L::kDwRes1 + 32 * 4 && L::kSzRes1 + 8 * 16 == L::kSize);

// Numbered names own their text here; a deque never moves what it holds, so
// the table's views stay valid.
std::deque<std::string> &numberedNames()
{
    static std::deque<std::string> names;
    return names;
}

std::vector<ParamField> buildFields()
{
    std::deque<std::string> &names = numberedNames();
    std::vector<ParamField> fields(std::begin(kNamedFields), std::end(kNamedFields));
    auto family = [&](const char *prefix, int count, std::size_t first, uint16_t size, T type) {
        for (int i = 0; i < count; ++i) {
            names.push_back(prefix + std::to_string(i + 1));
            fields.push_back({names.back(), static_cast<uint16_t>(first + i * size), size, type});
        }
    };
    family("IO", 32, ParamLayout::kIO1, 1, T::U8);
    family("byRes", 32, ParamLayout::kByRes1, 1, T::U8);
    family("dwRes", 32, ParamLayout::kDwRes1, 4, T::U32);
    family("szRes", 8, ParamLayout::kSzRes1, 16, T::Text);
    names.push_back("szRes9");
    fields.push_back({names.back(), ParamLayout::kSzRes9, 16, T::Text});
    names.push_back("szRes10");
    fields.push_back({names.back(), ParamLayout::kSzRes10, 16, T::Text});
    return fields;
}

} // namespace

const std::vector<ParamField> &paramFields()
{
    static const std::vector<ParamField> fields = buildFields();
    return fields;
}

std::optional<ParamField> findParamField(std::string_view name)
{
    for (const ParamField &f : paramFields())
        if (f.name == name)
            return f;
    return std::nullopt;
}

const ParamField &paramField(std::string_view name)
{
    for (const ParamField &f : paramFields())
        if (f.name == name)
            return f;
    throw std::logic_error("no parameter field " + std::string(name));
}

int64_t parseParamNumber(std::string_view text)
{
    const std::string cut(text.substr(0, 15));
    return std::strtoll(cut.c_str(), nullptr, 10);
}

bool usesCompactPayload(uint8_t modelCode)
{
    return modelCode >= 210 && modelCode <= 254;
}

uint8_t ParamBlock::u8(std::size_t off) const
{
    return off < ParamLayout::kSize ? m_bytes[off] : 0;
}

uint16_t ParamBlock::u16(std::size_t off) const
{
    return off + 2 <= ParamLayout::kSize ? getU16le(m_bytes.data(), off) : 0;
}

uint32_t ParamBlock::u32(std::size_t off) const
{
    return off + 4 <= ParamLayout::kSize ? getU32le(m_bytes.data(), off) : 0;
}

uint32_t ParamBlock::u24be(std::size_t off) const
{
    return off + 3 <= ParamLayout::kSize ? getU24be(m_bytes.data(), off) : 0;
}

std::string ParamBlock::text(std::size_t off, std::size_t size) const
{
    if (off >= ParamLayout::kSize)
        return {};
    if (off + size > ParamLayout::kSize)
        size = ParamLayout::kSize - off;
    const uint8_t *p = m_bytes.data() + off;
    std::size_t n = 0;
    while (n < size && p[n] != 0)
        ++n;
    return std::string(reinterpret_cast<const char *>(p), n);
}

void ParamBlock::setU8(std::size_t off, uint8_t v)
{
    if (off < ParamLayout::kSize)
        m_bytes[off] = v;
}

void ParamBlock::setU16(std::size_t off, uint16_t v)
{
    if (off + 2 <= ParamLayout::kSize)
        putU16le(m_bytes.data(), off, v);
}

void ParamBlock::setU32(std::size_t off, uint32_t v)
{
    if (off + 4 <= ParamLayout::kSize)
        putU32le(m_bytes.data(), off, v);
}

void ParamBlock::setU24be(std::size_t off, uint32_t v)
{
    if (off + 3 <= ParamLayout::kSize)
        putU24be(m_bytes.data(), off, v);
}

void ParamBlock::setText(std::size_t off, std::size_t size, std::string_view text)
{
    if (off >= ParamLayout::kSize)
        return;
    if (off + size > ParamLayout::kSize)
        size = ParamLayout::kSize - off;
    std::memset(m_bytes.data() + off, 0, size);
    std::memcpy(m_bytes.data() + off, text.data(), std::min(size, text.size()));
}

std::string ParamBlock::fieldText(const ParamField &field) const
{
    switch (field.type) {
    case ParamType::U8:
        return std::to_string(u8(field.offset));
    case ParamType::U16:
        return std::to_string(u16(field.offset));
    case ParamType::U32:
        return std::to_string(u32(field.offset));
    case ParamType::U24be:
        return std::to_string(u24be(field.offset));
    case ParamType::Text:
        return text(field.offset, field.size);
    }
    return {};
}

void ParamBlock::setFieldText(const ParamField &field, std::string_view text)
{
    if (field.type == ParamType::Text) {
        setText(field.offset, field.size, text);
        return;
    }
    const auto n = static_cast<uint64_t>(parseParamNumber(text));
    switch (field.type) {
    case ParamType::U8:
        setU8(field.offset, static_cast<uint8_t>(n));
        break;
    case ParamType::U16:
        setU16(field.offset, static_cast<uint16_t>(n));
        break;
    case ParamType::U32:
        setU32(field.offset, static_cast<uint32_t>(n));
        break;
    case ParamType::U24be:
        setU24be(field.offset, static_cast<uint32_t>(n));
        break;
    case ParamType::Text:
        break;
    }
}

std::array<uint8_t, ParamLayout::kCompactSize> ParamBlock::compact() const
{
    std::array<uint8_t, ParamLayout::kCompactSize> out {};
    for (const CompactStretch &s : kCompactStretches)
        std::memcpy(out.data() + s.compactOffset, m_bytes.data() + s.blockOffset, s.size);
    return out;
}

ParamBlock ParamBlock::fromCompact(const uint8_t *compact)
{
    ParamBlock block;
    for (const CompactStretch &s : kCompactStretches)
        std::memcpy(block.m_bytes.data() + s.blockOffset, compact + s.compactOffset, s.size);
    return block;
}

std::vector<uint8_t> ParamBlock::payload() const
{
    return payloadFor(modelCode());
}

std::vector<uint8_t> ParamBlock::payloadFor(uint8_t modelCode) const
{
    std::vector<uint8_t> out;
    if (usesCompactPayload(modelCode)) {
        const auto c = compact();
        out.assign(c.begin(), c.end());
    } else {
        out.assign(m_bytes.begin(), m_bytes.end());
    }
    appendChecksumHighFirst(out);
    return out;
}

PayloadResult acceptPayload(const uint8_t *bytes, std::size_t length)
{
    PayloadResult result;
    if (length <= 2 || bytes == nullptr) {
        result.status = PayloadStatus::Incomplete;
        return result;
    }
    if (!checksumMatchesHighFirst(bytes, length)) {
        result.status = PayloadStatus::BadChecksum;
        return result;
    }
    const std::size_t record = length - 2;
    if (record == ParamLayout::kSize) {
        std::memcpy(result.block.data(), bytes, record);
        result.status = PayloadStatus::Ok;
    } else if (record == ParamLayout::kCompactSize) {
        result.block = ParamBlock::fromCompact(bytes);
        result.compact = true;
        result.status = PayloadStatus::Ok;
    } else {
        result.status = PayloadStatus::Incomplete;
    }
    return result;
}

} // namespace qx
