#pragma once

#include "core/archive/EntryPath.h"
#include "core/archive/ExtractionPrompts.h"
#include "core/archive/UnrarCallback.h"
#include "core/util/BoundedChild.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class ArchiveHandle;
struct RARHeaderDataEx;
struct RAROpenArchiveData;

// Opens one RAR archive at a time through the UnRAR library, walks its entries
// and lists, tests or extracts them, reporting everything through its signals.
// It asks for the destination, a password and what to do with existing files
// through ExtractionPrompts, and waits for the answers on its own thread.
//
// Every signal argument is a reference to the session's own value: connect
// handlers directly (the default within one thread) and they can answer
// through blnContinue, strNewFilename and useforall.
class ArchiveSession : public QObject
{
    Q_OBJECT

public:
    // Program's own processing codes next to the library's.
    static constexpr int ListArrayTooSmall = 5000;
    static constexpr int EntryNotProcessed = 5002;

    // prompts: answers the session's questions; it must outlive the session.
    explicit ArchiveSession(ExtractionPrompts& prompts, QObject* parent = nullptr);
    ~ArchiveSession() override;

    static double LongToUnsigned(qint32 lngValue);

    // Names go into the caller's list at 0, 1, 2, … (one per file); its size is
    // its capacity, and a list of one place is refused.
    bool ListRarFiles(const QString& strRarFile, QStringList& arrstrFilenames, const QString& strPassword = {});
    bool TestRarFiles(const QString& strRarFile, const QString& strPassword = {});
    // Extracts into the run's extract folder; strDestPath and strPassword are not
    // used (the folder and password come from the prompts and the run state).
    bool ExtractRarFiles(const QString& strRarFile, const QString& strDestPath = {}, const QString& strPassword = {});

    // How long the library may take, in a copy of the program, to open an
    // archive or walk its headers before the archive counts as unreadable.
    void setProbeLimit(std::chrono::milliseconds limit) { m_probeLimit = limit; }

    qint16 intProgressSteps() const { return m_intProgressSteps; }
    void setIntProgressSteps(qint16 value) { m_intProgressSteps = value; }
    QString strLastErrorMsg() const { return m_strLastErrorMsg; }

    // Reached from the library callback while an operation runs.
    void ReportProgress(qint32 lngBytes);
    bool RaiseNextVolume(const QString& strVolume);
    QString RaiseMissingFile(const QString& strVolume);
    QString RequestPassword();
    void RaiseEmptyPassword();
    void RaiseGotPassword(const QString& strPassword, bool& blnUseForAll);

signals:
    void OpenError(qint32& lngErrorNo, QString& strErrorMsg, QString& strFileName);
    void ProcessError(qint32& lngErrorNo, QString& strErrorMsg, QString& strFileName);
    void CommentError(qint32& lngErrorNo, QString& strErrorMsg, QString& strFileName);
    void CommentFound(QString& strFileName, QString& strComment);
    void ProcessingFile(QString& strFileName, double& dblFileSize, QDateTime& datFileTime, qint16& intMajorVer,
                        qint16& intMinorVer, qint32& lngPackingMethod, qint32& lngFileAttr);
    // blnContinue arrives false; a handler must set it true to go on to a new volume.
    void NextVolumne(QString& strFileName, bool& blnContinue);
    // The library cannot find a volume; a handler may name another file.
    void MissingFile(QString& strFileName, QString& strNewFilename);
    void MissingPassword(QString& strNewPassword);
    void Progress(double& dblFileSize, double& dblExtracted);
    void cancelled();
    void EmptyPassword();
    void fileskipped();
    // Never raised: a wrong password shows as a processing error.
    void wrongpw();
    // useforall is the run's UsePasswordForAll itself.
    void gotpw(QString& pw, bool& useforall);

private:
    enum Mode
    {
        Extract = 0,
        Test = 1,
        List = 2
    };
    enum class FolderChoice
    {
        Go,
        Cancelled,
        Failed
    };

    bool ProcessRarFiles(const QString& strRarFile, int intMode, QStringList* arrstrFilenames);
    FolderChoice EnsureExtractFolder();
    QString AskPassword();
    BoundedChild::Outcome runBounded(const std::function<void()>& work) const;
    qint32 trialOpenFailure(const RAROpenArchiveData& data) const;
    qint32 decryptionRefusal();
    bool needsPassword(ArchiveHandle& archive);
    bool readFirstHeaderAgain(ArchiveHandle& archive, const QString& strRarFile, int& readResult);
    bool destinationFolder(const QString& strRarFile, QString& folder);
    void reportComment(const RAROpenArchiveData& data, const QString& strRarFile, const QByteArray& comment);
    void startNewFile(const QString& strEntry);
    ExtractionPrompts::Overwrite askAboutExistingFile(const QString& strName);
    int readHeader(ArchiveHandle& archive);
    int processEntry(ArchiveHandle& archive, int intMode, const ExtractFolder& folder, bool& blnCancelled);
    qint32 refusalFor(const ExtractFolder& folder, EntryPath::Verdict verdict) const;
    QByteArray redirTarget() const;
    bool linkMadeSafely(const QByteArray& baFolder, const QByteArray& baTarget) const;
    int refuseEntry(ArchiveHandle& archive, qint32 lngCode, const QString& strEntry);
    void reportRefusal(qint32 lngCode, const QString& strEntry);
    bool reportFailedEntry(int result, const QString& strEntry);

    void RaiseOpenError(qint32 lngCode, const QString& strFileName);
    void RaiseProcessError(qint32 lngCode, const QString& strFileName);
    void RaiseCommentError(qint32 lngCode, const QString& strFileName);
    void raiseProgramError(qint32 lngCode, const QString& strEventMessage, const QString& strLastMessage,
                           const QString& strFileName);

    ExtractionPrompts& m_prompts;
    std::unique_ptr<RARHeaderDataEx> m_header;
    std::vector<wchar_t> m_redirTarget;
    // The last entry left out, whose parts in later volumes are passed over.
    QString m_strRefusedEntry;
    // The archive being processed, and how the walk over its headers went that
    // decides whether its encrypted entries may be decrypted (made once, at
    // the first of them).
    QByteArray m_baArchive;
    std::optional<BoundedChild::Outcome> m_headerWalk;
    double dblFileSize = 0;
    double dblExtracted = 0;
    qint16 intNextProgress = 0;
    bool blnPasswordInvolved = false;
    qint16 m_intProgressSteps = 4;
    std::chrono::milliseconds m_probeLimit = std::chrono::seconds(20);
    QString m_strLastErrorMsg;
};
