// Only the registration entry is exported; there is nothing to unregister with.
#include "testlib_note.h"

TESTLIB_QUICK_ENTRY(DllRegisterServer, "register", 0)
