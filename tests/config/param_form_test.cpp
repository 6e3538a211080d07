// The configuration page's rules without a window: its model classes, a
// block shown and collected back, the countdown, and the INI export read
// back by the INI reader.
#include "common_texts.h"
#include "param_form.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "config_countdown.h"
#include "config_texts.h"
#include "gbk.h"
#include "param_ini.h"
#include "param_ini_export.h"
#include "temp_dir.h"

using namespace qx;

namespace {

ParamField field(const char *name)
{
    return paramField(name);
}

// A block whose every named field holds a value of its own (texts short
// and printable, numbers within their width), all other bytes zero.
ParamBlock distinctBlock(uint8_t model, uint8_t extConf)
{
    ParamBlock b;
    uint32_t n = 1;
    for (const ParamField &f : paramFields()) {
        ++n;
        switch (f.type) {
        case ParamType::Text:
            b.setText(f.offset, f.size, "t" + std::to_string(n));
            break;
        case ParamType::U8:
            b.setU8(f.offset, static_cast<uint8_t>(n % 200 + 3));
            break;
        case ParamType::U16:
            b.setU16(f.offset, static_cast<uint16_t>(n * 211));
            break;
        case ParamType::U24be:
            b.setU24be(f.offset, n * 70001 & 0xFFFFFF);
            break;
        case ParamType::U32:
            b.setU32(f.offset, n * 2654435761u);
            break;
        }
    }
    b.setU8(ParamLayout::kQXMode, model);
    b.setU8(ParamLayout::kQXExtConf, extConf);
    b.setU32(ParamLayout::kR1BaudRate, 19200);
    b.setU8(ParamLayout::kR1BitCS, 7);
    b.setU8(ParamLayout::kR1Parity, 2);
    b.setU8(ParamLayout::kR1BitStop, 2);
    b.setU8(ParamLayout::kR1Type, 3);
    b.setU8(ParamLayout::kE1SocketType1, 1);
    b.setU8(field("W1SocketType1").offset, 0);
    for (int i = 0; i < 32; ++i)
        b.setU8(ParamLayout::kIO1 + i, static_cast<uint8_t>(i % 5));
    b.setU8(field("L1CrcOn").offset, 1);
    b.setU8(field("L1ImpHeaderOn").offset, 0);
    return b;
}

ParamBlock collectShown(const ParamBlock &b)
{
    const CollectResult r = collectBlock(valuesOf(showBlock(b)), b);
    EXPECT_TRUE(r.ok) << r.message;
    return r.block;
}

// The block the reader would load for `model`: every key it reads holds a
// value of its own.
ParamBlock iniBlock(uint8_t model, uint8_t wifiMode)
{
    ParamBlock b;
    b.setU8(ParamLayout::kQXMode, model);
    std::vector<IniKeyRule> keys = iniSystemKeys();
    for (IniKeyRule &k : iniGroupKeys(model))
        keys.push_back(k);
    uint32_t n = 7;
    for (const IniKeyRule &k : keys) {
        const ParamField f = field(k.key.c_str());
        n += 13;
        if (k.key == "QXMode")
            continue;
        if (k.key == "W1WifiMode")
            b.setU8(f.offset, wifiMode);
        else if (f.type == ParamType::Text)
            b.setText(f.offset, f.size, "v-" + std::to_string(n));
        else
            b.setFieldText(f, std::to_string(n * 40503u));
    }
    // a text that fills its field, with Chinese in GBK
    b.setText(ParamLayout::kSzRes1, 16, utf8ToGbk("配置模块导出配置"));
    return b;
}

} // namespace

