// Files on Windows: UTF-8 names become UTF-16 for the wide calls, and the
// new file replaces the old one with MoveFileExW, which (unlike rename)
// may overwrite.
#include "file_platform.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include "wide_text.h"

namespace qx::file_platform {

namespace {

// The errno value the C runtime gives the same failure.
int errnoOf(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: // another program holds the file open
    case ERROR_LOCK_VIOLATION:
        return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    default:
        return EIO;
    }
}

bool isFolder(const std::wstring &path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace

std::FILE *openForReading(const std::string &path)
{
    const std::wstring name = wideFromUtf8(path);
    std::FILE *file = ::_wfopen(name.c_str(), L"rb");
    // Windows refuses to open a folder as a file: say so as Linux does
    if (file == nullptr && errno == EACCES && isFolder(name))
        errno = EISDIR;
    return file;
}

int lengthOf(std::FILE *file, uint64_t &length)
{
    struct _stat64 st {};
    if (::_fstat64(::_fileno(file), &st) != 0)
        return errno;
    if ((st.st_mode & _S_IFMT) == _S_IFDIR)
        return EISDIR;
    length = static_cast<uint64_t>(st.st_size);
    return 0;
}

int replaceFile(const std::string &path, std::string_view bytes)
{
    const std::wstring target = wideFromUtf8(path);
    std::string tempName;
    const int fd = createTemporary(path, [](const std::string &name) {
        return ::_wopen(wideFromUtf8(name).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                        _S_IREAD | _S_IWRITE);
    }, tempName);
    if (fd < 0)
        return errno;
    const std::wstring temp = wideFromUtf8(tempName);
    int error = 0;
    std::size_t done = 0;
    while (error == 0 && done < bytes.size()) {
        const std::size_t piece = std::min<std::size_t>(bytes.size() - done, 1u << 30);
        const int n = ::_write(fd, bytes.data() + done, static_cast<unsigned>(piece));
        if (n >= 0)
            done += static_cast<std::size_t>(n);
        else
            error = errno;
    }
    // on the disk before the move makes it the file (FlushFileBuffers)
    if (error == 0 && ::_commit(fd) != 0)
        error = errno;
    if (::_close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0
        && !::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = isFolder(target) ? EISDIR : errnoOf(::GetLastError());
    if (error != 0)
        ::_wunlink(temp.c_str());
    return error;
}

} // namespace qx::file_platform
