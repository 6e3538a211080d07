#include "language.h"

#include <QTranslator>

#include "text_catalogue.h"

namespace qx {

namespace {

// Every operator text is one message of this context, looked up by its
// Chinese source.
constexpr const char *kContext = "qx";

} // namespace

bool installLanguage(const std::string &language)
{
    if (language != "en") {
        installTextCatalogue({});
        return true;
    }
    // kept for the rest of the process: translations handed out point into
    // strings made from it
    static QTranslator *const english = [] {
        auto *t = new QTranslator;
        if (!t->load(QStringLiteral(":/qxtools/translations/qxtools_en.qm"))) {
            delete t;
            return static_cast<QTranslator *>(nullptr);
        }
        return t;
    }();
    if (!english)
        return false;
    installTextCatalogue([](std::string_view source) -> std::optional<std::string> {
        const QString shown = english->translate(kContext, std::string(source).c_str());
        if (shown.isEmpty())
            return std::nullopt;
        return shown.toStdString();
    });
    return true;
}

} // namespace qx
