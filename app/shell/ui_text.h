// The one way an operator text (UTF-8, from the areas' text constants or a
// core's result) becomes a QString for a widget.
#pragma once

#include <string>
#include <string_view>

#include <QString>

namespace qx {

inline QString uiText(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

inline QString uiText(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

inline QString uiText(const std::string &utf8)
{
    return uiText(std::string_view(utf8));
}

} // namespace qx
