#include "core/archive/UnrarCallback.h"

#include "core/archive/ArchiveSession.h"
#include "core/archive/EventPump.h"
#include "core/archive/RunState.h"
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

int askForVolume(ArchiveSession& session, long P1)
{
    const QString name = StringFromAnsiPtr(reinterpret_cast<const char*>(P1));
    const QString newName = session.RaiseMissingFile(name);
    const QByteArray bytes = newName.toUtf8();
    // A name that is not there would only be asked for again, forever.
    if (newName.isEmpty() || bytes.size() >= VolumeNameBufferSize || !QFileInfo(newName).isFile())
        return Stop;
    copyWithNul(bytes, P1);
    return GoOn;
}

int askForPassword(ArchiveSession& session, long P1, long P2)
{
    const QString password = session.RequestPassword();
    if (password.isEmpty()) {
        session.RaiseEmptyPassword();
        return Stop;
    }
    session.RaiseGotPassword(password, RunState::instance().UsePasswordForAll);
    if (P2 <= 0)
        return Stop;
    copyWithNul(fitted(password, P2), P1);
    return GoOn;
}

} // namespace

QString StringFromAnsiPtr(const char* address)
{
    return address ? QString::fromUtf8(address) : QString();
}

ArchiveSession* SessionFromUserData(long UserData)
{
    return reinterpret_cast<ArchiveSession*>(UserData);
}

int RarCallback(unsigned int msg, long UserData, long P1, long P2)
{
    EventPump::YieldToWindows();
    ArchiveSession* session = SessionFromUserData(UserData);
    if (!session)
        return NotHandled;
    switch (msg) {
    case UCM_CHANGEVOLUME:
        EventPump::YieldToWindows();
        if (P2 == RAR_VOL_ASK)
            return askForVolume(*session, P1);
        if (P2 == RAR_VOL_NOTIFY)
            return session->RaiseNextVolume(StringFromAnsiPtr(reinterpret_cast<const char*>(P1))) ? GoOn : Stop;
        return NotHandled;
    case UCM_PROCESSDATA:
        EventPump::YieldToWindows();
        session->ReportProgress(static_cast<qint32>(P2));
        return GoOn;
    case UCM_NEEDPASSWORD:
        EventPump::YieldToWindows();
        return askForPassword(*session, P1, P2);
    default:
        return NotHandled;
    }
}

} // namespace UnrarCallback
