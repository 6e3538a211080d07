// The ModelCatalogue: model name and description for each of the 256 model
// codes, built from the family tables, plus the older generic codes that take
// precedence over it. Texts are kept as UTF-8 here and converted to GBK when
// they are written into an IdentityRecord.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace qx {

// Series byte of the programmable edition, which shows the alternative pair.
constexpr uint8_t kProgrammableSeries = 5;

struct ModelTexts
{
    std::string name;
    std::string description;
};

// The same texts in GBK, as the IdentityRecord carries them; they live as
// long as the process.
struct GbkModelTexts
{
    const std::string &name;
    const std::string &description;
};

class ModelCatalogue
{
public:
    ModelCatalogue();

    // Name and description shown for a module of this code and series,
    // generic codes first, then the catalogue (its alternative pair for
    // series 5), "未知型号！"/"未知描述！" above 255.
    ModelTexts lookup(uint32_t modelCode, uint8_t series) const;
    // lookup's answer in GBK, converted once per process on the first call.
    static GbkModelTexts lookupGbk(uint32_t modelCode, uint8_t series);
    // A description of this catalogue in another language: `translate`
    // gives each word the description is joined from (the I/O, the link,
    // the kind ...) in that language, and the words are joined with blanks.
    // A text the catalogue did not make comes back as it is.
    static std::string translateDescription(std::string_view description,
                                            const std::function<std::string(std::string_view)> &translate);

    struct Entry
    {
        std::string name;
        std::string description;
        std::string altName;
        std::string altDescription;
    };
    const Entry &entry(uint8_t code) const { return m_entries[code]; }

private:
    std::array<Entry, 256> m_entries;
};

} // namespace qx
