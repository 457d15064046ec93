#include "core/archive/ArchiveSession.h"

#include "core/archive/ArchiveHandle.h"
#include "core/archive/EventPump.h"
#include "core/archive/ExtractDestination.h"
#include "core/archive/ExtractFolder.h"
#include "core/archive/ResultMessages.h"
#include "core/archive/RunState.h"
#include "core/archive/UnrarApi.h"
#include "core/util/PathText.h"

#include <QTimeZone>
#include <cmath>
#include <cstring>

namespace {

constexpr int CommentBufferSize = 16384;
qint16 toInt16(double value)
{
    return static_cast<qint16>(std::clamp(value, -32768.0, 32767.0));
}

} // namespace

ArchiveSession::ArchiveSession(ExtractionPrompts& prompts, RunState& run, QObject* parent)
    : QObject(parent)
    , m_prompts(prompts)
    , m_run(run)
    , m_extractor(prompts, run)
    , m_destination(prompts, run)
{}

ArchiveSession::~ArchiveSession() = default;

double ArchiveSession::longToUnsigned(qint32 value)
{
    return value >= 0 ? static_cast<double>(value) : static_cast<double>(value) + 4294967296.0;
}

bool ArchiveSession::listArchive(const QString& archivePath, QStringList& names, const QString&)
{
    return processArchive(archivePath, List, &names);
}

bool ArchiveSession::testArchive(const QString& archivePath, const QString&)
{
    return processArchive(archivePath, Test, nullptr);
}

bool ArchiveSession::extractArchive(const QString& archivePath, const QString&, const QString&)
{
    return processArchive(archivePath, Extract, nullptr);
}

bool ArchiveSession::processArchive(const QString& archivePath, Mode mode, QStringList* names)
{
    EventPump::serve();
    m_run.overwriteAnswer = ExtractionPrompts::Overwrite::Overwrite;
    m_run.overwriteForAll = false;
    m_refusedEntry.clear();
    m_probe.forget();
    if (mode == List && names->size() == 1) {
        raiseProgramError(ResultMessages::ListArrayTooSmall,
                          QStringLiteral("Supplied array too small to fit all files"),
                          QStringLiteral("Supplied array to small to fit all files"), QString());
        return false;
    }

    m_archive = PathText::toBytes(archivePath);
    QByteArray comment(CommentBufferSize, '\0');
    RAROpenArchiveData data{};
    data.ArcName = m_archive.data();
    data.OpenMode = mode == List ? RAR_OM_LIST : RAR_OM_EXTRACT;
    data.CmtBuf = comment.data();
    data.CmtBufSize = CommentBufferSize;
    ArchiveHandle archive;
    if (!openWithPassword(archivePath, data, archive))
        return false;
    QByteArray password = m_run.password.toUtf8();
    RARSetPassword(archive.get(), password.data());

    int readResult = ERAR_SUCCESS;
    QString folder;
    if (!readFirstHeaderAgain(archive, archivePath, readResult) || !destinationFolder(archivePath, folder))
        return false;
    const ExtractFolder destination(PathText::toBytes(folder));
    if (mode == Extract && !destination.isOpen()) {
        raiseProcessError(ERAR_ECREATE, folder);
        return false;
    }

    RARSetCallback(archive.get(), UnrarCallback::handle, UnrarCallback::userDataFor(this));
    reportComment(data, archivePath, comment);
    m_fileSize = 0;
    m_extracted = 0;
    m_nextProgress = 0;
    QString volume = m_header.volumeName();
    if (volume.isEmpty())
        volume = archivePath; // nothing was read: the archive itself is the first volume
    bool ignored = false;
    emit nextVolume(volume, ignored);
    return walkEntries(archive, mode, destination, folder, readResult, names);
}

// A copy of the program opens first, so an archive that crashes the library
// costs a line in the log. The first open tells whether a password is needed;
// the archive is then opened again from its start.
bool ArchiveSession::openWithPassword(const QString& archivePath, RAROpenArchiveData& data, ArchiveHandle& archive)
{
    if (const qint32 failure = m_probe.openFailure(data); failure != 0) {
        raiseOpenError(failure, archivePath);
        return false;
    }
    if (!reopen(archivePath, data, archive))
        return false;
    m_passwordInvolved = needsPassword(archive);
    if (m_passwordInvolved && !m_run.usePasswordForAll) {
        m_run.password = askPassword();
        if (m_run.password.isEmpty()) {
            emit emptyPassword();
            return false;
        }
    }
    archive.close();
    return reopen(archivePath, data, archive);
}

