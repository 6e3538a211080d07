// The catalogue lists: runs of entries, the same texts whether kept as the
// program's data (Chinese) or shown in the operator's language.
#include "plc_catalogues.h"

#include <span>

#include "gbk.h"
#include "plc_texts.h"
#include "text_format.h"

namespace qx {

namespace {

using namespace plc_texts;

// `count` entries of one text; with a prefix, numbered "prefix1".."prefixN"
// through the text's format.
struct Run
{
    Text text;
    const char *prefix = nullptr;
    int count = 1;
};

constexpr Run kSourceRuns[] = {
    {kCatalogueEmpty},
    {kCatalogueInput, "x", 32},
    {kCatalogueCounter, "x", 32},
    {kCatalogueInput, "ai", 8},
    {kCatalogueReserved, nullptr, 8},
    {kCatalogueExtTimer, "et", 96},
    {kCatalogueSelfTimer, "it", 32},
    {kCatalogueOutput, "y", 32},
};

constexpr Run kObjectRuns[] = {
    {kCatalogueEmpty},
    {kCatalogueOutput, "y", 32},
    {kCatalogueCounter, "x", 32},
    {kCatalogueOutput, "ao", 8},
    {kCatalogueReserved, nullptr, 8},
    {kCatalogueExtTimer, "et", 96},
    {kCatalogueSelfTimer, "it", 32},
    {kCatalogueDelay},
    {kCatalogueReserved, nullptr, 7},
    {"DI"},
    {"DO"},
    {"DIO"},
    {"AI"},
    {"AO"},
    {"AIO"},
    {"XCNT"},
    {"DIO+AIO"},
    {"DIO+XCNT"},
    {"AIO+XCNT"},
    {"DIO+AIO+XCNT"},
    {kCatalogueReserved, nullptr, 5},
};

std::span<const Run> runsOf(PlcCatalogue catalogue)
{
    switch (catalogue) {
    case PlcCatalogue::Source:
        return kSourceRuns;
    case PlcCatalogue::ActionObject:
        return kObjectRuns;
    default:
        return {};
    }
}

std::span<const Text> textsOf(PlcCatalogue catalogue)
{
    switch (catalogue) {
    case PlcCatalogue::Unit:
        return kCatalogueUnits;
    case PlcCatalogue::ConditionOperator:
        return kCatalogueConditionOperators;
    case PlcCatalogue::ActionOperator:
        return kCatalogueActionOperators;
    default:
        return {};
    }
}

std::string textOf(Text text, bool shown)
{
    return shown ? std::string(text) : std::string(text.source);
}

std::string entryOf(const Run &run, int n, bool shown)
{
    if (run.prefix == nullptr)
        return textOf(run.text, shown);
    return formatText(shown ? static_cast<const char *>(run.text) : run.text.source, run.prefix, n);
}

std::vector<std::string> listOf(PlcCatalogue catalogue, bool shown)
{
    std::vector<std::string> list;
    for (const Run &run : runsOf(catalogue)) {
        for (int n = 1; n <= run.count; ++n)
            list.push_back(entryOf(run, n, shown));
    }
    for (Text text : textsOf(catalogue))
        list.push_back(textOf(text, shown));
    return list;
}

} // namespace

const std::vector<std::string> &plcCatalogue(PlcCatalogue catalogue)
{
    // in the order of PlcCatalogue
    static const std::vector<std::string> lists[] = {
        listOf(PlcCatalogue::Source, false),
        listOf(PlcCatalogue::ActionObject, false),
        listOf(PlcCatalogue::Unit, false),
        listOf(PlcCatalogue::ConditionOperator, false),
        listOf(PlcCatalogue::ActionOperator, false),
    };
    return lists[static_cast<int>(catalogue)];
}

const std::string &plcCatalogueText(PlcCatalogue catalogue, uint8_t code)
{
    static const std::string none;
    const auto &list = plcCatalogue(catalogue);
    return code < list.size() ? list[code] : none;
}

std::string plcCatalogueTextGbk(PlcCatalogue catalogue, uint8_t code)
{
    return utf8ToGbk(plcCatalogueText(catalogue, code));
}

std::vector<std::string> plcCatalogueShown(PlcCatalogue catalogue)
{
    return listOf(catalogue, true);
}

std::string plcCatalogueShownText(PlcCatalogue catalogue, uint8_t code)
{
    int first = 0;
    for (const Run &run : runsOf(catalogue)) {
        if (code < first + run.count)
            return entryOf(run, code - first + 1, true);
        first += run.count;
    }
    const std::span<const Text> texts = textsOf(catalogue);
    return code < texts.size() ? std::string(texts[code]) : std::string();
}

} // namespace qx
