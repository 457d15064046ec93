#pragma once

#include "core/archive/EntryExtractor.h"
#include "core/archive/EntryHeader.h"
#include "core/archive/ExtractDestination.h"
#include "core/archive/ExtractionPrompts.h"
#include "core/archive/LibraryProbe.h"
#include "core/archive/UnrarCallback.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <chrono>

class ArchiveHandle;
class ExtractFolder;
struct RAROpenArchiveData;
struct RunState;

// Opens one RAR archive at a time through the UnRAR library, walks its entries
// and lists, tests or extracts them, reporting everything through its signals.
// It asks for the destination, a password and what to do with existing files
// through ExtractionPrompts, and waits for the answers on its own thread.
// What holds for the whole run (the folder, the password, the answers given
// for all) lives in the run's RunState.
//
// Every signal argument is a reference to the session's own value: connect
// handlers directly (the default within one thread) and they can answer
// through goOn and replacement.
class ArchiveSession : public QObject, public UnrarCallback::Listener
{
    Q_OBJECT

public:
    // prompts and run must outlive the session.
    ArchiveSession(ExtractionPrompts& prompts, RunState& run, QObject* parent = nullptr);
    ~ArchiveSession() override;

    // The value itself if it is 0 or more, else value + 2^32.
    static double longToUnsigned(qint32 value);

    // Names go into the caller's list at 0, 1, 2, … (one per file); its size is
    // its capacity, and a list of one place is refused.
    bool listArchive(const QString& archivePath, QStringList& names, const QString& password = {});
    bool testArchive(const QString& archivePath, const QString& password = {});
    // Extracts into the run's extract folder; destination and password are not
    // used (the folder and password come from the prompts and the run state).
    bool extractArchive(const QString& archivePath, const QString& destination = {}, const QString& password = {});

    void setProbeLimit(std::chrono::milliseconds limit) { m_probe.setLimit(limit); }

    qint16 progressSteps() const { return m_progressSteps; }
    void setProgressSteps(qint16 steps) { m_progressSteps = steps; }
    QString lastErrorMessage() const { return m_lastErrorMessage; }

    // Reached from the library callback while an operation runs.
    void reportProgress(qint32 bytes) override;
    bool announceVolume(const QString& volume) override;
    QString askForMissingVolume(const QString& volume) override;
    QString requestPassword() override;
    void reportEmptyPassword() override;
    void acceptPassword(const QString& password) override;

signals:
    void openError(qint32& code, QString& message, QString& fileName);
    void processError(qint32& code, QString& message, QString& fileName);
    void commentError(qint32& code, QString& message, QString& fileName);
    void commentFound(QString& fileName, QString& comment);
    void processingFile(QString& fileName, double& fileSize, QDateTime& fileTime, qint16& majorVersion,
                        qint16& minorVersion, qint32& packingMethod, qint32& attributes);
    // goOn arrives false; a handler must set it true to go on to a new volume.
    void nextVolume(QString& fileName, bool& goOn);
    // The library cannot find a volume; a handler may name another file.
    void missingFile(QString& fileName, QString& replacement);
    void missingPassword(QString& password);
    void progress(double& fileSize, double& extracted);
    void cancelled();
    void emptyPassword();
    void fileSkipped();
    // Never raised: a wrong password shows as a processing error.
    void wrongPassword();
    // useForAll is the run's usePasswordForAll itself.
    void passwordAccepted(QString& password, bool& useForAll);

private:
    enum Mode
    {
        Extract = 0,
        Test = 1,
        List = 2
    };
    bool processArchive(const QString& archivePath, Mode mode, QStringList* names);
    bool openWithPassword(const QString& archivePath, RAROpenArchiveData& data, ArchiveHandle& archive);
    bool walkEntries(ArchiveHandle& archive, Mode mode, const ExtractFolder& destination, const QString& folder,
                     int readResult, QStringList* names);
    bool listEntry(const QString& entry, QStringList& names, qsizetype& listed);
    bool reopen(const QString& archivePath, RAROpenArchiveData& data, ArchiveHandle& archive);
    QString askPassword();
    bool needsPassword(ArchiveHandle& archive);
    bool readFirstHeaderAgain(ArchiveHandle& archive, const QString& archivePath, int& readResult);
    bool destinationFolder(const QString& archivePath, QString& folder);
    void reportComment(const RAROpenArchiveData& data, const QString& archivePath, const QByteArray& comment);
    void startNewFile(const QString& entry);
    int processEntry(ArchiveHandle& archive, Mode mode, const ExtractFolder& folder, bool& cancelled);
    int extractEntry(ArchiveHandle& archive, const ExtractFolder& folder, bool& cancelled);
    void reportRefusal(qint32 code, const QString& entry);
    bool reportFailedEntry(int result, const QString& entry);

    using ErrorSignal = void (ArchiveSession::*)(qint32&, QString&, QString&);
    void raiseError(ErrorSignal signal, qint32 code, const QString& message, const QString& fileName);
    void raiseOpenError(qint32 code, const QString& fileName);
    void raiseProcessError(qint32 code, const QString& fileName);
    void raiseProgramError(qint32 code, const QString& eventMessage, const QString& lastMessage,
                           const QString& fileName);

    ExtractionPrompts& m_prompts;
    RunState& m_run;
    LibraryProbe m_probe;
    EntryHeader m_header;
    EntryExtractor m_extractor;
    ExtractDestination m_destination;
    // The last entry left out, whose parts in later volumes are passed over.
    QString m_refusedEntry;
    // The archive being processed, as the library is given it.
    QByteArray m_archive;
    double m_fileSize = 0;
    double m_extracted = 0;
    qint16 m_nextProgress = 0;
    bool m_passwordInvolved = false;
    qint16 m_progressSteps = 4;
    QString m_lastErrorMessage;
};
