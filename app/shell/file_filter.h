// File dialog filters as the pages write them, description and patterns in
// turns with a closing "||" ("配置文件(*.txt)|*.txt|所有文件(*.*)|*.*||"),
// and the same filters in the form Qt's file dialog reads.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qx {

// One entry per description: "配置文件(*.txt)" stays as it is because it
// names its own patterns; a description without them gets them appended
// ("固件" and "*.bin" give "固件 (*.bin)"). Patterns separated by ';' are
// listed with blanks, as Qt separates them.
std::vector<std::string> fileDialogFilters(std::string_view pageFilter);

// The filter's patterns alone, in order ("*.txt", "*.*"): what stays the
// same whatever language the descriptions are in.
std::vector<std::string> filterPatterns(std::string_view pageFilter);

} // namespace qx
