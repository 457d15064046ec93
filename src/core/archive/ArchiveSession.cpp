#include "core/archive/ArchiveSession.h"

#include "core/archive/ArchiveHandle.h"
#include "core/archive/EntryPath.h"
#include "core/archive/EventPump.h"
#include "core/archive/ResultMessages.h"
#include "core/archive/RunState.h"
#include "core/archive/UnrarApi.h"
#include "core/util/BoundedChild.h"
#include "core/util/PathText.h"

#include <QTimeZone>
#include <cmath>
#include <cstring>
#include <cwchar>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The library gives 64-bit sizes as two unsigned halves.
double sizeFromHalves(unsigned int high, unsigned int low)
{
    return static_cast<double>(high) * 4294967296.0 + static_cast<double>(low);
}

constexpr int CommentBufferSize = 16384;
// Link and copy targets, in wide characters.
constexpr unsigned RedirBufferSize = 4096;

// A fixed-size narrow field of the library, up to its first NUL.
template <size_t N> QString fieldText(const char (&field)[N])
{
    return QString::fromUtf8(field, static_cast<qsizetype>(strnlen(field, N)));
}

qint16 toInt16(double value)
{
    return static_cast<qint16>(std::clamp(value, -32768.0, 32767.0));
}

// The stored name's own bytes: they need not be valid UTF-8.
template <size_t N> QByteArray fieldBytes(const char (&field)[N])
{
    return QByteArray(field, static_cast<qsizetype>(strnlen(field, N)));
}

// The name shown and reported for an entry: where the library writes it.
QString entryName(const QByteArray& baStored)
{
    const QByteArray cleaned = EntryPath::CleanedName(baStored);
    return QString::fromUtf8(cleaned.isEmpty() ? baStored : cleaned);
}

bool lstatPath(const QByteArray& baPath, struct stat& st)
{
    return ::lstat(baPath.constData(), &st) == 0;
}

// An overwrite never writes through what is there: a symbolic link goes
// itself, and a file with other names is replaced by a fresh one, or the
// library would change what they lead to as well.
void makeRoomFor(const QByteArray& baPath, ExtractFolder::Place place)
{
    struct stat st;
    if (place == ExtractFolder::Place::Link || (lstatPath(baPath, st) && S_ISREG(st.st_mode) && st.st_nlink > 1))
        ::unlink(baPath.constData());
}

// Why work in a bounded child let the archive down, or 0 when it returned.
qint32 failureCode(BoundedChild::Outcome outcome, qint32 lngFailedCode)
{
    switch (outcome) {
    case BoundedChild::Outcome::Returned:
        return 0;
    case BoundedChild::Outcome::TimedOut:
        return ResultMessages::LibraryTimeout;
    case BoundedChild::Outcome::Failed:
        break;
    }
    return lngFailedCode;
}

