#include "kept_values.h"

#include "modbus_address.h"
#include "port_settings_builder.h"

namespace qx {

ConnectionKind keptTransport(std::string_view text)
{
    if (text.size() != 1 || text[0] < '0' || text[0] > '3')
        return ConnectionKind::None;
    return kindOfTransport(static_cast<uint32_t>(text[0] - '0'));
}

bool keptValueFits(KeptField field, std::string_view text)
{
    switch (field) {
    case KeptField::Transport:
        return keptTransport(text) != ConnectionKind::None;
    case KeptField::Ipv4:
        return isIpv4Text(text);
    case KeptField::Port:
        return parsePort(text).ok;
    case KeptField::ModbusAddress:
        return readModbusAddress(text).ok;
    }
    return false;
}

} // namespace qx
