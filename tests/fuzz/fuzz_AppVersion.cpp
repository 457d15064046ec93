// Whatever the publisher's server sends, the version comparison must not crash
// and must behave as "strictly greater": never both ways, never against itself,
// and transitive, or an update could be offered back and forth.
#include "core/update/AppVersion.h"

#include <QList>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Three texts separated by NUL bytes; missing ones are empty.
    QList<QByteArray> parts = QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)).split('\0');
    parts.resize(3);
    const QString a = QString::fromUtf8(parts[0]), b = QString::fromUtf8(parts[1]), c = QString::fromUtf8(parts[2]);

    using AppVersion::isNewer;
    if (isNewer(a, a) || (isNewer(a, b) && isNewer(b, a)))
        std::abort();
    if (isNewer(a, b) && isNewer(b, c) && !isNewer(a, c))
        std::abort();
    return 0;
}
