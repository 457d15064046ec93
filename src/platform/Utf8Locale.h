#pragma once

// Names cross the UnRAR library boundary as narrow text in the C library's
// character set; making that UTF-8 keeps non-ASCII names intact.
namespace Utf8Locale {

// Takes the locale from the environment and, when its character set is not
// UTF-8, switches the character-type category to C.UTF-8. True when the
// process now uses UTF-8.
bool ensure();

} // namespace Utf8Locale
