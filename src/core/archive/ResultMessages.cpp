#include "core/archive/ResultMessages.h"

#include "core/archive/UnrarApi.h"

namespace ResultMessages {

namespace {
const QString UnknownError = QStringLiteral("Unknown error");
} // namespace

QString commentErrorMessage(int code)
{
    switch (code) {
    case ERAR_NO_MEMORY:
        return QStringLiteral("Not enough memory");
    case ERAR_BAD_DATA:
        return QStringLiteral("Broken comment");
    case ERAR_UNKNOWN_FORMAT:
        return QStringLiteral("Unknown comment format");
    case ERAR_SMALL_BUF:
        return QStringLiteral("Buffer too small, comments not completely read");
    default:
        return UnknownError;
    }
}

QString openErrorMessage(int code)
{
    switch (code) {
    case ERAR_NO_MEMORY:
        return QStringLiteral("Not enough memory");
    case ERAR_BAD_DATA:
        return QStringLiteral("Archive header broken");
    case ERAR_BAD_ARCHIVE:
        return QStringLiteral("File is not a RAR archive");
    case ERAR_EOPEN:
        return QStringLiteral("Cannot open file");
    case LibraryFailure:
        return QStringLiteral("The archive makes the UnRAR library crash; it was not opened");
    case LibraryTimeout:
        return QStringLiteral("The UnRAR library did not answer within 20 seconds; it was not opened");
    default:
        return UnknownError;
    }
}

QString processErrorMessage(int code, bool passwordInvolved)
{
    switch (code) {
    case ERAR_BAD_DATA:
        return passwordInvolved ? QStringLiteral("CRC error - Wrong password?") : QStringLiteral("CRC error");
    // Today's library tells a wrong password apart from damaged data; older ones
    // reported both as bad data, and users know the message that goes with it.
    case ERAR_BAD_PASSWORD:
        return QStringLiteral("CRC error - Wrong password?");
    case ERAR_BAD_ARCHIVE:
        return QStringLiteral("Bad volume");
    case ERAR_UNKNOWN_FORMAT:
        return QStringLiteral("Unknown archive format");
    case ERAR_EOPEN:
        return QStringLiteral("Volume open error");
    case ERAR_ECREATE:
        return QStringLiteral("File creation error");
    case ERAR_ECLOSE:
        return QStringLiteral("File close error");
    case ERAR_EREAD:
        return QStringLiteral("Read error");
    case ERAR_EWRITE:
        return QStringLiteral("Write error");
    case ERAR_MISSING_PASSWORD:
    case NoPasswordSupplied:
        return QStringLiteral("No password supplied");
    case UnsafeEntry:
        return QStringLiteral("Left out: it would reach outside the extract folder");
    case NameTooLong:
        return QStringLiteral("Left out: its name is too long");
    case SpecialFileInPlace:
        return QStringLiteral("Left out: a pipe, socket or device of that name is in the extract folder");
    case LibraryTimeout:
        return QStringLiteral("Not decrypted: the UnRAR library did not answer within 20 seconds");
    case DamagedEncryptedEntry:
        return QStringLiteral("Not decrypted: the archive's headers are damaged, which can crash the UnRAR library");
    default:
        return UnknownError;
    }
}

} // namespace ResultMessages
