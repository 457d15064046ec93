#include "platform/Utf8Locale.h"

#include <clocale>
#include <cstring>
#include <langinfo.h>

namespace Utf8Locale {

namespace {
bool isUtf8()
{
    const char* codeset = nl_langinfo(CODESET);
    return codeset && std::strcmp(codeset, "UTF-8") == 0;
}
} // namespace

bool ensure()
{
    std::setlocale(LC_ALL, "");
    if (isUtf8())
        return true;
    return std::setlocale(LC_CTYPE, "C.UTF-8") && isUtf8();
}

} // namespace Utf8Locale
