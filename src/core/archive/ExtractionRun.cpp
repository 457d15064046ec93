#include "core/archive/ExtractionRun.h"

#include "core/archive/EventPump.h"
#include "core/util/PathText.h"

#include <cmath>

ExtractionRun::ExtractionRun(ExtractionPrompts& prompts, QObject* parent)
    : QObject(parent)
    , m_session(prompts, m_state, this)
{
    connect(&m_session, &ArchiveSession::openError, this, &ExtractionRun::onOpenError);
    connect(&m_session, &ArchiveSession::processError, this, &ExtractionRun::onProcessError);
    connect(&m_session, &ArchiveSession::commentError, this, &ExtractionRun::onCommentError);
    connect(&m_session, &ArchiveSession::processingFile, this,
            [this](QString& name, double& size, QDateTime&, qint16&, qint16&, qint32&, qint32&) {
                onProcessingFile(name, size);
            });
    connect(&m_session, &ArchiveSession::progress, this, &ExtractionRun::onProgress);
    connect(&m_session, &ArchiveSession::nextVolume, this, &ExtractionRun::onNextVolume);
    connect(&m_session, &ArchiveSession::missingFile, this, &ExtractionRun::onMissingFile);
    connect(&m_session, &ArchiveSession::missingPassword, this, [](QString& password) { password.clear(); });
    connect(&m_session, &ArchiveSession::cancelled, this, [this] { m_cancelled = true; });
    connect(&m_session, &ArchiveSession::emptyPassword, this,
            [this] { logError(QStringLiteral("No password supplied.")); });
    connect(&m_session, &ArchiveSession::fileSkipped, this, &ExtractionRun::uncountFile);
}

void ExtractionRun::extract(const QStringList& archives)
{
    begin();
    for (const QString& archive : archives) {
        EventPump::serve();
        if (!m_state.usePasswordForAll)
            m_state.password.clear();
        // A path that does not exist has no long form; the session is given
        // the path itself so that its error names the file.
        const QString longPath = PathText::absoluteExisting(archive);
        const bool ok = m_session.extractArchive(longPath.isEmpty() ? archive : longPath, QString(), m_state.password);
        if (m_cancelled) {
            logError(QStringLiteral("Operation cancelled. No extract folder selected."));
            break;
        }
        if (!ok) {
            logError(QStringLiteral("Something went wrong. Wrong password?"));
            break;
        }
        emit volumeStarted(PathText::fileNameOf(archive, true));
    }
}

void ExtractionRun::setTarget(LaunchOptions::Target target, const QString& folder)
{
    m_state.target = target;
    m_state.targetFolder = folder;
}

// The folder and password answers of the last run do not carry over; the
// choice to open the folder at the end does, until the user answers again.
void ExtractionRun::begin()
{
    m_volumeCount = 0;
    m_fileCount = 0;
    m_countedFile = QString();
    m_cancelled = false;
    m_errorsLogged = false;
    m_state.password.clear();
    m_state.extractFolder.clear();
    m_state.folderPerArchive = false;
    m_state.useFolderForAll = false;
    m_state.usePasswordForAll = false;
}

void ExtractionRun::logError(const QString& line)
{
    emit errorLogged(line);
    m_errorsLogged = true;
}

void ExtractionRun::uncountFile()
{
    if (m_countedFile.isNull())
        return;
    --m_fileCount;
    m_countedFile = QString();
}

void ExtractionRun::onOpenError(qint32&, QString& message, QString& fileName)
{
    logError(QStringLiteral("Error Opening File: ") + fileName + QStringLiteral(" - ") + message);
}

void ExtractionRun::onProcessError(qint32&, QString& message, QString& fileName)
{
    logError(QStringLiteral("Error Processing File: ") + fileName + QStringLiteral(" - ") + message);
    // Only the entry being extracted is taken off the count; a folder or an
    // archive that fails was never counted.
    if (fileName == m_countedFile)
        uncountFile();
}

// A comment that cannot be read is worth a line, not an interruption.
void ExtractionRun::onCommentError(qint32&, QString& message, QString& fileName)
{
    emit errorLogged(QStringLiteral("Comment Error: ") + fileName + QStringLiteral(" - ") + message);
}

void ExtractionRun::onProcessingFile(QString& fileName, double& fileSize)
{
    EventPump::serve();
    emit fileStarted(fileName, fileSize);
    EventPump::serve();
    emit progressed(0);
    ++m_fileCount;
    m_countedFile = fileName;
}

// A share past 100 % (a header that understates the size) stays on a full bar.
void ExtractionRun::onProgress(double& fileSize, double& extracted)
{
    EventPump::serve();
    const double share = fileSize > 0 ? extracted / fileSize * 100.0 : 0.0;
    emit progressed(static_cast<int>(std::clamp(std::round(share), 0.0, 100.0)));
    EventPump::serve();
}

void ExtractionRun::onNextVolume(QString& fileName, bool& goOn)
{
    EventPump::serve();
    emit volumeStarted(PathText::fileNameOf(fileName, true));
    ++m_volumeCount;
    goOn = true;
}

void ExtractionRun::onMissingFile(QString& fileName, QString& replacement)
{
    logError(QStringLiteral("Missing File: ") + fileName);
    replacement.clear();
}
