#pragma once

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

// The test libraries' entries append a line to the file named by
// ZORVANE_TESTLIB_NOTE, so a test can see which entry ran, and in which process.
namespace testlib {

inline void Note(const char* what)
{
    const char* path = std::getenv("ZORVANE_TESTLIB_NOTE");
    if (!path)
        return;
    if (std::FILE* file = std::fopen(path, "a")) {
        std::fprintf(file, "%s %ld\n", what, static_cast<long>(getpid()));
        std::fclose(file);
    }
}

} // namespace testlib

#define TESTLIB_ENTRY extern "C" __attribute__((visibility("default"))) long
