// Which values kept from an earlier run still fit the connection page. A
// kept value that does not fit is dropped without a word and the field keeps
// the value a first run gives it: a setting file edited by hand, or written
// by a version with other rules, never puts a value on the page that the
// page itself would refuse.
#pragma once

#include <string_view>

#include "connection_rules.h"

namespace qx {

enum class KeptField {
    Transport, // the library's transport type, "0" (TCP server) to "3" (serial)
    Ipv4, // a module's dotted-decimal address
    Port, // a TCP or UDP port
    ModbusAddress, // 1 to 247
};

bool keptValueFits(KeptField field, std::string_view text);

// The transport a kept transport type names; None when it names none.
ConnectionKind keptTransport(std::string_view text);

} // namespace qx
