#pragma once

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

// Every entry appends "<what> <pid>" to $ZORVANE_TESTLIB_NOTE: which entry ran, and in which process.
inline long testlibNote(const char* what, long result = 0)
{
    const char* path = std::getenv("ZORVANE_TESTLIB_NOTE");
    if (std::FILE* file = path ? std::fopen(path, "a") : nullptr) {
        std::fprintf(file, "%s %ld\n", what, static_cast<long>(getpid()));
        std::fclose(file);
    }
    return result;
}

#define TESTLIB_ENTRY extern "C" __attribute__((visibility("default"))) long
#define TESTLIB_QUICK_ENTRY(name, what, result)                                                                        \
    TESTLIB_ENTRY name(void)                                                                                           \
    {                                                                                                                  \
        return testlibNote(what, result);                                                                              \
    }
