// The operator's language in the cores: texts turn into the installed
// catalogue's translation wherever they are used, and the library's own
// texts (log-line headers, module descriptions) are shown in it too.
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "byte_io.h"
#include "command_line.h"
#include "event_records.h"
#include "gbk.h"
#include "identity_record.h"
#include "model_catalogue.h"
#include "statistics_record.h"
#include "text_catalogue.h"

namespace {

using namespace qx;

inline constexpr Text kSaved = "已保存";
inline constexpr Text kUntranslated = "未翻译";

// A catalogue of a few texts, counting its lookups; removed after each test.
class OperatorLanguage : public ::testing::Test
{
protected:
    void install(std::map<std::string, std::string> entries)
    {
        installTextCatalogue([this, entries](std::string_view source) -> std::optional<std::string> {
            ++lookups;
            const auto it = entries.find(std::string(source));
            return it == entries.end() ? std::nullopt : std::optional<std::string>(it->second);
        });
    }
    void TearDown() override { installTextCatalogue({}); }

    int lookups = 0;
};

TEST_F(OperatorLanguage, TextsFollowTheInstalledCatalogue)
{
    EXPECT_STREQ(static_cast<const char *>(kSaved), "已保存");
    install({{"已保存", "Saved"}, {"发送数据(HEX):", "Sent (HEX):"}});
    EXPECT_STREQ(static_cast<const char *>(kSaved), "Saved");
    EXPECT_EQ(std::string("<") + kSaved, "<Saved");
    EXPECT_STREQ(static_cast<const char *>(kUntranslated), "未翻译");
    // a translation is looked up once and keeps its address
    const char *first = kSaved;
    lookups = 0;
    EXPECT_EQ(static_cast<const char *>(kSaved), first);
    EXPECT_EQ(lookups, 0);
    // plain ASCII (numbers, hex, paths) is never looked up
    EXPECT_EQ(translatedText(std::string_view("COM3 01 03")), "COM3 01 03");
    EXPECT_EQ(lookups, 0);
    EXPECT_EQ(translatedText(static_cast<const char *>(nullptr)), nullptr);

    // back to Chinese: a translation handed out before stays readable
    installTextCatalogue({});
    EXPECT_STREQ(static_cast<const char *>(kSaved), "已保存");
    EXPECT_STREQ(first, "Saved");
}

TEST_F(OperatorLanguage, LibraryLogLinesAndDescriptionsAreShownInIt)
{
    std::vector<uint8_t> s(StatisticsLayout::kSize, 0);
    const std::string gbk = utf8ToGbk(std::string(kLogHeaderSent) + " 01 11");
    std::memcpy(s.data() + StatisticsLayout::kLogText, gbk.data(), gbk.size());
    putU32le(s.data(), StatisticsLayout::kLogLength, static_cast<uint32_t>(gbk.size()));
    install({{kLogHeaderSent, "Sent (HEX):"}});
    EXPECT_EQ(readStatistics(s.data()).logLine, "Sent (HEX): 01 11\r\n");

    // every description of the catalogue is translated word by word, the
    // words in their order; anything else stays as it came
    const ModelCatalogue catalogue;
    const auto bracket = [](std::string_view word) { return "<" + std::string(word) + ">"; };
    for (uint32_t code = 0; code < 300; ++code) {
        for (uint8_t series : {uint8_t(0), kProgrammableSeries}) {
            const std::string description = catalogue.lookup(code, series).description;
            const std::string shown = ModelCatalogue::translateDescription(description, bracket);
            std::string words;
            for (std::size_t at = 0; at < shown.size();) {
                ASSERT_EQ(shown[at], '<') << shown;
                const std::size_t end = shown.find('>', at);
                words += shown.substr(at + 1, end - at - 1);
                at = end + 1 < shown.size() && shown[end + 1] == ' ' ? end + 2 : end + 1;
            }
            EXPECT_EQ(words, description);
        }
    }
    EXPECT_EQ(ModelCatalogue::translateDescription("QX-8A8D 自定义", bracket), "QX-8A8D 自定义");
}

TEST(CommandLine, LanguageByOptionOrSystem)
{
    EXPECT_EQ(parseCommandLine({"--lang", "en"}).language, "en");
    EXPECT_FALSE(parseCommandLine({"--lang", "fr"}).ok);
    EXPECT_FALSE(parseCommandLine({"--lang"}).ok);
    EXPECT_EQ(chosenLanguage("", "en_GB"), "en");
    EXPECT_EQ(chosenLanguage("", "zh_CN"), "zh");
    EXPECT_EQ(chosenLanguage("", "C"), "zh");
    EXPECT_EQ(chosenLanguage("", "de_DE"), "zh");
    EXPECT_EQ(chosenLanguage("zh", "en_US"), "zh");
}

} // namespace