TEST(PageClasses, BoundariesDifferFromTheReadersWhereThePageSaysSo)
{
    struct Row
    {
        int code;
        bool com, eth, wifi, lora, dioEnabled, dioValues, overlay;
    };
    const Row rows[] = {
        {29, false, false, false, false, true, false, false},
        {30, false, false, false, false, true, true, false},
        {69, false, false, false, false, true, false, false},
        {70, true, true, false, false, false, false, false},
        {73, true, false, false, false, false, false, false},
        {74, true, false, false, false, false, false, false},
        {77, true, false, false, true, false, false, false},
        {78, false, false, false, false, true, false, false},
        {80, true, true, false, false, false, false, true},
        {81, true, true, false, false, false, false, true},
        {82, true, false, true, false, false, false, false},
        {84, false, true, false, true, false, false, false},
        {88, false, false, false, false, false, false, false},
        {89, false, false, false, false, true, false, false},
        {129, true, false, false, false, true, true, false},
        {130, false, true, false, false, true, true, false},
        {160, false, true, false, false, true, true, false},
        {165, false, true, false, false, true, true, false},
        {169, false, true, false, false, true, true, false},
        {170, false, false, true, false, true, true, false},
        {200, false, false, true, false, true, true, false},
        {205, false, false, true, false, true, true, false},
        {209, false, false, true, false, true, true, false},
        {210, false, false, false, true, true, true, false},
        {220, false, false, false, true, true, true, false},
        {240, false, false, false, true, true, true, false},
        {245, false, false, false, true, true, true, false},
        {255, false, false, false, false, true, false, false},
    };
    for (const Row &r : rows) {
        const PageClasses k = pageClasses(static_cast<uint8_t>(r.code), 0);
        SCOPED_TRACE(r.code);
        EXPECT_EQ(k.com, r.com);
        EXPECT_EQ(k.eth, r.eth);
        EXPECT_EQ(k.wifi, r.wifi);
        EXPECT_EQ(k.lora, r.lora);
        EXPECT_EQ(k.dioEnabled, r.dioEnabled);
        EXPECT_EQ(k.dioValues, r.dioValues);
        EXPECT_EQ(k.overlay, r.overlay);
        EXPECT_EQ(k.keepEth2, r.overlay);
        EXPECT_FALSE(k.reserv);
    }
    EXPECT_TRUE(pageClasses(130, 1).reserv);
    // where the reader goes its own way
    EXPECT_FALSE(iniReadsCom(73));
    EXPECT_FALSE(iniReadsCom(74));
    for (int c : {160, 165, 200, 205, 240, 245})
        EXPECT_TRUE(iniReadsCom(static_cast<uint8_t>(c))) << c;
    EXPECT_FALSE(iniReadsCom(166));
    EXPECT_FALSE(iniReadsCom(206));
    EXPECT_TRUE(iniReadsOverlay(75));
}

TEST(ShowAndCollect, EachClassKeepsWhatItShowsAndZeroesTheRest)
{
    struct Row
    {
        int code;
        const char *name;
        bool kept;
    };
    const Row rows[] = {
        {73, "R1BaudRate", true}, // the page shows COM for 73
        {160, "R1BaudRate", false}, // and writes zeros for 160
        {160, "E1LocalIP", true},
        {130, "R1Type", false},
        {130, "E1RemotePort1", true},
        {130, "E1HoldTime1", true},
        {130, "W1LocalIP", false},
        {130, "IO24", true},
        {130, "IO25", false},
        {130, "dwIOReverse", true},
        {130, "byRes32", true},
        {130, "dwRes32", true},
        {130, "szRes8", true},
        {80, "E1LocalPort2", true},
        {70, "E1LocalPort2", false},
        {80, "szRes9", true},
        {80, "szRes10", true},
        {80, "dwIOFilterWin", false},
        {171, "E1DOMAIN", true}, // W1Cloud, through the ETH box's edit
        {171, "W1DOMAIN", true},
        {171, "W1HoldTime1", true},
        {171, "W1HoldTime2", false},
        {171, "E1LocalIP", false},
        {220, "L1Freq", true},
        {220, "L1CrcOn", true},
        {220, "L1AddrLocal", false},
        {220, "R1BaudRate", false},
        {77, "L1HoldTime", true},
        {77, "R1BitStop", true},
        {255, "QXAddr1", true},
        {255, "dwDiscTm", true},
        {255, "QXAddr2", false},
        {255, "QXError", false},
        {255, "R1HoldTime", false},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(std::to_string(r.code) + " " + r.name);
        const ParamBlock b = distinctBlock(static_cast<uint8_t>(r.code), 1);
        const ParamBlock c = collectShown(b);
        const ParamField f = field(r.name);
        if (r.kept)
            EXPECT_EQ(c.fieldText(f), b.fieldText(f));
        else
            EXPECT_EQ(c.fieldText(f), f.type == ParamType::Text ? "" : "0");
    }
    // 80 keeps E1HoldTime2's low 16 bits only
    const ParamBlock b80 = distinctBlock(80, 1);
    const ParamField hold2 = field("E1HoldTime2");
    ASSERT_GT(b80.u32(hold2.offset), 0xFFFFu);
    EXPECT_EQ(collectShown(b80).u32(hold2.offset), b80.u32(hold2.offset) & 0xFFFFu);
    // QXExtConf 0: the reserved fields are neither shown nor collected
    const ParamBlock plain = distinctBlock(130, 0);
    const PageView v = showBlock(plain);
    EXPECT_FALSE(v.reservVisible);
    EXPECT_FALSE(v.controls.at("byRes1").fill);
    EXPECT_EQ(collectShown(plain).u8(ParamLayout::kByRes1), 0);
    // a collected block shows and collects to itself
    for (int code : {70, 71, 75, 80, 130, 171, 220, 255}) {
        const ParamBlock once = collectShown(distinctBlock(static_cast<uint8_t>(code), 1));
        EXPECT_EQ(collectShown(once), once) << code;
    }
}