bool ArchiveSession::reopen(const QString& archivePath, RAROpenArchiveData& data, ArchiveHandle& archive)
{
    archive = ArchiveHandle(RAROpenArchive(&data));
    if (archive && data.OpenResult == ERAR_SUCCESS)
        return true;
    raiseOpenError(data.OpenResult != ERAR_SUCCESS ? static_cast<qint32>(data.OpenResult) : ERAR_EOPEN, archivePath);
    return false;
}

bool ArchiveSession::walkEntries(ArchiveHandle& archive, Mode mode, const ExtractFolder& destination,
                                 const QString& folder, int readResult, QStringList* names)
{
    bool result = false;
    qsizetype listed = 0;
    QString previous;
    while (readResult == ERAR_SUCCESS) {
        EventPump::serve();
        const QString entry = m_header.name();
        const bool continuation = m_header.continuesFromPrevious();
        int entryResult;
        if (continuation && (m_run.overwriteAnswer == ExtractionPrompts::Overwrite::Skip || entry == m_refusedEntry)) {
            // The rest of a skipped or refused file: passed over without asking.
            // The skip call moves the library past its data (and on to its next volume).
            entryResult = RARProcessFile(archive.get(), RAR_SKIP, nullptr, nullptr);
        } else {
            // A name met again without continuing the last file is a new file.
            if (entry != previous || !continuation) {
                startNewFile(entry);
                previous = entry;
                if (mode == List && !listEntry(entry, *names, listed))
                    return false;
            }
            bool cancelled = false;
            entryResult = processEntry(archive, mode, destination, cancelled);
            if (cancelled)
                return result;
        }
        if (entryResult != ERAR_SUCCESS)
            return reportFailedEntry(entryResult, entry);
        result = true;
        m_run.lastExtractFolder = folder;
        EventPump::serve();
        readResult = m_header.read(archive);
    }
    // A header that cannot be read ends the archive quietly, as its end would;
    // a missing volume has been reported on the way, and the run goes on.
    return result;
}

bool ArchiveSession::listEntry(const QString& entry, QStringList& names, qsizetype& listed)
{
    if (listed > names.size() - 1) {
        const QString message = QStringLiteral("Supplied array to small to fit all files");
        raiseProgramError(ResultMessages::ListArrayTooSmall, message, message, entry);
        return false;
    }
    names[listed++] = entry;
    return true;
}

bool ArchiveSession::needsPassword(ArchiveHandle& archive)
{
    m_header.clear();
    const int read = m_header.read(archive);
    // Encrypted headers cannot be read without the password: older libraries
    // said "unknown", today's say "missing password".
    if (read == ERAR_UNKNOWN || read == ERAR_MISSING_PASSWORD)
        return true;
    return read == ERAR_SUCCESS && m_header.isEncrypted();
}

// A wrong password for encrypted headers fails this very read; it is reported
// like a wrong password on an entry, before anything else is asked.
bool ArchiveSession::readFirstHeaderAgain(ArchiveHandle& archive, const QString& archivePath, int& readResult)
{
    m_header.clear();
    readResult = m_header.read(archive);
    const bool passwordRefused = readResult == ERAR_BAD_PASSWORD || readResult == ERAR_MISSING_PASSWORD ||
                                 (readResult == ERAR_BAD_DATA && m_passwordInvolved);
    if (!passwordRefused)
        return true;
    reportFailedEntry(readResult, archivePath);
    return false;
}

bool ArchiveSession::destinationFolder(const QString& archivePath, QString& folder)
{
    const ExtractDestination::Result chosen = m_destination.choose(archivePath);
    folder = chosen.folder;
    switch (chosen.choice) {
    case ExtractDestination::Choice::Go:
        return true;
    case ExtractDestination::Choice::Cancelled:
        emit cancelled();
        break;
    case ExtractDestination::Choice::Failed:
        raiseProcessError(ERAR_ECREATE, folder);
        break;
    }
    return false;
}

QString ArchiveSession::askPassword()
{
    const ExtractionPrompts::Password given = m_prompts.askPassword();
    m_run.usePasswordForAll = given.useForAll;
    return given.password;
}

void ArchiveSession::reportComment(const RAROpenArchiveData& data, const QString& archivePath,
                                   const QByteArray& comment)
{
    if (data.CmtState == 0)
        return;
    if (data.CmtState != 1) {
        const qint32 code = static_cast<qint32>(data.CmtState);
        raiseError(&ArchiveSession::commentError, code, ResultMessages::commentErrorMessage(code), archivePath);
        return;
    }
    QString text =
        QString::fromUtf8(comment.constData(), static_cast<qsizetype>(strnlen(comment.constData(), comment.size())));
    QString file = archivePath;
    emit commentFound(file, text);
}

