#include "temp_dir.h"

#include <cstdlib>

namespace qxtest {

TempDir::TempDir()
{
    char name[] = "/tmp/qxtest-XXXXXX";
    if (::mkdtemp(name) != nullptr)
        path = name;
}

TempDir::~TempDir()
{
    std::error_code ec;
    if (!path.empty())
        std::filesystem::remove_all(path, ec);
}

} // namespace qxtest
