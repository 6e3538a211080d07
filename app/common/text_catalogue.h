// The operator's language. Texts are written once, in Chinese (UTF-8), as
// `Text` constants in the areas' text headers; a text turns into a string
// through translatedText(), which gives the Chinese source itself unless a
// catalogue of another language has been installed (QXTools does so at start
// when asked for English). Translation goes by the exact source text, so the
// cores build their messages from translated pieces without knowing the
// language, and nothing here needs Qt.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qx {

// The translation of `source`, or `source` itself when there is none (or no
// catalogue; a null source stays null). A translation stays valid, at the same address, for the rest
// of the process. Safe from any thread.
const char *translatedText(const char *source);
std::string_view translatedText(std::string_view source);

// What a catalogue answers for one source text: its translation, or nothing.
// Called from any thread, one call at a time.
using TextLookup = std::function<std::optional<std::string>(std::string_view source)>;

// Installs a catalogue for every later translatedText(); an empty lookup goes
// back to the Chinese sources. Translations handed out before stay valid.
void installTextCatalogue(TextLookup lookup);
// Whether a catalogue is installed (texts are shown in another language).
bool textCatalogueInstalled();

// An operator text: written as a constant (`inline constexpr Text kName =
// "…";`) and used wherever a C string goes, in the operator's language.
struct Text
{
    const char *source;

    constexpr Text(const char *text)
        : source(text)
    {
    }

    operator const char *() const
    {
        return translatedText(source);
    }

    operator std::string_view() const
    {
        return translatedText(source);
    }

    friend bool operator==(const Text &text, std::string_view other)
    {
        return std::string_view(static_cast<const char *>(text)) == other;
    }

    // messages joined from texts and values, as with a C string
    friend std::string operator+(std::string left, const Text &right)
    {
        return left.append(static_cast<const char *>(right));
    }

    friend std::string operator+(const Text &left, std::string_view right)
    {
        return std::string(static_cast<const char *>(left)).append(right);
    }
};

} // namespace qx
