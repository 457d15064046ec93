// Registering takes 15 seconds, longer than the caller waits.
#include "testlib_note.h"

TESTLIB_ENTRY DllRegisterServer(void)
{
    testlibNote("register");
    return sleep(15), testlibNote("woke");
}
