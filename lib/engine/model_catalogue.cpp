// The model catalogue: family rows, gateway rows, and the older generic codes
// that modules of the first generation still report.
#include "model_catalogue.h"

#include <cstddef>
#include <iterator>
#include <map>
#include <span>
#include <vector>

#include "gbk.h"

namespace qx {

namespace {

const char kUnknownName[] = "未知型号！";
const char kUnknownDescription[] = "未知描述！";
const char kProgrammableSuffix[] = "(可编程)";
const char kMetalCase[] = "金属壳";

struct IoRow
{
    int offset;
    const char *ioCode;
    const char *ioText;
    const char *kind;
};

constexpr IoRow kDigitalRows[] = {
    {0, "2I2O", "2进2出", "开关量模块"},
    {1, "4I4O", "4进4出", "开关量模块"},
    {2, "8I8O", "8进8出", "开关量模块"},
    {3, "12I12O", "12进12出", "开关量模块"},
    {4, "16I16O", "16进16出", "开关量模块"},
    {5, "24I24O", "24进24出", "开关量模块"},
    {6, "8I8PO", "8进8出", "开关量/PWM混合模块"},
    {7, "24I", "24输入", "开关量模块"},
    {8, "24O", "24输出", "开关量模块"},
    {9, "32I", "32输入", "开关量模块"},
    {10, "32O", "32输出", "开关量模块"},
    {11, "40I", "40输入", "开关量模块"},
    {12, "40O", "40输出", "开关量模块"},
    {13, "48I", "48输入", "开关量模块"},
    {14, "48O", "48输出", "开关量模块"},
};

constexpr IoRow kAnalogRows[] = {
    {0, "0088", "8DI+8DO", "开关量模块"},
    {1, "4088", "4AI+8DI+8DO", "开关量模拟量混合模块"},
    {2, "8088", "8AI+8DI+8DO", "开关量模拟量混合模块"},
    {3, "0488", "4AO+8DI+8DO", "开关量模拟量混合模块"},
    {4, "0888", "8AO+8DI+8DO", "开关量模拟量混合模块"},
    {5, "4488", "4AI+4AO+8DI+8DO", "开关量模拟量混合模块"},
    {7, "4000", "4AI", "模拟量采集模块"},
    {8, "0400", "4AO", "模拟量输出模块"},
};

enum class FamilyKind {
    Digital,
    Analog,
    MetalCase,
};

struct Family
{
    int base;
    FamilyKind kind;
    const char *prefix;
    const char *altPrefix;
    const char *link;
    const char *linkWord;
};

// The analog and metal-case families on WIFI, LORA and 4G put a space before
// the link word; the digital ones do not.
constexpr Family kFamilies[] = {
    {30, FamilyKind::Digital, "QXD", "QXP", "4G", "4G"},
    {50, FamilyKind::Analog, "QXA", "QXP", "4G", " 4G"},
    {60, FamilyKind::MetalCase, "QXAE", "QXPE", "4G", " 4G"},
    {90, FamilyKind::Digital, "QXD", "QXP", "RS", "串口"},
    {110, FamilyKind::Analog, "QXA", "QXP", "RS", "串口"},
    {120, FamilyKind::MetalCase, "QXAE", "QXPE", "RS", "串口"},
    {130, FamilyKind::Digital, "QXD", "QXP", "ETH", "网口"},
    {150, FamilyKind::Analog, "QXA", "QXP", "ETH", "网口"},
    {160, FamilyKind::MetalCase, "QXAE", "QXPE", "ETH", "网口"},
    {170, FamilyKind::Digital, "QXD", "QXP", "WIFI", "WIFI"},
    {190, FamilyKind::Analog, "QXA", "QXP", "WIFI", " WIFI"},
    {200, FamilyKind::MetalCase, "QXAE", "QXPE", "WIFI", " WIFI"},
    {210, FamilyKind::Digital, "QXD", "QXP", "LORA", "LORA"},
    {230, FamilyKind::Analog, "QXA", "QXP", "LORA", " LORA"},
    {240, FamilyKind::MetalCase, "QXAE", "QXPE", "LORA", " LORA"},
};

struct FixedRow
{
    int code;
    const char *name;
    const char *description;
};

constexpr FixedRow kGatewayRows[] = {
    {70, "QXG_2R1E", "串口转以太网网关模块(云联版)"},
    {71, "QXG_2R1W", "串口转WIFI网关模块(云联版)"},
    {72, "QXG_2R1G", "串口转4G5G网关模块(云联版)"},
    {75, "QXG_1L1E", "LORA转以太网网关模块(云联版)"},
    {76, "QXG_1L1W", "LORA转WIFI网关模块(云联版)"},
    {77, "QXG_1L1G", "LORA转4G5G网关模块(云联版)"},
    {80, "RUR_2R1E_R", "串口转以太网网关模块"},
    {81, "RUR_2R1E_E", "以太网网关模块"},
    {82, "RUR_2R1W", "串口转WIFI网关模块"},
    {83, "RUR_2R1L", "串口转LORA网关模块"},
    {84, "RUR_1E1L", "以太网转LORA网关模块"},
    {85, "RUR_1W1L", "WIFI转LORA网关模块"},
};

// The first generation's codes name only the board type; they win over any
// catalogue row on the same code.
constexpr FixedRow kGenericRows[] = {
    {0, "QXD-XXX-RS", "串口IO控制卡"},
    {0, "QXD-XXX-ETH", "以太网IO控制卡"},
    {0, "QXD-XXX-WIFI", "WIFI无线IO控制卡"},
    {0, "QXD-XXX-LORA", "LORA无线IO控制卡"},
    {31, "RUR-2R1E", "RUR 串口-以太网总线模块"},
    {32, "RUR-2R1L", "RUR 串口-LORA总线模块"},
    {33, "RUR-1E1L", "RUR 以太网-LORA总线模块"},
    {34, "RUR-1W1L", "RUR WIFI-LORA总线模块"},
    {0, "QXA-XXX-RS", "串口AD/DA控制卡"},
    {0, "QXA-XXX-ETH", "以太网AD/DA控制卡"},
    {0, "QXA-XXX-WIFI", "WIFI无线AD/DA控制卡"},
    {0, "QXA-XXX-LORA", "LORA无线AD/DA控制卡"},
};
constexpr std::size_t kGenericCount = std::size(kGenericRows);

// Calls fn(code, family, row) for every catalogue entry a family builds.
template<typename Fn>
void forEachFamilyEntry(Fn fn)
{
    for (const Family &family : kFamilies) {
        for (const IoRow &row : family.kind == FamilyKind::Digital ? std::span<const IoRow>(kDigitalRows)
                                                                   : std::span<const IoRow>(kAnalogRows)) {
            if (family.kind == FamilyKind::MetalCase && row.offset > 5)
                continue;
            fn(family.base + row.offset, family, row);
        }
    }
}

// The words a family entry's description is joined from, in their order:
// the case, the I/O, the link, the kind and the programmable edition's mark.
std::vector<std::string_view> descriptionWords(const Family &family, const IoRow &row, bool programmable)
{
    std::vector<std::string_view> words;
    if (family.kind == FamilyKind::MetalCase)
        words.push_back(kMetalCase);
    words.insert(words.end(), {row.ioText, family.linkWord, row.kind});
    if (programmable)
        words.push_back(kProgrammableSuffix);
    return words;
}

std::string joined(const std::vector<std::string_view> &words)
{
    std::string text;
    for (std::string_view w : words)
        text += w;
    return text;
}

// Index into kGenericRows, or kGenericCount for codes of the catalogue.
std::size_t genericIndex(uint32_t code)
{
    // digital boards: 1..4 and five codes each from 6 on
    if (code >= 1 && code <= 4)
        return code - 1;
    if (code >= 6 && code <= 25)
        return (code - 6) / 5;
    if (code >= 31 && code <= 34)
        return 4 + (code - 31);
    // analog boards: four codes each from 41 on (45, 50, 55 left out), then
    // 61..64 and 65..68 in the same order
    if (code >= 41 && code <= 59 && (code - 41) % 5 != 4)
        return 8 + (code - 41) / 5;
    if (code >= 61 && code <= 64)
        return 8 + (code - 61);
    if (code >= 65 && code <= 68)
        return 8 + (code - 65);
    return kGenericCount;
}

// Every text in GBK, converted once per process: the catalogue never changes,
// and the worker then decodes an identity without converting or allocating.
struct GbkTable
{
    std::array<ModelCatalogue::Entry, 256> entries;
    std::array<ModelCatalogue::Entry, kGenericCount> generic;
    ModelCatalogue::Entry unknown;
};

ModelCatalogue::Entry toGbk(const ModelCatalogue::Entry &e)
{
    return {utf8ToGbk(e.name), utf8ToGbk(e.description), utf8ToGbk(e.altName),
            utf8ToGbk(e.altDescription)};
}

const GbkTable &gbkTable()
{
    static const GbkTable table = [] {
        GbkTable t;
        const ModelCatalogue catalogue;
        for (std::size_t code = 0; code < t.entries.size(); ++code)
            t.entries[code] = toGbk(catalogue.entry(static_cast<uint8_t>(code)));
        for (std::size_t i = 0; i < kGenericCount; ++i) {
            const FixedRow &row = kGenericRows[i];
            t.generic[i] = toGbk({row.name, row.description, row.name, row.description});
        }
        t.unknown = toGbk({kUnknownName, kUnknownDescription, kUnknownName, kUnknownDescription});
        return t;
    }();
    return table;
}

} // namespace

ModelCatalogue::ModelCatalogue()
{
    for (Entry &e : m_entries) {
        e.name = kUnknownName;
        e.description = kUnknownDescription;
        e.altName = kUnknownName;
        e.altDescription = kUnknownDescription;
    }

    forEachFamilyEntry([this](int code, const Family &family, const IoRow &row) {
        Entry &e = m_entries[static_cast<std::size_t>(code)];
        const std::string suffix = std::string("_") + row.ioCode + "_" + family.link;
        e.name = family.prefix + suffix;
        e.altName = family.altPrefix + suffix;
        e.description = joined(descriptionWords(family, row, false));
        e.altDescription = joined(descriptionWords(family, row, true));
    });

    for (const FixedRow &row : kGatewayRows) {
        Entry &e = m_entries[static_cast<std::size_t>(row.code)];
        e.name = row.name;
        e.description = row.description;
    }
}

ModelTexts ModelCatalogue::lookup(uint32_t modelCode, uint8_t series) const
{
    const std::size_t generic = genericIndex(modelCode);
    if (generic < kGenericCount)
        return {kGenericRows[generic].name, kGenericRows[generic].description};
    if (modelCode > 255)
        return {kUnknownName, kUnknownDescription};
    const Entry &e = m_entries[modelCode];
    if (series == kProgrammableSeries)
        return {e.altName, e.altDescription};
    return {e.name, e.description};
}

GbkModelTexts ModelCatalogue::lookupGbk(uint32_t modelCode, uint8_t series)
{
    const GbkTable &table = gbkTable();
    const std::size_t generic = genericIndex(modelCode);
    const Entry &e = generic < kGenericCount ? table.generic[generic]
        : modelCode > 255                    ? table.unknown
                                             : table.entries[modelCode];
    if (series == kProgrammableSeries)
        return {e.altName, e.altDescription};
    return {e.name, e.description};
}

std::string ModelCatalogue::translateDescription(std::string_view description,
                                                 const std::function<std::string(std::string_view)> &translate)
{
    using Words = std::vector<std::string_view>;
    static const std::map<std::string, Words, std::less<>> wordsOf = [] {
        std::map<std::string, Words, std::less<>> m;
        forEachFamilyEntry([&m](int, const Family &family, const IoRow &row) {
            for (bool programmable : {false, true}) {
                Words words = descriptionWords(family, row, programmable);
                m.emplace(joined(words), std::move(words));
            }
        });
        for (const FixedRow &row : kGatewayRows)
            m.emplace(row.description, Words {row.description});
        for (const FixedRow &row : kGenericRows)
            m.emplace(row.description, Words {row.description});
        m.emplace(kUnknownDescription, Words {kUnknownDescription});
        return m;
    }();
    const auto it = wordsOf.find(description);
    if (it == wordsOf.end())
        return std::string(description);
    std::string text;
    for (std::string_view word : it->second) {
        const std::string t = translate(word);
        const std::size_t first = t.find_first_not_of(' ');
        if (first == std::string::npos)
            continue;
        if (!text.empty())
            text += ' ';
        text.append(t, first, t.find_last_not_of(' ') - first + 1);
    }
    return text;
}

} // namespace qx
