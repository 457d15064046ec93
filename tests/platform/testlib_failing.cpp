// Both entries return E_FAIL at once, which still counts as having run.
#include "testlib_note.h"

TESTLIB_QUICK_ENTRY(DllRegisterServer, "register", -2147467259L)
TESTLIB_QUICK_ENTRY(DllUnregisterServer, "unregister", -2147467259L)
