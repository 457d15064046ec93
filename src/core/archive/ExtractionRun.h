#pragma once

#include "core/archive/ArchiveSession.h"
#include "core/archive/RunState.h"

#include <QObject>
#include <QString>
#include <QStringList>

class ExtractionPrompts;

// One run over the archives a user handed over: it extracts them in order
// through one session, keeps what the user answered for the whole run, counts
// the files and volumes extracted and words the lines of the error log. The
// window that shows the run listens to its signals.
class ExtractionRun : public QObject
{
    Q_OBJECT

public:
    // prompts must outlive the run.
    explicit ExtractionRun(ExtractionPrompts& prompts, QObject* parent = nullptr);

    // Extracts each archive in order and returns when the run is over. The
    // first archive that is cancelled or fails ends the run.
    void extract(const QStringList& archives);
    // Runs from the command line ask for no folder; the target holds for
    // every run after this call.
    void setTarget(LaunchOptions::Target target, const QString& folder);

    qint32 fileCount() const { return m_fileCount; }
    qint32 volumeCount() const { return m_volumeCount; }
    // Whether anything went into the error log that the user must see.
    bool errorsLogged() const { return m_errorsLogged; }
    const RunState& state() const { return m_state; }
    ArchiveSession& session() { return m_session; }

signals:
    void volumeStarted(const QString& volumeName);
    void fileStarted(const QString& entryName, double size);
    void progressed(int percent);
    void errorLogged(const QString& line);

private:
    void begin();
    void logError(const QString& line);
    void uncountFile();

    void onOpenError(qint32& code, QString& message, QString& fileName);
    void onProcessError(qint32& code, QString& message, QString& fileName);
    void onCommentError(qint32& code, QString& message, QString& fileName);
    void onProcessingFile(QString& fileName, double& fileSize);
    void onProgress(double& fileSize, double& extracted);
    void onNextVolume(QString& fileName, bool& goOn);
    void onMissingFile(QString& fileName, QString& replacement);

    RunState m_state;
    ArchiveSession m_session;
    qint32 m_fileCount = 0;
    qint32 m_volumeCount = 0;
    bool m_errorsLogged = false;
    bool m_cancelled = false;
    // The entry last counted as extracted, until a failure or skip takes it back.
    QString m_countedFile;
};
