// The INI reader of the parameter block.
#include "param_ini.h"

#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <iterator>

namespace qx {

namespace {

bool in(uint8_t code, int low, int high)
{
    return code >= low && code <= high;
}

bool oneOf(uint8_t code, std::initializer_list<int> codes)
{
    for (int c : codes)
        if (code == c)
            return true;
    return false;
}

// The usual leading-whitespace, optional-sign, digits-until-non-digit rule,
// on at most 15 characters.
int64_t decimal(const std::string &text)
{
    const std::string cut = text.substr(0, kIniNumberChars);
    return std::strtoll(cut.c_str(), nullptr, 10);
}

class Reader
{
public:
    Reader(std::string_view text, IniLoadResult &result)
        : m_text(text)
        , m_result(result)
    {
    }

    // Reads `key` of `section` into its field; false when it is missing.
    bool read(std::string_view section, std::string_view key)
    {
        const std::optional<ParamField> field = findParamField(key);
        if (!field)
            return false;
        std::string value;
        // numbers arrive through a 16-byte text; texts fill their field
        const std::size_t room = field->type == ParamType::Text ? field->size : 16;
        if (iniLookup(m_text, section, key, room, value) != kIniFound)
            return false;
        ParamBlock &b = m_result.block;
        switch (field->type) {
        case ParamType::U8:
            b.setU8(field->offset, static_cast<uint8_t>(decimal(value)));
            break;
        case ParamType::U16:
            b.setU16(field->offset, static_cast<uint16_t>(decimal(value)));
            break;
        case ParamType::U32:
            b.setU32(field->offset, static_cast<uint32_t>(decimal(value)));
            break;
        case ParamType::U24be:
            b.setU24be(field->offset, static_cast<uint32_t>(decimal(value)));
            break;
        case ParamType::Text:
            b.setText(field->offset, field->size, value);
            break;
        }
        return true;
    }

    bool required(std::string_view section, std::initializer_list<std::string_view> keys)
    {
        for (std::string_view key : keys)
            if (!read(section, key)) {
                m_result.missing = std::string(section) + "/" + std::string(key);
                return false;
            }
        return true;
    }

    bool requiredNumbered(std::string_view section, const char *prefix, int count)
    {
        for (int i = 1; i <= count; ++i) {
            const std::string key = prefix + std::to_string(i);
            if (!required(section, {key}))
                return false;
        }
        return true;
    }

    // Optional numbers fall back to `fallback` when missing.
    void optional(std::string_view section, std::string_view key, uint32_t fallback)
    {
        if (read(section, key))
            return;
        const std::optional<ParamField> field = findParamField(key);
        switch (field->type) {
        case ParamType::U8:
            m_result.block.setU8(field->offset, static_cast<uint8_t>(fallback));
            break;
        case ParamType::U16:
            m_result.block.setU16(field->offset, static_cast<uint16_t>(fallback));
            break;
        case ParamType::U32:
            m_result.block.setU32(field->offset, fallback);
            break;
        case ParamType::U24be:
            m_result.block.setU24be(field->offset, fallback);
            break;
        case ParamType::Text:
            break;
        }
    }

