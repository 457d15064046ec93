#pragma once

// The one place that includes the UnRAR library's interface. The header expects
// _UNIX to pick its Unix definitions of PASCAL, CALLBACK, HANDLE, UINT, LONG and
// LPARAM; those are macros, so they are dropped again right after the include
// to keep them from clashing with Qt's own names (Qt::HANDLE).
#ifndef _UNIX
#define _UNIX
#endif
#include <unrar/dll.hpp>

#undef CALLBACK
#undef PASCAL
#undef LONG
#undef HANDLE
#undef LPARAM
#undef UINT

namespace Unrar {
using Handle = void*;
using Param = long;
} // namespace Unrar