TEST(ShowAndCollect, DioBoxEnabledForMoreCodesThanItIsFilledFor)
{
    ParamBlock b = distinctBlock(69, 0);
    const PageView v = showBlock(b);
    EXPECT_TRUE(v.controls.at("dwIOFilterWin").enabled);
    EXPECT_FALSE(v.controls.at("dwIOFilterWin").fill);
    EXPECT_FALSE(v.controls.at("IO1").fill);
    // what the operator typed is what goes out
    PageValues values = valuesOf(v);
    values["dwIOFilterWin"].text = "1234";
    values["IO3"].index = 4;
    const CollectResult r = collectBlock(values, b);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.block.u32(ParamLayout::kDwIOFilterWin), 1234u);
    EXPECT_EQ(r.block.u8(ParamLayout::kIO1 + 2), 4);
    EXPECT_FALSE(showBlock(distinctBlock(80, 0)).controls.at("IO1").enabled);
}

TEST(ShowAndCollect, ListsShowAStoredValueWithoutEntryAsItsNumber)
{
    ParamBlock b = distinctBlock(70, 0);
    b.setU32(ParamLayout::kR1BaudRate, 57601);
    b.setU8(ParamLayout::kR1BitStop, 0); // the hidden value of the stop bits list
    b.setU8(ParamLayout::kE1SocketType1, 9);
    const PageView v = showBlock(b);
    // the number the module holds, as one more entry after the list's own
    EXPECT_EQ(v.controls.at("R1BaudRate").index, 11);
    EXPECT_EQ(v.controls.at("R1BaudRate").text, "57601");
    EXPECT_EQ(v.controls.at("E1SocketType1").index, 3);
    EXPECT_EQ(v.controls.at("E1SocketType1").text, "9");
    EXPECT_EQ(v.controls.at("R1BitStop").index, -1);
    EXPECT_EQ(v.controls.at("R1Parity").index, 2);
    EXPECT_EQ(v.controls.at("R1Parity").text, "");
    const ParamBlock c = collectShown(b);
    EXPECT_EQ(c.u32(ParamLayout::kR1BaudRate), 57601u);
    EXPECT_EQ(c.u8(ParamLayout::kR1BitStop), 0);
    EXPECT_EQ(c.u8(ParamLayout::kE1SocketType1), 9);
    // a selection made on the page is stored through the list; an entry
    // left over from an earlier block writes the number it shows
    PageValues values = valuesOf(v);
    values["R1BaudRate"].index = 8;
    values["E1SocketType1"].text = "7";
    const ParamBlock d = collectBlock(values, b).block;
    EXPECT_EQ(d.u32(ParamLayout::kR1BaudRate), 115200u);
    EXPECT_EQ(d.u8(ParamLayout::kE1SocketType1), 7);
}

TEST(PageControls, EveryNameInTheTablesIsAFieldAndEveryListHasValues)
{
    for (const PageControl &c : pageControls()) {
        EXPECT_EQ(paramField(c.name).offset, c.field.offset) << c.name;
        EXPECT_EQ(&pageControl(c.name), &c);
        EXPECT_EQ(c.kind == ControlKind::List, c.values != nullptr) << c.name;
        EXPECT_EQ(c.values, valueListFor(c.name)) << c.name;
    }
    // every key the INI reader and writer look up, for every model code
    for (int model = 0; model < 256; ++model) {
        std::vector<IniKeyRule> keys = iniSystemKeys();
        for (IniKeyRule &k : iniGroupKeys(static_cast<uint8_t>(model)))
            keys.push_back(k);
        for (const IniKeyRule &k : keys)
            EXPECT_TRUE(findParamField(k.key).has_value()) << model << " " << k.key;
    }
    EXPECT_THROW(paramField("IO33"), std::logic_error);
    EXPECT_THROW(pageControl("IO25"), std::logic_error);
}

