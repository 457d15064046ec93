#include "core/update/Downloader.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <limits>

namespace {

// An error page's body is not the resource that was asked for.
bool isErrorStatus(const QNetworkReply* reply)
{
    return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() >= 400;
}

// The largest count or duration the 32-bit fields can hold.
constexpr qint64 Max32 = std::numeric_limits<qint32>::max();

} // namespace

Downloader::Downloader(QObject* parent)
    : QObject(parent)
    , m_manager(new QNetworkAccessManager(this))
{}

Downloader::~Downloader()
{
    dropReply();
}

void Downloader::DownloadStart(const QString& URL, qint32 Mode)
{
    if (URL.isEmpty())
        return;
    // The replaced request ends without an event: its owner asked for the new one.
    dropReply();
    lngDuration = 0;
    m_blnFresh = true;
    m_startTick.start();

    QNetworkRequest request{QUrl(URL)};
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         (Mode & ForceUpdate) ? QNetworkRequest::AlwaysNetwork : QNetworkRequest::PreferNetwork);
    // Without it a server that accepts and never answers would keep Busy for ever.
    request.setTransferTimeout(m_timeoutMs);
    m_reply = m_manager->get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, &Downloader::reply_readyRead);
    connect(m_reply, &QNetworkReply::finished, this, &Downloader::reply_finished);
}

void Downloader::DownloadCancel()
{
    if (m_reply)
        m_reply->abort();
}

bool Downloader::SaveAs(const QString& FileName)
{
    if (lngByteCount == 0)
        return false;
    QFile::remove(FileName);
    // NewOnly: whatever appears at the name after the removal is never written through.
    QFile file(FileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    bool blnSaved = file.write(bytData) == bytData.size() && file.flush();
    file.close();
    blnSaved = blnSaved && file.error() == QFileDevice::NoError;
    if (!blnSaved)
        file.remove();
    return blnSaved;
}

bool Downloader::takeData(QNetworkReply* reply)
{
    if (m_blnFresh)
        bytData.clear();
    m_blnFresh = false;
    bytData += reply->readAll();
    lngByteCount = static_cast<qint32>(qMin<qsizetype>(bytData.size(), Max32));
    return bytData.size() <= Max32;
}

void Downloader::reply_readyRead()
{
    if (isErrorStatus(m_reply))
        return;
    // More than the byte count can tell is no download we can hand on.
    if (!takeData(m_reply)) {
        m_reply->abort();
        return;
    }
    emit DownloadProgress(lngByteCount);
}

void Downloader::reply_finished()
{
    lngDuration = static_cast<qint32>(qMin<qint64>(m_startTick.elapsed(), Max32));
    m_startTick.invalidate();
    // Taken out first: the owner's handler may start the next download at once.
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    reply->deleteLater();

    if (reply->error() == QNetworkReply::NoError && takeData(reply)) {
        emit DownloadComplete(lngByteCount);
        return;
    }
    lngByteCount = 0;
    emit DownloadFailed(reply->error(), reply->errorString());
}

void Downloader::dropReply()
{
    if (!m_reply)
        return;
    disconnect(m_reply, nullptr, this, nullptr);
    m_reply->abort();
    m_reply->deleteLater();
    m_reply = nullptr;
}
