// The five operand catalogues of the PLC program. An entry's position is the
// byte code stored in the block record and sent to the module, so the lists
// keep their order and their reserved entries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qx {

enum class PlcCatalogue {
    Source,            // condition "来源"
    ActionObject,      // action "对象"
    Unit,              // "值类型", conditions and actions
    ConditionOperator, // "运算符"
    ActionOperator,    // "操作"
};

// All entries of a catalogue, UTF-8, position = code.
const std::vector<std::string> &plcCatalogue(PlcCatalogue catalogue);

// The text of a code; codes beyond the list (possible in a file from
// elsewhere) give an empty text.
const std::string &plcCatalogueText(PlcCatalogue catalogue, uint8_t code);

// The same text as GBK bytes, for places that need the narrow form.
std::string plcCatalogueTextGbk(PlcCatalogue catalogue, uint8_t code);

// The list and one code's text as the operator reads them (translated when
// another language is installed); an empty text beyond the list.
std::vector<std::string> plcCatalogueShown(PlcCatalogue catalogue);
std::string plcCatalogueShownText(PlcCatalogue catalogue, uint8_t code);

} // namespace qx
