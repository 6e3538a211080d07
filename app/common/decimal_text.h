// Lenient decimal conversions for values typed into text files by hand: the
// number ends at the first character that cannot continue it, text without
// digits is 0, and nothing depends on the process locale (a host that sets a
// locale with a decimal comma must still read "0.5").
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qx {

// Leading blanks, optional sign, digits; clamped to the int64 range.
int64_t parseDecimalInteger(std::string_view text);

// As above, clamped to the int32 range.
int32_t parseDecimalInt32(std::string_view text);

// Leading blanks, optional sign, decimal floating notation with optional
// fraction and exponent (also "inf" and "nan"); beyond the float range the
// result is an infinity, below it zero.
float parseDecimalFloat(std::string_view text);

// Strict forms for values an operator types into a field: blanks around the
// number are allowed, anything else makes the text not a number (nullopt).
// Integers take an optional sign; floats decimal notation with optional
// fraction and exponent, finite and within the float range.
std::optional<int64_t> parseWholeInteger(std::string_view text);
std::optional<float> parseWholeFloat(std::string_view text);

// "%f" of the C locale (six decimals, '.'), whatever locale the process set.
std::string formatFixed6(float value);

} // namespace qx
