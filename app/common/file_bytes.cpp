// Bounded reads and temporary-file-and-rename writes; the system calls are
// in file_bytes_posix.cpp and file_bytes_win32.cpp.
#include "file_bytes.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

#include "common_texts.h"
#include "file_platform.h"
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
    std::FILE *f = file_platform::openForReading(path);
    if (!f) {
        r.error = errno;
        r.message = cantOpenFileMessage(path, r.error);
        return r;
    }
    uint64_t length = 0;
    if (const int error = file_platform::lengthOf(f, length); error != 0) {
        std::fclose(f);
        r.error = error;
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
    // a file that grew while it was read is at least as long as what came
    r.size = std::max<uint64_t>(length, got);
    r.ok = true;
    return r;
}

FileWriteResult writeFileAtomically(const std::string &path, std::string_view bytes)
{
    FileWriteResult r;
    r.error = file_platform::replaceFile(path, bytes);
    if (r.error != 0) {
        r.message = cantOpenFileMessage(path, r.error);
        return r;
    }
    r.ok = true;
    return r;
}

int file_platform::createTemporary(const std::string &path,
                                   const std::function<int(const std::string &)> &create, std::string &temp)
{
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = path + ".tmp" + std::to_string(rd() % 1000000u);
        const int fd = create(temp);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

} // namespace qx
