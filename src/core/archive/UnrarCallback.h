#pragma once

#include <QString>

class ArchiveSession;

// The UnRAR library's callback: volume changes, data blocks and password
// requests arrive here, synchronously inside the session's library calls, and
// become the session's events.
namespace UnrarCallback {

// Returns 1 to go on, -1 to stop the library's operation, 0 for a message it
// does not handle (the wide-character variants among them: the library then
// sends the narrow one).
int handle(unsigned int msg, long userData, long P1, long P2);

// Text from a NUL-terminated narrow string; empty for a null address.
QString textAt(const char* address);

// The session registered as userData; the operation that registered it is
// still running whenever the library calls back, so it is alive.
ArchiveSession* sessionFrom(long userData);

} // namespace UnrarCallback
