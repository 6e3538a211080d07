// A fresh directory under /tmp for one test, removed with its contents.
#pragma once

#include <filesystem>

#include <stdlib.h>

struct TempDir
{
    std::filesystem::path path;
    TempDir()
    {
        char name[] = "/tmp/qxsim-test-XXXXXX";
        path = ::mkdtemp(name);
    }
    ~TempDir() { std::filesystem::remove_all(path); }
};
