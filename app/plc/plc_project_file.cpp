// Digest, seal, password rules and the project file's read and write.
#include "plc_project_file.h"

#include <algorithm>
#include <cstring>

#include "file_bytes.h"
#include "gbk.h"
#include "plc_texts.h"
#include "text_format.h"

namespace qx {

namespace {

constexpr std::string_view kDigestAlphabet =
    "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ~!@#$%^&";
static_assert(kDigestAlphabet.size() == 70);

bool in(int v, int lo, int hi)
{
    return v >= lo && v <= hi;
}

std::size_t utf8Characters(std::string_view text)
{
    std::size_t n = 0;
    for (char c : text)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

} // namespace

ProgramDigest programDigest(const PlcProject &project)
{
    std::array<uint32_t, 16> count{};
    for (int b = 0; b < static_cast<int>(kPlcBlockCount); ++b) {
        if (project.state(b) == kBlockFree)
            continue;
        ++count[0];
        // codes and operators only: the rows' values do not count
        const uint8_t *block = project.block(b);
        for (int r = 0; r < kPlcRowsPerArea; ++r) {
            const int c = block[PlcBlock::kCondSource + r];
            if (c != 0) {
                ++count[1];
                count[2] += in(c, 1, 32);
                count[3] += in(c, 33, 64);
                count[4] += in(c, 65, 80);
                count[5] += in(c, 81, 176);
                count[6] += in(c, 177, 240);
                count[7] += block[PlcBlock::kCondOperator + r] == 1;
            }
            const int a = block[PlcBlock::kActObject + r];
            if (a != 0) {
                ++count[8];
                count[9] += in(a, 1, 32);
                count[10] += in(a, 33, 64);
                count[11] += in(a, 65, 80);
                count[12] += in(a, 81, 208);
                count[13] += in(a, 209, 216);
                count[14] += in(a, 217, 232);
                count[15] += block[PlcBlock::kActOperator + r] == 1;
            }
        }
    }
    ProgramDigest digest;
    for (std::size_t i = 0; i < digest.size(); ++i)
        digest[i] = kDigestAlphabet[count[i] % kDigestAlphabet.size()];
    return digest;
}

ProjectSeal projectSeal(const PlcProject &project, std::string_view passwordUtf8)
{
    const ProgramDigest d = programDigest(project);
    const std::string narrow = utf8ToGbk(passwordUtf8);
    std::array<uint8_t, 16> p{};
    std::memcpy(p.data(), narrow.data(), std::min(narrow.size(), p.size()));
    ProjectSeal seal;
    for (std::size_t i = 0; i < 16; ++i) {
        const auto di = static_cast<uint8_t>(d[i]);
        seal[i] = static_cast<uint8_t>(di + p[i]);
        seal[16 + i] = static_cast<uint8_t>(di - p[i]);
    }
    return seal;
}

std::string passwordEntriesError(std::string_view password, std::string_view confirmation)
{
    if (password.empty() || confirmation.empty())
        return std::string(plc_texts::kPasswordEmpty);
    if (utf8Characters(password) > kPasswordMaxChars || utf8Characters(confirmation) > kPasswordMaxChars)
        return std::string(plc_texts::kPasswordTooLong);
    if (password != confirmation)
        return std::string(plc_texts::kPasswordsDiffer);
    return {};
}

std::string projectFileBytes(const PlcProject &project, std::string_view passwordUtf8)
{
    const ProjectSeal seal = projectSeal(project, passwordUtf8);
    // two block copies: a string built from the vector's iterators would
    // copy byte by byte
    std::string out;
    out.reserve(kProjectFileSize);
    out.append(reinterpret_cast<const char *>(project.bytes().data()), project.bytes().size());
    out.append(reinterpret_cast<const char *>(seal.data()), seal.size());
    return out;
}

ProjectSaveResult saveProjectFile(const std::string &path, const PlcProject &project,
                                  std::string_view password, std::string_view confirmation)
{
    ProjectSaveResult r;
    r.message = passwordEntriesError(password, confirmation);
    if (!r.message.empty())
        return r;
    const FileWriteResult w = writeFileAtomically(path, projectFileBytes(project, password));
    if (!w.ok) {
        r.message = w.message;
        return r;
    }
    r.ok = true;
    r.message = plc_texts::kSaveOk;
    return r;
}

ProjectLoadResult readProjectBytes(std::string_view fileBytes, std::string_view passwordUtf8)
{
    ProjectLoadResult r;
    if (fileBytes.size() != kProjectFileSize) {
        r.message = formatText(plc_texts::kNotCorrectFile, static_cast<unsigned>(fileBytes.size()));
        return r;
    }
    PlcProject project;
    std::memcpy(project.bytes().data(), fileBytes.data(), kPlcProgramSize);
    const ProjectSeal expected = projectSeal(project, passwordUtf8);
    if (std::memcmp(expected.data(), fileBytes.data() + kPlcProgramSize, kProjectSealSize) != 0) {
        r.message = plc_texts::kPasswordWrong;
        return r;
    }
    r.ok = true;
    r.project = std::move(project);
    return r;
}

ProjectLoadResult loadProjectFile(const std::string &path, std::string_view passwordUtf8)
{
    // one byte more than a project tells a longer file from a right one
    const FileReadResult file = readFileBytes(path, kProjectFileSize + 1);
    if (!file.ok) {
        ProjectLoadResult r;
        r.message = file.message;
        return r;
    }
    if (file.size != kProjectFileSize) {
        ProjectLoadResult r;
        r.message = formatText(plc_texts::kNotCorrectFile, static_cast<unsigned>(file.size));
        return r;
    }
    return readProjectBytes(file.bytes, passwordUtf8);
}

} // namespace qx
