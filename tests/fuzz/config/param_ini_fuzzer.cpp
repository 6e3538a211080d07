// The parameter block's INI reader on raw bytes and on texts built from its
// section names, every field name and odd values; whatever loads must show
// and collect on the page, and export to a text that loads again.
#include <string>
#include <vector>

#include "fuzz_target.h"
#include "param_form.h"
#include "param_ini.h"
#include "param_ini_export.h"

namespace {

const std::vector<std::string> &tokens()
{
    static const std::vector<std::string> t = [] {
        std::vector<std::string> out = {
            "[SYSTEM]", "[COM]", "[ETH]", "[WIFI]", "[LORA]", "[DIO]", "[RESERV]", "=", "\r\n", "\n", " ",
            "0", "1", "70", "80", "130", "155", "171", "220", "255", "256", "-1", "4294967296",
            "192.168.1.200", "\xD6\xD0\xCE\xC4", "x", ";", "#",
        };
        for (const qx::ParamField &f : qx::paramFields())
            out.emplace_back(f.name);
        return out;
    }();
    return t;
}

} // namespace

QX_FUZZ_TARGET(input)
{
    const qx::IniLoadResult r = qx::loadParamIniText(input.text(tokens()));
    QX_FUZZ_CHECK(r.ok || !r.missingKey.empty());
    if (!r.ok)
        return;
    // "导出配置" right after the load, as qxcli's config read does
    const qx::CollectResult shown = qx::collectBlock(qx::valuesOf(qx::showBlock(r.block)), r.block,
                                                     qx::CollectBase::OverCurrent);
    QX_FUZZ_CHECK(shown.ok == (r.block.modelCode() != 0));
    const qx::IniExportResult exported = qx::paramIniText(r.block);
    QX_FUZZ_CHECK(exported.ok == exported.message.empty());
    if (exported.ok)
        QX_FUZZ_CHECK(qx::loadParamIniText(exported.text).ok);
}
