#include "core/archive/UnrarCallback.h"

#include "core/archive/EventPump.h"
#include "core/archive/UnrarApi.h"

#include <QFileInfo>
#include <cstring>

namespace UnrarCallback {

namespace {

constexpr int GoOn = 1;
constexpr int Stop = -1;
constexpr int NotHandled = 0;

// The narrow volume name the library asks for fits its own header fields.
constexpr qsizetype VolumeNameBufferSize = 1024;

// The longest prefix of text that fits in size - 1 bytes without cutting a
// UTF-8 sequence in two; the NUL takes the last byte.
QByteArray fitted(const QString& text, qsizetype size)
{
    QByteArray bytes = text.toUtf8();
    if (bytes.size() < size)
        return bytes;
    qsizetype cut = std::max<qsizetype>(size - 1, 0);
    while (cut > 0 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80)
        --cut;
    return bytes.left(cut);
}

void copyWithNul(const QByteArray& bytes, long address)
{
    char* buffer = reinterpret_cast<char*>(address);
    std::memcpy(buffer, bytes.constData(), static_cast<size_t>(bytes.size()));
    buffer[bytes.size()] = '\0';
}

int askForVolume(Listener& listener, long P1)
{
    const QString name = textAt(reinterpret_cast<const char*>(P1));
    const QString newName = listener.askForMissingVolume(name);
    const QByteArray bytes = newName.toUtf8();
    // A name that is not there would only be asked for again, forever.
    if (newName.isEmpty() || bytes.size() >= VolumeNameBufferSize || !QFileInfo(newName).isFile())
        return Stop;
    copyWithNul(bytes, P1);
    return GoOn;
}

int askForPassword(Listener& listener, long P1, long P2)
{
    const QString password = listener.requestPassword();
    if (password.isEmpty()) {
        listener.reportEmptyPassword();
        return Stop;
    }
    listener.acceptPassword(password);
    if (P2 <= 0)
        return Stop;
    copyWithNul(fitted(password, P2), P1);
    return GoOn;
}

} // namespace

QString textAt(const char* address)
{
    return address ? QString::fromUtf8(address) : QString();
}

long userDataFor(Listener* listener)
{
    return reinterpret_cast<long>(listener);
}

Listener* listenerFrom(long userData)
{
    return reinterpret_cast<Listener*>(userData);
}

int handle(unsigned int msg, long userData, long P1, long P2)
{
    EventPump::serve();
    Listener* listener = listenerFrom(userData);
    if (!listener)
        return NotHandled;
    switch (msg) {
    case UCM_CHANGEVOLUME:
        EventPump::serve();
        if (P2 == RAR_VOL_ASK)
            return askForVolume(*listener, P1);
        if (P2 == RAR_VOL_NOTIFY)
            return listener->announceVolume(textAt(reinterpret_cast<const char*>(P1))) ? GoOn : Stop;
        return NotHandled;
    case UCM_PROCESSDATA:
        EventPump::serve();
        listener->reportProgress(static_cast<qint32>(P2));
        return GoOn;
    case UCM_NEEDPASSWORD:
        EventPump::serve();
        return askForPassword(*listener, P1, P2);
    default:
        return NotHandled;
    }
}

} // namespace UnrarCallback
