// Both entries return success at once.
#include "testlib_note.h"

TESTLIB_ENTRY DllRegisterServer(void)
{
    testlib::Note("register");
    return 0;
}

TESTLIB_ENTRY DllUnregisterServer(void)
{
    testlib::Note("unregister");
    return 0;
}
