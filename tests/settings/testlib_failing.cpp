// Both entries return at once with E_FAIL, which still counts as having run.
#include "testlib_note.h"

#include <cstdint>

TESTLIB_ENTRY DllRegisterServer(void)
{
    testlib::Note("register");
    return static_cast<std::int32_t>(0x80004005u);
}

TESTLIB_ENTRY DllUnregisterServer(void)
{
    testlib::Note("unregister");
    return static_cast<std::int32_t>(0x80004005u);
}
