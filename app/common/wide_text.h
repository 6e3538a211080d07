// UTF-8 (the program's own text: arguments, file names, output) and UTF-16
// (what Windows' wide calls take), for the Windows files beside the cores
// (file_bytes_win32.cpp, library_binder_win32.cpp, qxcli's console). Windows
// only: Linux hands UTF-8 bytes to the system as they are.
#pragma once

#include <string>
#include <string_view>

namespace qx {

// An invalid sequence becomes U+FFFD, as MultiByteToWideChar replaces it.
std::wstring wideFromUtf8(std::string_view utf8);
std::string utf8FromWide(std::wstring_view wide);

} // namespace qx
