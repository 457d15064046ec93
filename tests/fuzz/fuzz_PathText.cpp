// Any bytes must come back from their text unchanged: file names from the
// command line reach the file system through exactly that round trip.
#include "core/util/PathText.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = PathText::fromBytes(bytes);
    if (PathText::toBytes(text) != bytes)
        std::abort();
    // Valid UTF-8 reads as itself.
    if (QString::fromUtf8(bytes).toUtf8() == bytes && text != QString::fromUtf8(bytes))
        std::abort();
    return 0;
}
