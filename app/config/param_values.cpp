// The value lists of the parameter block's enumerated fields.
#include "param_values.h"

#include <charconv>

namespace qx {

namespace {

constexpr ValueEntry kBaudRates[] = {
    {"1200", 1200}, {"2400", 2400}, {"4800", 4800}, {"9600", 9600},
    {"14400", 14400}, {"19200", 19200}, {"38400", 38400}, {"57600", 57600},
    {"115200", 115200}, {"128000", 128000}, {"256000", 256000},
};
constexpr ValueEntry kDataBits[] = {{"7", 7}, {"8", 8}};
constexpr ValueEntry kParity[] = {{"无", 0}, {"奇校验", 1}, {"偶校验", 2}, {"MARK校验", 3}};
constexpr ValueEntry kStopBits[] = {{"1", 1}, {"2", 2}};
constexpr ValueEntry kLineType[] = {{"RS232", 0}, {"RS485", 1}, {"RS422", 2}, {"只接收", 3}};
constexpr ValueEntry kSocketType[] = {{"UDP", 0}, {"TCP客户端", 1}, {"TCP服务器", 2}};
constexpr ValueEntry kIoMode[] = {{"0", 0}, {"1", 1}, {"2", 2}, {"3", 3}, {"4", 4}};

const ValueList kBaudList {kBaudRates, 8};
const ValueList kDataBitsList {kDataBits, 1};
const ValueList kParityList {kParity, 0};
const ValueList kStopBitsList {kStopBits, 0, true, 0};
const ValueList kLineTypeList {kLineType, 0};
const ValueList kSocketTypeList {kSocketType, 2};
const ValueList kIoModeList {kIoMode, 0};

// IO1 .. IO24: the page shows a list for each of these
bool isPageIoField(std::string_view name)
{
    if (name.size() < 3 || name.substr(0, 2) != "IO")
        return false;
    int n = 0;
    const auto digits = name.substr(2);
    const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    return r.ec == std::errc() && r.ptr == digits.data() + digits.size() && digits[0] != '0' && n >= 1
        && n <= 24;
}

} // namespace

const ValueList *valueListFor(std::string_view name)
{
    if (name == "R1BaudRate")
        return &kBaudList;
    if (name == "R1BitCS")
        return &kDataBitsList;
    if (name == "R1Parity")
        return &kParityList;
    if (name == "R1BitStop")
        return &kStopBitsList;
    if (name == "R1Type")
        return &kLineTypeList;
    if (name == "E1SocketType1" || name == "W1SocketType1")
        return &kSocketTypeList;
    if (isPageIoField(name))
        return &kIoModeList;
    return nullptr;
}

ValueSelection selectionFor(const ValueList &list, uint32_t stored)
{
    ValueSelection s;
    for (std::size_t i = 0; i < list.entries.size(); ++i)
        if (list.entries[i].value == stored) {
            s.kind = ValueSelection::Entry;
            s.index = i;
            return s;
        }
    if (list.hasHiddenValue && list.hiddenValue == stored)
        s.kind = ValueSelection::Clear;
    return s;
}

} // namespace qx
