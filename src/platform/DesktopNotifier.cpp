#include "platform/DesktopNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString ObjectPath = QStringLiteral("/org/freedesktop/Notifications");
const QString OpenFolderAction = QStringLiteral("open-folder");

QDBusMessage serverCall(const QString& method)
{
    return QDBusMessage::createMethodCall(Service, ObjectPath, Service, method);
}

// Sends call without waiting and hands its reply to onReply, in context's thread.
template <typename Reply, typename Handler> void callAsync(const QDBusMessage& call, QObject* context, Handler onReply)
{
    auto* watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context, [watcher, onReply] {
        watcher->deleteLater();
        onReply(QDBusPendingReply<Reply>(*watcher));
    });
}

} // namespace

DesktopNotifier::DesktopNotifier(QObject* parent)
    : QObject(parent)
{}

void DesktopNotifier::notify(const QString& summary, const QString& body, const QString& folder)
{
    if (!QDBusConnection::sessionBus().isConnected()) {
        finishLater();
        return;
    }
    listenForAnswers();
    callAsync<QStringList>(serverCall(QStringLiteral("GetCapabilities")), this,
                           [this, summary, body, folder](const QDBusPendingReply<QStringList>& capabilities) {
                               if (capabilities.isError())
                                   emit finished();
                               else
                                   send(summary, body, folder, capabilities.value());
                           });
}

// Any sender counts: naming the server here would make Qt look its owner up
// with a blocking call. The notification ids tell ours apart.
void DesktopNotifier::listenForAnswers()
{
    if (m_listening)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.connect(QString(), ObjectPath, Service, QStringLiteral("ActionInvoked"), this,
                SLOT(onActionInvoked(uint, QString)));
    bus.connect(QString(), ObjectPath, Service, QStringLiteral("NotificationClosed"), this,
                SLOT(onNotificationClosed(uint)));
    m_listening = true;
}

void DesktopNotifier::send(const QString& summary, const QString& body, const QString& folder,
                           const QStringList& capabilities)
{
    QStringList actions;
    if (!folder.isEmpty() && capabilities.contains(QStringLiteral("actions")))
        actions << OpenFolderAction << QStringLiteral("Open folder");
    // A server that reads markup would take "&" or "<" in a file name for markup.
    const bool markup = capabilities.contains(QStringLiteral("body-markup"));
    QDBusMessage call = serverCall(QStringLiteral("Notify"));
    call << QStringLiteral("Zorvane") << 0u << QStringLiteral("zorvane") << summary
         << (markup ? body.toHtmlEscaped() : body) << actions
         << QVariantMap{{QStringLiteral("desktop-entry"), QStringLiteral("zorvane")}} << -1;
    ++m_pendingReplies;
    callAsync<uint>(call, this, [this, folder](const QDBusPendingReply<uint>& reply) {
        onReply(reply.isError() ? std::nullopt : std::optional<uint>(reply.value()), folder);
    });
}

void DesktopNotifier::onReply(std::optional<uint> id, const QString& folder)
{
    std::optional<Answer> early;
    if (id) {
        m_shownFolders.insert(*id, folder);
        if (m_earlyAnswers.contains(*id))
            early = m_earlyAnswers.take(*id);
    }
    if (--m_pendingReplies == 0)
        m_earlyAnswers.clear();
    if (!id)
        emit finished();
    else if (early)
        handleAnswer(*id, *early);
}

void DesktopNotifier::onActionInvoked(uint id, const QString& actionKey)
{
    if (actionKey == OpenFolderAction)
        handleAnswer(id, Answer::OpenFolder);
}

void DesktopNotifier::onNotificationClosed(uint id)
{
    handleAnswer(id, Answer::Closed);
}

// Signals can overtake the reply that tells our id, so while a reply is due an
// answer for an unknown id is kept until that reply shows whose it is.
void DesktopNotifier::handleAnswer(uint id, Answer answer)
{
    const auto shown = m_shownFolders.constFind(id);
    if (shown == m_shownFolders.cend()) {
        if (m_pendingReplies > 0 && !m_earlyAnswers.contains(id))
            m_earlyAnswers.insert(id, answer);
        return;
    }
    const QString folder = *shown;
    m_shownFolders.erase(shown);
    if (answer == Answer::OpenFolder)
        emit openFolderRequested(folder);
    emit finished();
}

// Queued, so that finished() never reaches the caller before notify() returns.
void DesktopNotifier::finishLater()
{
    QMetaObject::invokeMethod(this, &DesktopNotifier::finished, Qt::QueuedConnection);
}
