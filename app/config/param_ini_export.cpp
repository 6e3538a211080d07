// The INI writer of the parameter block.
#include "param_ini_export.h"

#include <cstring>
#include <string_view>

#include "config_texts.h"
#include "file_bytes.h"
#include "gbk.h"
#include "param_form.h"
#include "param_ini.h"
#include "text_format.h"

namespace qx {

namespace {

std::string refusal(std::string_view key, std::string_view reason)
{
    return formatText(config_texts::kExportRefused, std::string(key).c_str(), std::string(reason).c_str());
}

// The keys written for `block`: everything the reader reads for its model
// code, but the W1WifiMode-0 keys when the mode is not 0, and for the
// overlay codes either dwRes25..32 (75-77, as their page shows them) or
// szRes9/szRes10 (80, 81), since the reader would lay one over the other.
std::vector<IniKeyRule> keysFor(const ParamBlock &block)
{
    std::vector<IniKeyRule> keys = iniSystemKeys();
    const uint8_t model = block.modelCode();
    const bool pageOverlay = pageClasses(model, 0).overlay;
    const bool wifiModeZero = block.u8(paramField("W1WifiMode").offset) == 0;
    for (IniKeyRule &rule : iniGroupKeys(model)) {
        if (rule.onlyWifiModeZero && !wifiModeZero)
            continue;
        const ParamField &field = paramField(rule.key);
        const bool overlayWord = field.type == ParamType::U32 && field.offset >= ParamLayout::kSzRes9
            && field.offset < ParamLayout::kSzRes1;
        const bool overlayText = field.type == ParamType::Text
            && (field.offset == ParamLayout::kSzRes9 || field.offset == ParamLayout::kSzRes10);
        if ((overlayWord && pageOverlay) || (overlayText && !pageOverlay))
            continue;
        keys.push_back(std::move(rule));
    }
    return keys;
}

} // namespace

IniExportResult paramIniText(const ParamBlock &block)
{
    IniExportResult r;
    const std::vector<IniKeyRule> keys = keysFor(block);
    std::string_view section;
    for (const IniKeyRule &rule : keys) {
        const ParamField &field = paramField(rule.key);
        const std::string value = block.fieldText(field);
        if (value.find_first_of("\r\n") != std::string::npos) {
            r.message = refusal(rule.key, config_texts::kExportLineBreak);
            return r;
        }
        if (rule.section != section) {
            section = rule.section;
            r.text += "[" + std::string(section) + "]\r\n";
        }
        r.text += rule.key + "=" + value + "\r\n";
    }
    if (r.text.size() > kIniSearchLimit) {
        static_assert(kIniSearchLimit == 8192, "the message names the limit");
        r.message = config_texts::kExportTooLong;
        return r;
    }
    // read back as a load would, and compare every key written
    const IniLoadResult back = loadParamIniText(r.text);
    if (!back.ok) {
        r.message = refusal(back.missingKey, config_texts::kExportKeyHidden);
        return r;
    }
    for (const IniKeyRule &rule : keys) {
        const ParamField &field = paramField(rule.key);
        const std::string read = back.block.fieldText(field);
        if (read != block.fieldText(field)) {
            r.message = refusal(rule.key, config_texts::kExportReadBackAs + ("\"" + gbkToUtf8(read) + "\""));
            return r;
        }
    }
    r.ok = true;
    return r;
}

IniExportResult exportParamIni(const ParamBlock &block, const std::string &path)
{
    IniExportResult r = paramIniText(block);
    if (!r.ok)
        return r;
    const FileWriteResult written = writeFileAtomically(path, r.text);
    if (!written.ok) {
        r.ok = false;
        r.message = std::string(config_texts::kExportCannotWrite) + path + ": " + std::strerror(written.error);
        return r;
    }
    r.message = std::string(config_texts::kExportDone) + path;
    return r;
}

} // namespace qx
