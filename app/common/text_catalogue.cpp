// The installed catalogue and the translations it has given. Translations are
// kept in a map whose nodes never move, so the pointers handed out stay
// valid; a replaced catalogue's map is kept for the same reason.
#include "text_catalogue.h"

#include <atomic>
#include <list>
#include <map>
#include <mutex>
#include <shared_mutex>

namespace qx {

namespace {

using Translations = std::map<std::string, std::string, std::less<>>;

struct Catalogue
{
    std::shared_mutex mutex;
    TextLookup lookup;
    Translations translations;
    std::list<Translations> retired;
    std::atomic<bool> installed = false;
};

Catalogue &catalogue()
{
    static Catalogue c;
    return c;
}

// Every text of the catalogue has Chinese in it; plain ASCII (numbers,
// names, the hex log) is never looked up.
bool mayHaveTranslation(std::string_view source)
{
    for (char c : source) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    }
    return false;
}

} // namespace

std::string_view translatedText(std::string_view source)
{
    Catalogue &c = catalogue();
    if (!c.installed.load(std::memory_order_acquire) || !mayHaveTranslation(source))
        return source;
    {
        std::shared_lock lock(c.mutex);
        if (const auto it = c.translations.find(source); it != c.translations.end())
            return it->second;
    }
    std::unique_lock lock(c.mutex);
    if (const auto it = c.translations.find(source); it != c.translations.end())
        return it->second;
    if (!c.lookup)
        return source;
    // A text without a translation is asked again next time: only the
    // catalogue's own texts are kept, so arbitrary strings (paths, names)
    // do not pile up here.
    std::optional<std::string> translation = c.lookup(source);
    if (!translation)
        return source;
    return c.translations.emplace(std::string(source), std::move(*translation)).first->second;
}

const char *translatedText(const char *source)
{
    // a missing text (a null pointer in a table) stays missing; both a
    // source and a kept translation end in '\0'
    if (source == nullptr)
        return nullptr;
    return translatedText(std::string_view(source)).data();
}

void installTextCatalogue(TextLookup lookup)
{
    Catalogue &c = catalogue();
    std::unique_lock lock(c.mutex);
    if (!c.translations.empty())
        c.retired.push_back(std::move(c.translations));
    c.translations.clear();
    c.lookup = std::move(lookup);
    c.installed.store(static_cast<bool>(c.lookup), std::memory_order_release);
}

bool textCatalogueInstalled()
{
    return catalogue().installed.load(std::memory_order_acquire);
}

} // namespace qx