    // Optional keys whose absence leaves the field as it is.
    void optionalKeep(std::string_view section, std::string_view key) { read(section, key); }

private:
    std::string_view m_text;
    IniLoadResult &m_result;
};

} // namespace

IniLookup iniLookup(std::string_view text, std::string_view section, std::string_view key,
                    std::size_t room, std::string &value)
{
    value.clear();
    if (text.size() <= 1)
        return kIniEmptyFile;
    const std::size_t s = text.find(section);
    if (section.empty() || s == std::string_view::npos)
        return kIniNoSection;
    const std::size_t k = text.find(key, s);
    if (key.empty() || k == std::string_view::npos)
        return kIniNoKey;
    std::string_view line = text.substr(k + key.size());
    line = line.substr(0, line.find_first_of("\r\n"));
    const std::size_t eq = line.find('=');
    // a key without "=" on its line has no value: taken as missing
    if (eq == std::string_view::npos)
        return kIniNoKey;
    const std::string_view v = line.substr(eq + 1);
    value.assign(v.substr(0, room));
    return kIniFound;
}

bool iniReadsCom(uint8_t c)
{
    return in(c, 70, 72) || in(c, 75, 77) || in(c, 80, 83) || in(c, 90, 129) || in(c, 160, 165)
        || in(c, 200, 205) || in(c, 240, 245);
}

bool iniReadsEth(uint8_t c)
{
    return oneOf(c, {70, 75, 80, 81, 84}) || in(c, 130, 169);
}

bool iniReadsWifi(uint8_t c)
{
    return oneOf(c, {71, 76, 82, 85}) || in(c, 170, 209);
}

bool iniReadsLora(uint8_t c)
{
    return oneOf(c, {75, 76, 77, 83, 84, 85}) || in(c, 210, 254);
}

bool iniReadsDio(uint8_t c)
{
    return in(c, 30, 68) || in(c, 90, 254);
}

IniLoadResult loadParamIniText(std::string_view text)
{
    IniLoadResult result;
    if (text.size() > kIniSearchLimit)
        text = text.substr(0, kIniSearchLimit);
    if (text.size() <= 1) {
        result.missing = "(empty file)";
        return result;
    }
    Reader r(text, result);

    if (!r.required("SYSTEM", {"QXMode", "QXExtConf", "QXAddr1"}))
        return result;
    r.optional("SYSTEM", "QXAddr2", 0);
    r.optional("SYSTEM", "QXAddr3", 0);
    if (!r.required("SYSTEM", {"byRepTwin", "byRepCont", "dwRepTwinTm", "byRxDly", "byTxDly", "dwDiscTm",
                               "byDiscAct"}))
        return result;
    const uint8_t model = result.block.modelCode();

    if (iniReadsCom(model)
        && !r.required("COM", {"R1BaudRate", "R1BitCS", "R1Parity", "R1BitStop", "R1Type", "R1HoldTime"}))
        return result;

    if (iniReadsEth(model)) {
        if (!r.required("ETH", {"E1Dhcp", "E1ProbDHCP", "E1ProbGW", "E1LocalIP", "E1NetMask", "E1GateWay",
                                "E1MAC", "E1DNS", "E1DOMAIN", "E1LocalPort1", "E1RemoteIP1", "E1RemotePort1",
                                "E1SocketType1", "E1ActChk1", "E1HoldTime1"}))
            return result;
        r.optional("ETH", "E1LocalPort3", 0);
        r.optional("ETH", "E1HoldTime3", 100);
        r.optionalKeep("ETH", "E1RemoteIP2");
        r.optionalKeep("ETH", "E1RemoteIP3");
        r.optional("ETH", "E1LocalPort2", 0);
        r.optional("ETH", "E1RemotePort2", 0);
        r.optional("ETH", "E1SocketType2", 0);
        r.optional("ETH", "E1ActChk2", 10);
        r.optional("ETH", "E1HoldTime2", 3);
    }

    if (iniReadsWifi(model)) {
        if (!r.required("WIFI", {"W1WifiMode", "W1EncType", "W1SsidAP", "W1PwdAP", "W1SsidRouter",
                                 "W1PwdRouter", "W1APDhcps", "W1APBeginIP", "W1APEndIP", "W1APNetMask",
                                 "W1APGateway", "W1LocalIP"}))
            return result;
        if (result.block.u8(findParamField("W1WifiMode")->offset) == 0
            && !r.required("WIFI", {"W1DNS", "W1DOMAIN"}))
            return result;
        if (!r.required("WIFI", {"W1LocalPort1", "W1RemoteIP1", "W1RemotePort1", "W1SocketType1",
                                 "W1IdleAllow1", "W1TimeRecon1", "W1HoldTime1"}))
            return result;
        r.optionalKeep("WIFI", "W1Cloud");
        r.optionalKeep("WIFI", "W1RemoteIP2");
        r.optional("WIFI", "W1RemotePort2", 0);
        r.optional("WIFI", "W1SocketType2", 0);
        r.optional("WIFI", "W1LocalPort2", 0);
        r.optional("WIFI", "W1TimeRecon2", 10);
        r.optional("WIFI", "W1HoldTime2", 3);
    }

    if (iniReadsLora(model)
        && !r.required("LORA", {"L1RxTx", "L1AddrLocal", "L1AddrRemote", "L1Freq", "L1Power", "L1SignalBw",
                                "L1SprFactor", "L1ErrCode", "L1CrcOn", "L1ImpHeaderOn", "L1RxSingleOn",
                                "L1FreqHopOn", "L1HopPeriod", "L1TxTimeout", "L1RxTimeout", "L1PayloadLen",
                                "L1HoldTime"}))
        return result;

    if (iniReadsDio(model)) {
        if (!r.required("DIO", {"dwIOFilterWin", "dwIOFilterHig", "byIOReverse", "dwIOReverse"}))
            return result;
        if (!r.requiredNumbered("DIO", "IO", 32))
            return result;
    }

    for (int i = 1; i <= 32; ++i)
        r.optionalKeep("RESERV", "byRes" + std::to_string(i));
    for (int i = 1; i <= 32; ++i)
        r.optionalKeep("RESERV", "dwRes" + std::to_string(i));
    for (int i = 1; i <= 8; ++i)
        r.optionalKeep("RESERV", "szRes" + std::to_string(i));
    if (oneOf(model, {75, 76, 77, 80, 81})) {
        r.optionalKeep("RESERV", "szRes9");
        r.optionalKeep("RESERV", "szRes10");
    }
    result.ok = true;
    return result;
}

IniLoadResult loadParamIni(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        IniLoadResult r;
        r.missing = "(cannot open " + path.string() + ")";
        return r;
    }
    std::string text(kIniSearchLimit, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return loadParamIniText(text);
}

} // namespace qx
