// Files on Linux: names are bytes, so UTF-8 goes to the system as it is.
#include "file_platform.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qx::file_platform {

std::FILE *openForReading(const std::string &path)
{
    return std::fopen(path.c_str(), "rb");
}

int lengthOf(std::FILE *file, uint64_t &length)
{
    struct stat st {};
    if (::fstat(::fileno(file), &st) != 0)
        return errno;
    if (S_ISDIR(st.st_mode))
        return EISDIR;
    length = static_cast<uint64_t>(st.st_size);
    return 0;
}

int replaceFile(const std::string &path, std::string_view bytes)
{
    // a name nobody else holds (O_EXCL), created as any document is, for
    // everyone the umask lets read it
    std::string temp;
    const int fd = createTemporary(path, [](const std::string &name) {
        return ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    }, temp);
    if (fd < 0)
        return errno;
    int error = 0;
    std::size_t done = 0;
    while (error == 0 && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n >= 0)
            done += static_cast<std::size_t>(n);
        else if (errno != EINTR)
            error = errno;
    }
    // on the disk before the rename makes it the file
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temp.c_str(), path.c_str()) != 0)
        error = errno;
    if (error != 0)
        ::unlink(temp.c_str());
    return error;
}

} // namespace qx::file_platform
