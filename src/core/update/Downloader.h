#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

class QNetworkAccessManager;
class QNetworkReply;

// Fetches one URL into memory in the background and tells its owner when the
// data has arrived or the fetch failed; the bytes can then be written to a file.
// One download at a time: a new start replaces the running one.
class Downloader : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool Busy READ Busy)
    Q_PROPERTY(QByteArray Bytes READ Bytes)
    Q_PROPERTY(qint32 Duration READ Duration)

public:
    // Read mode that always asks the server, never a cached copy.
    static constexpr qint32 ForceUpdate = 16;
    // A server silent for this long fails the download.
    static constexpr int DefaultTimeoutMs = 30000;

    explicit Downloader(QObject* parent = nullptr);
    ~Downloader() override;

    bool Busy() const { return m_startTick.isValid(); }
    QByteArray Bytes() const { return bytData; }
    // Milliseconds the last download took; 0 while one runs.
    qint32 Duration() const { return lngDuration; }

    // Does nothing for an empty URL.
    void DownloadStart(const QString& URL, qint32 Mode = 0);
    // The running download ends as DownloadFailed.
    void DownloadCancel();
    // Writes exactly the received bytes; false when there are none or the file
    // cannot be written.
    bool SaveAs(const QString& FileName);

    // How long the server may stay silent before a download fails.
    void setTimeout(int intMilliseconds) { m_timeoutMs = intMilliseconds; }

signals:
    void DownloadComplete(qint32 nBytes);
    void DownloadFailed(qint32 ErrNum, const QString& ErrDesc);
    void DownloadProgress(qint32 nBytes);

private:
    void reply_readyRead();
    void reply_finished();
    void dropReply();
    // Appends what the reply holds; false once that no longer fits a 32-bit count.
    bool takeData(QNetworkReply* reply);

    QNetworkAccessManager* m_manager;
    QPointer<QNetworkReply> m_reply;
    QElapsedTimer m_startTick;
    QByteArray bytData;
    qint32 lngByteCount = 0;
    qint32 lngDuration = 0;
    // The first data of a download replaces what the previous one left.
    bool m_blnFresh = false;
    int m_timeoutMs = DefaultTimeoutMs;
};
