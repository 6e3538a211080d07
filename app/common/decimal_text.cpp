// Locale-independent lenient number parsing.
#include "decimal_text.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace qx {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view skipBlanks(std::string_view t)
{
    std::size_t i = 0;
    while (i < t.size() && isBlank(t[i]))
        ++i;
    return t.substr(i);
}

bool hasNegativeExponent(std::string_view t)
{
    for (std::size_t i = 0; i + 1 < t.size(); ++i) {
        if ((t[i] == 'e' || t[i] == 'E') && t[i + 1] == '-')
            return true;
    }
    return false;
}

std::string_view trimBlanks(std::string_view t)
{
    t = skipBlanks(t);
    while (!t.empty() && isBlank(t.back()))
        t.remove_suffix(1);
    return t;
}

} // namespace

int64_t parseDecimalInteger(std::string_view text)
{
    std::string_view t = skipBlanks(text);
    bool negative = false;
    if (!t.empty() && (t[0] == '+' || t[0] == '-')) {
        negative = t[0] == '-';
        t.remove_prefix(1);
    }
    uint64_t magnitude = 0;
    const uint64_t limit = negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
    for (char c : t) {
        if (c < '0' || c > '9')
            break;
        const auto digit = static_cast<uint64_t>(c - '0');
        if (magnitude > (limit - digit) / 10) {
            magnitude = limit;
            break;
        }
        magnitude = magnitude * 10 + digit;
    }
    if (negative)
        return magnitude == (uint64_t{1} << 63) ? std::numeric_limits<int64_t>::min()
                                                 : -static_cast<int64_t>(magnitude);
    return static_cast<int64_t>(magnitude);
}

int32_t parseDecimalInt32(std::string_view text)
{
    const int64_t v = parseDecimalInteger(text);
    if (v > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (v < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

float parseDecimalFloat(std::string_view text)
{
    std::string_view t = skipBlanks(text);
    bool negative = false;
    if (!t.empty() && (t[0] == '+' || t[0] == '-')) {
        negative = t[0] == '-';
        t.remove_prefix(1);
    }
    // from_chars takes no sign of its own here: a second sign is not a number
    if (t.empty() || t[0] == '+' || t[0] == '-')
        return 0.0f;
    float result = 0.0f;
    const char *first = t.data();
    const char *last = t.data() + t.size();
    const auto [end, ec] = std::from_chars(first, last, result);
    if (ec == std::errc::invalid_argument)
        return 0.0f;
    if (ec == std::errc::result_out_of_range) {
        // too large or too small for a float: decide which through a double
        double wide = 0.0;
        const auto [wideEnd, wideEc] = std::from_chars(first, last, wide);
        bool huge;
        if (wideEc == std::errc())
            huge = std::fabs(wide) > 1.0;
        else
            huge = !hasNegativeExponent(std::string_view(first, static_cast<std::size_t>(wideEnd - first)));
        result = huge ? std::numeric_limits<float>::infinity() : 0.0f;
    }
    (void)end;
    return negative ? -result : result;
}

namespace {

// The whole of `text` (blanks around it aside) as one number of type T;
// from_chars takes the '-' itself, the '+' is taken here.
template <typename T, typename... Format>
std::optional<T> parseWhole(std::string_view text, Format... format)
{
    std::string_view t = trimBlanks(text);
    if (!t.empty() && t[0] == '+')
        t.remove_prefix(1);
    if (t.empty() || t[0] == '+')
        return std::nullopt;
    T value {};
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value, format...);
    if (ec != std::errc() || end != t.data() + t.size())
        return std::nullopt;
    return value;
}

} // namespace

std::optional<int64_t> parseWholeInteger(std::string_view text)
{
    return parseWhole<int64_t>(text);
}

std::optional<float> parseWholeFloat(std::string_view text)
{
    const std::optional<float> v = parseWhole<float>(text, std::chars_format::general);
    return v && std::isfinite(*v) ? v : std::nullopt;
}

std::string formatFixed6(float value)
{
    char text[64];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, static_cast<double>(value),
                                         std::chars_format::fixed, 6);
    if (ec != std::errc())
        return {};
    return std::string(text, end);
}

} // namespace qx
