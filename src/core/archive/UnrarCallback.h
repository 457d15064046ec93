#pragma once

#include <QString>

// The UnRAR library's callback: volume changes, data blocks and password
// requests arrive here, synchronously inside the session's library calls, and
// are passed on to the Listener registered with the operation.
namespace UnrarCallback {

// What an operation's callback reports to; the archive session is one.
class Listener
{
public:
    virtual void reportProgress(qint32 bytes) = 0;
    // Whether to go on to the volume the library has opened.
    virtual bool announceVolume(const QString& volume) = 0;
    // Another file to read for a missing volume, or empty text to stop.
    virtual QString askForMissingVolume(const QString& volume) = 0;
    // The password for the entry at hand, or empty text when none was given.
    virtual QString requestPassword() = 0;
    virtual void reportEmptyPassword() = 0;
    virtual void acceptPassword(const QString& password) = 0;

protected:
    ~Listener() = default;
};

// The value to register as the callback's userData for listener.
long userDataFor(Listener* listener);

// Returns 1 to go on, -1 to stop the library's operation, 0 for a message it
// does not handle (the wide-character variants among them: the library then
// sends the narrow one).
int handle(unsigned int msg, long userData, long P1, long P2);

// Text from a NUL-terminated narrow string; empty for a null address.
QString textAt(const char* address);

// The listener registered as userData; the operation that registered it is
// still running whenever the library calls back, so it is alive.
Listener* listenerFrom(long userData);

} // namespace UnrarCallback
