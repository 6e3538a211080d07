// The page's classes, its controls, and showing and collecting a block.
#include "param_form.h"

#include <initializer_list>
#include <stdexcept>

#include "config_texts.h"
#include "gbk.h"
#include "param_ini.h"
#include "param_values.h"

namespace qx {

namespace {

bool in(uint8_t code, int low, int high)
{
    return code >= low && code <= high;
}

struct ControlDef
{
    std::string_view name;
    ControlKind kind;
    std::string_view hint;
};

constexpr auto E = ControlKind::Edit;
constexpr auto L = ControlKind::List;
constexpr auto C = ControlKind::Check;
constexpr auto D = ControlKind::Display;

// A control of the table; its name must be a field, and a list's name must
// have a value list (param_values.h).
PageControl tableControl(std::string name, PageGroup group, ControlKind kind, std::string caption,
                        std::string_view hint)
{
    const ParamField &field = paramField(name);
    const ValueList *values = kind == ControlKind::List ? valueListFor(name) : nullptr;
    if (kind == ControlKind::List && values == nullptr)
        throw std::logic_error("no value list for " + name);
    return {std::move(name), field, group, kind, std::move(caption), hint, values};
}

void addGroup(std::vector<PageControl> &out, PageGroup group, std::initializer_list<ControlDef> defs)
{
    for (const ControlDef &s : defs) {
        const std::string name(s.name);
        std::string caption = name + ":";
        // the filters are captioned without their type prefix
        if (name == "dwIOFilterWin" || name == "dwIOFilterHig")
            caption = name.substr(2) + ":";
        out.push_back(tableControl(name, group, s.kind, caption, s.hint));
    }
}

void addFamily(std::vector<PageControl> &out, PageGroup group, ControlKind kind, const char *prefix, int first,
               int last, bool captionWithColon)
{
    for (int i = first; i <= last; ++i) {
        const std::string name = prefix + std::to_string(i);
        out.push_back(tableControl(name, group, kind, captionWithColon ? name + ":" : name, {}));
    }
}

std::vector<PageControl> buildControls()
{
    using G = PageGroup;
    std::vector<PageControl> c;
    addGroup(c, G::System,
             {{"QXMode", D, {}},
              {"QXExtConf", D, {}},
              {"QXError", D, {}},
              {"QXAddr1", E, "(模块地址)"},
              {"byRepTwin", E, "(工作模式)"},
              {"byRepCont", E, "(上报内容)"},
              {"dwRepTwinTm", E, "(上报间隔)"},
              {"byRxDly", E, "(接收超时)"},
              {"byTxDly", E, "(发送超时)"},
              {"dwDiscTm", E, "(失联判断)"},
              {"byDiscAct", E, "(失联保护)"}});
    addGroup(c, G::Com,
             {{"R1BaudRate", L, "(波特率)"},
              {"R1BitCS", L, "(数据位)"},
              {"R1Parity", L, "(奇偶校验)"},
              {"R1BitStop", L, "(停止位)"},
              {"R1Type", L, "(类型)"}});
    addGroup(c, G::Eth,
             {{"E1LocalIP", E, "(模块IP)"},
              {"E1NetMask", E, "(子网掩码)"},
              {"E1GateWay", E, "(网关IP)"},
              {"E1MAC", E, "(模块MAC)"},
              {"E1DNS", E, "(模块DNS)"},
              {"E1DOMAIN", E, "(域名)"},
              {"E1LocalPort1", E, "(模块端口)"},
              {"E1RemoteIP1", E, "(上位IP)"},
              {"E1RemotePort1", E, "(上位端口)"},
              {"E1SocketType1", L, "(连接方式)"},
              {"E1ActChk1", E, "(重连时间)"},
              {"E1HoldTime1", E, "(重连方式)"}});
    addGroup(c, G::Wifi,
             {{"W1SsidRouter", E, "(热点名称)"},
              {"W1PwdRouter", E, "(热点密码)"},
              {"W1APNetMask", E, "(子网掩码)"},
              {"W1APGateway", E, "(网关IP)"},
              {"W1DOMAIN", E, "(模块MAC)"},
              {"W1LocalIP", E, "(模块IP)"},
              {"W1LocalPort1", E, "(模块端口)"},
              {"W1RemoteIP1", E, "(上位IP)"},
              {"W1RemotePort1", E, "(上位端口)"},
              {"W1SocketType1", L, "(连接方式)"},
              {"W1IdleAllow1", E, "(掉线检测)"},
              {"W1TimeRecon1", E, "(重连间隔)"},
              {"W1HoldTime1", E, "(重连方式)"}});
    addGroup(c, G::Lora,
             {{"L1Freq", E, "(无线频率)"},
              {"L1Power", E, "(无线功率)"},
              {"L1SignalBw", E, "(无线带宽)"},
              {"L1SprFactor", E, "(扩频因子)"},
              {"L1ErrCode", E, {}},
              {"L1CrcOn", C, {}},
              {"L1ImpHeaderOn", C, {}},
              {"L1RxSingleOn", C, {}},
              {"L1FreqHopOn", C, {}},
              {"L1HopPeriod", E, {}},
              {"L1TxTimeout", E, "(发送超时)"},
              {"L1RxTimeout", E, "(接收超时)"},
              {"L1PayloadLen", E, {}},
              {"L1HoldTime", E, {}}});
    addGroup(c, G::Dio,
             {{"dwIOFilterWin", E, "(高电平滤波)"},
              {"dwIOFilterHig", E, "(低电平滤波)"},
              {"byIOReverse", E, "(掉电恢复)"},
              {"dwIOReverse", E, "(掉电保存)"}});
    addFamily(c, G::Dio, L, "IO", 1, 24, true);
    addFamily(c, G::Reserv, E, "byRes", 1, 32, false);
    addFamily(c, G::Reserv, E, "dwRes", 1, 32, false);
    addFamily(c, G::Reserv, E, "szRes", 1, 10, false);
    return c;
}

bool isOverlayWord(const PageControl &c)
{
    return c.field.type == ParamType::U32 && c.field.offset >= ParamLayout::kSzRes9
        && c.field.offset < ParamLayout::kSzRes1;
}

bool isOverlayText(const PageControl &c)
{
    return c.name == "szRes9" || c.name == "szRes10";
}

// Whether the page enables a control, and whether it fills and collects it,
// for a block of these classes. One rule for show and collect.
struct Use
{
    bool enabled;
    bool filled; // shown from the block and collected from the page
};

Use useOf(const PageControl &c, const PageClasses &k)
{
    switch (c.group) {
    case PageGroup::System:
        return {true, true};
    case PageGroup::Com:
        return {k.com, k.com};
    case PageGroup::Eth:
        // the domain edit holds W1Cloud (the same bytes) for WIFI models
        if (c.name == "E1DOMAIN")
            return {k.eth || k.wifi, k.eth || k.wifi};
        return {k.eth, k.eth};
    case PageGroup::Wifi:
        return {k.wifi, k.wifi};
    case PageGroup::Lora:
        return {k.lora, k.lora};
    case PageGroup::Dio:
        // filled for fewer codes than it is enabled and collected for
        return {k.dioEnabled, k.dioValues};
    case PageGroup::Reserv:
        if (isOverlayText(c))
            return {k.reserv && k.overlay, k.reserv && k.overlay};
        if (isOverlayWord(c))
            return {k.reserv && !k.overlay, k.reserv && !k.overlay};
        return {k.reserv, k.reserv};
    }
    return {false, false};
}

// Collected controls: enabled ones, and the DIO box by its own rule.
bool collected(const PageControl &c, const PageClasses &k)
{
    return c.group == PageGroup::Dio ? k.dioEnabled : useOf(c, k).filled;
}

// The UTF-8 text of the page as GBK bytes that fit the field.
std::string narrowForField(std::string_view utf8, std::size_t size)
{
    const std::string gbk = utf8ToGbk(utf8);
    return std::string(gbkFit(gbk, size));
}

} // namespace

PageClasses pageClasses(uint8_t c, uint8_t extConf)
{
    PageClasses k;
    k.com = in(c, 70, 77) || in(c, 80, 83) || in(c, 90, 129);
    // the network and radio boxes follow the reader's classes
    k.eth = iniReadsEth(c);
    k.wifi = iniReadsWifi(c);
    k.lora = iniReadsLora(c);
    k.dioEnabled = !(in(c, 70, 77) || in(c, 80, 88));
    k.dioValues = iniReadsDio(c);
    k.reserv = extConf != 0;
    k.overlay = c == 80 || c == 81;
    k.keepEth2 = c == 80 || c == 81;
    return k;
}

const std::vector<PageControl> &pageControls()
{
    static const std::vector<PageControl> controls = buildControls();
    return controls;
}

const PageControl &pageControl(std::string_view name)
{
    for (const PageControl &c : pageControls())
        if (c.name == name)
            return c;
    throw std::logic_error("no page control " + std::string(name));
}

PageView showBlock(const ParamBlock &block)
{
    const PageClasses k = pageClasses(block.modelCode(), block.u8(ParamLayout::kQXExtConf));
    PageView view;
    view.reservVisible = k.reserv;
    for (const PageControl &c : pageControls()) {
        const Use use = useOf(c, k);
        ControlState s;
        s.enabled = use.enabled;
        s.fill = use.filled;
        if (s.fill) {
            const std::string text = block.fieldText(c.field);
            switch (c.kind) {
            case ControlKind::Display:
            case ControlKind::Edit:
                s.text = c.field.type == ParamType::Text ? gbkToUtf8(text) : text;
                break;
            case ControlKind::List: {
                const auto stored = static_cast<uint32_t>(parseParamNumber(text));
                const ValueSelection sel = selectionFor(*c.values, stored);
                if (sel.kind == ValueSelection::Entry) {
                    s.index = static_cast<int>(sel.index);
                } else if (sel.kind == ValueSelection::Unlisted) {
                    // the number the module holds, as an entry after the list's own
                    s.index = static_cast<int>(c.values->entries.size());
                    s.text = std::to_string(stored);
                }
                break;
            }
            case ControlKind::Check:
                s.checked = block.u8(c.field.offset) != 0;
                break;
            }
        }
        view.controls.emplace(c.name, s);
    }
    return view;
}

CollectResult collectBlock(const PageValues &values, const ParamBlock &current, CollectBase base)
{
    CollectResult r;
    auto valueOf = [&values](const std::string &name) {
        const auto it = values.find(name);
        return it == values.end() ? ControlValue() : it->second;
    };
    const auto model = static_cast<uint8_t>(parseParamNumber(valueOf("QXMode").text));
    if (model == 0) {
        r.message = config_texts::kNothingLoaded;
        return r;
    }
    // An address outside 1..247 would leave the module unreachable (0 is
    // the broadcast address): refused rather than cut to its low bits.
    const int64_t address = parseParamNumber(valueOf("QXAddr1").text);
    if (base == CollectBase::Write && (address < 1 || address > 247)) {
        r.message = config_texts::kBadModuleAddress;
        return r;
    }
    const auto extConf = static_cast<uint8_t>(parseParamNumber(valueOf("QXExtConf").text));
    const PageClasses k = pageClasses(model, extConf);

    ParamBlock &b = r.block;
    if (base == CollectBase::OverCurrent)
        b = current;
    for (const PageControl &c : pageControls()) {
        if (!collected(c, k))
            continue;
        const ControlValue v = valueOf(c.name);
        switch (c.kind) {
        case ControlKind::Display:
            // QXError is the module's own report, never written back
            if (c.name != "QXError")
                b.setFieldText(c.field, v.text);
            break;
        case ControlKind::Edit:
            if (c.field.type == ParamType::Text)
                b.setText(c.field.offset, c.field.size, narrowForField(v.text, c.field.size));
            else
                b.setFieldText(c.field, v.text);
            break;
        case ControlKind::List: {
            const auto entries = c.values->entries;
            const auto index = static_cast<std::size_t>(v.index);
            if (v.index >= 0 && index < entries.size())
                b.setFieldText(c.field, std::to_string(entries[index].value));
            else if (v.index >= 0 && index == entries.size() && !v.text.empty())
                b.setFieldText(c.field, v.text); // the stored number's own entry
            else
                b.setFieldText(c.field, current.fieldText(c.field));
            break;
        }
        case ControlKind::Check:
            b.setU8(c.field.offset, v.checked ? 1 : 0);
            break;
        }
    }
    if (base == CollectBase::Write && k.eth && k.keepEth2) {
        const ParamField &port2 = paramField("E1LocalPort2");
        const ParamField &hold2 = paramField("E1HoldTime2");
        b.setU16(port2.offset, current.u16(port2.offset));
        b.setU32(hold2.offset, current.u32(hold2.offset) & 0xFFFFu);
    }
    r.ok = true;
    return r;
}

PageValues valuesOf(const PageView &view)
{
    PageValues values;
    for (const auto &[name, s] : view.controls)
        values[name] = ControlValue {s.text, s.index, s.checked};
    return values;
}

} // namespace qx
