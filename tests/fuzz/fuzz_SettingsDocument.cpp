// A settings file damaged in any way must parse, and whatever was read from it
// must survive being written and read again, since every change rewrites it.
#include "core/settings/SettingsDocument.h"

#include <cstdint>
#include <cstdlib>

namespace {

// Both documents hold the same keys, in the same order, with the same values.
void expectSame(const SettingsDocument& a, const SettingsDocument& b, const QString& path)
{
    const SettingsDocument::Key* keyA = a.findKey(path);
    const SettingsDocument::Key* keyB = b.findKey(path);
    if (!keyA || !keyB || keyA->path != keyB->path || keyA->values.size() != keyB->values.size())
        std::abort();
    for (qsizetype i = 0; i < keyA->values.size(); ++i)
        if (keyA->values[i].name != keyB->values[i].name || keyA->values[i].text != keyB->values[i].text)
            std::abort();
    const QStringList subkeys = a.subkeys(path);
    if (subkeys != b.subkeys(path))
        std::abort();
    for (const QString& name : subkeys)
        expectSame(a, b, path.isEmpty() ? name : path + u'\\' + name);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const SettingsDocument first =
        SettingsDocument::parse(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
    const QByteArray written = first.serialize();
    const SettingsDocument second = SettingsDocument::parse(written);
    expectSame(first, second, QString());
    if (second.serialize() != written)
        std::abort();
    return 0;
}
