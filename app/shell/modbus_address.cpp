#include "modbus_address.h"

#include "shell_texts.h"

namespace qx {

ModbusAddressResult readModbusAddress(std::string_view text)
{
    ModbusAddressResult r;
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    unsigned value = 0;
    bool digits = !text.empty();
    for (char c : text) {
        if (c < '0' || c > '9') {
            digits = false;
            break;
        }
        // Past 247 the exact value no longer matters; stop before it could wrap.
        if (value <= kModbusAddressMax)
            value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (!digits || value < kModbusAddressMin || value > kModbusAddressMax) {
        r.message = shell_texts::kInvalidModbusAddress;
        return r;
    }
    r.ok = true;
    r.address = static_cast<uint8_t>(value);
    return r;
}

} // namespace qx
