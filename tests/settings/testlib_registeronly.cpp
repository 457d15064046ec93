// Only the registration entry is exported; there is nothing to unregister with.
#include "testlib_note.h"

TESTLIB_ENTRY DllRegisterServer(void)
{
    testlib::Note("register");
    return 0;
}
