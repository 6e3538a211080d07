// A fresh directory under /tmp for one test, removed with everything in it
// when the test ends.
#pragma once

#include <filesystem>

namespace qxtest {

struct TempDir
{
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    std::filesystem::path path;
};

} // namespace qxtest
