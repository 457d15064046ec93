// Both entries succeed at once.
#include "testlib_note.h"

TESTLIB_QUICK_ENTRY(DllRegisterServer, "register", 0)
TESTLIB_QUICK_ENTRY(DllUnregisterServer, "unregister", 0)
