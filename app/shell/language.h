// The operator's language for the whole process. The texts are written in
// Chinese; English comes from the catalogue compiled into the program
// (translations/qxtools_en.ts) and is put behind every text with
// installTextCatalogue(), so widgets and cores alike speak it.
#pragma once

#include <string>

namespace qx {

// "zh" keeps the Chinese texts; "en" installs the English catalogue. False
// (and Chinese stays) when the catalogue cannot be loaded.
bool installLanguage(const std::string &language);

} // namespace qx
