// The least any program built on the UnRAR library's interface does to extract
// an archive: read a header, extract the entry, repeat. bench/run.sh times it
// beside Zorvane and `unrar x`, which shows what the library itself costs.
//
// Usage: library_loop ARCHIVE DESTINATION

#include "core/archive/UnrarApi.h"

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: library_loop ARCHIVE DESTINATION\n");
        return 2;
    }
    RAROpenArchiveDataEx data{};
    data.ArcName = argv[1];
    data.OpenMode = RAR_OM_EXTRACT;
    Unrar::Handle archive = RAROpenArchiveEx(&data);
    if (!archive || data.OpenResult != ERAR_SUCCESS) {
        std::fprintf(stderr, "library_loop: cannot open %s (%u)\n", argv[1], data.OpenResult);
        return 1;
    }
    static RARHeaderDataEx header;
    int result;
    while ((result = RARReadHeaderEx(archive, &header)) == ERAR_SUCCESS) {
        result = RARProcessFile(archive, RAR_EXTRACT, argv[2], nullptr);
        if (result != ERAR_SUCCESS)
            break;
    }
    RARCloseArchive(archive);
    if (result != ERAR_END_ARCHIVE) {
        std::fprintf(stderr, "library_loop: error %d in %s\n", result, argv[1]);
        return 1;
    }
    return 0;
}