TEST(ShowAndCollect, TextsAndNumbersAsTheOperatorTypesThem)
{
    const ParamBlock b = distinctBlock(171, 0);
    PageValues values = valuesOf(showBlock(b));
    // 1 + 40 two-byte characters: 63 bytes fit, the 32nd character does not
    std::string ssid = "a";
    for (int i = 0; i < 40; ++i)
        ssid += "中";
    values["W1SsidRouter"].text = ssid;
    values["W1PwdRouter"].text = "密码1";
    values["W1LocalPort1"].text = "70000";
    values["W1IdleAllow1"].text = "abc";
    values["dwRepTwinTm"].text = " 70000x";
    values["QXAddr1"].text = "247";
    const CollectResult r = collectBlock(values, b);
    ASSERT_TRUE(r.ok);
    const ParamField s = field("W1SsidRouter");
    EXPECT_EQ(r.block.text(s.offset, s.size).size(), 63u);
    EXPECT_EQ(r.block.data()[s.offset + 63], 0);
    EXPECT_EQ(gbkToUtf8(r.block.text(s.offset, s.size)), ssid.substr(0, 1 + 31 * 3));
    EXPECT_EQ(r.block.text(field("W1PwdRouter").offset, 64), utf8ToGbk("密码1"));
    EXPECT_EQ(showBlock(r.block).controls.at("W1PwdRouter").text, "密码1");
    EXPECT_EQ(r.block.u16(field("W1LocalPort1").offset), 70000 & 0xFFFF);
    EXPECT_EQ(r.block.u16(field("W1IdleAllow1").offset), 0);
    EXPECT_EQ(r.block.data()[25], 0x01);
    EXPECT_EQ(r.block.data()[26], 0x11);
    EXPECT_EQ(r.block.data()[27], 0x70);
    EXPECT_EQ(r.block.u8(ParamLayout::kQXAddr1), 247);
}

TEST(ShowAndCollect, AWriteNeedsAModuleAddress)
{
    const ParamBlock b = distinctBlock(130, 0);
    PageValues values = valuesOf(showBlock(b));
    for (const char *bad : {"0", "248", "257", "x", "-1"}) {
        values["QXAddr1"].text = bad;
        const CollectResult r = collectBlock(values, b);
        EXPECT_FALSE(r.ok) << bad;
        EXPECT_EQ(r.message, config_texts::kBadModuleAddress);
        // an export keeps what the page shows
        EXPECT_TRUE(collectBlock(values, b, CollectBase::OverCurrent).ok) << bad;
    }
    values["QXAddr1"].text = " 1";
    EXPECT_TRUE(collectBlock(values, b).ok);
}

TEST(ShowAndCollect, NothingLoadedCollectsNothing)
{
    PageValues values;
    values["QXMode"].text = common_texts::kNotAvailable;
    const CollectResult r = collectBlock(values, ParamBlock());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, config_texts::kNothingLoaded);
}

TEST(ShowAndCollect, ExportBaseKeepsWhatThePageDoesNotShow)
{
    const ParamBlock b = distinctBlock(160, 0);
    PageValues values = valuesOf(showBlock(b));
    values["E1LocalIP"].text = "10.1.2.3";
    const CollectResult r = collectBlock(values, b, CollectBase::OverCurrent);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.block.text(ParamLayout::kE1LocalIP, 16), "10.1.2.3");
    EXPECT_EQ(r.block.u32(ParamLayout::kR1BaudRate), 19200u);
    EXPECT_EQ(r.block.fieldText(field("E1Dhcp")), b.fieldText(field("E1Dhcp")));
}