bool isFolder(const QByteArray& baPath)
{
    struct stat st;
    return ::stat(baPath.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

// One level only: a missing parent is reported, not invented.
bool makeOneLevel(const QString& folder)
{
    const QByteArray path = PathText::toBytes(folder);
    if (isFolder(path))
        return true;
    ::mkdir(path.constData(), 0777);
    EventPump::YieldToWindows();
    return isFolder(path);
}

} // namespace

ArchiveSession::ArchiveSession(ExtractionPrompts& prompts, QObject* parent)
    : QObject(parent)
    , m_prompts(prompts)
    , m_header(std::make_unique<RARHeaderDataEx>())
    , m_redirTarget(RedirBufferSize, L'\0')
{}

ArchiveSession::~ArchiveSession() = default;

double ArchiveSession::LongToUnsigned(qint32 lngValue)
{
    return lngValue >= 0 ? static_cast<double>(lngValue) : static_cast<double>(lngValue) + 4294967296.0;
}

bool ArchiveSession::ListRarFiles(const QString& strRarFile, QStringList& arrstrFilenames, const QString&)
{
    return ProcessRarFiles(strRarFile, List, &arrstrFilenames);
}

bool ArchiveSession::TestRarFiles(const QString& strRarFile, const QString&)
{
    return ProcessRarFiles(strRarFile, Test, nullptr);
}

bool ArchiveSession::ExtractRarFiles(const QString& strRarFile, const QString&, const QString&)
{
    return ProcessRarFiles(strRarFile, Extract, nullptr);
}

bool ArchiveSession::ProcessRarFiles(const QString& strRarFile, int intMode, QStringList* arrstrFilenames)
{
    RunState& run = RunState::instance();
    EventPump::YieldToWindows();
    run.OverwriteAnswer = ExtractionPrompts::Overwrite::Overwrite;
    run.OverwriteForAll = false;
    m_strRefusedEntry.clear();
    m_headerWalk.reset();
    run.ArchiveFolder = PathText::folderOf(strRarFile);

    if (intMode != Extract && intMode != Test && intMode != List) {
        const QString message = QStringLiteral("Unknown extraction error");
        raiseProgramError(EntryNotProcessed, message, message, strRarFile);
        return false;
    }
    if (intMode == List && arrstrFilenames->size() - 1 == 0) {
        raiseProgramError(ListArrayTooSmall, QStringLiteral("Supplied array too small to fit all files"),
                          QStringLiteral("Supplied array to small to fit all files"), QString());
        return false;
    }

    m_baArchive = PathText::toBytes(strRarFile);
    QByteArray comment(CommentBufferSize, '\0');
    RAROpenArchiveData data{};
    data.ArcName = m_baArchive.data();
    data.OpenMode = intMode == List ? RAR_OM_LIST : RAR_OM_EXTRACT;
    data.CmtBuf = comment.data();
    data.CmtBufSize = CommentBufferSize;

    if (const qint32 failure = trialOpenFailure(data); failure != 0) {
        RaiseOpenError(failure, strRarFile);
        return false;
    }
    ArchiveHandle archive(RAROpenArchive(&data));
    if (!archive || data.OpenResult != ERAR_SUCCESS) {
        RaiseOpenError(data.OpenResult != ERAR_SUCCESS ? static_cast<qint32>(data.OpenResult) : ERAR_EOPEN, strRarFile);
        return false;
    }

    blnPasswordInvolved = needsPassword(archive);
    if (blnPasswordInvolved && !run.UsePasswordForAll) {
        run.CurrentPassword = AskPassword();
        if (run.CurrentPassword.isEmpty()) {
            emit EmptyPassword();
            return false;
        }
    }

    archive.close();
    archive = ArchiveHandle(RAROpenArchive(&data));
    if (!archive || data.OpenResult != ERAR_SUCCESS) {
        RaiseOpenError(data.OpenResult != ERAR_SUCCESS ? static_cast<qint32>(data.OpenResult) : ERAR_EOPEN, strRarFile);
        return false;
    }
    QByteArray password = run.CurrentPassword.toUtf8();
    RARSetPassword(archive.get(), password.data());

    int readResult = ERAR_SUCCESS;
    if (!readFirstHeaderAgain(archive, strRarFile, readResult))
        return false;

    QString folder;
    if (!destinationFolder(strRarFile, folder))
        return false;
    const ExtractFolder destination(PathText::toBytes(folder));
    if (intMode == Extract && !destination.isOpen()) {
        RaiseProcessError(ERAR_ECREATE, folder);
        return false;
    }

    RARSetCallback(archive.get(), UnrarCallback::RarCallback, reinterpret_cast<long>(this));
    reportComment(data, strRarFile, comment);

    dblFileSize = 0;
    dblExtracted = 0;
    intNextProgress = 0;
    QString volume = fieldText(m_header->ArcName);
    if (volume.isEmpty())
        volume = strRarFile; // nothing was read: the archive itself is the first volume
    bool blnIgnored = false;
    emit NextVolumne(volume, blnIgnored);

    bool result = false;
    qsizetype listed = 0;
    QString previous;
    while (readResult == ERAR_SUCCESS) {
        EventPump::YieldToWindows();
        QString entry = entryName(fieldBytes(m_header->FileName));
        const bool continuation = (m_header->Flags & RHDF_SPLITBEFORE) != 0;
        int entryResult;
        if (continuation && (run.OverwriteAnswer == ExtractionPrompts::Overwrite::Skip || entry == m_strRefusedEntry)) {
            // The rest of a skipped or refused file: passed over without asking.
            // The skip call moves the library past its data (and on to its next volume).
            entryResult = RARProcessFile(archive.get(), RAR_SKIP, nullptr, nullptr);
        } else {
            // A name met again without continuing the last file is a new file.
            if (entry != previous || !continuation) {
                startNewFile(entry);
                previous = entry;
                if (intMode == List) {
                    if (listed > arrstrFilenames->size() - 1) {
                        const QString message = QStringLiteral("Supplied array to small to fit all files");
                        raiseProgramError(ListArrayTooSmall, message, message, entry);
                        return false;
                    }
                    (*arrstrFilenames)[listed++] = entry;
                }
            }
            bool blnCancelled = false;
            entryResult = processEntry(archive, intMode, destination, blnCancelled);
            if (blnCancelled)
                return result;
        }
        if (entryResult != ERAR_SUCCESS)
            return reportFailedEntry(entryResult, entry);
        result = true;
        run.LastExtractFolder = folder;
        EventPump::YieldToWindows();
        readResult = readHeader(archive);
    }
    // A header that cannot be read ends the archive quietly, as its end would;
    // a missing volume has been reported on the way, and the run goes on.
    return result;
}

int ArchiveSession::readHeader(ArchiveHandle& archive)
{
    m_header->RedirName = m_redirTarget.data();
    m_header->RedirNameSize = RedirBufferSize;
    return RARReadHeaderEx(archive.get(), m_header.get());
}

// Work in a copy of the program, bounded in time; the window is served while
// it runs, which an archive on a stalled network share can make long.
BoundedChild::Outcome ArchiveSession::runBounded(const std::function<void()>& work) const
{
    return BoundedChild::RunInChild(work, m_probeLimit, [] { EventPump::YieldToWindows(); });
}

// Some damaged archives crash the library while it opens them (a RAR5 main
// header with a nameless metadata record, for one). A copy of the program
// tries first, so such an archive costs a line in the log, not the program.
// The open error that says why the trial failed, or 0.
qint32 ArchiveSession::trialOpenFailure(const RAROpenArchiveData& data) const
{
    const auto outcome = runBounded([trial = data]() mutable {
        ArchiveHandle probe(RAROpenArchive(&trial));
        RARHeaderDataEx header{};
        if (probe && trial.OpenResult == ERAR_SUCCESS)
            RARReadHeaderEx(probe.get(), &header);
    });
    return failureCode(outcome, ResultMessages::LibraryFailure);
}

// libunrar 6.2.6 decrypts an entry whose header failed its check even when it
// refused that header's key settings, with a key schedule it never set up, and
// reads far out of bounds. A copy of the program walks every header first: when
// one is damaged, or the walk crashes or hangs, nothing of the archive is
// decrypted. Why not, or 0.
qint32 ArchiveSession::decryptionRefusal()
{
    if (!m_headerWalk) {
        m_headerWalk =
            runBounded([name = m_baArchive, password = RunState::instance().CurrentPassword.toUtf8()]() mutable {
                RAROpenArchiveData walk{};
                walk.ArcName = name.data();
                walk.OpenMode = RAR_OM_LIST;
                ArchiveHandle archive(RAROpenArchive(&walk));
                if (!archive || walk.OpenResult != ERAR_SUCCESS)
                    return; // the run itself reports what keeps the archive from opening
                RARSetPassword(archive.get(), password.data());
                RARHeaderDataEx header{};
                int result;
                while ((result = RARReadHeaderEx(archive.get(), &header)) == ERAR_SUCCESS &&
                       RARProcessFile(archive.get(), RAR_SKIP, nullptr, nullptr) == ERAR_SUCCESS) {
                }
                // The library owns up to a damaged header only at the end of the archive.
                if (result == ERAR_BAD_DATA)
                    ::_exit(1);
            });
    }
    return failureCode(*m_headerWalk, ResultMessages::DamagedEncryptedEntry);
}

bool ArchiveSession::needsPassword(ArchiveHandle& archive)
{
    std::memset(m_header.get(), 0, sizeof(RARHeaderDataEx));
    const int read = readHeader(archive);
    // Encrypted headers cannot be read without the password: older libraries
    // said "unknown", today's say "missing password".
    if (read == ERAR_UNKNOWN || read == ERAR_MISSING_PASSWORD)
        return true;
    return read == ERAR_SUCCESS && (m_header->Flags & RHDF_ENCRYPTED) != 0;
}

// A wrong password for encrypted headers fails this very read; it is reported
// like a wrong password on an entry, before anything else is asked.
bool ArchiveSession::readFirstHeaderAgain(ArchiveHandle& archive, const QString& strRarFile, int& readResult)
{
    std::memset(m_header.get(), 0, sizeof(RARHeaderDataEx));
    readResult = readHeader(archive);
    const bool passwordRefused = readResult == ERAR_BAD_PASSWORD || readResult == ERAR_MISSING_PASSWORD ||
                                 (readResult == ERAR_BAD_DATA && blnPasswordInvolved);
    if (!passwordRefused)
        return true;
    reportFailedEntry(readResult, strRarFile);
    return false;
}

bool ArchiveSession::destinationFolder(const QString& strRarFile, QString& folder)
{
    switch (EnsureExtractFolder()) {
    case FolderChoice::Cancelled:
        emit cancelled();
        return false;
    case FolderChoice::Failed:
        return false;
    case FolderChoice::Go:
        break;
    }
    const RunState& run = RunState::instance();
    folder = run.ExtractFolder;
    if (!run.CreateFolderPerArchive)
        return true;
    folder = run.ExtractFolder + PathText::fileNameOf(strRarFile, false);
    if (makeOneLevel(folder))
        return true;
    RaiseProcessError(ERAR_ECREATE, folder);
    return false;
}

ArchiveSession::FolderChoice ArchiveSession::EnsureExtractFolder()
{
    RunState& run = RunState::instance();
    EventPump::YieldToWindows();
    if (run.UseFolderForAll)
        return FolderChoice::Go;
    const ExtractionPrompts::Folder chosen = m_prompts.askExtractFolder();
    if (chosen.cancelled)
        return FolderChoice::Cancelled;
    if (chosen.useForAll)
        run.UseFolderForAll = true;
    if (chosen.folderPerArchive)
        run.CreateFolderPerArchive = true;
    run.ExtractFolder = chosen.folder;
    if (makeOneLevel(run.ExtractFolder))
        return FolderChoice::Go;
    RaiseProcessError(ERAR_ECREATE, run.ExtractFolder);
    return FolderChoice::Failed;
}

QString ArchiveSession::AskPassword()
{
    const ExtractionPrompts::Password given = m_prompts.askPassword();
    RunState::instance().UsePasswordForAll = given.useForAll;
    return given.password;
}

void ArchiveSession::reportComment(const RAROpenArchiveData& data, const QString& strRarFile, const QByteArray& comment)
{
    if (data.CmtState == 0)
        return;
    QString file = strRarFile;
    if (data.CmtState != 1) {
        RaiseCommentError(static_cast<qint32>(data.CmtState), strRarFile);
        return;
    }
    QString text =
        QString::fromUtf8(comment.constData(), static_cast<qsizetype>(strnlen(comment.constData(), comment.size())));
    emit CommentFound(file, text);
}

void ArchiveSession::startNewFile(const QString& strEntry)
{
    dblFileSize = sizeFromHalves(m_header->UnpSizeHigh, m_header->UnpSize);
    dblExtracted = 0;
    intNextProgress = 0;
    EventPump::YieldToWindows();
    QString name = strEntry;
    // The zone is looked up once: local time from scratch reads the system's
    // zone file again for every entry.
    static const QTimeZone zone = QTimeZone::systemTimeZone();
    QDateTime now = QDateTime::currentDateTimeUtc().toTimeZone(zone);
    qint16 major = static_cast<qint16>(m_header->UnpVer / 10);
    qint16 minor = static_cast<qint16>(m_header->UnpVer % 10);
    qint32 method = static_cast<qint32>(m_header->Method);
    qint32 attributes = static_cast<qint32>(m_header->FileAttr);
    emit ProcessingFile(name, dblFileSize, now, major, minor, method, attributes);
    EventPump::YieldToWindows();
}

int ArchiveSession::processEntry(ArchiveHandle& archive, int intMode, const ExtractFolder& folder, bool& blnCancelled)
{
    if (intMode == List)
        return RARProcessFile(archive.get(), RAR_SKIP, nullptr, nullptr);
    if ((m_header->Flags & RHDF_ENCRYPTED) != 0) {
        if (const qint32 refusal = decryptionRefusal(); refusal != 0)
            return refusal;
    }
    if (intMode == Test)
        return RARProcessFile(archive.get(), RAR_TEST, nullptr, nullptr);

    const QByteArray stored = fieldBytes(m_header->FileName);
    const EntryPath::Check check = EntryPath::CheckName(folder, stored);
    if (const qint32 refusal = refusalFor(folder, check.verdict); refusal != 0)
        return refuseEntry(archive, refusal, entryName(stored));

    // The library would wait for ever on a pipe, or write to a device.
    if (check.place == ExtractFolder::Place::Other)
        return refuseEntry(archive, ResultMessages::SpecialFileInPlace, entryName(stored));
    const QByteArray target = folder.path() + '/' + EntryPath::CleanedName(stored);
    if (check.place == ExtractFolder::Place::File || check.place == ExtractFolder::Place::Link) {
        switch (askAboutExistingFile(entryName(stored))) {
        case ExtractionPrompts::Overwrite::Cancel:
            blnCancelled = true;
            return EntryNotProcessed;
        case ExtractionPrompts::Overwrite::Skip: {
            const int result = RARProcessFile(archive.get(), RAR_SKIP, nullptr, nullptr);
            emit fileskipped();
            return result;
        }
        case ExtractionPrompts::Overwrite::Overwrite:
            makeRoomFor(target, check.place);
            break;
        }
    }
    EventPump::YieldToWindows();
    QByteArray destination = folder.path();
    const int result = RARProcessFile(archive.get(), RAR_EXTRACT, destination.data(), nullptr);
    EventPump::YieldToWindows();
    if (result == ERAR_SUCCESS && !linkMadeSafely(folder.path(), target))
        reportRefusal(ResultMessages::UnsafeEntry, entryName(stored));
    return result;
}

// Why an entry must not reach the library, or 0. The library would write
// through links already in the folder, make links and copies that reach out of
// it through them, and give an empty name the folder itself, permissions and all.
qint32 ArchiveSession::refusalFor(const ExtractFolder& folder, EntryPath::Verdict verdict) const
{
    switch (verdict) {
    case EntryPath::Verdict::TooLong:
        return ResultMessages::NameTooLong;
    case EntryPath::Verdict::Unsafe:
        return ResultMessages::UnsafeEntry;
    case EntryPath::Verdict::Safe:
        break;
    }
    switch (m_header->RedirType) {
    case EntryPath::RedirWindowsSymlink:
    case EntryPath::RedirJunction:
        return ResultMessages::UnsafeEntry; // Windows links have no meaning here
    case EntryPath::RedirHardLink:
    case EntryPath::RedirFileCopy:
        return EntryPath::TargetUsable(folder, redirTarget()) ? 0 : ResultMessages::UnsafeEntry;
    default:
        return 0;
    }
}

QByteArray ArchiveSession::redirTarget() const
{
    const size_t length = wcsnlen(m_redirTarget.data(), RedirBufferSize);
    return QString::fromWCharArray(m_redirTarget.data(), static_cast<qsizetype>(length)).toUtf8();
}

// The library reports success for links it declined to make; a symbolic link
// it made must not lead out of the folder, not even through another link.
bool ArchiveSession::linkMadeSafely(const QByteArray& baFolder, const QByteArray& baTarget) const
{
    struct stat st;
    switch (m_header->RedirType) {
    case EntryPath::RedirHardLink:
        return lstatPath(baTarget, st);
    case EntryPath::RedirUnixSymlink:
        if (!lstatPath(baTarget, st) || !S_ISLNK(st.st_mode))
            return false;
        if (EntryPath::ResolvesInside(baFolder, baTarget))
            return true;
        ::unlink(baTarget.constData());
        return false;
    default:
        return true;
    }
}

int ArchiveSession::refuseEntry(ArchiveHandle& archive, qint32 lngCode, const QString& strEntry)
{
    const int result = RARProcessFile(archive.get(), RAR_SKIP, nullptr, nullptr);
    reportRefusal(lngCode, strEntry);
    return result;
}

// The entry is left out and the archive goes on: one line in the log, and
// the entry is not counted as extracted.
void ArchiveSession::reportRefusal(qint32 lngCode, const QString& strEntry)
{
    m_strRefusedEntry = strEntry;
    RaiseProcessError(lngCode, strEntry);
}

ExtractionPrompts::Overwrite ArchiveSession::askAboutExistingFile(const QString& strName)
{
    RunState& run = RunState::instance();
    if (!run.OverwriteForAll) {
        const ExtractionPrompts::OverwriteAnswer answer = m_prompts.askOverwrite(PathText::displayText(strName));
        run.OverwriteAnswer = answer.choice;
        run.OverwriteForAll = answer.forAll;
    }
    return run.OverwriteAnswer;
}

bool ArchiveSession::reportFailedEntry(int result, const QString& strEntry)
{
    if (RunState::instance().CurrentPassword.isEmpty() && blnPasswordInvolved)
        result = ResultMessages::NoPasswordSupplied;
    RaiseProcessError(result, strEntry);
    return false;
}

void ArchiveSession::ReportProgress(qint32 lngBytes)
{
    EventPump::YieldToWindows();
    dblExtracted += lngBytes;
    if (dblFileSize == 0)
        return;
    const int percentage = toInt16(std::nearbyint(dblExtracted / dblFileSize * 100.0));
    if (percentage > intNextProgress + m_intProgressSteps) {
        emit Progress(dblFileSize, dblExtracted);
        intNextProgress = toInt16(intNextProgress + m_intProgressSteps);
    }
}

bool ArchiveSession::RaiseNextVolume(const QString& strVolume)
{
    QString name = strVolume;
    bool blnContinue = false;
    emit NextVolumne(name, blnContinue);
    return blnContinue;
}

QString ArchiveSession::RaiseMissingFile(const QString& strVolume)
{
    QString name = strVolume;
    QString strNewFilename;
    emit MissingFile(name, strNewFilename);
    return strNewFilename;
}

QString ArchiveSession::RequestPassword()
{
    blnPasswordInvolved = true;
    const QString password = AskPassword();
    QString eventCopy = password;
    emit MissingPassword(eventCopy);
    return password;
}

void ArchiveSession::RaiseEmptyPassword()
{
    emit EmptyPassword();
}

void ArchiveSession::RaiseGotPassword(const QString& strPassword, bool& blnUseForAll)
{
    QString pw = strPassword;
    emit gotpw(pw, blnUseForAll);
}

void ArchiveSession::RaiseOpenError(qint32 lngCode, const QString& strFileName)
{
    m_strLastErrorMsg = ResultMessages::OpenErrorMessage(lngCode);
    QString message = m_strLastErrorMsg;
    QString file = strFileName;
    emit OpenError(lngCode, message, file);
}

void ArchiveSession::RaiseProcessError(qint32 lngCode, const QString& strFileName)
{
    m_strLastErrorMsg = ResultMessages::ProcessErrorMessage(lngCode, blnPasswordInvolved);
    QString message = m_strLastErrorMsg;
    QString file = strFileName;
    emit ProcessError(lngCode, message, file);
}

void ArchiveSession::RaiseCommentError(qint32 lngCode, const QString& strFileName)
{
    m_strLastErrorMsg = ResultMessages::CommentErrorMessage(lngCode);
    QString message = m_strLastErrorMsg;
    QString file = strFileName;
    emit CommentError(lngCode, message, file);
}

// The program's own errors are raised first and recorded after, and their two
// texts may differ.
void ArchiveSession::raiseProgramError(qint32 lngCode, const QString& strEventMessage, const QString& strLastMessage,
                                       const QString& strFileName)
{
    QString message = strEventMessage;
    QString file = strFileName;
    emit ProcessError(lngCode, message, file);
    m_strLastErrorMsg = strLastMessage;
}
