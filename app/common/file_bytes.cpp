// Bounded reads and temporary-file-and-rename writes.
#include "file_bytes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

#include "common_texts.h"
#include "text_format.h"

namespace qx {

std::string cantOpenFileMessage(const std::string &path, int error)
{
    return formatText(common_texts::kCantOpenFile, path.c_str(), static_cast<unsigned>(error))
        + formatText(common_texts::kErrorMessage, std::strerror(error));
}

FileReadResult readFileBytes(const std::string &path, std::size_t limit)
{
    FileReadResult r;
    std::FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) {
        r.error = errno;
        r.message = cantOpenFileMessage(path, r.error);
        return r;
    }
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        std::fclose(f);
        r.error = EISDIR;
        r.message = cantOpenFileMessage(path, r.error);
        return r;
    }
    r.bytes.resize(limit);
    const std::size_t got = std::fread(r.bytes.data(), 1, limit, f);
    const bool failed = std::ferror(f) != 0;
    const int error = errno;
    std::fclose(f);
    if (failed) {
        r.bytes.clear();
        r.error = error;
        r.message = cantOpenFileMessage(path, error);
        return r;
    }
    r.bytes.resize(got);
    const auto size = std::filesystem::file_size(path, ec);
    r.size = ec ? got : static_cast<uint64_t>(size);
    r.ok = true;
    return r;
}

FileWriteResult writeFileAtomically(const std::string &path, std::string_view bytes)
{
    FileWriteResult r;
    std::random_device rd;
    const std::string temp = path + ".tmp" + std::to_string(rd() % 1000000u);
    std::FILE *f = std::fopen(temp.c_str(), "wb");
    if (!f) {
        r.message = cantOpenFileMessage(path, errno);
        return r;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    int error = errno;
    const bool closed = std::fclose(f) == 0;
    if (!closed && written)
        error = errno;
    if (!written || !closed) {
        std::remove(temp.c_str());
        r.message = cantOpenFileMessage(path, error ? error : EIO);
        return r;
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        std::remove(temp.c_str());
        r.message = cantOpenFileMessage(path, ec.value());
        return r;
    }
    r.ok = true;
    return r;
}

} // namespace qx
