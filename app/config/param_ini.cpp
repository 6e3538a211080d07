// The INI reader of the parameter block.
#include "config_texts.h"
#include "file_bytes.h"
#include "param_ini.h"
#include "text_format.h"

#include <cstring>
#include <initializer_list>

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

// Reads one key into its field; false when it is missing.
bool readKey(std::string_view text, const IniKeyRule &rule, ParamBlock &block)
{
    const ParamField &field = paramField(rule.key);
    std::string value;
    // numbers arrive through a 16-byte text; texts fill their field
    const std::size_t room = field.type == ParamType::Text ? field.size : 16;
    if (iniLookup(text, rule.section, rule.key, room, value) != kIniFound)
        return false;
    block.setFieldText(field, value);
    return true;
}

// Reads `rules` in order; false at the first required key that is missing.
bool readKeys(std::string_view text, const std::vector<IniKeyRule> &rules, IniLoadResult &result)
{
    ParamBlock &block = result.block;
    const ParamField &wifiMode = paramField("W1WifiMode");
    for (const IniKeyRule &rule : rules) {
        if (rule.onlyWifiModeZero && block.u8(wifiMode.offset) != 0)
            continue;
        if (readKey(text, rule, block))
            continue;
        switch (rule.kind) {
        case IniKeyRule::Required:
            result.missingSection = std::string(rule.section);
            result.missingKey = rule.key;
            result.missing = result.missingSection + "/" + result.missingKey;
            return false;
        case IniKeyRule::Fallback:
            block.setFieldText(paramField(rule.key), std::to_string(rule.fallback));
            break;
        case IniKeyRule::Optional:
            break;
        }
    }
    return true;
}

void add(std::vector<IniKeyRule> &rules, std::string_view section, IniKeyRule::Kind kind,
         std::initializer_list<std::string_view> keys)
{
    for (std::string_view key : keys)
        rules.push_back({section, std::string(key), kind});
}

void addFallback(std::vector<IniKeyRule> &rules, std::string_view section, std::string_view key, uint32_t fallback)
{
    rules.push_back({section, std::string(key), IniKeyRule::Fallback, fallback});
}

void addNumbered(std::vector<IniKeyRule> &rules, std::string_view section, IniKeyRule::Kind kind,
                 const char *prefix, int first, int last)
{
    for (int i = first; i <= last; ++i)
        rules.push_back({section, prefix + std::to_string(i), kind});
}

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

bool iniReadsOverlay(uint8_t c)
{
    return oneOf(c, {75, 76, 77, 80, 81});
}

std::vector<IniKeyRule> iniSystemKeys()
{
    using K = IniKeyRule;
    std::vector<IniKeyRule> r;
    add(r, "SYSTEM", K::Required, {"QXMode", "QXExtConf", "QXAddr1"});
    add(r, "SYSTEM", K::Optional, {"QXAddr2", "QXAddr3"});
    add(r, "SYSTEM", K::Required,
        {"byRepTwin", "byRepCont", "dwRepTwinTm", "byRxDly", "byTxDly", "dwDiscTm", "byDiscAct"});
    return r;
}

