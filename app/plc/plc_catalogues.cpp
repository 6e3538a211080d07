// The catalogue lists, built once.
#include "plc_catalogues.h"

#include "gbk.h"

namespace qx {

namespace {

void addNumbered(std::vector<std::string> &list, const char *prefix, int count, const char *suffix)
{
    for (int n = 1; n <= count; ++n)
        list.push_back(prefix + std::to_string(n) + suffix);
}

void addRepeated(std::vector<std::string> &list, const char *text, int count)
{
    for (int n = 0; n < count; ++n)
        list.emplace_back(text);
}

std::vector<std::string> buildSources()
{
    std::vector<std::string> l{"空"};
    addNumbered(l, "x", 32, "输入");
    addNumbered(l, "x", 32, "计数");
    addNumbered(l, "ai", 8, "输入");
    addRepeated(l, "预留", 8);
    addNumbered(l, "et", 96, "外触发定时器");
    addNumbered(l, "it", 32, "自触发定时器");
    addNumbered(l, "y", 32, "输出");
    return l;
}

std::vector<std::string> buildObjects()
{
    std::vector<std::string> l{"空"};
    addNumbered(l, "y", 32, "输出");
    addNumbered(l, "x", 32, "计数");
    addNumbered(l, "ao", 8, "输出");
    addRepeated(l, "预留", 8);
    addNumbered(l, "et", 96, "外触发定时器");
    addNumbered(l, "it", 32, "自触发定时器");
    l.emplace_back("dly1延时");
    addRepeated(l, "预留", 7);
    for (const char *group : {"DI", "DO", "DIO", "AI", "AO", "AIO", "XCNT", "DIO+AIO", "DIO+XCNT",
                              "AIO+XCNT", "DIO+AIO+XCNT"})
        l.emplace_back(group);
    addRepeated(l, "预留", 5);
    return l;
}

} // namespace

const std::vector<std::string> &plcCatalogue(PlcCatalogue catalogue)
{
    static const std::vector<std::string> sources = buildSources();
    static const std::vector<std::string> objects = buildObjects();
    static const std::vector<std::string> units{
        "空", "dio开关量", "cnt计数值", "ms毫秒", "raw原始值", "v伏特", "ma毫安",
        "mpa兆帕", "deg度", "rh湿", "g克", "n牛", "rat百分比", "var变量",
    };
    static const std::vector<std::string> conditionOperators{
        "空", "=等于", "!=不等于", ">大于", "≥大于等于", "<小于", "≤小于等于",
        "->从到", "()介于", "[]包含于", "(]右包含于", "[)左包含于",
    };
    static const std::vector<std::string> actionOperators{
        "空", "=等于", "+加", "-减", "str存储", "strclr清存储", "rep上报", "po脉冲输出",
    };
    switch (catalogue) {
    case PlcCatalogue::Source:
        return sources;
    case PlcCatalogue::ActionObject:
        return objects;
    case PlcCatalogue::Unit:
        return units;
    case PlcCatalogue::ConditionOperator:
        return conditionOperators;
    case PlcCatalogue::ActionOperator:
        break;
    }
    return actionOperators;
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

} // namespace qx
