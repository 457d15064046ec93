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
    Q_PROPERTY(bool busy READ isBusy)
    Q_PROPERTY(QByteArray bytes READ bytes)
    Q_PROPERTY(qint32 duration READ duration)

public:
    // Read mode that always asks the server, never a cached copy.
    static constexpr qint32 ForceUpdate = 16;
    // A server silent for this long fails the download.
    static constexpr int DefaultTimeoutMs = 30000;

    explicit Downloader(QObject* parent = nullptr);
    ~Downloader() override;

    bool isBusy() const { return m_startTick.isValid(); }
    QByteArray bytes() const { return m_data; }
    // Milliseconds the last download took; 0 while one runs.
    qint32 duration() const { return m_duration; }

    // Does nothing for an empty URL.
    void start(const QString& url, qint32 mode = 0);
    // The running download ends as failed.
    void cancel();
    // Writes exactly the received bytes; false when there are none or the file
    // cannot be written.
    bool saveAs(const QString& fileName);

    // How long the server may stay silent before a download fails.
    void setTimeout(int milliseconds) { m_timeoutMs = milliseconds; }

signals:
    void completed(qint32 byteCount);
    void failed(qint32 error, const QString& description);
    void progress(qint32 byteCount);

private:
    void onReadyRead();
    void onFinished();
    void dropReply();
    // Appends what the reply holds; false once that no longer fits a 32-bit count.
    bool takeData(QNetworkReply* reply);

    QNetworkAccessManager* m_manager;
    QPointer<QNetworkReply> m_reply;
    QElapsedTimer m_startTick;
    QByteArray m_data;
    qint32 m_byteCount = 0;
    qint32 m_duration = 0;
    // The first data of a download replaces what the previous one left.
    bool m_fresh = false;
    int m_timeoutMs = DefaultTimeoutMs;
};
