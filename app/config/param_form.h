// The configuration page's form of the parameter block: which boxes the page
// enables and fills for a model code, the view of a block (what each control
// shows) and the block collected back from the controls. The page's classes
// differ from the INI reader's (param_ini.h) on purpose: the page shows the
// serial box for 73 that the reader skips, writes zeros for the serial box of
// 160 that the reader reads, enables the DIO box by one rule and fills it by
// another, and shows the reserved texts szRes9/szRes10 only for 80 and 81.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "param_block.h"
#include "param_values.h"

namespace qx {

struct PageClasses
{
    bool com = false; // the five COM lists: enabled, filled and collected
    bool eth = false;
    bool wifi = false;
    bool lora = false;
    bool dioEnabled = false; // the DIO box: enabled and collected
    bool dioValues = false; // the DIO box: filled
    bool reserv = false; // RESERV: visible, filled and collected (QXExtConf not 0)
    bool overlay = false; // szRes9/szRes10 instead of dwRes25..dwRes32
    bool keepEth2 = false; // E1LocalPort2 and E1HoldTime2's low 16 bits survive a write
};
PageClasses pageClasses(uint8_t modelCode, uint8_t extConf);

enum class PageGroup : uint8_t {
    System,
    Com,
    Eth,
    Wifi,
    Lora,
    Dio,
    Reserv,
};

enum class ControlKind : uint8_t {
    Display, // read-only text: QXMode, QXExtConf, QXError
    Edit,
    List, // value list of param_values.h
    Check, // "选中1", 1 when ticked
};

// One control of the page; its name is the block field it shows.
struct PageControl
{
    std::string name;
    ParamField field;
    PageGroup group;
    ControlKind kind;
    std::string caption; // "QXAddr1:", "IOFilterWin:"; RESERV family members: their name
    std::string_view hint; // "(模块地址)"; empty where the page has none
    const ValueList *values = nullptr; // List: its entries (never null for a list)
};

// Every control in page order: SYSTEM, COM1, ETH, WIFI, LORA, DIO (IO1..IO24),
// RESERV (byRes1..32, dwRes1..32, szRes1..10).
const std::vector<PageControl> &pageControls();
// The control of a name the page spells out; like paramField(), a name
// missing from the table throws std::logic_error.
const PageControl &pageControl(std::string_view name);

struct ControlState
{
    bool enabled = true;
    bool fill = false; // false: the control keeps what it shows
    // Display and Edit: the text, UTF-8. List: the stored number when no
    // entry holds it, shown as one more entry after the list's own.
    std::string text;
    // List: the entry (the list's size for the stored number's own entry),
    // -1 for none (the hidden value).
    int index = -1;
    bool checked = false; // Check
};

struct PageView
{
    bool reservVisible = false;
    std::map<std::string, ControlState, std::less<>> controls;
};

// What the page shows for a block (after a read or an INI load). A stored
// value that no list entry holds is shown as its number in an entry of its
// own, selected, so that the engineer sees what the module holds and
// collecting writes it back unchanged.
PageView showBlock(const ParamBlock &block);

// What the operator sees in a control.
struct ControlValue
{
    std::string text; // Display and Edit, UTF-8; List: the selected entry's text
    int index = -1; // List
    bool checked = false; // Check
};
using PageValues = std::map<std::string, ControlValue, std::less<>>;

struct CollectResult
{
    bool ok = false;
    std::string message; // why not
    ParamBlock block;
};

enum class CollectBase : uint8_t {
    // What "写入模块" sends: everything the page does not collect is zero,
    // but for E1LocalPort2 and the low 16 bits of E1HoldTime2 of 80 and 81.
    Write,
    // What "导出配置" saves: the page's values over `current`, so what the
    // page does not show (INI-only fields, groups it leaves out) stays.
    OverCurrent,
};

// The block from the page's controls. Numbers are decimal text keeping the
// field's low bits; texts are converted to GBK and cut at the field's size
// without splitting a character; a list's stored-number entry writes its
// number, a list without a selection keeps the value of `current`. Fails while "QXMode:" does not hold a model code, and
// for a write when QXAddr1 is not a module address from 1 to 247.
CollectResult collectBlock(const PageValues &values, const ParamBlock &current,
                           CollectBase base = CollectBase::Write);

// The controls' values as a view shows them (for a page whose every
// control was filled): what an operator who changed nothing would collect.
PageValues valuesOf(const PageView &view);

} // namespace qx
