// The module's Modbus address as the connection page's field holds it, read
// whenever a request is built or a port opened. Only a decimal number from 1
// to 247 is an address: empty text, letters, 0 and anything above 247 are
// refused, so a typo can never turn a write into a broadcast to every module
// on an RS485 line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qx {

inline constexpr unsigned kModbusAddressMin = 1;
inline constexpr unsigned kModbusAddressMax = 247;

struct ModbusAddressResult
{
    bool ok = false;
    uint8_t address = 0;
    std::string message; // names the field and the range when refused
};

// Blanks around the number are allowed; a sign, a fraction or trailing text
// is not.
ModbusAddressResult readModbusAddress(std::string_view text);

} // namespace qx