std::vector<IniKeyRule> iniGroupKeys(uint8_t model)
{
    using K = IniKeyRule;
    std::vector<IniKeyRule> r;
    if (iniReadsCom(model))
        add(r, "COM", K::Required, {"R1BaudRate", "R1BitCS", "R1Parity", "R1BitStop", "R1Type", "R1HoldTime"});
    if (iniReadsEth(model)) {
        add(r, "ETH", K::Required,
            {"E1Dhcp", "E1ProbDHCP", "E1ProbGW", "E1LocalIP", "E1NetMask", "E1GateWay", "E1MAC", "E1DNS",
             "E1DOMAIN", "E1LocalPort1", "E1RemoteIP1", "E1RemotePort1", "E1SocketType1", "E1ActChk1",
             "E1HoldTime1"});
        addFallback(r, "ETH", "E1LocalPort3", 0);
        addFallback(r, "ETH", "E1HoldTime3", 100);
        add(r, "ETH", K::Optional, {"E1RemoteIP2", "E1RemoteIP3"});
        addFallback(r, "ETH", "E1LocalPort2", 0);
        addFallback(r, "ETH", "E1RemotePort2", 0);
        addFallback(r, "ETH", "E1SocketType2", 0);
        addFallback(r, "ETH", "E1ActChk2", 10);
        addFallback(r, "ETH", "E1HoldTime2", 3);
    }
    if (iniReadsWifi(model)) {
        add(r, "WIFI", K::Required,
            {"W1WifiMode", "W1EncType", "W1SsidAP", "W1PwdAP", "W1SsidRouter", "W1PwdRouter", "W1APDhcps",
             "W1APBeginIP", "W1APEndIP", "W1APNetMask", "W1APGateway", "W1LocalIP"});
        // with W1WifiMode 0 these two take the places of W1PwdAP and W1SsidAP
        for (const char *key : {"W1DNS", "W1DOMAIN"})
            r.push_back({"WIFI", key, K::Required, 0, true});
        add(r, "WIFI", K::Required,
            {"W1LocalPort1", "W1RemoteIP1", "W1RemotePort1", "W1SocketType1", "W1IdleAllow1", "W1TimeRecon1",
             "W1HoldTime1"});
        add(r, "WIFI", K::Optional, {"W1Cloud", "W1RemoteIP2"});
        addFallback(r, "WIFI", "W1RemotePort2", 0);
        addFallback(r, "WIFI", "W1SocketType2", 0);
        addFallback(r, "WIFI", "W1LocalPort2", 0);
        addFallback(r, "WIFI", "W1TimeRecon2", 10);
        addFallback(r, "WIFI", "W1HoldTime2", 3);
    }
    if (iniReadsLora(model))
        add(r, "LORA", K::Required,
            {"L1RxTx", "L1AddrLocal", "L1AddrRemote", "L1Freq", "L1Power", "L1SignalBw", "L1SprFactor",
             "L1ErrCode", "L1CrcOn", "L1ImpHeaderOn", "L1RxSingleOn", "L1FreqHopOn", "L1HopPeriod",
             "L1TxTimeout", "L1RxTimeout", "L1PayloadLen", "L1HoldTime"});
    if (iniReadsDio(model)) {
        add(r, "DIO", K::Required, {"dwIOFilterWin", "dwIOFilterHig", "byIOReverse", "dwIOReverse"});
        addNumbered(r, "DIO", K::Required, "IO", 1, 32);
    }
    addNumbered(r, "RESERV", K::Optional, "byRes", 1, 32);
    addNumbered(r, "RESERV", K::Optional, "dwRes", 1, 32);
    addNumbered(r, "RESERV", K::Optional, "szRes", 1, 8);
    if (iniReadsOverlay(model))
        addNumbered(r, "RESERV", K::Optional, "szRes", 9, 10);
    return r;
}

IniLoadResult loadParamIniText(std::string_view text)
{
    IniLoadResult result;
    if (text.size() > kIniSearchLimit)
        text = text.substr(0, kIniSearchLimit);
    // a file of 0 or 1 byte holds no key at all, the first one included
    if (!readKeys(text.size() <= 1 ? std::string_view() : text, iniSystemKeys(), result))
        return result;
    result.ok = readKeys(text, iniGroupKeys(result.block.modelCode()), result);
    return result;
}

IniLoadResult loadParamIni(const std::string &path)
{
    const FileReadResult file = readFileBytes(path, kIniSearchLimit);
    if (!file.ok) {
        IniLoadResult r;
        r.openError = std::strerror(file.error);
        return r;
    }
    return loadParamIniText(file.bytes);
}

std::string missingKeyLine(const IniLoadResult &result)
{
    return formatText(config_texts::kIniMissingFormat, result.missingSection.c_str(), result.missingKey.c_str());
}

} // namespace qx
