// Registering takes 15 seconds, longer than the caller waits.
#include "testlib_note.h"

#include <unistd.h>

TESTLIB_ENTRY DllRegisterServer(void)
{
    testlib::Note("register");
    sleep(15);
    testlib::Note("woke");
    return 0;
}