// While nothing answers, the request goes again two and four seconds
// after it was placed; any answer, a refusal too, ends the resends, and a
// second answer once the operation is done is not shown again.
TEST(ConfigCountdownRule, FiveCaptionsThenTheEndAndItsMessage)
{
    ConfigCountdown c;
    c.start(ConfigCountdown::Read);
    for (int left = 4; left >= 0; --left) {
        const ConfigCountdown::Tick t = c.tick();
        EXPECT_FALSE(t.finished);
        EXPECT_EQ(t.caption, "等待" + std::to_string(left) + "秒");
        EXPECT_EQ(t.resend, left == 3 || left == 1) << left;
    }
    ConfigCountdown::Tick end = c.tick();
    EXPECT_TRUE(end.finished);
    EXPECT_EQ(end.caption, config_texts::kReadButton);
    EXPECT_EQ(end.message, std::optional<std::string>(config_texts::kReadFailed));
    EXPECT_FALSE(c.running());

    c.start(ConfigCountdown::Write);
    c.markDone();
    for (int i = 0; i < 5; ++i)
        c.tick();
    end = c.tick();
    EXPECT_TRUE(end.finished);
    EXPECT_EQ(end.caption, config_texts::kWriteButton);
    EXPECT_FALSE(end.message);
    c.start(ConfigCountdown::Write);
    EXPECT_FALSE(c.done());
    c.tick();
    EXPECT_TRUE(c.answered(ConfigCountdown::Read, true)); // not this operation's
    EXPECT_TRUE(c.answered(ConfigCountdown::Write, false)); // a refused write
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(c.tick().resend);
    EXPECT_FALSE(c.done());
    c.start(ConfigCountdown::Read);
    EXPECT_TRUE(c.answered(ConfigCountdown::Read, true));
    EXPECT_TRUE(c.done());
    EXPECT_FALSE(c.answered(ConfigCountdown::Read, true));
}

TEST(IniExport, EveryModelClassLoadsBackToTheSameBlock)
{
    for (int code : {30, 70, 71, 73, 75, 76, 77, 80, 81, 84, 85, 130, 160, 171, 200, 220, 245, 255}) {
        for (uint8_t wifiMode : {0, 1}) {
            SCOPED_TRACE(std::to_string(code) + " mode " + std::to_string(wifiMode));
            const ParamBlock b = iniBlock(static_cast<uint8_t>(code), wifiMode);
            const IniExportResult e = paramIniText(b);
            ASSERT_TRUE(e.ok) << e.message;
            const IniLoadResult back = loadParamIniText(e.text);
            ASSERT_TRUE(back.ok) << back.missing;
            EXPECT_EQ(back.block, b);
        }
    }
}

TEST(IniExport, ValuesThatWouldReadBackOtherwiseAreRefused)
{
    ParamBlock b = iniBlock(171, 1);
    b.setText(field("W1PwdRouter").offset, 64, "two\nlines");
    IniExportResult e = paramIniText(b);
    EXPECT_FALSE(e.ok);
    EXPECT_NE(e.message.find("W1PwdRouter"), std::string::npos) << e.message;

    // a value holding a later key's name hides that key from the reader
    b = iniBlock(171, 1);
    b.setText(field("W1SsidRouter").offset, 64, "W1PwdRouter");
    e = paramIniText(b);
    EXPECT_FALSE(e.ok);
    EXPECT_NE(e.message.find("W1PwdRouter"), std::string::npos) << e.message;
}

TEST(IniExport, WrittenAtomicallyOrNotAtAll)
{
    qxtest::TempDir dir;
    const std::filesystem::path file = dir.path / "module.ini";
    const ParamBlock b = iniBlock(130, 0);
    IniExportResult e = exportParamIni(b, file);
    ASSERT_TRUE(e.ok) << e.message;
    IniLoadResult back = loadParamIni(file);
    ASSERT_TRUE(back.ok) << back.missing;
    EXPECT_EQ(back.block, b);
    // a refused export leaves the earlier file and no temporary one
    ParamBlock bad = b;
    bad.setText(ParamLayout::kE1LocalIP, 16, "1\r\n");
    EXPECT_FALSE(exportParamIni(bad, file).ok);
    EXPECT_EQ(loadParamIni(file).block, b);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path), {}), 1);

    const std::filesystem::path nowhere = dir.path / "missing" / "module.ini";
    e = exportParamIni(b, nowhere);
    EXPECT_FALSE(e.ok);
    EXPECT_NE(e.message.find(nowhere.string()), std::string::npos) << e.message;
    EXPECT_NE(e.message.find("No such file or directory"), std::string::npos) << e.message;
}

TEST(IniLoadOutcome, UnreadableFilesAndMissingKeysAreNamed)
{
    qxtest::TempDir dir;
    IniLoadResult r = loadParamIni(dir.path / "absent.ini");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.openError, "No such file or directory");
    r = loadParamIni(dir.path);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.openError, "Is a directory");
    {
        std::ofstream out(dir.path / "short.ini", std::ios::binary);
        out << "x";
    }
    r = loadParamIni(dir.path / "short.ini");
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.openError.empty());
    EXPECT_EQ(r.missingSection, "SYSTEM");
    EXPECT_EQ(r.missingKey, "QXMode");
}
