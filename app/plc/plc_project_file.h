// The project file (*.qprj): the 25,600 program bytes as edited, followed by
// a 32-byte seal binding the operator's password to a digest of the program.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "plc_project.h"

namespace qx {

inline constexpr std::size_t kProjectSealSize = 32;
inline constexpr std::size_t kProjectFileSize = kPlcProgramSize + kProjectSealSize; // 25,632
inline constexpr std::size_t kPasswordMaxChars = 16;

using ProgramDigest = std::array<char, 16>;
using ProjectSeal = std::array<uint8_t, kProjectSealSize>;

// Sixteen counts over the blocks in use (running or stopped), each shown as
// one character of a 70-character alphabet.
ProgramDigest programDigest(const PlcProject &project);

// The password (UTF-8) goes in as the module tool's narrow code page (GBK),
// cut to 16 bytes and padded with zeros.
ProjectSeal projectSeal(const PlcProject &project, std::string_view passwordUtf8);

// The save dialog's rules: "" when the entries may be used, else the message.
std::string passwordEntriesError(std::string_view password, std::string_view confirmation);

// The file's bytes: program, then seal.
std::string projectFileBytes(const PlcProject &project, std::string_view passwordUtf8);

struct ProjectSaveResult {
    bool ok = false;
    std::string message; // "保存成功!" or why nothing was written
};

// Checks the entries, then writes the file whole or not at all.
ProjectSaveResult saveProjectFile(const std::string &path, const PlcProject &project,
                                  std::string_view password, std::string_view confirmation);

struct ProjectLoadResult {
    bool ok = false;
    std::string message;
    std::optional<PlcProject> project; // only when the seal matched
};

// A file of another length or with another password gives no project at all.
ProjectLoadResult readProjectBytes(std::string_view fileBytes, std::string_view passwordUtf8);
ProjectLoadResult loadProjectFile(const std::string &path, std::string_view passwordUtf8);

} // namespace qx
