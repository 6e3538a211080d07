// The one way an operator text (UTF-8, from the areas' text constants or a
// core's result) becomes a QString for a widget. A string that is a text of
// the catalogue as a whole (a table's entry, a core's message passed on)
// is shown in the operator's language too.
#pragma once

#include <string>
#include <string_view>

#include <QString>

#include "text_catalogue.h"

namespace qx {

inline QString uiText(std::string_view utf8)
{
    const std::string_view shown = translatedText(utf8);
    return QString::fromUtf8(shown.data(), qsizetype(shown.size()));
}

inline QString uiText(const char *utf8)
{
    return uiText(std::string_view(utf8));
}

inline QString uiText(const std::string &utf8)
{
    return uiText(std::string_view(utf8));
}

inline QString uiText(Text text)
{
    return uiText(std::string_view(text.source));
}

} // namespace qx