void ArchiveSession::startNewFile(const QString& entry)
{
    m_fileSize = m_header.unpackedSize();
    m_extracted = 0;
    m_nextProgress = 0;
    EventPump::serve();
    QString name = entry;
    // The zone is looked up once: local time from scratch reads the system's
    // zone file again for every entry.
    static const QTimeZone zone = QTimeZone::systemTimeZone();
    QDateTime now = QDateTime::currentDateTimeUtc().toTimeZone(zone);
    const RARHeaderDataEx& fields = m_header.fields();
    qint16 major = static_cast<qint16>(fields.UnpVer / 10);
    qint16 minor = static_cast<qint16>(fields.UnpVer % 10);
    qint32 method = static_cast<qint32>(fields.Method);
    qint32 attributes = static_cast<qint32>(fields.FileAttr);
    emit processingFile(name, m_fileSize, now, major, minor, method, attributes);
    EventPump::serve();
}

int ArchiveSession::processEntry(ArchiveHandle& archive, Mode mode, const ExtractFolder& folder, bool& cancelled)
{
    if (mode == List)
        return RARProcessFile(archive.get(), RAR_SKIP, nullptr, nullptr);
    if (m_header.isEncrypted()) {
        if (const qint32 refusal = m_probe.decryptionRefusal(m_archive, m_run.password); refusal != 0)
            return refusal;
    }
    if (mode == Test)
        return RARProcessFile(archive.get(), RAR_TEST, nullptr, nullptr);
    return extractEntry(archive, folder, cancelled);
}

// A left-out entry costs one line in the log and the archive goes on.
int ArchiveSession::extractEntry(ArchiveHandle& archive, const ExtractFolder& folder, bool& cancelled)
{
    const EntryExtractor::Outcome outcome = m_extractor.extract(archive, folder, m_header);
    if (outcome.leftOut != 0)
        reportRefusal(outcome.leftOut, m_header.name());
    if (outcome.skipped)
        emit fileSkipped();
    cancelled = outcome.cancelled;
    return outcome.result;
}

// The entry is not counted as extracted, and its parts in later volumes are
// passed over.
void ArchiveSession::reportRefusal(qint32 code, const QString& entry)
{
    m_refusedEntry = entry;
    raiseProcessError(code, entry);
}

bool ArchiveSession::reportFailedEntry(int result, const QString& entry)
{
    if (m_run.password.isEmpty() && m_passwordInvolved)
        result = ResultMessages::NoPasswordSupplied;
    raiseProcessError(result, entry);
    return false;
}

void ArchiveSession::reportProgress(qint32 bytes)
{
    EventPump::serve();
    m_extracted += bytes;
    if (m_fileSize == 0)
        return;
    const int percentage = toInt16(std::nearbyint(m_extracted / m_fileSize * 100.0));
    if (percentage > m_nextProgress + m_progressSteps) {
        emit progress(m_fileSize, m_extracted);
        m_nextProgress = toInt16(m_nextProgress + m_progressSteps);
    }
}

bool ArchiveSession::announceVolume(const QString& volume)
{
    QString name = volume;
    bool goOn = false;
    emit nextVolume(name, goOn);
    return goOn;
}

QString ArchiveSession::askForMissingVolume(const QString& volume)
{
    QString name = volume;
    QString replacement;
    emit missingFile(name, replacement);
    return replacement;
}

QString ArchiveSession::requestPassword()
{
    m_passwordInvolved = true;
    const QString password = askPassword();
    QString eventCopy = password;
    emit missingPassword(eventCopy);
    return password;
}

void ArchiveSession::reportEmptyPassword()
{
    emit emptyPassword();
}

// A password given midway holds for the rest of the archive.
void ArchiveSession::acceptPassword(const QString& password)
{
    m_run.password = password;
    QString given = password;
    emit passwordAccepted(given, m_run.usePasswordForAll);
}

void ArchiveSession::raiseError(ErrorSignal signal, qint32 code, const QString& message, const QString& fileName)
{
    m_lastErrorMessage = message;
    QString text = message;
    QString file = fileName;
    emit(this->*signal)(code, text, file);
}

void ArchiveSession::raiseOpenError(qint32 code, const QString& fileName)
{
    raiseError(&ArchiveSession::openError, code, ResultMessages::openErrorMessage(code), fileName);
}

void ArchiveSession::raiseProcessError(qint32 code, const QString& fileName)
{
    raiseError(&ArchiveSession::processError, code, ResultMessages::processErrorMessage(code, m_passwordInvolved),
               fileName);
}

// The program's own errors are raised first and recorded after, and their two
// texts may differ.
void ArchiveSession::raiseProgramError(qint32 code, const QString& eventMessage, const QString& lastMessage,
                                       const QString& fileName)
{
    QString message = eventMessage;
    QString file = fileName;
    emit processError(code, message, file);
    m_lastErrorMessage = lastMessage;
}
