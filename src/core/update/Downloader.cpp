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

void Downloader::start(const QString& url, qint32 mode)
{
    if (url.isEmpty())
        return;
    // The replaced request ends without an event: its owner asked for the new one.
    dropReply();
    m_duration = 0;
    m_fresh = true;
    m_startTick.start();

    QNetworkRequest request{QUrl(url)};
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         (mode & ForceUpdate) ? QNetworkRequest::AlwaysNetwork : QNetworkRequest::PreferNetwork);
    // Without it a server that accepts and never answers would keep the download busy for ever.
    request.setTransferTimeout(m_timeoutMs);
    m_reply = m_manager->get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, &Downloader::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &Downloader::onFinished);
}

void Downloader::cancel()
{
    if (m_reply)
        m_reply->abort();
}

bool Downloader::saveAs(const QString& fileName)
{
    if (m_byteCount == 0)
        return false;
    QFile::remove(fileName);
    // NewOnly: whatever appears at the name after the removal is never written through.
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    bool saved = file.write(m_data) == m_data.size() && file.flush();
    file.close();
    saved = saved && file.error() == QFileDevice::NoError;
    if (!saved)
        file.remove();
    return saved;
}

bool Downloader::takeData(QNetworkReply* reply)
{
    if (m_fresh)
        m_data.clear();
    m_fresh = false;
    m_data += reply->readAll();
    m_byteCount = static_cast<qint32>(qMin<qsizetype>(m_data.size(), Max32));
    return m_data.size() <= Max32;
}

void Downloader::onReadyRead()
{
    if (isErrorStatus(m_reply))
        return;
    // More than the byte count can tell is no download we can hand on.
    if (!takeData(m_reply)) {
        m_reply->abort();
        return;
    }
    emit progress(m_byteCount);
}

void Downloader::onFinished()
{
    m_duration = static_cast<qint32>(qMin<qint64>(m_startTick.elapsed(), Max32));
    m_startTick.invalidate();
    // Taken out first: the owner's handler may start the next download at once.
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    reply->deleteLater();

    if (reply->error() == QNetworkReply::NoError && takeData(reply)) {
        emit completed(m_byteCount);
        return;
    }
    m_byteCount = 0;
    emit failed(reply->error(), reply->errorString());
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
