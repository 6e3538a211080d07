#include "file_filter.h"

#include <algorithm>

namespace qx {

namespace {

std::vector<std::string> splitBars(std::string_view text)
{
    std::vector<std::string> parts;
    std::size_t begin = 0;
    for (;;) {
        std::size_t bar = text.find('|', begin);
        parts.emplace_back(text.substr(begin, bar - begin));
        if (bar == std::string_view::npos)
            break;
        begin = bar + 1;
    }
    // The closing "||" leaves empty parts behind.
    while (!parts.empty() && parts.back().empty())
        parts.pop_back();
    return parts;
}

bool endsWith(const std::string &text, const std::string &tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

std::vector<std::string> fileDialogFilters(std::string_view pageFilter)
{
    const std::vector<std::string> parts = splitBars(pageFilter);
    std::vector<std::string> filters;
    for (std::size_t i = 0; i < parts.size(); i += 2) {
        std::string description = parts[i];
        const std::string given = i + 1 < parts.size() ? parts[i + 1] : std::string("*");
        std::string patterns = given;
        std::replace(patterns.begin(), patterns.end(), ';', ' ');
        // A description that names its patterns gets them in Qt's form.
        const std::string named = "(" + given + ")";
        if (endsWith(description, named))
            description.resize(description.size() - named.size());
        else
            description += ' ';
        filters.push_back(description + "(" + patterns + ")");
    }
    return filters;
}

std::vector<std::string> filterPatterns(std::string_view pageFilter)
{
    const std::vector<std::string> parts = splitBars(pageFilter);
    std::vector<std::string> patterns;
    for (std::size_t i = 1; i < parts.size(); i += 2)
        patterns.push_back(parts[i]);
    return patterns;
}

} // namespace qx
